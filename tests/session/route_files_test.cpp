#include "session/route_files.h"

#include <QFile>
#include <QProcess>

#include "export/csv_export.h"
#include "export/html_export.h"
#include "format/failure.h"
#include "gpx/gpx_reader.h"
#include "route/route_points.h"
#include "session/autosave.h"
#include "session/route_history.h"
#include "session/user_actions.h"
#include "session_fixture.h"
#include "support/failing_disk.h"

namespace {

// What a user sees of the route and what the exports would write, to compare two states.
struct Seen {
    QStringList readouts, list, csv, page;
    QImage chart;
    bool operator==(const Seen&) const = default;
};

Seen Look(const ToolState& s) {
    const Readouts& r = s.Shown;
    return {{r.Memo3, r.Memo4, r.memo5, r.Memo6, r.Memo7, r.Memo10, r.Memo11, r.Edit1, r.CourseTime, r.CourseConstant,
             QString::number(r.ListBox1TopIndex)},
            r.ListBox1,
            RouteCsvLines(s.Table, s.Stats, "a.csv"),
            RouteHtmlLines(s.Table),
            s.Chart.Image()};
}

struct Files : SessionFixture {
    QString stateDir = root.path() + "/state";

    // A route with every kind of edit: clicks, a name, the way back, a removal, another click.
    void EditedRoute() {
        Click("35.3606", "138.7274", "3776.24");
        Click("35.3650", "138.7300", "3250.5");
        Click("35.3700", "138.7400", "2305");
        NamePoint(state, 2, QStringLiteral("峠, \"吉田口\""));
        ReturnRoute(state);
        RemoveLast(state);
        Click("35.3800", "138.7500", "2100");
    }

    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = root.path() + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};

TEST_F(Files, AnAutosaveRestoresExactlyWhatTheRunShowedAndExported) {
    EditedRoute();
    const Seen before = Look(state);
    {
        Autosave run(stateDir);
        ASSERT_FALSE(run.Save(state));
    }
    ToolState next(ChartFont());
    StartSession(next, root.path() + "/MV6_DATA/20", "http://127.0.0.1:9");
    Autosave nextRun(stateDir);
    ASSERT_TRUE(nextRun.Restorable());
    EXPECT_EQ(nextRun.Restorable()->Table.PointCount, state.Table.PointCount);
    RestoreRoute(next, *nextRun.Restorable());
    EXPECT_TRUE(Look(next) == before);
    EXPECT_EQ(next.Shown.Memo1, "");  // the page starts afresh
}

TEST_F(Files, TwoRunsAtOnceWriteTwoFilesAndOfferNeithersLiveRoute) {
    Click("35.0", "139.0", "100");
    Autosave first(stateDir);
    Autosave second(stateDir);
    ASSERT_FALSE(first.Path().isEmpty());
    EXPECT_NE(first.Path(), second.Path());
    ASSERT_FALSE(first.Save(state));
    Autosave third(stateDir);  // the first still runs: its route is not the previous run's
    EXPECT_FALSE(third.Restorable());
}

TEST_F(Files, ADamagedOrMissingAutosaveOffersNothingAndIsKeptUntilTheFirstChange) {
    QDir().mkpath(stateDir);
    const QString slot = AutosaveFile(stateDir, 1);
    const QByteArray damaged =
        "<?xml version=\"1.0\"?><gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"";
    QFile f(slot);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(damaged);
    f.close();
    {
        Autosave run(stateDir);
        EXPECT_FALSE(run.Restorable());
        EXPECT_EQ(run.Path(), slot);
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), damaged);  // nobody wrote it
    f.close();

    QDir(stateDir).removeRecursively();
    Autosave fresh(stateDir);
    EXPECT_FALSE(fresh.Restorable());
}

TEST_F(Files, AnAutosaveOntoAFullDiskKeepsTheOldOneWhole) {
    Click("35.0", "139.0", "100");
    Click("35.01", "139.0", "200");
    const auto child = failing_disk::InChild([&] {
        QDir().mkpath(stateDir);
        failing_disk::MountSmallDisk(stateDir.toStdString(), "64k");
        Autosave run(stateDir);
        if (auto failed = run.Save(state)) return "first save failed: " + failed->toStdString();
        QFile saved(run.Path());
        saved.open(QIODevice::ReadOnly);
        const QByteArray good = saved.readAll();
        saved.close();
        // A long route does not fit: the save fails, and says so, and the old file stays.
        for (int i = 0; i < 2000; ++i)
            AppendPoint(state.Table, state.Stats, state.Shown, QString::number(35.02 + i * 1e-4, 'f', 6), "139.0", 150);
        const auto failed = run.Save(state);
        if (!failed) return std::string("the save onto a full disk reported success");
        saved.open(QIODevice::ReadOnly);
        if (saved.readAll() != good) return std::string("the old autosave changed");
        if (ReadRouteSnapshotFile(run.Path()).Table.PointCount != 2) return std::string("the old autosave broke");
        return std::string("ok: ") + failed->toStdString();
    });
    ASSERT_EQ(child.status, 0) << child.text;
    EXPECT_EQ(child.text.substr(0, 3), "ok:") << child.text;
}

