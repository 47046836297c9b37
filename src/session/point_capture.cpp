#include "session/point_capture.h"

#include "format/checked_float.h"
#include "format/number_text.h"
#include "route/route_points.h"
#include "session/user_actions.h"

std::optional<AcceptedClick> AcceptReport(Readouts& shown, const PageInputs& inputs) {
    AcceptedClick click;
    click.OldMemo1 = shown.Memo1;
    click.OldMemo2 = shown.Memo2;
    try {
        if (!inputs.lat.isEmpty()) shown.Memo1 = inputs.lat.left(7);
        if (!inputs.lng.isEmpty()) shown.Memo2 = inputs.lng.left(8);
        if (!inputs.zoomLevel.isEmpty()) ParseWhole(inputs.zoomLevel);
        if (!inputs.clat.isEmpty()) ParseDecimal(inputs.clat);
        if (!inputs.clon.isEmpty()) ParseDecimal(inputs.clon);
        if (inputs.lat.isEmpty() || inputs.lng.isEmpty()) return std::nullopt;
        if (shown.Memo1 == click.OldMemo1 && shown.Memo2 == click.OldMemo2) return std::nullopt;

        click.LatText = inputs.lat;
        click.LngText = inputs.lng;
        click.QueryLat = ToSingle(ParseDecimal(inputs.lat));
        click.QueryLng = ToSingle(ParseDecimal(inputs.lng));
        click.NewMemo1 = shown.Memo1;
        click.NewMemo2 = shown.Memo2;
        return click;
    } catch (const std::exception&) {
        // Reports are handled silently; a click that did not become a point is not lost.
        shown.Memo1 = click.OldMemo1;
        shown.Memo2 = click.OldMemo2;
        return std::nullopt;
    }
}

float LookupClick(const AcceptedClick& click, const ElevationSources& sources, Downloader& downloader) {
    return LookupElevation(click.QueryLat, click.QueryLng, sources, downloader);
}

void DropClick(Readouts& shown, const AcceptedClick& click) {
    if (shown.Memo1 != click.NewMemo1 || shown.Memo2 != click.NewMemo2) return;
    shown.Memo1 = click.OldMemo1;
    shown.Memo2 = click.OldMemo2;
}

bool FinishClick(ToolState& state, const AcceptedClick& click, float elevation) {
    const int countBefore = state.Table.PointCount;
    try {
        AppendPoint(state.Table, state.Stats, state.Shown, click.LatText, click.LngText, elevation);
        ShowCourse(state);
        if (auto drawn = DrawProfile(state.Table, state.Stats, state.Chart)) state.Drawn = std::move(*drawn);
        ShowRouteStats(state.Stats, state.Shown);
        return true;
    } catch (const std::exception&) {
        if (state.Table.PointCount == countBefore) DropClick(state.Shown, click);
        return state.Table.PointCount != countBefore;
    }
}

bool CapturePoint(ToolState& state, const PageInputs& inputs, Downloader& downloader, const BusySignal& busy) {
    const std::optional<AcceptedClick> click = AcceptReport(state.Shown, inputs);
    if (!click) return false;
    float elevation;
    if (busy) busy(true);
    try {
        elevation = LookupClick(*click, state.Sources, downloader);
    } catch (const std::exception&) {
        if (busy) busy(false);
        DropClick(state.Shown, *click);
        return false;
    }
    if (busy) busy(false);
    return FinishClick(state, *click, elevation);
}
