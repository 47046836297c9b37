#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>

#include "export/csv_export.h"
#include "export/html_export.h"
#include "gpx/gpx_reader.h"
#include "session/autosave.h"
#include "session/route_history.h"
#include "window_fixture.h"

namespace {

struct RouteMenuTest : WindowTest {
    /// the texts of the route list's menu, as a right click would show it
    QStringList MenuTexts() {
        std::unique_ptr<QMenu> menu(form->RouteMenu());
        QStringList texts;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) texts << a->text() + (a->isEnabled() ? "" : " (off)");
        return texts;
    }

    /// real key presses on the map page, which has the focus
    void KeyOnThePage(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QWidget* surface = form->WebBrowser1()->focusProxy();
        ASSERT_TRUE(surface);
        // No window manager under Xvfb: the window is made the active one by hand.
        QApplication::setActiveWindow(form.get());
        surface->setFocus();
        ASSERT_TRUE(WaitFor([&] { return surface->hasFocus(); }));
        QTest::keyClick(surface, key, modifiers);
    }

    QStringList Csv() { return RouteCsvLines(form->State().Table, form->State().Stats, "a.csv"); }
    QString MyData() { return root + QStringLiteral("マイデータ/"); }

    /// runs the window's action of that text as the menu or its shortcut would
    void Trigger(const QString& text) {
        for (QAction* a : form->actions())
            if (a->text() == text) return a->trigger();
        FAIL() << "no action " << text.toStdString();
    }
};

TEST_F(RouteMenuTest, ControlZAndYOnTheMapPageUndoAndRedoClicks) {
    ThreePoints();
    const QStringList three = Rows(), csv3 = Csv();
    KeyOnThePage(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return Points() == 2; }));
    EXPECT_EQ(Rows(), three.mid(0, 2));
    EXPECT_EQ(Text("Memo3"), "2");
    KeyOnThePage(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return Points() == 3; }));
    EXPECT_EQ(Rows(), three);
    EXPECT_EQ(Csv(), csv3);
    KeyOnThePage(Qt::Key_Z, Qt::ControlModifier);
    KeyOnThePage(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // redo too
    ASSERT_TRUE(WaitFor([&] { return Points() == 3; }));
    // The page itself saw no undo: its inputs still hold the last click, so nothing came back.
    EXPECT_EQ(Text("Memo1"), "35.0224");
}

TEST_F(RouteMenuTest, ControlSOnTheMapPageSavesTheRouteAsGpx) {
    ThreePoints();
    QString offered, filter;
    WhenShown<QFileDialog>([&](QFileDialog* d) {
        auto* name = d->findChild<QLineEdit*>("fileNameEdit");
        offered = d->directory().absolutePath() + "/" + name->text();
        filter = d->nameFilters().join(";");
        name->setText(MyData() + "walk.gpx");
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    });
    KeyOnThePage(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(MyData() + "walk.gpx"); }));
    EXPECT_EQ(offered, MyData() + "行程.gpx");
    EXPECT_EQ(filter, "GPX (*.gpx)");
    const std::vector<GpxPoint> points = ReadGpxFile(MyData() + "walk.gpx");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(float(points[1].Lat), form->State().Table.Lat[2]);
    EXPECT_EQ(*points[2].Elevation, 180);
    EXPECT_TRUE(shellCalls.empty());  // nothing is opened
}

TEST_F(RouteMenuTest, TheMenuOffersWhatTheRouteAllows) {
    Open();
    EXPECT_EQ(MenuTexts(), QStringList({"前回のルートを復元 (off)", "元に戻す (off)", "やり直し (off)",
                                        "末尾一点クリア (off)", "GPXで保存… (off)", "GPXを読み込む…"}));
    EXPECT_TRUE(form->findChild<QListWidget*>("ListBox1")->toolTip().startsWith("右クリック"));
    ClickPage("35.681236", "139.767125");
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    ClickPage("35.691236", "139.767125");
    ASSERT_TRUE(WaitFor([&] { return Points() == 2; }));
    EXPECT_EQ(MenuTexts(), QStringList({"前回のルートを復元 (off)", "元に戻す", "やり直し (off)", "末尾一点クリア",
                                        "GPXで保存…", "GPXを読み込む…"}));
    // The hidden button's edit, from the menu: the list and readouts follow.
    std::unique_ptr<QMenu> menu(form->RouteMenu());
    menu->actions()[4]->trigger();
    EXPECT_EQ(Points(), 1);
    EXPECT_EQ(Rows().size(), 1);
}