TEST_F(Files, GpxRoundTripThroughGpsbabelKeepsPointsElevationsAndNames) {
    EditedRoute();
    const QString ours = root.path() + "/行程.gpx", theirs = root.path() + "/babel.gpx";
    ExportGpx(state, ours);
    QProcess babel;
    babel.start("gpsbabel", {"-i", "gpx", "-f", ours, "-o", "gpx,gpxver=1.1", "-F", theirs});
    ASSERT_TRUE(babel.waitForFinished(30000));
    ASSERT_EQ(babel.exitCode(), 0) << babel.readAllStandardError().toStdString();

    const std::vector<GpxPoint> back = ReadGpxFile(theirs);
    ASSERT_EQ(int(back.size()), state.Table.PointCount);
    for (int i = 1; i <= state.Table.PointCount; ++i) {
        const GpxPoint& p = back[i - 1];
        EXPECT_EQ(float(p.Lat), state.Table.Lat[i]) << i;
        EXPECT_EQ(float(p.Lng), state.Table.Lng[i]) << i;
        ASSERT_TRUE(p.Elevation) << i;
        EXPECT_EQ(float(*p.Elevation), state.Table.Elevation[i]) << i;
        EXPECT_EQ(p.Name, state.Table.PointName[i]) << i;
    }
}

TEST_F(Files, ImportReplacesTheRouteAsClicksWouldWithRoundedElevations) {
    Click("36.0", "138.0", "500");
    const std::vector<GpxPoint> points = {{35.0, 139.0, 100.5, ""},           // a tie goes to the even metre
                                          {35.01, 139.0, 101.5, "峠"},        // and so does this one
                                          {35.02, 139.0, std::nullopt, ""}};  // looked up
    int lookups = 0;
    const auto elevations = ImportElevations(points, [&](float lat, float lng) {
        ++lookups;
        EXPECT_EQ(lat, 35.02f);
        EXPECT_EQ(lng, 139.0f);
        return 333.0f;
    });
    ASSERT_TRUE(elevations);
    EXPECT_EQ(*elevations, (std::vector<float>{100, 102, 333}));
    EXPECT_EQ(lookups, 1);
    ImportRoute(state, points, *elevations);

    // The same points clicked on a fresh route give the same table, statistics and exports.
    ToolState clicked(ChartFont());
    StartSession(clicked, root.path() + "/MV6_DATA/20", "http://127.0.0.1:9");
    for (const auto& [lat, ele] :
         {std::pair{"35", "100"}, {"35.009999999999998", "102"}, {"35.020000000000003", "333"}}) {
        tiles.cell = ele;
        ASSERT_TRUE(CapturePoint(clicked, {lat, "139", {}, {}, {}}, tiles));
    }
    NamePoint(clicked, 2, QStringLiteral("峠"));
    EXPECT_EQ(RouteCsvLines(state.Table, state.Stats, "a.csv"), RouteCsvLines(clicked.Table, clicked.Stats, "a.csv"));
    EXPECT_EQ(RouteHtmlLines(state.Table), RouteHtmlLines(clicked.Table));
    EXPECT_EQ(state.Shown.ListBox1, clicked.Shown.ListBox1);
    EXPECT_EQ(state.Shown.Memo10, clicked.Shown.Memo10);
    EXPECT_EQ(state.Chart.Image(), clicked.Chart.Image());
    EXPECT_EQ(state.Shown.Memo1, "");  // as after clear all
}

TEST_F(Files, AStoppedOrFailedImportLeavesTheRouteAsItWas) {
    EditedRoute();
    const Seen before = Look(state);
    const std::vector<GpxPoint> points = {{35.0, 139.0, std::nullopt, ""}, {35.1, 139.0, std::nullopt, ""}};
    EXPECT_FALSE(ImportElevations(
        points, [](float, float) { return 1.0f; }, [](int done) { return done < 1; }));
    EXPECT_THROW(ImportElevations({{35.0, 139.0, 1e300, ""}}, [](float, float) { return 1.0f; }), Failure);
    EXPECT_TRUE(Look(state) == before);
    // Elevations no chart can scale: the import fails as a whole.
    EXPECT_THROW(ImportRoute(state, {{35.0, 139.0, 0.0, ""}, {35.1, 139.0, 1e15, ""}}, {0, 1e15f}), Failure);
    EXPECT_TRUE(Look(state) == before);

    const QString bad = Write("bad.gpx",
                              "<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
                              "<trk><trkseg><trkpt lat=\"95\" lon=\"139\"/></trkseg></trk></gpx>");
    try {
        ReadGpxFile(bad);
        ADD_FAILURE() << "a latitude of 95 was read";
    } catch (const Failure& f) {
        EXPECT_TRUE(f.text().contains("bad.gpx")) << f.what();
    }
    EXPECT_TRUE(Look(state) == before);
}

TEST_F(Files, ImportAndRestoreAreUndoneLikeAnyOtherChange) {
    RouteHistory history(state);
    history.Run("click", [&] { Click("35.0", "139.0", "100"); });
    const Seen one = Look(state);
    const std::vector<GpxPoint> points = {{36.0, 138.0, 10.0, "A"}, {36.1, 138.0, 20.0, ""}};
    history.Run("import", [&] { ImportRoute(state, points, {10, 20}); });
    const Seen imported = Look(state);
    history.Undo();
    EXPECT_TRUE(Look(state) == one);
    history.Redo();
    EXPECT_TRUE(Look(state) == imported);
}

}  // namespace

namespace {

TEST_F(Files, BackgroundSavesWriteTheLatestRouteBeforeTheAutosaveEnds) {
    {
        Autosave run(stateDir);
        for (const char* lat : {"35.0", "35.01", "35.02", "35.03"}) {
            Click(lat, "139.0", "100");
            run.SaveInBackground(state);
        }
        run.Flush();
        EXPECT_EQ(ReadAutosaveSummaryFile(run.Path()).PointCount, 4);
        EXPECT_TRUE(run.LastFailure().isEmpty());
        Click("35.04", "139.0", "100");
        run.SaveInBackground(state);
    }  // the end waits for the last route
    Autosave next(stateDir);
    ASSERT_TRUE(next.Restorable());
    EXPECT_EQ(next.Restorable()->Table.PointCount, 5);
}

}  // namespace
