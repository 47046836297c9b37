// The real tool in an install tree of its own, clicked with the X server's own mouse, killed
// with its route on screen and started again: the route restored from the route list's menu is
// the one that was lost, and its exports are the same bytes as before the kill.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

#include <vector>

#include "app/host_window.h"
#include "gpx/route_snapshot.h"
#include "window_fixture.h"

namespace {

// The map page: a click writes a position derived from where it landed, in the mesh's area.
const char* const ClickPage = R"(<!DOCTYPE html>
<html><head><meta charset="UTF-8"><title>contract</title></head>
<body style="margin:0;width:100vw;height:100vh;background:#dde8d0">
<input id="lat" value=""><input id="lng" value="">
<input id="zoomLevel" value="14"><input id="clat" value="35.350000"><input id="clon" value="138.700000">
<script>
  var recentred = [];
  document.addEventListener('click', function (e) {
    document.getElementById('lat').value = (35.3 + e.clientY / 10000).toFixed(6);
    document.getElementById('lng').value = (138.65 + e.clientX / 10000).toFixed(6);
  });
  function GotoLatLng(lat, lng) { recentred.push(lat + ',' + lng); }
</script>
</body></html>)";

// Width of the side panel at the window's right edge [px].
constexpr int PanelWidth = 448;

// Spots on the map, inside the map area of the window at its normal size [px].
const std::vector<QPoint> MapSpots = {{120, 150}, {340, 420}, {520, 260}, {230, 600}};

// Side-panel controls: centres in panel coordinates [px].
const QPoint ReturnRouteButton(272 + 20, 475 + 11);
const QPoint CsvButton(274 + 80, 621 + 10);
const QPoint HtmlButton(274 + 80, 656 + 10);
const QPoint RouteList(8 + 129, 589 + 63);

constexpr int Patience = 30000;  // [ms] for anything the tool does on its own

struct XRun {
    bool ok = false;
    QString out;
};

