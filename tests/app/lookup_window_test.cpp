#include <QCursor>

#include "export/csv_export.h"
#include "export/text_file_writer.h"
#include "window_fixture.h"

namespace {

using namespace std::chrono_literals;

// The window while a click's tile is on its way: the server holds the first tile back.
struct PendingLookupTest : WindowTest {
    static constexpr float SlowLat = 35.681236f, SlowLng = 139.767125f;
    static constexpr float FastLat = 36.0f, FastLng = 139.0f;

    void ServeBoth() {
        const TilePosition slow = TileAddress(SlowLat, SlowLng);
        server.Serve(TilePath(slow).toStdString(),
                     {200, MakeTile([](int, int) { return std::string("100"); }), "text/plain", 3000ms});
        Serve(FastLat, FastLng, "200");
    }
    void ClickSlow() { ClickPageAndWait("35.681236", "139.767125"); }
    void ClickFast() { ClickPageAndWait("36.000000", "139.000000"); }
    Qt::CursorShape CursorOf(const char* name) { return form->findChild<QWidget*>(name)->cursor().shape(); }
};

TEST_F(PendingLookupTest, TheWindowKeepsRunningAndLaterClicksFollowInOrder) {
    Open();
    ServeBoth();
    // How late a 10 ms timer in the window's thread fires while the tile is held back.
    QElapsedTimer sinceLast;
    qint64 worstLateness = 0;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { worstLateness = std::max(worstLateness, sinceLast.restart() - 10); });
    sinceLast.start();
    probe.start();

    ClickSlow();
    EXPECT_TRUE(form->LookupsPending());
    EXPECT_EQ(CursorOf("Panel1"), Qt::WaitCursor);
    EXPECT_EQ(CursorOf("Memo1"), Qt::WaitCursor);
    EXPECT_NE(CursorOf("WebBrowser1"), Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Text("Memo1"), "35.6812");  // shown at arrival

    ClickFast();  // accepted while the first is pending
    EXPECT_EQ(Text("Memo1"), "36.0000");
    ASSERT_TRUE(WaitFor([&] { return Points() == 2; }));
    probe.stop();
    EXPECT_LE(worstLateness, 100) << "the event loop stalled";

    const RouteTable& t = form->State().Table;
    EXPECT_EQ(t.Lat[1], SlowLat);
    EXPECT_EQ(t.Elevation[1], 100.0f);
    EXPECT_EQ(t.Lat[2], FastLat);
    EXPECT_EQ(t.Elevation[2], 200.0f);
    EXPECT_EQ(Rows().size(), 2);
    EXPECT_EQ(Text("Edit1"), "200 m");
    EXPECT_FALSE(form->LookupsPending());
    EXPECT_NE(CursorOf("Panel1"), Qt::WaitCursor);
}

TEST_F(PendingLookupTest, ClearAllDropsThePendingClicks) {
    Open();
    ServeBoth();
    ClickSlow();
    Press("Button1");
    EXPECT_EQ(Points(), 0);
    EXPECT_FALSE(form->LookupsPending());
    EXPECT_EQ(Text("Memo1"), "");
    ASSERT_TRUE(WaitForLoad());
    // The worker takes one lookup at a time: once this click is a point, the dropped one is over.
    ClickFast();
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    EXPECT_EQ(form->State().Table.Lat[1], FastLat);
    EXPECT_EQ(Rows().size(), 1);
    EXPECT_EQ(Text("Memo1"), "36.0000");
}

TEST_F(PendingLookupTest, ButtonsPressedMeanwhileActOnTheRouteAsClicked) {
    Open();
    ServeBoth();
    ClickFast();
    ASSERT_TRUE(WaitFor([&] { return Points() == 1; }));
    ClickSlow();
    Press("Button6");  // the return route waits for the pending point
    EXPECT_EQ(Points(), 1);
    Press("Button2");  // and the export after it
    EXPECT_TRUE(shellCalls.empty());
    ASSERT_TRUE(WaitFor([&] { return !shellCalls.empty(); }));
    const RouteTable& t = form->State().Table;
    ASSERT_EQ(t.PointCount, 3);
    EXPECT_EQ(t.Lat[1], FastLat);
    EXPECT_EQ(t.Lat[2], SlowLat);
    EXPECT_EQ(t.Lat[3], FastLat);
    const QString path = root + QStringLiteral("マイデータ/高低図.csv");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), ToAnsi(RouteCsvLines(t, form->State().Stats, path).join("\r\n") + "\r\n"));
}

}  // namespace
