#pragma once

#include <QString>
#include <QUndoStack>
#include <functional>
#include <memory>

#include "session/tool_state.h"

/// The route as one change leaves it: the table, the statistics, the readouts that describe
/// them and the chart as drawn. Putting one back makes every readout, the list, the chart and
/// the exports what they were.
struct HistoryStep {
    RouteTable Table;
    RouteStats Stats;
    Readouts Shown;
    Canvas Chart;
    ChartPositions Drawn;
};

/// the route part of the tool's state
std::shared_ptr<const HistoryStep> TakeSnapshot(const ToolState& state);

/// puts a snapshot back; Memo1/Memo2, the map page's last reported position, stay as they are
void PutBack(ToolState& state, const HistoryStep& snapshot);

/// true when the snapshot holds the route the state has now (points, names, statistics, list)
bool SameRoute(const HistoryStep& a, const ToolState& b);

/// Steps the undo history keeps at most.
inline constexpr int HistoryLimit = 100;

/// The undo history of the route. Each step holds the route before and after one change; a
/// step's after is the next step's before (shared, not copied), so the history holds at most
/// HistoryLimit + 1 routes.
class RouteHistory {
  public:
    explicit RouteHistory(ToolState& state);

    /// runs a user action; when it changed the route, the change becomes an undo step and
    /// `changed` runs. The action's Failure passes on (what it changed before stays, and is
    /// recorded too).
    void Run(const QString& label, const std::function<void()>& action);

    /// called after every change of the route, undo and redo included
    std::function<void()> changed;

    bool CanUndo() const { return stack_.canUndo(); }
    bool CanRedo() const { return stack_.canRedo(); }
    void Undo();
    void Redo();
    /// the history itself (for menus that show what undo and redo would do)
    QUndoStack& Stack() { return stack_; }

  private:
    ToolState& state_;
    QUndoStack stack_;
    std::shared_ptr<const HistoryStep> current_;
};