TEST_F(RouteMenuTest, TheNextRunOffersThisRunsRouteAndRestoresItExactly) {
    ThreePoints();
    Press("Button6");  // out and back
    const QStringList csv = Csv(), page = RouteHtmlLines(form->State().Table), rows = Rows();
    const QString memo4 = Text("Memo4"), memo10 = Text("Memo10"), time = Text("CourseTime");
    const QImage chart = form->Chart().Image();
    form.reset();  // the run ends (its lock goes; a killed run's lock is taken over the same way)

    Open();
    EXPECT_EQ(Points(), 0);  // the route starts empty
    const QString offer = MenuTexts().first();
    EXPECT_TRUE(offer.startsWith("前回のルートを復元（5点、")) << offer.toStdString();
    std::unique_ptr<QMenu> menu(form->RouteMenu());
    menu->actions()[0]->trigger();
    EXPECT_EQ(Csv(), csv);
    EXPECT_EQ(RouteHtmlLines(form->State().Table), page);
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(Text("Memo4"), memo4);
    EXPECT_EQ(Text("Memo10"), memo10);
    EXPECT_EQ(Text("CourseTime"), time);
    EXPECT_EQ(form->Chart().Image(), chart);
    // The map is recentred on point 1 once the page has loaded again.
    ASSERT_TRUE(WaitFor([&] { return Js("recentred.length").toInt() == 1; }));
    EXPECT_EQ(Js("recentred[0]").toString(), "35,139");
}

TEST_F(RouteMenuTest, ImportReplacesTheRouteAndABadFileChangesNothing) {
    ThreePoints();
    const QString good = MyData() + "in.gpx", bad = MyData() + "bad.gpx";
    QProcess py;
    py.start("/usr/bin/python3", {"-c", R"(
import gpxpy.gpx, sys
g = gpxpy.gpx.GPX()
t = gpxpy.gpx.GPXTrack(); g.tracks.append(t)
s = gpxpy.gpx.GPXTrackSegment(); t.segments.append(s)
s.points.append(gpxpy.gpx.GPXTrackPoint(36.1, 138.2, elevation=1200.5, name='登山口'))
s.points.append(gpxpy.gpx.GPXTrackPoint(36.11, 138.21, elevation=1500.0))
open(sys.argv[1], 'w').write(g.to_xml())
)",
                                  good});
    ASSERT_TRUE(py.waitForFinished(30000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"x\" lon=\"1\"/></gpx>");
    f.close();

    const QStringList before = Rows();
    QString error;
    WhenShown<QFileDialog>([&](QFileDialog* d) {
        d->findChild<QLineEdit*>("fileNameEdit")->setText(bad);
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            error = box->text();
            box->accept();
        });
    });
    Trigger("GPXを読み込む…");
    EXPECT_TRUE(error.contains("bad.gpx")) << error.toStdString();
    EXPECT_EQ(Rows(), before);

    WhenShown<QFileDialog>([&](QFileDialog* d) {
        d->findChild<QLineEdit*>("fileNameEdit")->setText(good);
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    });
    Trigger("GPXを読み込む…");
    ASSERT_EQ(Points(), 2);
    EXPECT_EQ(Text("Edit1"), "1500 m");
    EXPECT_EQ(form->State().Table.Elevation[1], 1200);  // 1200.5: the tie goes to the even metre
    EXPECT_EQ(form->State().Table.PointName[1], "登山口");
    ASSERT_TRUE(WaitFor([&] { return Js("recentred.length").toInt() == 1; }));
    EXPECT_EQ(Js("recentred[0]").toString(), "36.0999984741211,138.199996948242");
    // One undo step brings the clicked route back.
    Trigger("元に戻す");
    EXPECT_EQ(Rows(), before);
}

TEST_F(RouteMenuTest, LookupsOfAnImportCanBeStoppedAndLeaveTheRouteAsItWas) {
    ThreePoints();
    const QStringList before = Rows();
    // A point without an elevation whose tile is held back: its lookup is still running when the
    // progress shows, and stopping it cuts the transfer.
    const TilePosition slow = TileAddress(36.2f, 138.3f);
    server.Serve(TilePath(slow).toStdString(),
                 {200, MakeTile([](int, int) { return std::string("500"); }), "text/plain", std::chrono::seconds(60)});
    const QString file = root + "noele.gpx";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>"
        "<trkpt lat=\"36.2\" lon=\"138.3\"/><trkpt lat=\"36.21\" lon=\"138.3\"/></trkseg></trk></gpx>");
    f.close();
    bool progressShown = false;
    WhenShown<QFileDialog>([&](QFileDialog* d) {
        d->findChild<QLineEdit*>("fileNameEdit")->setText(file);
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
        WhenShown<QProgressDialog>([&](QProgressDialog* progress) {
            progressShown = true;
            progress->cancel();
        });
    });
    Trigger("GPXを読み込む…");
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(Points(), 3);
}

}  // namespace