XRun Xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    XRun r;
    r.ok = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    return r;
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A program started in a process group of its own; the group (the browser's helper processes
// included) is killed when it goes.
class Program {
  public:
    explicit Program(const QString& name) : name_(name) {
        process_.setChildProcessModifier([] { setpgid(0, 0); });
        process_.setProcessChannelMode(QProcess::SeparateChannels);
    }
    ~Program() { KillAll(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Start(const QString& exe, const QProcessEnvironment& env, const QString& workDir = {}) {
        process_.setProcessEnvironment(env);
        if (!workDir.isEmpty()) process_.setWorkingDirectory(workDir);
        process_.start(exe, {});
        if (!process_.waitForStarted()) return false;
        group_ = static_cast<pid_t>(process_.processId());
        return true;
    }
    /// SIGKILL to the program alone, as a crash would end it
    void Kill() {
        process_.kill();
        process_.waitForFinished(10000);
        Collect();
    }
    /// SIGKILL to the program and every process it started
    void KillAll() {
        if (process_.state() != QProcess::NotRunning) Kill();
        if (group_ > 0) ::kill(-group_, SIGKILL);
        group_ = 0;
    }
    bool Running() const { return process_.state() != QProcess::NotRunning; }
    qint64 Pid() const { return process_.processId(); }
    /// what the program wrote to stderr so far
    QString Log() {
        Collect();
        return QStringLiteral("---- %1 stderr ----\n%2").arg(name_, QString::fromLocal8Bit(stderr_));
    }

  private:
    void Collect() { stderr_ += process_.readAllStandardError(); }
    QString name_;
    QProcess process_;
    pid_t group_ = 0;
    QByteArray stderr_;
};

struct CrashRestore : ::testing::Test {
    QTemporaryDir dir;
    QString root = dir.path() + "/";
    QString myData = root + QStringLiteral("マイデータ/");
    QString csvPath = myData + QStringLiteral("高低図.csv");
    QString htmlPath = myData + QStringLiteral("行程図.html");
    // Where the real tool keeps its autosave: its application's local data folder.
    QString stateDir = root + "data/mirevale-map";
    QString autosavePath = stateDir + "/route-1.gpx";
    QString opened = root + "opened.txt";
    QProcessEnvironment env;
    QTcpServer refused;
    std::unique_ptr<Program> host, tool;
    QString window;  // X window id of the tool's window
    int windowWidth = 0;

    void SetUp() override {
        if (!MakeHostWindowLookup()->CanSee()) GTEST_SKIP() << "no X11 display";
        ASSERT_FALSE(QStandardPaths::findExecutable("xdotool").isEmpty()) << "xdotool is missing";
        ASSERT_TRUE(dir.isValid());
        BuildTree();
        BuildEnvironment();
    }

    void TearDown() override {
        if (HasFailure()) {
            if (tool) std::printf("%s\n", qPrintable(tool->Log()));
            if (host) std::printf("%s\n", qPrintable(host->Log()));
        }
        tool.reset();
        host.reset();
    }

    void BuildTree() {
        for (const char* d : {"MV6_DATA/20", "MV6_DATA/10", "MV6_DATA/01", "home", "data", "config", "cache", "bin"})
            ASSERT_TRUE(QDir().mkpath(root + d));
        ASSERT_TRUE(QDir().mkpath(myData));
        ASSERT_TRUE(QDir().mkpath(root + "runtime"));
        ::chmod(QFile::encodeName(root + "runtime").constData(), 0700);
        ASSERT_TRUE(QFile::copy(MIREVALE_BIN_DIR "/src/app/mirevale-map", root + "MV6_DATA/20/mirevale-map"));
        ASSERT_TRUE(WriteBytes(root + "MV6_DATA/10/smap.html", ClickPage));
        // Synthetic mesh files, so the points' elevations differ from each other.
        QProcess mesh;
        mesh.start(MIREVALE_BIN_DIR "/demo/mirevale-demo-mesh", {root + "MV6_DATA/01"});
        ASSERT_TRUE(mesh.waitForFinished(60000));
        ASSERT_EQ(mesh.exitCode(), 0) << mesh.readAllStandardError().toStdString();
        // The desktop's opener only notes what it was asked to open.
        const QString stub = root + "bin/xdg-open";
        ASSERT_TRUE(
            WriteBytes(stub, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '%1'\n").arg(opened).toUtf8()));
        ASSERT_TRUE(QFile::setPermissions(stub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void BuildEnvironment() {
        // Tile requests go through a proxy on a loopback port nobody listens on: refused at once,
        // and the elevation comes from the mesh.
        ASSERT_TRUE(refused.listen(QHostAddress::LocalHost));
        const QString proxy = QStringLiteral("http://127.0.0.1:%1").arg(refused.serverPort());
        refused.close();

        env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", root + "home");
        env.insert("XDG_DATA_HOME", root + "data");
        env.insert("XDG_CONFIG_HOME", root + "config");
        env.insert("XDG_CACHE_HOME", root + "cache");
        env.insert("XDG_RUNTIME_DIR", root + "runtime");
        env.insert("PATH", root + "bin:" + env.value("PATH"));
        env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
        for (const char* name : {"https_proxy", "HTTPS_PROXY", "http_proxy", "HTTP_PROXY"}) env.insert(name, proxy);
        for (const char* name : {"no_proxy", "NO_PROXY", "all_proxy", "ALL_PROXY", "XDG_CURRENT_DESKTOP",
                                 "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "BROWSER"})
            env.remove(name);
    }

    void StartHost() {
        host = std::make_unique<Program>("mirevale-host");
        ASSERT_TRUE(host->Start(MIREVALE_BIN_DIR "/demo/mirevale-host", env));
        ASSERT_TRUE(WaitFor([] { return MakeHostWindowLookup()->Exists("d_Mirevale6"); }, 10000));
    }

    /// finds the tool's window as it is now (the toolkit may replace it while the page starts)
    bool FindWindow() {
        const XRun found = Xdotool({"search", "--onlyvisible", "--pid", QString::number(tool->Pid()), "--name",
                                    QStringLiteral("^d_Mirevale6 MAP$")});
        if (!found.ok || found.out.isEmpty()) return false;
        const QString id = found.out.split('\n').first();
        // Maximized by a window manager or at its normal size without one: the panel is at the
        // right edge either way.
        const XRun geometry = Xdotool({"getwindowgeometry", "--shell", id});
        if (!geometry.ok) return false;
        for (const QString& line : geometry.out.split('\n'))
            if (line.startsWith("WIDTH=")) windowWidth = line.mid(6).toInt();
        window = id;
        return true;
    }

    /// starts the tool and waits until its window is mapped and its page takes clicks
    void StartTool() {
        tool = std::make_unique<Program>("mirevale-map");
        ASSERT_TRUE(tool->Start(root + "MV6_DATA/20/mirevale-map", env, root + "MV6_DATA/20"));
        ASSERT_TRUE(WaitFor([&] { return FindWindow() || !tool->Running(); }, Patience)) << "no window";
        ASSERT_TRUE(tool->Running()) << "the tool ended on its own";
        // The page's script and the bridge settle: the first click must count.
        QTest::qWait(3000);
        ASSERT_TRUE(WaitFor([&] { return FindWindow(); }, Patience)) << "the window went";
        ASSERT_GT(windowWidth, PanelWidth + 600);
    }

    void ClickWindow(QPoint at, int button = 1) {
        ASSERT_TRUE(FindWindow());
        Xdotool({"windowfocus", window});
        const XRun r = Xdotool({"mousemove", "--window", window, QString::number(at.x()), QString::number(at.y()),
                                "click", QString::number(button)});
        ASSERT_TRUE(r.ok);
    }
    void ClickPanel(QPoint at, int button = 1) { ClickWindow(at + QPoint(windowWidth - PanelWidth, 0), button); }

    /// the autosave's point count; -1 while it is missing or unreadable
    int AutosavedPoints() {
        try {
            return ReadAutosaveSummaryFile(autosavePath).PointCount;
        } catch (const std::exception&) {
            return -1;
        }
    }

    /// the CSV and the HTML export, made with the panel's buttons and the save dialog
    std::pair<QByteArray, QByteArray> Export() {
        ClickPanel(CsvButton);
        EXPECT_TRUE(WaitFor([&] { return QFileInfo::exists(csvPath); }, Patience)) << "no CSV";
        const QByteArray csv = ReadBytes(csvPath);

        const XRun focusBefore = Xdotool({"getwindowfocus"});
        ClickPanel(HtmlButton);
        // The save dialog takes the focus; Return accepts its proposed name.
        EXPECT_TRUE(WaitFor(
            [&] {
                const XRun focus = Xdotool({"getwindowfocus"});
                return focus.ok && focus.out != focusBefore.out && focus.out != window;
            },
            Patience))
            << "no save dialog";
        QTest::qWait(500);
        Xdotool({"key", "Return"});
        EXPECT_TRUE(WaitFor([&] { return QFileInfo::exists(htmlPath); }, Patience)) << "no HTML";
        return {csv, ReadBytes(htmlPath)};
    }
};

TEST_F(CrashRestore, TheRouteOfAKilledRunIsRestoredExactly) {
    ASSERT_NO_FATAL_FAILURE(StartHost());
    ASSERT_NO_FATAL_FAILURE(StartTool());

    const int n = static_cast<int>(MapSpots.size());
    for (int i = 0; i < n; ++i) {
        ASSERT_NO_FATAL_FAILURE(ClickWindow(MapSpots[i]));
        ASSERT_TRUE(WaitFor([&] { return AutosavedPoints() == i + 1; }, Patience))
            << "point " << i + 1 << " not autosaved; autosave has " << AutosavedPoints();
    }
    ASSERT_NO_FATAL_FAILURE(ClickPanel(ReturnRouteButton));
    ASSERT_TRUE(WaitFor([&] { return AutosavedPoints() == 2 * n - 1; }, Patience))
        << "the return route was not autosaved; autosave has " << AutosavedPoints();

    const auto [csvBefore, htmlBefore] = Export();
    ASSERT_FALSE(HasFailure());
    ASSERT_FALSE(csvBefore.isEmpty());
    ASSERT_FALSE(htmlBefore.isEmpty());
    QFile(opened).remove();

    tool->Kill();
    ASSERT_FALSE(tool->Running());
    ASSERT_TRUE(QFile::remove(csvPath));
    ASSERT_TRUE(QFile::remove(htmlPath));

    // The file a killed run leaves is whole.
    const QByteArray autosaveAtKill = ReadBytes(autosavePath);
    RouteSnapshot left;
    ASSERT_NO_THROW(left = ReadRouteSnapshotFile(autosavePath));
    EXPECT_EQ(left.Table.PointCount, 2 * n - 1);
    EXPECT_EQ(AutosavedPoints(), 2 * n - 1);

    tool->KillAll();
    ASSERT_NO_FATAL_FAILURE(StartTool());
    ClickPanel(RouteList, 3);
    QTest::qWait(500);  // the menu opens and grabs the keyboard
    Xdotool({"key", "Down", "Return"});
    // The restore is a change: the new run, owner of the dead run's slot now, saves it there.
    ASSERT_TRUE(WaitFor([&] { return ReadBytes(autosavePath) != autosaveAtKill; }, Patience))
        << "the restored route was not autosaved into the dead run's slot";
    EXPECT_FALSE(QFileInfo::exists(stateDir + "/route-2.gpx")) << "the dead run's slot was not taken over";
    EXPECT_EQ(AutosavedPoints(), 2 * n - 1);

    const auto [csvAfter, htmlAfter] = Export();
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(csvAfter, csvBefore);
    EXPECT_EQ(htmlAfter, htmlBefore);
    EXPECT_TRUE(ReadBytes(opened).contains(".csv")) << "the CSV was not handed to the desktop";
}

}  // namespace
