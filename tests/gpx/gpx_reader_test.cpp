#include <QFile>

#include "gpx/gpx_reader.h"
#include "gpx_fixture.h"

namespace {

struct GpxReader : GpxFixture {
    static std::vector<GpxPoint> Read(const QByteArray& text) { return ReadGpx(text, QStringLiteral("t.gpx")); }
    static std::string Names(const std::vector<GpxPoint>& points) {
        QStringList names;
        for (const GpxPoint& p : points) names << p.Name;
        return names.join(',').toStdString();
    }
};

TEST_F(GpxReader, Gpx10WithAPrefixAndForeignElements) {
    const std::vector<GpxPoint> points = Read(R"(<?xml version="1.0" encoding="UTF-8"?>
<g:gpx xmlns:g="http://www.topografix.com/GPX/1/0" xmlns:x="urn:other" version="1.0" creator="c">
 <g:trk><g:name>trk</g:name><x:name>not a point</x:name>
  <g:trkseg>
   <g:trkpt lat=" 35.5 " lon="+139.25"><g:ele>12.5</g:ele><x:ele>999</x:ele><g:name>a&amp;b</g:name><g:time>2020-01-01T00:00:00Z</g:time></g:trkpt>
   <g:trkpt lon="-0.5" lat="-1e-3"><x:name>foreign</x:name></g:trkpt>
  </g:trkseg>
  <x:trkseg><g:trkpt lat="1" lon="1"/></x:trkseg>
  <g:trkseg><g:trkpt lat="2" lon="3"><g:ele></g:ele><g:name><![CDATA[<c>]]></g:name></g:trkpt></g:trkseg>
 </g:trk>
</g:gpx>)");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].Lat, 35.5);
    EXPECT_EQ(points[0].Lng, 139.25);
    EXPECT_EQ(points[0].Elevation, 12.5);
    EXPECT_EQ(points[1].Lat, -0.001);
    EXPECT_EQ(points[1].Lng, -0.5);
    EXPECT_FALSE(points[1].Elevation.has_value());
    EXPECT_FALSE(points[2].Elevation.has_value());  // an empty ele is an unknown elevation
    EXPECT_EQ(Names(points), "a&b,,<c>");
}

TEST_F(GpxReader, ExtensionsAreSkippedWhateverTheyHold) {
    const std::vector<GpxPoint> points = Read(R"(<gpx xmlns="http://www.topografix.com/GPX/1/1" version="1.1">
 <trk><extensions><trkseg><trkpt lat="9" lon="9"/></trkseg></extensions>
  <trkseg><trkpt lat="1" lon="2"><ele>3</ele><extensions><name>ext</name><ele>4</ele></extensions></trkpt></trkseg>
 </trk>
</gpx>)");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].Elevation, 3.0);
    EXPECT_EQ(points[0].Name, "");
}

TEST_F(GpxReader, TakesTheFirstTrackElseTheFirstRouteElseTheWaypoints) {
    const QByteArray wpt = R"(<wpt lat="1" lon="1"><name>w1</name></wpt><wpt lat="2" lon="2"><name>w2</name></wpt>)";
    const QByteArray rte1 =
        R"(<rte><rtept lat="1" lon="1"><name>r1</name></rtept><rtept lat="1" lon="1"><name>r2</name></rtept></rte>)";
    const QByteArray rte2 = R"(<rte><rtept lat="1" lon="1"><name>r3</name></rtept></rte>)";
    const QByteArray trk1 =
        R"(<trk><trkseg><trkpt lat="1" lon="1"><name>t1</name></trkpt></trkseg><trkseg/><trkseg><trkpt lat="1" lon="1"><name>t2</name></trkpt></trkseg></trk>)";
    const QByteArray trk2 = R"(<trk><trkseg><trkpt lat="1" lon="1"><name>t3</name></trkpt></trkseg></trk>)";
    const QByteArray emptyTrk = "<trk><name>no points</name><trkseg/></trk>";
    const QByteArray emptyRte = "<rte/>";
    const struct {
        QByteArray body;
        const char* names;
    } cases[] = {
        {wpt + rte1 + rte2 + trk1 + trk2, "t1,t2"},
        {trk2 + rte1 + trk1 + wpt, "t3"},
        {emptyTrk + wpt + rte2 + rte1 + trk2, "t3"},  // a track without points is passed over
        {wpt + emptyRte + rte1 + rte2, "r1,r2"},
        {emptyTrk + wpt + emptyRte, "w1,w2"},
        {wpt, "w1,w2"},
    };
    for (const auto& c : cases) {
        const QByteArray doc = "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\">" + c.body + "</gpx>";
        EXPECT_EQ(Names(Read(doc)), c.names) << c.body.toStdString();
    }
}

TEST_F(GpxReader, BadInputsFailWithTheirText) {
    const QByteArray head = R"(<gpx xmlns="http://www.topografix.com/GPX/1/1">)";
    const struct {
        QByteArray text;
        const char* failure;
    } cases[] = {
        {"", "GPX ファイル「t.gpx」は XML として読めません (1 行 0 桁: Premature end of document.)"},
        {"plain text", "GPX ファイル「t.gpx」は XML として読めません (1 行 1 桁: Start tag expected.)"},
        {head + "\n<trk>\n<trkseg></trk></gpx>",
         "GPX ファイル「t.gpx」は XML として読めません (3 行 14 桁: Opening and ending tag mismatch.)"},
        {head + "<wpt lat=\"1\" lon=\"1\"/></gpx><extra/>",
         "GPX ファイル「t.gpx」は XML として読めません (1 行 83 桁: Extra content at end of document.)"},
        {"<kml><wpt lat=\"1\" lon=\"1\"/></kml>",
         "ファイル「t.gpx」は GPX ではありません (最上位の要素が gpx ではなく kml です)"},
        {"<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
         "<gpx><wpt lat=\"1\" lon=\"1\"><name>&b;&b;&b;&b;</name></wpt></gpx>",
         "GPX ファイル「t.gpx」は実体 (ENTITY) を定義する文書型宣言を含むため読み込みません"},
        {"<!DOCTYPE gpx [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><gpx><wpt lat=\"1\" "
         "lon=\"1\"><name>&x;</name></wpt></gpx>",
         "GPX ファイル「t.gpx」は実体 (ENTITY) を定義する文書型宣言を含むため読み込みません"},
        {head + "\n<wpt lat=\"1\" lon=\"1\"/><wpt lon=\"2\"/></gpx>",
         "GPX ファイル「t.gpx」の 2 行目の wpt に緯度がありません"},
        {head + "<rte><rtept lat=\"1\"/></rte></gpx>", "GPX ファイル「t.gpx」の 1 行目の rtept に経度がありません"},
        {head + "<trk><trkseg><trkpt lat=\"90.0001\" lon=\"0\"/></trkseg></trk></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の trkpt の緯度 90.0001 は -90 から 90 の範囲外です"},
        {head + "<wpt lat=\"-91\" lon=\"0\"/></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の緯度 -91 は -90 から 90 の範囲外です"},
        {head + "<wpt lat=\"0\" lon=\"180.5\"/></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の経度 180.5 は -180 から 180 の範囲外です"},
        {head + "<wpt lat=\"0\" lon=\"-1e3\"/></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の経度 -1e3 は -180 から 180 の範囲外です"},
        {head + "<wpt lat=\"NaN\" lon=\"0\"/></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の緯度「NaN」は数値ではありません"},
        {head + "<wpt lat=\"35,5\" lon=\"0\"/></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の緯度「35,5」は数値ではありません"},
        {head + "<wpt lat=\"1\" lon=\"0x10\"/></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の経度「0x10」は数値ではありません"},
        {head + "<wpt lat=\"1\" lon=\"\"/></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の経度「」は数値ではありません"},
        {head + "<wpt lat=\"1\" lon=\"inf\"/></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の経度「inf」は数値ではありません"},
        {head + "\n\n<trk><trkseg><trkpt lat=\"1\" lon=\"1\"><ele>12 m</ele></trkpt></trkseg></trk></gpx>",
         "GPX ファイル「t.gpx」の 3 行目の trkpt の標高「12 m」は数値ではありません"},
        {head + "<wpt lat=\"1\" lon=\"1\"><ele>1e999</ele></wpt></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の標高「1e999」は数値ではありません"},
        {head + "<metadata><name>only a name</name></metadata><trk><trkseg/></trk></gpx>",
         "GPX ファイル「t.gpx」には地点がありません (トラック、ルート、ウェイポイントのどれにもありません)"},
        // A bad waypoint fails the file even though the track is what would be taken.
        {head + "<wpt lat=\"x\" lon=\"1\"/><trk><trkseg><trkpt lat=\"1\" lon=\"1\"/></trkseg></trk></gpx>",
         "GPX ファイル「t.gpx」の 1 行目の wpt の緯度「x」は数値ではありません"},
    };
    for (const auto& c : cases) EXPECT_EQ(FailureOf([&] { Read(c.text); }), c.failure) << c.text.toStdString();
}

TEST_F(GpxReader, AFileNameWithPercentSignsIsNamedAsItIs) {
    const QString path = Save("a%1 %2.gpx", "<gpx/>");
    EXPECT_EQ(FailureOf([&] { ReadGpxFile(path); }),
              (QStringLiteral("GPX ファイル「") + path +
               "」には地点がありません (トラック、ルート、ウェイポイントのどれにもありません)")
                  .toStdString());
}

TEST_F(GpxReader, AtMostOneHundredThousandPoints) {
    const auto track = [](int n) {
        QByteArray doc = "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n";
        for (int i = 0; i < n; ++i) doc += "<trkpt lat=\"35.1\" lon=\"139.2\"><ele>10</ele></trkpt>\n";
        return doc + "</trkseg></trk></gpx>";
    };
    EXPECT_EQ(Read(track(100000)).size(), 100000u);
    EXPECT_EQ(FailureOf([&] { Read(track(100001)); }), "GPX ファイル「t.gpx」の地点が上限の 100000 点を超えています");
}

TEST_F(GpxReader, AFileOverSixtyFourMebibytesIsRefusedBeforeReading) {
    const QString path = dir.filePath("huge.gpx");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        // A sparse file of zeros: reading it as XML would fail with a different text.
        ASSERT_TRUE(file.resize(qint64{64} * 1024 * 1024 + 1));
    }
    EXPECT_EQ(FailureOf([&] { ReadGpxFile(path); }),
              (QStringLiteral("GPX ファイル「") + path +
               "」は 67108865 バイトあり、上限の 64 MiB (67108864 バイト) を超えています")
                  .toStdString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(qint64{64} * 1024 * 1024));
    file.close();
    EXPECT_NE(FailureOf([&] { ReadGpxFile(path); }).find("XML として読めません"), std::string::npos);
}

}  // namespace
