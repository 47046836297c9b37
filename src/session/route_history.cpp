#include "session/route_history.h"

#include <QUndoCommand>

namespace {

// One change: undo puts `before` back, redo `after`. Pushing runs redo once; the change has
// already happened then, so that first redo does nothing.
class RouteChange : public QUndoCommand {
  public:
    RouteChange(const QString& label, ToolState& state, std::shared_ptr<const HistoryStep> before,
                std::shared_ptr<const HistoryStep> after, std::function<void()> changed)
        : QUndoCommand(label),
          state_(state),
          before_(std::move(before)),
          after_(std::move(after)),
          changed_(std::move(changed)) {}

    void undo() override { Apply(*before_); }
    void redo() override {
        if (pushed_) Apply(*after_);
        pushed_ = true;
    }

  private:
    void Apply(const HistoryStep& snapshot) {
        PutBack(state_, snapshot);
        if (changed_) changed_();
    }

    ToolState& state_;
    std::shared_ptr<const HistoryStep> before_, after_;
    std::function<void()> changed_;
    bool pushed_ = false;
};

template <class T>
bool SamePrefix(const std::vector<T>& a, const std::vector<T>& b, int n) {
    return std::equal(a.begin() + 1, a.begin() + n + 1, b.begin() + 1);
}

}  // namespace

std::shared_ptr<const HistoryStep> TakeSnapshot(const ToolState& state) {
    return std::make_shared<const HistoryStep>(
        HistoryStep{state.Table, state.Stats, state.Shown, state.Chart, state.Drawn});
}

void PutBack(ToolState& state, const HistoryStep& snapshot) {
    const QString memo1 = state.Shown.Memo1, memo2 = state.Shown.Memo2;
    state.Table = snapshot.Table;
    state.Stats = snapshot.Stats;
    state.Shown = snapshot.Shown;
    state.Shown.Memo1 = memo1;
    state.Shown.Memo2 = memo2;
    state.Chart = snapshot.Chart;
    state.Drawn = snapshot.Drawn;
}

bool SameRoute(const HistoryStep& a, const ToolState& b) {
    const RouteTable &s = a.Table, &t = b.Table;
    if (s.PointCount != t.PointCount || s.Capacity != t.Capacity) return false;
    const int n = s.PointCount;
    if (!SamePrefix(s.Lat, t.Lat, n) || !SamePrefix(s.Lng, t.Lng, n) || !SamePrefix(s.Elevation, t.Elevation, n) ||
        !SamePrefix(s.CumulativeKm, t.CumulativeKm, n) || !SamePrefix(s.SegmentKm, t.SegmentKm, n) ||
        !SamePrefix(s.PointName, t.PointName, n))
        return false;
    const RouteStats &u = a.Stats, &v = b.Stats;
    return u.TotalKm == v.TotalKm && u.ClimbTotal == v.ClimbTotal && u.DescentTotal == v.DescentTotal &&
           u.MaxElevation == v.MaxElevation && u.MinElevation == v.MinElevation &&
           u.CurrentElevation == v.CurrentElevation && a.Shown.ListBox1 == b.Shown.ListBox1;
}

RouteHistory::RouteHistory(ToolState& state) : state_(state), current_(TakeSnapshot(state)) {
    stack_.setUndoLimit(HistoryLimit);
}

void RouteHistory::Run(const QString& label, const std::function<void()>& action) {
    // Another path (a start-up reset, a test) may have changed the route since the last step.
    if (!SameRoute(*current_, state_)) current_ = TakeSnapshot(state_);
    const auto record = [&] {
        if (SameRoute(*current_, state_)) return;
        auto after = TakeSnapshot(state_);
        stack_.push(new RouteChange(label, state_, current_, after, changed));
        current_ = std::move(after);
        if (changed) changed();
    };
    try {
        action();
    } catch (...) {
        record();
        throw;
    }
    record();
}

void RouteHistory::Undo() {
    if (!stack_.canUndo()) return;
    stack_.undo();
    current_ = TakeSnapshot(state_);
}

void RouteHistory::Redo() {
    if (!stack_.canRedo()) return;
    stack_.redo();
    current_ = TakeSnapshot(state_);
}
