#pragma once

#include <QString>
#include <QStringList>

#include "route/route_table.h"

/// The addresses the route page loads when a browser shows it.
namespace page_urls {
inline const char* const LeafletCssUrl = "https://unpkg.com/leaflet@1.3.0/dist/leaflet.css";
inline const char* const LeafletJsUrl = "https://unpkg.com/leaflet@1.3.0/dist/leaflet.js";
inline const char* const GsiTermsUrl = "http://maps.gsi.go.jp/help/termsofuse.html";
inline const char* const GsiStdTileUrl = "http://cyberjapandata.gsi.go.jp/xyz/std/{z}/{x}/{y}.png";
inline const char* const GsiOrtTileUrl = "https://cyberjapandata.gsi.go.jp/xyz/ort/{z}/{x}/{y}.jpg";
inline const char* const OsmTileUrl = "http://tile.openstreetmap.jp/{z}/{x}/{y}.png";
inline const char* const OsmLicenceUrl = "http://www.openstreetmap.org/copyright";
}  // namespace page_urls

/// Default file name offered in the save dialog.
inline const char16_t* const HtmlDefaultFileName = u"行程図.html";

/// distance of a point for its marker: "12.34 Km" from 1 km on (cut, not rounded), else "500 m"
QString MarkerDistance(float cumulativeKm);

/// the marker tooltip of point i
QString MarkerTitle(const RouteTable& table, int i);

/// text made safe inside a single-quoted script string within a script element
QString ScriptStringEscape(const QString& text);

/// the lines of the route map page
QStringList RouteHtmlLines(const RouteTable& table);

/// writes the route map page to path, replacing any file there only once the page is written
/// whole; Failure when it cannot be written
void WriteRouteHtml(const RouteTable& table, const QString& path);
