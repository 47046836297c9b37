// Files written by independent GPX programs read correctly, and our files read correctly in them.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimeZone>
#include <charconv>

#include "gpx/gpx_reader.h"
#include "gpx/gpx_writer.h"
#include "gpx/route_snapshot.h"
#include "gpx_fixture.h"

namespace {

const QDateTime When(QDate(2024, 3, 9), QTime(8, 0), Qt::UTC);

// Runs a program to its end; its standard output, or a test failure with its error output.
QByteArray RunProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString() << ": "
                      << process.errorString().toStdString() << "\n"
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput();
}

double Decimal(const QString& text) {
    const QByteArray ascii = text.toLatin1();
    double value = 0;
    std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    return value;
}

// The points as an independent reader sees them: the first track's points, else the waypoints.
const char* const GpxpyDump = R"(
import gpxpy, json, sys
with open(sys.argv[1], encoding='utf-8') as f:
    gpx = gpxpy.parse(f)
def dump(p):
    return [p.latitude, p.longitude, p.elevation, p.name]
track = [dump(p) for t in gpx.tracks[:1] for s in t.segments for p in s.points]
print(json.dumps({'version': gpx.version, 'creator': gpx.creator, 'name': gpx.name,
                  'time': gpx.time.isoformat() if gpx.time else None,
                  'track': track, 'waypoints': [dump(p) for p in gpx.waypoints]}))
)";

struct GpxInterop : GpxFixture {
    // Coordinates of at least one degree and elevations of at most three decimals: what the
    // other programs keep exactly (they write nine and three decimals).
    void SetUp() override {
        Route({
            {35.6895f, 139.6917f, 40.5f, QStringLiteral("東京駅")},
            {35.658581f, 139.745438f, 150.25f, QString()},
            {-33.856784f, 151.215297f, -3.125f, QStringLiteral("<a & b> \"c\" 'd'")},
            {64.14f, -21.94f, 8848.0f, QStringLiteral("富士山😀頂上")},
            {-89.5f, -179.5f, 0.0f, QStringLiteral("南 極")},
        });
    }

    void ExpectRoute(const std::vector<GpxPoint>& points, const std::string& what) const {
        ASSERT_EQ(points.size(), static_cast<std::size_t>(table.PointCount)) << what;
        for (int i = 1; i <= table.PointCount; ++i) {
            const GpxPoint& p = points[i - 1];
            EXPECT_EQ(static_cast<float>(p.Lat), table.Lat[i]) << what << " point " << i;
            EXPECT_EQ(static_cast<float>(p.Lng), table.Lng[i]) << what << " point " << i;
            EXPECT_EQ(static_cast<float>(p.Elevation.value_or(-1e9)), table.Elevation[i]) << what << " point " << i;
            EXPECT_EQ(p.Name, table.PointName[i]) << what << " point " << i;
        }
    }

    void ExpectGpxpySees(const QString& path, const std::string& what) const {
        const QJsonObject seen =
            QJsonDocument::fromJson(RunProgram("/usr/bin/python3", {"-c", GpxpyDump, path})).object();
        EXPECT_EQ(seen["version"].toString(), "1.1") << what;
        EXPECT_EQ(seen["creator"].toString(), "Mirevale MAP") << what;
        EXPECT_EQ(seen["name"].toString(), QStringLiteral("週末の山歩き")) << what;
        EXPECT_EQ(seen["time"].toString(), "2024-03-09T08:00:00+00:00") << what;
        const QJsonArray track = seen["track"].toArray();
        ASSERT_EQ(track.size(), table.PointCount) << what;
        QStringList waypointNames;
        for (const QJsonValue& w : seen["waypoints"].toArray()) waypointNames << w.toArray()[3].toString();
        QStringList names;
        for (int i = 1; i <= table.PointCount; ++i) {
            const QJsonArray p = track[i - 1].toArray();
            EXPECT_EQ(static_cast<float>(p[0].toDouble()), table.Lat[i]) << what << " point " << i;
            EXPECT_EQ(static_cast<float>(p[1].toDouble()), table.Lng[i]) << what << " point " << i;
            EXPECT_EQ(static_cast<float>(p[2].toDouble()), table.Elevation[i]) << what << " point " << i;
            EXPECT_EQ(p[3].isNull() ? QString() : p[3].toString(), table.PointName[i]) << what << " point " << i;
            if (!table.PointName[i].isEmpty()) names << table.PointName[i];
        }
        EXPECT_EQ(waypointNames, names) << what;
    }
};

TEST_F(GpxInterop, GpxpyReadsOurFilesAsWeWroteThem) {
    ExpectGpxpySees(Save("plain.gpx", WriteGpx(table, QStringLiteral("週末の山歩き"), When)), "plain");
    RouteStats stats;
    ExpectGpxpySees(Save("exact.gpx", WriteExactGpx(table, stats, QStringLiteral("週末の山歩き"), When)), "exact");
}

