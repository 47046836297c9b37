// One map click on the real window, from the mouse press on the web view until the window has
// painted the new point, with the tool's share split into its stages. Needs a display (Xvfb);
// the tile comes from a loopback server at once, so the transfer is only the loopback round trip.
// BENCH_CLICK_PAINTS=1 lists every paint event and update pass with its duration [ms].
// Then the window's event loop while a click's tile takes 3 s: how late a 10 ms timer fires.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

#include "app/main_window.h"
#include "elevation/curl_downloader.h"
#include "elevation/tile_address.h"
#include "support/loopback_server.h"
#include "support/tile_server.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// What one click left behind, filled from the server's thread, the lookup's thread and the
// event loop.
struct ClickTimes {
    std::mutex mutex;
    Clock::time_point click, arrived, lookupStart, requestSeen, answered, lookupEnd, finished, passStart, visible;
    long long paintedPixels = 0;  // paint events of every widget
    int updatePasses = 0;         // top-level update requests
    bool listPainted = false;
};
ClickTimes* Times = nullptr;
TForm1* Form = nullptr;
QWidget* ListViewport = nullptr;
int ExpectedPoints = -1;

void Stamp(Clock::time_point ClickTimes::*field) {
    if (!Times) return;
    std::lock_guard lock(Times->mutex);
    Times->*field = Clock::now();
}

// Wraps the tile download to see when the lookup asks for the tile and when it has it.
class TimedDownloader : public Downloader {
  public:
    bool DownloadToFile(const QString& url, const QString& fileName) override {
        Stamp(&ClickTimes::lookupStart);
        const bool ok = inner_.DownloadToFile(url, fileName);
        Stamp(&ClickTimes::lookupEnd);
        return ok;
    }

  private:
    CurlDownloader inner_;
};

// Sees every event: paints, the window's update passes, and the one event whose handling
// added the point.
class TimingApp : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (!Times || !Form) return QApplication::notify(receiver, event);
        const QEvent::Type type = event->type();
        const int pointsBefore = Form->State().Table.PointCount;
        if (type == QEvent::Paint) {
            const QRect r = static_cast<QPaintEvent*>(event)->rect();
            const long long area = static_cast<long long>(r.width()) * r.height();
            Times->paintedPixels += area;
            if (receiver == ListViewport && pointsBefore == ExpectedPoints) Times->listPainted = true;
        }
        // The window's own update passes, and those of native windows inside it.
        const auto* widget = receiver->isWidgetType() ? static_cast<QWidget*>(receiver) : nullptr;
        const bool pass = type == QEvent::UpdateRequest && widget && widget->window() == Form;
        const Clock::time_point paintStart = Clock::now();
        Clock::time_point started;
        if (pass) {
            ++Times->updatePasses;
            started = Clock::now();
        }
        const bool result = QApplication::notify(receiver, event);
        if (pointsBefore != ExpectedPoints && Form->State().Table.PointCount == ExpectedPoints)
            Stamp(&ClickTimes::finished);
        if (pass && qEnvironmentVariableIsSet("BENCH_CLICK_PAINTS")) qInfo() << "pass" << Ms(paintStart, Clock::now());
        if (pass && Times->listPainted && Times->visible == Clock::time_point()) {
            Stamp(&ClickTimes::visible);
            std::lock_guard lock(Times->mutex);
            Times->passStart = started;
        }
        if (type == QEvent::Paint && qEnvironmentVariableIsSet("BENCH_CLICK_PAINTS"))
            qInfo() << receiver->metaObject()->className() << receiver->objectName()
                    << static_cast<QPaintEvent*>(event)->rect() << Ms(paintStart, Clock::now());
        return result;
    }
};

class HostAlwaysThere : public HostWindowLookup {
  public:
    bool Exists(const QString&) override { return true; }
    bool CanSee() const override { return true; }
};

const char* const Page = R"(<!DOCTYPE html>
<html><head><meta charset="UTF-8"><title>bench</title></head>
<body style="margin:0;width:100vw;height:100vh">
<input id="lat" value=""><input id="lng" value="">
<input id="zoomLevel" value="14"><input id="clat" value=""><input id="clon" value="">
<script>
  var nextLat = '', nextLng = '';
  document.body.addEventListener('click', function () {
    document.getElementById('lat').value = nextLat;
    document.getElementById('lng').value = nextLng;
  });
</script>
</body></html>)";

