#include "mapbridge/point_capture.h"

#include "format/checked_float.h"
#include "format/failure.h"
#include "format/number_text.h"
#include "profile/draw_profile.h"
#include "route/route_points.h"

bool CapturePoint(ToolState& state, const PageInputs& inputs, Downloader& downloader, Canvas& chart,
                  const BusySignal& busy) {
    Readouts& shown = state.Shown;
    const QString oldLat = shown.Memo1, oldLng = shown.Memo2;
    const int countBefore = state.Table.PointCount;
    try {
        if (!inputs.lat.isEmpty()) shown.Memo1 = inputs.lat.left(7);
        if (!inputs.lng.isEmpty()) shown.Memo2 = inputs.lng.left(8);
        if (!inputs.zoomLevel.isEmpty()) ParseWhole(inputs.zoomLevel);
        if (!inputs.clat.isEmpty()) ParseDecimal(inputs.clat);
        if (!inputs.clon.isEmpty()) ParseDecimal(inputs.clon);
        if (inputs.lat.isEmpty() || inputs.lng.isEmpty()) return false;
        if (shown.Memo1 == oldLat && shown.Memo2 == oldLng) return false;

        const float queryLat = ToSingle(ParseDecimal(inputs.lat));
        const float queryLng = ToSingle(ParseDecimal(inputs.lng));
        float elevation;
        if (busy) busy(true);
        try {
            elevation = LookupElevation(queryLat, queryLng, state.Sources, downloader);
        } catch (...) {
            if (busy) busy(false);
            throw;
        }
        if (busy) busy(false);

        AppendPoint(state.Table, state.Stats, shown, inputs.lat, inputs.lng, elevation);
        if (auto drawn = DrawProfile(state.Table, state.Stats, chart)) state.Drawn = std::move(*drawn);
        shown.Image1Empty = chart.IsEmpty();
        ShowRouteStats(state.Stats, shown);
        return true;
    } catch (const std::exception&) {
        // Reports are handled silently; a click that did not become a point is not lost.
        if (state.Table.PointCount == countBefore) {
            shown.Memo1 = oldLat;
            shown.Memo2 = oldLng;
        }
        shown.Image1Empty = chart.IsEmpty();
        return state.Table.PointCount != countBefore;
    }
}

QString RecentreScript(float lat, float lng) {
    return QStringLiteral("GotoLatLng(") + GeneralFormat(lat) + QLatin1Char(',') + GeneralFormat(lng) +
           QLatin1Char(')');
}
