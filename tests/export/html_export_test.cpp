#include "export/html_export.h"

#include "export/text_file_writer.h"
#include "export_fixture.h"
#include "format/failure.h"

namespace {

using HtmlExport = ExportFixture;

TEST(MarkerDistance, CutsKilometresAndRoundsMetres) {
    const struct {
        float km;
        const char* text;
    } cases[] = {{0, "0 m"},         {0.5f, "500 m"},       {0.9996f, "1000 m"},   {1, "1 Km"},
                 {2.2f, "2.200 Km"}, {10.123f, "10.12 Km"}, {1234.5f, "1234. Km"}, {12345.6f, "12345 Km"},
                 {0.0625f, "62 m"},  {0.1875f, "188 m"}};  // exact halves go to even
    for (const auto& c : cases) EXPECT_EQ(MarkerDistance(c.km).toStdString(), c.text) << c.km;
}

TEST_F(HtmlExport, OnePointPageHasNoLineAndNoMarkers) {
    Route({{"35.68123", "139.7661", 40, 0, ""}});
    const QStringList lines = RouteHtmlLines(table);
    ASSERT_EQ(lines.size(), 29);
    EXPECT_EQ(lines[0], "<!DOCTYPE html>");
    EXPECT_EQ(lines[1], "<html> ");
    EXPECT_EQ(lines[3], "<meta charset=\"Shift_JIS\">");
    EXPECT_EQ(lines[5], "<link rel=\"stylesheet\" href=\"https://unpkg.com/leaflet@1.3.0/dist/leaflet.css\"/>");
    EXPECT_EQ(lines[6], "<script src=\"https://unpkg.com/leaflet@1.3.0/dist/leaflet.js\"></script>");
    EXPECT_EQ(lines[7], "<style>     #mapDiv{position:absolute;top:5px;left:5px;right:5px;bottom:5px;} </style>");
    EXPECT_EQ(lines[9], "   var map;     var marker;");
    EXPECT_EQ(lines[12], "      var mypoint = [35.6812286376953,139.766098022461];");
    EXPECT_EQ(lines[14], QStringLiteral("      var gsiattr = \"<a href='http://maps.gsi.go.jp/help/termsofuse.html'"
                                        "target='_blank'>地理院タイル</a>\";"));
    EXPECT_EQ(lines[15],
              QStringLiteral("      var gsi_std = L.tileLayer('http://cyberjapandata.gsi.go.jp/xyz/std/{z}/{x}/"
                             "{y}.png',{ attribution: '地理院標準タイル ',maxZoom: 18});"));
    EXPECT_EQ(lines[17], QStringLiteral("      var osm = L.tileLayer('http://tile.openstreetmap.jp/{z}/{x}/{y}.png',"
                                        "{attribution: \"<a href='http://www.openstreetmap.org/copyright'"
                                        "target='_blank'>OpenStreetMap</a> contributors\" });"));
    EXPECT_EQ(lines[21], "");
    EXPECT_EQ(lines[22], "}");
    EXPECT_EQ(lines[25], "<body onload=\"init()\">");
    EXPECT_EQ(lines[26], "    <div id=\"mapDiv\"></div>");
    EXPECT_EQ(lines[28], "</html>");
}

TEST_F(HtmlExport, TwoPointPageAndTheMarkerRow) {
    Route({{"35.6", "139.7", 10, 0, ""}, {"35.68123", "139.7661", 40, 2.2f, QStringLiteral("峠")}});
    const QStringList lines = RouteHtmlLines(table);
    ASSERT_EQ(lines.size(), 29 + 8);
    EXPECT_EQ(lines[22], "    L.polyline([");
    EXPECT_EQ(lines[23], "      [35.5999984741211,139.699996948242],");
    EXPECT_EQ(lines[24], "      [35.6812286376953,139.766098022461]");
    EXPECT_EQ(lines[25], "    ],{color: 'blue', weight: 5, opacity: 1}).addTo(map);");
    EXPECT_EQ(lines[26], " ");
    EXPECT_EQ(lines[27], QStringLiteral("  var  marker1=L.marker([35.5999984741211,139.699996948242],"
                                        "{title:'No.1   行程: 0 m    標高: 10 m'}).addTo(map);"));
    EXPECT_EQ(lines[28], QStringLiteral("  var  marker2=L.marker([35.6812286376953,139.766098022461],"
                                        "{title:'No.2   行程: 2.200 Km    標高: 40 m  峠'}).addTo(map);"));
    EXPECT_EQ(lines[29], " ");
    EXPECT_EQ(lines[30], "}");
}

TEST_F(HtmlExport, NamesAreEscapedInsideTheTitle) {
    const struct {
        QString name, written;
    } cases[] = {
        {QStringLiteral("峠の茶屋"), QStringLiteral("峠の茶屋")},
        {"it's", "it\\'s"},
        {"a\\b", "a\\\\b"},
        {"</script><b>", "\\x3C/script>\\x3Cb>"},
        {"a\r\nb", "a\\r\\nb"},
        {QString(QChar(0x2028)) + QChar(0x2029), "\\u2028\\u2029"},
        {"\"quoted\"", "\"quoted\""},
    };
    Route({{"35", "139", 1, 0, ""}});
    for (const auto& c : cases) {
        table.PointName[1] = c.name;
        EXPECT_EQ(MarkerTitle(table, 1), QStringLiteral("No.1   行程: 0 m    標高: 1 m  ") + c.written)
            << c.name.toStdString();
    }
}

TEST_F(HtmlExport, WritesTheFileInTheAnsiCodePage) {
    Route({{"35", "139", 1, 0, ""}, {"35.1", "139", 2, 11.1f, QStringLiteral("峠😀")}});
    const QString path = myDataDir + "route";  // a name without an extension stays so
    WriteRouteHtml(table, path);
    const QByteArray bytes = Read(path);
    EXPECT_EQ(bytes, ToAnsi(RouteHtmlLines(table).join("\r\n").replace(QStringLiteral("😀"), "?") + "\r\n"));
    EXPECT_TRUE(bytes.contains("\x93\xbb?'}).addTo(map);\r\n"));
    WriteRouteHtml(table, path);  // replaced without a question
    EXPECT_EQ(Read(path), bytes);
    EXPECT_THROW(WriteRouteHtml(table, myDataDir + "missing/route.html"), Failure);
}

}  // namespace