TEST_F(GpxInterop, GpsbabelCopiesOfOurFilesReadBack) {
    const QString ours = Save("ours.gpx", WriteGpx(table, QStringLiteral("週末の山歩き"), When));
    for (const QString& format : {QStringLiteral("gpx"), QStringLiteral("gpx,gpxver=1.0")}) {
        const QString copy = dir.filePath("copy.gpx");
        RunProgram("gpsbabel", {"-t", "-w", "-i", "gpx", "-f", ours, "-o", format, "-F", copy});
        ExpectRoute(ReadGpxFile(copy), format.toStdString());
    }
}

TEST_F(GpxInterop, GpsbabelFilesFromATableRead) {
    const QString csv = Save("points.csv", QStringLiteral("lat,lon,alt,name\n"
                                                          "35.6895,139.6917,40.5,東京駅\n"
                                                          "-33.856784,151.215297,-3.125,\"<a & b> 'd'\"\n"
                                                          "64.14,-21.94,8848,富士山😀頂上\n"
                                                          "-89.5,-179.5,0,南 極\n")
                                               .toUtf8());
    const QStringList lat = {"35.6895", "-33.856784", "64.14", "-89.5"};
    const QStringList lon = {"139.6917", "151.215297", "-21.94", "-179.5"};
    const double ele[] = {40.5, -3.125, 8848, 0};
    const QStringList names = {QStringLiteral("東京駅"), QStringLiteral("<a & b> 'd'"), QStringLiteral("富士山😀頂上"),
                               QStringLiteral("南 極")};
    const struct {
        QStringList arguments;
        const char* what;
    } cases[] = {
        {{"-o", "gpx,gpxver=1.0"}, "waypoints, GPX 1.0"},
        {{"-o", "gpx"}, "waypoints, GPX 1.1"},
        {{"-x", "transform,trk=wpt", "-o", "gpx,gpxver=1.0"}, "waypoints and a track, GPX 1.0"},
        {{"-x", "transform,rte=wpt,del", "-o", "gpx"}, "a route, GPX 1.1"},
    };
    for (const auto& c : cases) {
        const QString out = dir.filePath("babel.gpx");
        RunProgram("gpsbabel", QStringList{"-i", "unicsv,utf8", "-f", csv} + c.arguments + QStringList{"-F", out});
        const std::vector<GpxPoint> points = ReadGpxFile(out);
        ASSERT_EQ(points.size(), 4u) << c.what;
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(points[i].Lat, Decimal(lat[i])) << c.what << " " << i;
            EXPECT_EQ(points[i].Lng, Decimal(lon[i])) << c.what << " " << i;
            EXPECT_EQ(points[i].Elevation, ele[i]) << c.what << " " << i;
            EXPECT_EQ(points[i].Name, names[i]) << c.what << " " << i;
        }
    }
}

TEST_F(GpxInterop, GpxpyFilesRead) {
    const char* const write = R"(
import gpxpy.gpx, json, sys
points = json.loads(sys.argv[3])
gpx = gpxpy.gpx.GPX()
gpx.creator = 'other'
for lat, lon, ele, name in points[:2]:
    gpx.waypoints.append(gpxpy.gpx.GPXWaypoint(lat, lon, elevation=ele, name=name))
track = gpxpy.gpx.GPXTrack()
gpx.tracks.append(track)
for part in (points[:3], points[3:]):
    segment = gpxpy.gpx.GPXTrackSegment()
    track.segments.append(segment)
    for lat, lon, ele, name in part:
        segment.points.append(gpxpy.gpx.GPXTrackPoint(lat, lon, elevation=ele, name=name))
with open(sys.argv[1], 'w', encoding='utf-8') as f:
    f.write(gpx.to_xml(version=sys.argv[2]))
)";
    const QJsonArray points = {
        QJsonArray{35.6895, 139.6917, 40.5, QStringLiteral("東京駅")},
        QJsonArray{-33.856784123, 151.2152971, -3.125, QStringLiteral("<a & b> \"c\" 'd'")},
        QJsonArray{64.14, -21.94, QJsonValue(), QStringLiteral("富士山😀頂上")},
        QJsonArray{-90, 180, 0.5, QJsonValue()},
        QJsonArray{0.000012345, -0.1, 1234.75, QStringLiteral("x")},
    };
    const QString argument = QString::fromUtf8(QJsonDocument(points).toJson(QJsonDocument::Compact));
    for (const char* version : {"1.0", "1.1"}) {
        const QString path = dir.filePath(QStringLiteral("gpxpy-%1.gpx").arg(QLatin1String(version)));
        RunProgram("/usr/bin/python3", {"-c", write, path, version, argument});
        const std::vector<GpxPoint> read = ReadGpxFile(path);
        ASSERT_EQ(read.size(), 5u) << version;
        for (int i = 0; i < 5; ++i) {
            const QJsonArray p = points[i].toArray();
            EXPECT_EQ(read[i].Lat, p[0].toDouble()) << version << " " << i;
            EXPECT_EQ(read[i].Lng, p[1].toDouble()) << version << " " << i;
            EXPECT_EQ(read[i].Elevation.has_value(), !p[2].isNull()) << version << " " << i;
            if (!p[2].isNull()) {
                EXPECT_EQ(read[i].Elevation, p[2].toDouble()) << version << " " << i;
            }
            EXPECT_EQ(read[i].Name, p[3].toString()) << version << " " << i;
        }
    }
}

}  // namespace
