#include "export/html_export.h"

#include "export/text_file_writer.h"
#include "format/number_text.h"

using namespace page_urls;

namespace {

QString Latin(const char* text) { return QString::fromLatin1(text); }

QString LatLng(const RouteTable& table, int i) {
    return GeneralFormat(table.Lat[i]) + QLatin1Char(',') + GeneralFormat(table.Lng[i]);
}

}  // namespace

QString MarkerDistance(float cumulativeKm) {
    if (cumulativeKm >= 1) return GeneralFormat(cumulativeKm).left(5) + QStringLiteral(" Km");
    return RoundText(static_cast<long double>(cumulativeKm) * 1000) + QStringLiteral(" m");
}

QString ScriptStringEscape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
            case u'\\':
                out += QStringLiteral("\\\\");
                break;
            case u'\'':
                out += QStringLiteral("\\'");
                break;
            case u'<':
                out += QStringLiteral("\\x3C");
                break;  // "</script>" cannot end the element
            case u'\r':
                out += QStringLiteral("\\r");
                break;
            case u'\n':
                out += QStringLiteral("\\n");
                break;
            case 0x2028:
                out += QStringLiteral("\\u2028");
                break;
            case 0x2029:
                out += QStringLiteral("\\u2029");
                break;
            default:
                out += c;
        }
    }
    return out;
}

QString MarkerTitle(const RouteTable& table, int i) {
    QString title = QStringLiteral("No.") + QString::number(i) + QStringLiteral("   行程: ") +
                    MarkerDistance(table.CumulativeKm[i]) + QStringLiteral("    標高: ") +
                    RoundText(table.Elevation[i]) + QStringLiteral(" m");
    if (!table.PointName[i].isEmpty()) title += QStringLiteral("  ") + ScriptStringEscape(table.PointName[i]);
    return title;
}

QStringList RouteHtmlLines(const RouteTable& table) {
    const int n = table.PointCount;
    QStringList l;
    l << QStringLiteral("<!DOCTYPE html>") << QStringLiteral("<html> ") << QStringLiteral("<head>")
      << QStringLiteral("<meta charset=\"Shift_JIS\">") << QStringLiteral("<title>D_Mirevale_6</title>")
      << QStringLiteral("<link rel=\"stylesheet\" href=\"") + Latin(LeafletCssUrl) + QStringLiteral("\"/>")
      << QStringLiteral("<script src=\"") + Latin(LeafletJsUrl) + QStringLiteral("\"></script>")
      << QStringLiteral("<style>     #mapDiv{position:absolute;top:5px;left:5px;right:5px;bottom:5px;} </style>")
      << QStringLiteral("<script>") << QStringLiteral("   var map;     var marker;")
      << QStringLiteral("  function init() {") << QStringLiteral("      map = L.map('mapDiv', { zoomControl: false });")
      << QStringLiteral("      var mypoint = [") + LatLng(table, 1) + QStringLiteral("];")
      << QStringLiteral("      map.setView(mypoint,15);")
      << QStringLiteral("      var gsiattr = \"<a href='") + Latin(GsiTermsUrl) +
             QStringLiteral("'target='_blank'>地理院タイル</a>\";")
      << QStringLiteral("      var gsi_std = L.tileLayer('") + Latin(GsiStdTileUrl) +
             QStringLiteral("',{ attribution: '地理院標準タイル ',maxZoom: 18});")
      << QStringLiteral("      var gsi_ort = L.tileLayer('") + Latin(GsiOrtTileUrl) +
             QStringLiteral("',{attribution: '地理院タイル（電子国土基本図（オルソ画像））',maxZoom: 18});")
      << QStringLiteral("      var osm = L.tileLayer('") + Latin(OsmTileUrl) +
             QStringLiteral("',{attribution: \"<a href='") + Latin(OsmLicenceUrl) +
             QStringLiteral("'target='_blank'>OpenStreetMap</a> contributors\" });")
      << QStringLiteral(
             "      var baseMaps = {\"地理院地図標準地図\": gsi_std,\"地理院オルソ画像\": gsi_ort, "
             "\"オープンストリートマップ\": osm};")
      << QStringLiteral("      L.control.layers(baseMaps).addTo(map);") << QStringLiteral("      gsi_std.addTo(map);")
      << QString();
    if (n > 1) {
        l << QStringLiteral("    L.polyline([");
        for (int i = 1; i <= n; ++i)
            l << QStringLiteral("      [") + LatLng(table, i) + QLatin1Char(']') +
                     (i < n ? QStringLiteral(",") : QString());
        l << QStringLiteral("    ],{color: 'blue', weight: 5, opacity: 1}).addTo(map);") << QStringLiteral(" ");
        for (int i = 1; i <= n; ++i)
            l << QStringLiteral("  var  marker") + QString::number(i) + QStringLiteral("=L.marker([") +
                     LatLng(table, i) + QStringLiteral("],{title:'") + MarkerTitle(table, i) +
                     QStringLiteral("'}).addTo(map);");
        l << QStringLiteral(" ");
    }
    l << QStringLiteral("}") << QStringLiteral("</script>") << QStringLiteral("</head>")
      << QStringLiteral("<body onload=\"init()\">") << QStringLiteral("    <div id=\"mapDiv\"></div>")
      << QStringLiteral("</body>") << QStringLiteral("</html>");
    return l;
}

void WriteRouteHtml(const RouteTable& table, const QString& path) {
    const QStringList lines = RouteHtmlLines(table);
    TextFileWriter writer(path);
    for (const QString& line : lines) writer.WriteLine(line);
    writer.Close();
}
