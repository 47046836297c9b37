#include "session/user_actions.h"

#include <QFile>

#include "export/csv_export.h"
#include "format/failure.h"
#include "session_fixture.h"

namespace {

using Actions = SessionFixture;

TEST_F(Actions, NamingRedrawsTheChartAndTheList) {
    Click("35.0", "139.0", "100");
    Click("35.01", "139.0", "300");
    NamePoint(state, 2, QStringLiteral("峠"));
    EXPECT_TRUE(state.Shown.ListBox1[1].endsWith(QStringLiteral("\t峠")));
    bool drawn = false;
    for (const PlacedText& t : state.Chart.Texts()) drawn |= t.text == QStringLiteral("峠");
    EXPECT_TRUE(drawn);

    NamePoint(state, 2, QString());  // Cancel: the name goes from the table, list and chart
    EXPECT_TRUE(state.Shown.ListBox1[1].endsWith(QLatin1Char('\t')));
    for (const PlacedText& t : state.Chart.Texts()) EXPECT_NE(t.text, QStringLiteral("峠"));
}

TEST_F(Actions, ReturnRouteRemoveLastAndClearAll) {
    ReturnRoute(state);  // empty route: nothing
    EXPECT_EQ(state.Table.PointCount, 0);

    Click("35.0", "139.0", "100");
    Click("35.01", "139.0", "300");
    Click("35.02", "139.0", "200");
    ReturnRoute(state);
    EXPECT_EQ(state.Table.PointCount, 5);
    EXPECT_EQ(state.Shown.ListBox1.size(), 5);
    EXPECT_EQ(state.Shown.Memo10, "300");
    EXPECT_EQ(state.Drawn.ChartX.size() > 5, true);

    RemoveLast(state);
    EXPECT_EQ(state.Table.PointCount, 4);
    EXPECT_EQ(state.Shown.ListBox1.size(), 4);

    ClearAll(state);
    EXPECT_EQ(state.Table.PointCount, 0);
    EXPECT_TRUE(state.Shown.ListBox1.isEmpty());
    EXPECT_TRUE(state.Chart.IsEmpty());
    EXPECT_TRUE(state.Shown.Memo1.isEmpty());
    RemoveLast(state);  // nothing to remove
    EXPECT_EQ(state.Table.PointCount, 0);
}

TEST_F(Actions, AfterClearAllOnePointHoversOverTheLastDrawing) {
    Click("35.0", "139.0", "100");
    Click("35.01", "139.0", "300");
    const int x1 = state.Drawn.ChartX[1];
    ClearAll(state);
    Click("36.0", "138.0", "500");
    HoverChart(state, ChartWidth, ChartHeight, x1, 100);
    EXPECT_EQ(state.Hover.HoverIndex, 1);
    EXPECT_TRUE(state.Hover.Shape1Visible);
    EXPECT_EQ(ClickChart(state, ChartButton::Right).kind, ChartClick::Recentre);
    EXPECT_EQ(RecentreScript(state, 1), "GotoLatLng(36,138)");
}

TEST_F(Actions, ExportsWriteIntoMyDataDir) {
    Click("35.0", "139.0", "100");
    Click("35.01", "139.0", "300");
    EXPECT_THROW(ExportCsv(state), Failure);  // no マイデータ folder yet

    ASSERT_TRUE(QDir().mkpath(state.Paths.MyDataDir));
    const QString csv = ExportCsv(state);
    EXPECT_EQ(csv, state.Paths.MyDataDir + QString::fromUtf16(CsvFileName));
    EXPECT_TRUE(QFile::exists(csv));

    const QString page = state.Paths.MyDataDir + QStringLiteral("route.html");
    ExportHtml(state, page);
    EXPECT_EQ(state.Paths.HtmlOutPath, page);
    EXPECT_TRUE(QFile::exists(page));

    QImage shot(40, 30, QImage::Format_RGB888);
    shot.fill(Qt::red);
    EXPECT_TRUE(QFile::exists(ExportSnapshot(state, shot)));
}

TEST_F(Actions, ThePageExportNeverOffersTheProgramFolder) {
    EXPECT_EQ(HtmlSaveFolder(state), QDir::homePath());  // マイデータ missing
    ASSERT_TRUE(QDir().mkpath(state.Paths.MyDataDir));
    EXPECT_EQ(HtmlSaveFolder(state), state.Paths.MyDataDir);
}

}  // namespace

namespace {

TEST_F(Actions, CourseReadoutsFollowEveryChangeOfTheRoute) {
    Click("35.00", "139.0", "700");
    EXPECT_EQ(state.Shown.CourseTime, "");  // one point: no leg yet
    Click("35.01", "139.0", "900");
    const QString out = state.Shown.CourseTime;
    EXPECT_FALSE(out.isEmpty());
    EXPECT_FALSE(state.Shown.CourseConstant.isEmpty());
    ReturnRoute(state);  // the way back adds its own, downhill, time
    EXPECT_NE(state.Shown.CourseTime, out);
    RemoveLast(state);
    RemoveLast(state);
    EXPECT_EQ(state.Shown.CourseTime, "");  // back to one point
    Click("35.02", "139.0", "800");
    ClearAll(state);
    EXPECT_EQ(state.Shown.CourseTime, "");
    EXPECT_EQ(state.Shown.CourseConstant, "");
}

}  // namespace
