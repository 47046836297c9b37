// The written route page in a real browser engine: Leaflet from Debian's copy (the page's CDN
// addresses are redirected to a loopback server), every other network request blocked.

#include <gtest/gtest.h>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include "export/html_export.h"
#include "support/loopback_server.h"

namespace {

const char* const LeafletDir = "/usr/share/javascript/leaflet/";

class Redirect : public QWebEngineUrlRequestInterceptor {
  public:
    explicit Redirect(QString base) : base_(std::move(base)) {}
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        if (url.isLocalFile() || url.toString().startsWith(base_)) return;
        const QString file = url.fileName();
        if (url.host() == QLatin1String("unpkg.com") && (file == "leaflet.js" || file == "leaflet.css"))
            info.redirect(QUrl(base_ + "/" + file));
        else
            info.block(true);  // map tiles and anything else: no network in tests
    }

  private:
    QString base_;
};

class RecordingPage : public QWebEnginePage {
  public:
    using QWebEnginePage::QWebEnginePage;
    QStringList errors;

  protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString&) override {
        if (level == ErrorMessageLevel) errors << QStringLiteral("%1 (line %2)").arg(message).arg(line);
    }
};

QVariant Evaluate(QWebEnginePage& page, const QString& script) {
    QVariant result;
    QEventLoop loop;
    page.runJavaScript(script, [&](const QVariant& v) {
        result = v;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

TEST(RoutePage, RunsInABrowserWithMarkersAndOneLine) {
    RouteTable table;
    table.Capacity = 20;
    AllocateRoute(table);
    table.PointCount = 3;
    const float lat[] = {0, 35.68f, 35.69f, 35.70f}, lng[] = {0, 139.76f, 139.77f, 139.78f};
    const float cumulative[] = {0, 0, 0.5f, 2.2f}, elevation[] = {0, 10, 40, 25};
    for (int i = 1; i <= 3; ++i) {
        table.Lat[i] = lat[i];
        table.Lng[i] = lng[i];
        table.CumulativeKm[i] = cumulative[i];
        table.Elevation[i] = elevation[i];
    }
    const QString hostile = QStringLiteral("峠's \\ </script><b>x");
    table.PointName[2] = hostile;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("行程図.html"));
    WriteRouteHtml(table, path);

    LoopbackServer server([](httplib::Server& s) { s.set_mount_point("/", LeafletDir); });
    Redirect redirect(server.Base());
    QWebEngineProfile profile;
    profile.setUrlRequestInterceptor(&redirect);
    RecordingPage page(&profile);
    // A browser opening the file lets it load remote scripts; the engine's default does not.
    page.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    QEventLoop loop;
    bool loaded = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool ok) {
        loaded = ok;
        loop.quit();
    });
    page.load(QUrl::fromLocalFile(path));
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_TRUE(loaded);

    EXPECT_EQ(Evaluate(page, "typeof L === 'object' && typeof map === 'object'").toBool(), true);
    EXPECT_EQ(Evaluate(page, "document.querySelectorAll('.leaflet-marker-icon').length").toInt(), 3);
    EXPECT_EQ(Evaluate(page, "document.querySelectorAll('path.leaflet-interactive').length").toInt(), 1);
    const QStringList titles =
        Evaluate(page, "Array.from(document.querySelectorAll('.leaflet-marker-icon')).map(m => m.title)")
            .toStringList();
    ASSERT_EQ(titles.size(), 3);
    EXPECT_EQ(titles[0], QStringLiteral("No.1   行程: 0 m    標高: 10 m"));
    EXPECT_EQ(titles[1], QStringLiteral("No.2   行程: 500 m    標高: 40 m  ") + hostile);
    EXPECT_EQ(titles[2], QStringLiteral("No.3   行程: 2.200 Km    標高: 25 m"));
    EXPECT_EQ(Evaluate(page, "document.querySelectorAll('b').length").toInt(), 0);
    EXPECT_TRUE(page.errors.isEmpty()) << page.errors.join("\n").toStdString();
}

}  // namespace
