#pragma once

// A real window under Xvfb: an install tree in a temporary folder, a map page of the tests'
// own, a loopback tile server, a recorder for shell requests and for the quit request.

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>
#include <memory>

#include "app/main_window.h"
#include "elevation/curl_downloader.h"
#include "elevation/tile_address.h"
#include "support/tile_server.h"

struct ShellCall {
    QString path;
    QWidget* owner;
    QString verb;
};

class ShellRecorder : public ShellOpener {
  public:
    explicit ShellRecorder(std::vector<ShellCall>* calls) : calls_(calls) {}
    void Open(const QString& path, QWidget* owner, const QString& verb) override {
        calls_->push_back({path, owner, verb});
    }

  private:
    std::vector<ShellCall>* calls_;
};

class HostAlwaysThere : public HostWindowLookup {
  public:
    bool Exists(const QString&) override { return true; }
    bool CanSee() const override { return true; }
};

/// processes events until done() holds or the time runs out; returns done()
inline bool WaitFor(const std::function<bool()>& done, int ms = 15000) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (done()) return true;
        if (clock.elapsed() >= ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

/// when a visible top-level widget of type T appears, hands it to action (for modal dialogs)
template <class T>
void WhenShown(std::function<void(T*)> action) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) {
                poll->stop();
                poll->deleteLater();
                action(t);
                return;
            }
        }
    });
    poll->start(50);
}

/// The default contract page: five inputs; a click on the page writes `nextLat`/`nextLng`.
inline const char* const ContractPage = R"(<!DOCTYPE html>
<html><head><meta charset="UTF-8"><title>contract</title></head>
<body style="margin:0;width:100vw;height:100vh">
<input id="lat" value=""><input id="lng" value="">
<input id="zoomLevel" value="14"><input id="clat" value=""><input id="clon" value="">
<script>
  var nextLat = '35.681236', nextLng = '139.767125', recentred = [];
  document.body.addEventListener('click', function () {
    document.getElementById('lat').value = nextLat;
    document.getElementById('lng').value = nextLng;
  });
  function GotoLatLng(lat, lng) { recentred.push(lat + ',' + lng); }
</script>
</body></html>)";

struct WindowTest : ::testing::Test {
    QTemporaryDir dir;
    QString root = dir.path() + "/";
    TileServer server;
    std::vector<ShellCall> shellCalls;
    int quitRequests = 0;
    std::unique_ptr<TForm1> form;

    /// builds the install tree with `page` as the map page and opens the window
    void Open(const QString& page = QString::fromUtf8(ContractPage)) {
        for (const char* d : {"MV6_DATA/20", "MV6_DATA/10", "MV6_DATA/01"}) QDir().mkpath(root + d);
        QDir().mkpath(root + QStringLiteral("マイデータ"));
        WritePage(page);
        // Tokyo station's tile, 40.4 m in every cell.
        Serve(35.681236f, 139.767125f, "40.4");
        WindowSetup setup;
        setup.ExeDir = root + "MV6_DATA/20/";
        setup.TileBase = server.Base();
        setup.TileDownloader = std::make_unique<CurlDownloader>(2000, 5000);
        setup.HostLookup = std::make_unique<HostAlwaysThere>();
        setup.Shell = std::make_unique<ShellRecorder>(&shellCalls);
        setup.Quit = [this] { ++quitRequests; };
        setup.StateDir = root + "state";
        form = std::make_unique<TForm1>(std::move(setup));
        form->resize(1103, 736);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_TRUE(WaitForLoad());
    }

    void WritePage(const QString& page) {
        QFile f(root + "MV6_DATA/10/smap.html");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(page.toUtf8());
    }

    void Serve(float lat, float lng, const std::string& value) {
        const TilePosition t = TileAddress(lat, lng);
        server.Serve(TilePath(t).toStdString(), {200, MakeTile([&](int, int) { return value; })});
    }

    bool WaitForLoad() {
        bool done = false;
        auto c = QObject::connect(form->WebBrowser1(), &QWebEngineView::loadFinished, [&](bool) { done = true; });
        const bool ok = WaitFor([&] { return done || Js("document.readyState").toString() == "complete"; });
        QObject::disconnect(c);
        QTest::qWait(300);  // the load report settles
        return ok;
    }

    QVariant Js(const QString& script) {
        QVariant result;
        bool done = false;
        form->WebBrowser1()->page()->runJavaScript(script, [&](const QVariant& v) {
            result = v;
            done = true;
        });
        WaitFor([&] { return done; }, 5000);
        return result;
    }

    /// a real mouse click on the page
    void ClickPage(const char* lat, const char* lng) {
        Js(QStringLiteral("nextLat = '%1'; nextLng = '%2';").arg(lat, lng));
        QWidget* surface = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (surface = form->WebBrowser1()->focusProxy()) != nullptr; }));
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(200, 300));
    }

    /// sets the page's inputs by script, as a page would
    void SetInputs(const QString& assignments) { Js(assignments); }

    /// sets the page's inputs and waits until the window has handled the page's report of them
    void SetInputsAndWait(const QString& assignments) {
        const int before = form->ReportsHandled();
        SetInputs(assignments);
        ASSERT_TRUE(WaitFor([&] { return form->ReportsHandled() > before; }));
    }

    /// a real mouse click on the page, then waits until the window has handled its report
    void ClickPageAndWait(const char* lat, const char* lng) {
        const int before = form->ReportsHandled();
        ClickPage(lat, lng);
        ASSERT_TRUE(WaitFor([&] { return form->ReportsHandled() > before; }));
    }

    // Three points as in the chart's worked example: 100, 250, 180 m at 0, 1.5, 2.5 km north.
    void ThreePoints() {
        Open();
        const char* lats[] = {"35.000000", "35.013499", "35.022498"};
        const char* values[] = {"100", "250", "180"};
        for (int i = 0; i < 3; ++i) {
            Serve(std::stof(lats[i]), 139.0f, values[i]);
            ClickPage(lats[i], "139.000000");
            ASSERT_TRUE(WaitFor([&] { return Points() == i + 1; }));
        }
    }
    /// a side-panel button clicked as the toolkit delivers it (hidden buttons included)
    void Press(const char* button) { form->findChild<QPushButton*>(button)->click(); }

    int Points() { return form->State().Table.PointCount; }
    QString Text(const char* name) { return form->findChild<QLineEdit*>(name)->text(); }
    QStringList Rows() {
        QStringList rows;
        auto* list = form->findChild<QListWidget*>("ListBox1");
        for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
        return rows;
    }
};