bool WaitFor(const std::function<bool()>& done, int ms = 15000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void Js(QWebEnginePage* page, const QString& script) {
    bool done = false;
    page->runJavaScript(script, [&](const QVariant&) { done = true; });
    WaitFor([&] { return done; }, 5000);
}

// The window on an install tree in a temporary folder, its page loaded, ready for clicks.
struct BenchWindow {
    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    QWidget* surface = nullptr;  // where the mouse clicks the page
    bool loaded = false;         // set by every finished page load

    /// empty when the window is up; else what went wrong
    std::string Open(const QString& tileBase, std::unique_ptr<Downloader> downloader) {
        const QString root = dir.path() + "/";
        for (const char* d : {"MV6_DATA/20", "MV6_DATA/10", "MV6_DATA/01"}) QDir().mkpath(root + d);
        QDir().mkpath(root + QStringLiteral("マイデータ"));
        QFile page(root + "MV6_DATA/10/smap.html");
        if (!page.open(QIODevice::WriteOnly)) return "no page";
        page.write(Page);
        page.close();

        WindowSetup setup;
        setup.ExeDir = root + "MV6_DATA/20/";
        setup.TileBase = tileBase;
        setup.TileDownloader = std::move(downloader);
        setup.HostLookup = std::make_unique<HostAlwaysThere>();
        setup.Quit = [] {};
        form = std::make_unique<TForm1>(std::move(setup));
        form->resize(1103, 736);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) return "window not shown";
        QObject::connect(form->WebBrowser1()->page(), &QWebEnginePage::loadFinished, [this](bool) { loaded = true; });
        WaitFor([&] { return loaded; });
        QTest::qWait(500);
        if (!WaitFor([&] { return (surface = form->WebBrowser1()->focusProxy()) != nullptr; }))
            return "no page surface";
        return {};
    }

    /// the page's next click reports this position
    void NextClickAt(double lat, double lng) {
        Js(form->WebBrowser1()->page(),
           QStringLiteral("nextLat = '%1'; nextLng = '%2';").arg(lat, 0, 'f', 6).arg(lng, 0, 'f', 6));
    }
    void Click() { QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(200, 300)); }
};

