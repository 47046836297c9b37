#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWidget>

#include "app/host_window.h"
#include "window_fixture.h"

namespace {

TEST(HostWindowLookup, SeesATopLevelWindowByItsExactTitle) {
    auto lookup = MakeHostWindowLookup();
    if (!lookup->CanSee()) GTEST_SKIP() << "no X11 display";
    EXPECT_FALSE(lookup->Exists("d_Mirevale6"));
    QWidget host;
    host.setWindowTitle("d_Mirevale6");
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    EXPECT_TRUE(lookup->Exists("d_Mirevale6"));
    EXPECT_FALSE(lookup->Exists("d_Mirevale"));
    EXPECT_FALSE(lookup->Exists("D_MIREVALE6"));
    host.setWindowTitle("d_Mirevale6 (old)");
    QTest::qWait(100);
    EXPECT_FALSE(lookup->Exists("d_Mirevale6"));
}

// The real programs: the tool lives while the stand-in host's window exists.
TEST(HostWatch, TheToolEndsSoonAfterTheHostWindowIsGone) {
    if (!MakeHostWindowLookup()->CanSee()) GTEST_SKIP() << "no X11 display";
    QProcess host, tool;
    host.start(MIREVALE_BIN_DIR "/demo/mirevale-host", {});
    ASSERT_TRUE(host.waitForStarted());
    ASSERT_TRUE(WaitFor([] { return MakeHostWindowLookup()->Exists("d_Mirevale6"); }, 10000));
    tool.start(MIREVALE_BIN_DIR "/src/app/mirevale-map", {});
    ASSERT_TRUE(tool.waitForStarted());
    EXPECT_FALSE(tool.waitForFinished(4000)) << "the tool ended although the host is there";

    host.kill();
    host.waitForFinished();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(tool.waitForFinished(10000));
    const qint64 ms = clock.elapsed();
    std::printf("tool ended %lld ms after the host window\n", static_cast<long long>(ms));
    EXPECT_LT(ms, 2500);
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
}

// The real tool in an install tree of its own, with a page that reports a position at once, and
// every HTTPS request sent through a loopback proxy that never answers: its lookup hangs.
TEST(HostWatch, TheToolEndsSoonAfterTheHostWindowIsGoneDuringALookup) {
    if (!MakeHostWindowLookup()->CanSee()) GTEST_SKIP() << "no X11 display";
    QTemporaryDir tree;
    for (const char* d : {"MV6_DATA/20", "MV6_DATA/10", "MV6_DATA/01"}) QDir().mkpath(tree.filePath(d));
    const QString exe = tree.filePath("MV6_DATA/20/mirevale-map");
    ASSERT_TRUE(QFile::copy(MIREVALE_BIN_DIR "/src/app/mirevale-map", exe));
    QString page = QString::fromUtf8(ContractPage);
    page.replace("<input id=\"lat\" value=\"\"><input id=\"lng\" value=\"\">",
                 "<input id=\"lat\" value=\"35.681236\"><input id=\"lng\" value=\"139.767125\">");
    QFile pageFile(tree.filePath("MV6_DATA/10/smap.html"));
    ASSERT_TRUE(pageFile.open(QIODevice::WriteOnly));
    pageFile.write(page.toUtf8());
    pageFile.close();

    QTcpServer proxy;
    ASSERT_TRUE(proxy.listen(QHostAddress::LocalHost));
    int asked = 0;
    QObject::connect(&proxy, &QTcpServer::newConnection, [&] {
        while (proxy.hasPendingConnections()) {
            proxy.nextPendingConnection();  // kept open, never answered
            ++asked;
        }
    });

    QProcess host, tool;
    host.start(MIREVALE_BIN_DIR "/demo/mirevale-host", {});
    ASSERT_TRUE(host.waitForStarted());
    ASSERT_TRUE(WaitFor([] { return MakeHostWindowLookup()->Exists("d_Mirevale6"); }, 10000));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString proxyAddress = QStringLiteral("http://127.0.0.1:%1").arg(proxy.serverPort());
    for (const char* name : {"https_proxy", "HTTPS_PROXY", "http_proxy", "HTTP_PROXY"}) env.insert(name, proxyAddress);
    for (const char* name : {"no_proxy", "NO_PROXY", "all_proxy", "ALL_PROXY"}) env.remove(name);
    tool.setProcessEnvironment(env);
    tool.start(exe, {});
    ASSERT_TRUE(tool.waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return asked > 0; }, 20000)) << "the tool's lookup did not start";

    host.kill();
    host.waitForFinished();
    QElapsedTimer clock;
    clock.start();
    const bool ended = WaitFor([&] { return tool.state() == QProcess::NotRunning; }, 10000);
    const qint64 ms = clock.elapsed();
    if (!ended) tool.kill();
    ASSERT_TRUE(ended);
    std::printf("tool ended %lld ms after the host window, its lookup pending\n", static_cast<long long>(ms));
    EXPECT_LT(ms, 1500);
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    tool.waitForFinished();
}

TEST(HostWatch, WithoutTheHostTheToolEndsByItself) {
    if (!MakeHostWindowLookup()->CanSee()) GTEST_SKIP() << "no X11 display";
    QProcess tool;
    tool.start(MIREVALE_BIN_DIR "/src/app/mirevale-map", {});
    ASSERT_TRUE(tool.waitForStarted());
    EXPECT_TRUE(tool.waitForFinished(10000));
}

}  // namespace
