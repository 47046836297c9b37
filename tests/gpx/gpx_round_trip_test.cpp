#include <QRegularExpression>
#include <QTimeZone>
#include <QXmlStreamReader>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>

#include "format/format_messages.h"
#include "gpx/gpx_reader.h"
#include "gpx/gpx_writer.h"
#include "gpx_fixture.h"

namespace {

const QDateTime Noon(QDate(2024, 5, 1), QTime(21, 30, 5), QTimeZone(9 * 3600));

struct GpxRoundTrip : GpxFixture {
    void SetUp() override {
        Route({
            {35.6895f, 139.6917f, 40.5f, QStringLiteral("東京駅")},
            {35.6586f, 139.7454f, -3.25f, QString()},
            {-89.99999f, -179.99998f, 8848.86f, QStringLiteral("<a & b> \"c\" 'd' ]]>")},
            {90.0f, 180.0f, 0.0f, QStringLiteral(" spaced\ttab\nline\r\ncrlf ")},
            {-90.0f, -180.0f, -0.0f, QStringLiteral("富士山😀頂上")},
            {0.000012345678f, -1e-7f, 1234567.8f, QString()},
            {1.17549435e-38f, 179.999985f, 12.0f, QStringLiteral("x")},
        });
    }
};

TEST_F(GpxRoundTrip, PointsReadBackAsTheSameFloatsAndNames) {
    const QString path = Save("route.gpx", WriteGpx(table, QStringLiteral("散歩 & 峠"), Noon));
    const std::vector<GpxPoint> points = ReadGpxFile(path);
    ASSERT_EQ(points.size(), 7u);
    for (int i = 1; i <= 7; ++i) {
        const GpxPoint& p = points[i - 1];
        EXPECT_EQ(static_cast<float>(p.Lat), table.Lat[i]) << i;
        EXPECT_EQ(static_cast<float>(p.Lng), table.Lng[i]) << i;
        ASSERT_TRUE(p.Elevation.has_value()) << i;
        EXPECT_EQ(static_cast<float>(*p.Elevation), table.Elevation[i]) << i;
        EXPECT_EQ(p.Name, table.PointName[i]) << i;
    }
}

TEST_F(GpxRoundTrip, DocumentHasMetadataWaypointsBeforeTheOneTrack) {
    const QByteArray bytes = WriteGpx(table, QStringLiteral("散歩 & 峠"), Noon);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << bytes.left(60).toStdString();
    QXmlStreamReader xml(bytes);
    QStringList order;  // the root's children, and the metadata's
    QString creator, version, time, name;
    int trkpt = 0, trkseg = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        EXPECT_EQ(xml.namespaceUri(), u"http://www.topografix.com/GPX/1/1") << xml.name().toString().toStdString();
        const QString element = xml.name().toString();
        if (element == u"gpx") {
            creator = xml.attributes().value(QLatin1String("creator")).toString();
            version = xml.attributes().value(QLatin1String("version")).toString();
        } else if (element == u"metadata" || element == u"wpt" || element == u"trk") {
            order << element;
        } else if (element == u"time") {
            time = xml.readElementText();
        } else if (element == u"name" && name.isEmpty()) {
            name = xml.readElementText();
        } else if (element == u"trkseg") {
            ++trkseg;
        } else if (element == u"trkpt") {
            ++trkpt;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(creator, "Mirevale MAP");
    EXPECT_EQ(version, "1.1");
    EXPECT_EQ(time, "2024-05-01T12:30:05Z");
    EXPECT_EQ(name, QStringLiteral("散歩 & 峠"));
    EXPECT_EQ(order.join(' '), "metadata wpt wpt wpt wpt wpt trk");
    EXPECT_EQ(trkseg, 1);
    EXPECT_EQ(trkpt, 7);
}

TEST_F(GpxRoundTrip, WaypointsAreTheNamedPointsInOrder) {
    // A file without its track reads as its waypoints.
    QByteArray bytes = WriteGpx(table, QStringLiteral("r"), Noon);
    bytes = bytes.left(bytes.indexOf("<trk>")) + "</gpx>\n";
    const std::vector<GpxPoint> points = ReadGpx(bytes, QStringLiteral("w.gpx"));
    const int named[] = {1, 3, 4, 5, 7};
    ASSERT_EQ(points.size(), std::size(named));
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_EQ(points[k].Name, table.PointName[named[k]]);
        EXPECT_EQ(static_cast<float>(points[k].Lat), table.Lat[named[k]]);
        EXPECT_EQ(static_cast<float>(*points[k].Elevation), table.Elevation[named[k]]);
    }
}

TEST_F(GpxRoundTrip, CharactersXmlCannotCarryBecomeReplacementCharacters) {
    table.PointName[2] = QStringLiteral("a") + QChar(0x01) + QChar(0xD800) + QStringLiteral("b") + QChar(0xFFFF) +
                         QChar(0xDC00) + QStringLiteral("😀");
    const std::vector<GpxPoint> points = ReadGpx(WriteGpx(table, QStringLiteral("r"), Noon), "r.gpx");
    EXPECT_EQ(points[1].Name, QStringLiteral("a\uFFFD\uFFFDb\uFFFD\uFFFD😀"));
}

TEST_F(GpxRoundTrip, EmptyRouteAndInvalidTimeStillMakeADocument) {
    RouteTable empty;
    const QByteArray bytes = WriteGpx(empty, QString(), QDateTime());
    EXPECT_FALSE(bytes.contains("<time>"));
    EXPECT_TRUE(bytes.contains("<trkseg"));
    EXPECT_EQ(FailureOf([&] { ReadGpx(bytes, "e.gpx"); }),
              "GPX ファイル「e.gpx」には地点がありません (トラック、ルート、ウェイポイントのどれにもありません)");
}

TEST_F(GpxRoundTrip, NonFiniteValuesAreRefused) {
    table.Elevation[3] = std::numeric_limits<float>::infinity();
    EXPECT_EQ(FailureOf([&] { WriteGpx(table, "r", Noon); }), format_messages::Overflow().toStdString());
    table.Elevation[3] = 0;
    table.Lat[1] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(FailureOf([&] { WriteGpx(table, "r", Noon); }), format_messages::InvalidOperation().toStdString());
}

TEST(ShortestDecimal, IsTheShortestFixedTextThatReadsBackThroughDouble) {
    const struct {
        float value;
        const char* text;
    } cases[] = {{35.1f, "35.1"},           {0.1f, "0.1"},          {-0.0f, "-0"},
                 {1e-7f, "0.0000001"},      {180.0f, "180"},        {139.6917f, "139.6917"},
                 {16777216.0f, "16777216"}, {1e10f, "10000000000"}, {-12.5f, "-12.5"}};
    for (const auto& c : cases) EXPECT_EQ(ShortestDecimal(c.value), c.text) << c.text;

    // The reader parses to double and the route stores float: the text must survive both roundings.
    std::mt19937 random(11);
    std::uniform_real_distribution<float> degrees(-180, 180);
    for (int i = 0; i < 200000; ++i) {
        const float v = i % 2 ? degrees(random) : std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(v)) continue;
        const QByteArray text = ShortestDecimal(v).toLatin1();
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(std::bit_cast<std::uint32_t>(static_cast<float>(back)), std::bit_cast<std::uint32_t>(v))
            << text.toStdString();
    }
}

}  // namespace