void ClickToVisiblePoint(benchmark::State& state) {
    std::string tile;
    for (int r = 0; r < 256; ++r) {
        for (int c = 0; c < 256; ++c) tile += (c ? "," : "") + std::to_string(100 + (r + c) % 900) + ".5";
        tile += '\n';
    }
    LoopbackServer server([&tile](httplib::Server& s) {
        s.Get(".*", [&tile](const httplib::Request&, httplib::Response& res) {
            Stamp(&ClickTimes::requestSeen);
            res.set_content(tile, "text/plain");
            Stamp(&ClickTimes::answered);
        });
    });

    BenchWindow window;
    if (const std::string fault = window.Open(server.Base(), std::make_unique<TimedDownloader>()); !fault.empty())
        return state.SkipWithError(fault.c_str());
    TForm1& form = *window.form;

    // The report's arrival, seen before the window handles it.
    auto* bridge = form.findChild<PageBridge*>();
    QObject::disconnect(bridge, &PageBridge::reported, &form, &TForm1::WebBrowser1CommandStateChange);
    QObject::connect(bridge, &PageBridge::reported, [](const PageInputs&) {
        if (Times && Times->arrived == Clock::time_point()) Stamp(&ClickTimes::arrived);
    });
    QObject::connect(bridge, &PageBridge::reported, &form, &TForm1::WebBrowser1CommandStateChange);

    Form = &form;
    ListViewport = form.findChild<QListWidget*>("ListBox1")->viewport();
    double arrive = 0, leave = 0, transfer = 0, finish = 0, wait = 0, paint = 0, share = 0, px = 0, passes = 0;
    int k = 0;
    for (auto _ : state) {
        // A new position for every click, on routes of up to 100 points.
        if (form.State().Table.PointCount >= 100) {
            form.Button1Click();
            window.loaded = false;
            WaitFor([&] { return window.loaded; });
            QTest::qWait(300);
        }
        window.NextClickAt(35.5 + (k++ % 400) * 0.001, 139.5);
        QTest::qWait(50);  // the window settles
        ClickTimes times;
        ExpectedPoints = form.State().Table.PointCount + 1;
        Times = &times;
        times.click = Clock::now();
        window.Click();
        const bool shown = WaitFor([&] {
            std::lock_guard lock(times.mutex);
            return times.visible != Clock::time_point();
        });
        Times = nullptr;
        if (!shown) return state.SkipWithError("the point was not shown");
        std::lock_guard lock(times.mutex);
        const double total = Ms(times.click, times.visible);
        const double lookup = Ms(times.lookupStart, times.lookupEnd);
        state.SetIterationTime(total / 1000);
        arrive += Ms(times.click, times.arrived);
        leave += Ms(times.click, times.requestSeen);
        transfer += lookup;
        finish += Ms(times.answered, times.finished);
        wait += Ms(times.finished, times.passStart);
        paint += Ms(times.passStart, times.visible);
        share += total - lookup;
        px += static_cast<double>(times.paintedPixels);
        passes += times.updatePasses;
    }
    Form = nullptr;
    const double n = static_cast<double>(state.iterations());
    state.counters["click_to_report_ms"] = arrive / n;
    state.counters["click_to_request_ms"] = leave / n;
    state.counters["transfer_ms"] = transfer / n;
    state.counters["answer_to_finished_ms"] = finish / n;
    state.counters["finished_to_paint_ms"] = wait / n;
    state.counters["paint_ms"] = paint / n;
    state.counters["beyond_transfer_ms"] = share / n;
    state.counters["all_painted_px"] = px / n;
    state.counters["update_passes"] = passes / n;
}
BENCHMARK(ClickToVisiblePoint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

// The window's event loop while a click's tile is on its way for 3 s: a 10 ms timer in the
// window's thread, armed again at every tick, and how late each tick comes. Every click is on a
// tile of its own, so none is answered from the tile cache. The time is the lookup's.
void EventLoopDuringSlowTransfer(benchmark::State& state) {
    using namespace std::chrono_literals;
    constexpr int Clicks = 5;
    constexpr double Lng = 139.5;
    TileServer server;
    const auto latOf = [](int k) { return 35.0 + k * 0.2; };  // a tile apart at the lookup's zoom
    for (int k = 0; k < Clicks; ++k) {
        const TilePosition tile = TileAddress(static_cast<float>(latOf(k)), static_cast<float>(Lng));
        server.Serve(TilePath(tile).toStdString(),
                     {200, MakeTile([](int, int) { return std::string("100"); }), "text/plain", 3000ms});
    }
    BenchWindow window;
    if (const std::string fault = window.Open(server.Base(), std::make_unique<CurlDownloader>()); !fault.empty())
        return state.SkipWithError(fault.c_str());
    TForm1& form = *window.form;

    QElapsedTimer armed;
    QTimer probe;
    probe.setSingleShot(true);
    probe.setTimerType(Qt::PreciseTimer);  // the timer's own slack is not the loop's lateness
    probe.setInterval(10);
    double worstMs = 0, sumMs = 0;
    long long ticks = 0;
    QEventLoop loop;
    QTimer giveUp;  // one for all clicks, so an earlier click's can never end a later one's wait
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double late = static_cast<double>(armed.nsecsElapsed()) / 1e6 - 10;
        if (!form.LookupsPending()) return loop.quit();
        worstMs = std::max(worstMs, late);
        sumMs += late;
        ++ticks;
        armed.start();
        probe.start();
    });
    int k = 0;
    for (auto _ : state) {
        const int expected = form.State().Table.PointCount + 1;
        window.NextClickAt(latOf(k++ % Clicks), Lng);
        QTest::qWait(50);
        window.Click();
        if (!WaitFor([&] { return form.LookupsPending(); })) return state.SkipWithError("the click was not taken");
        // The loop the window runs, not a polling one: it sleeps until the next event or timer.
        const auto started = Clock::now();
        armed.start();
        probe.start();
        giveUp.start(15000);
        loop.exec();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
        probe.stop();
        if (!giveUp.isActive()) return state.SkipWithError("the lookup did not end");
        giveUp.stop();
        if (!WaitFor([&] { return form.State().Table.PointCount == expected; }))
            return state.SkipWithError("the point was not added");
        if (form.State().Table.Elevation[expected] != 100.0f) return state.SkipWithError("not the held-back tile");
    }
    state.counters["max_late_ms"] = worstMs;
    state.counters["mean_late_ms"] = ticks ? sumMs / static_cast<double>(ticks) : 0;
    state.counters["ticks_per_click"] = static_cast<double>(ticks) / static_cast<double>(state.iterations());
}
BENCHMARK(EventLoopDuringSlowTransfer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking --disable-component-update");
    qputenv("QT_QUICK_BACKEND", "software");  // as the tool itself runs (app/main.cpp)
    TimingApp app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
