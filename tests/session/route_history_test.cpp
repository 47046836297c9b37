#include "session/route_history.h"

#include "export/csv_export.h"
#include "export/html_export.h"
#include "session/user_actions.h"
#include "session_fixture.h"

namespace {

// Everything a user can see or export of the route: readouts, list, chart pixels, CSV, page.
struct Seen {
    QStringList readouts;
    QImage chart;
    QStringList csv, page;
    bool operator==(const Seen&) const = default;
};

Seen Look(const ToolState& s) {
    const Readouts& r = s.Shown;
    return {{r.Memo3, r.Memo4, r.memo5, r.Memo6, r.Memo7, r.Memo10, r.Memo11, r.Edit1, r.ListBox1.join('\n')},
            s.Chart.Image(),
            RouteCsvLines(s.Table, s.Stats, "a.csv"),
            RouteHtmlLines(s.Table)};
}

struct History : SessionFixture {
    RouteHistory history{state};
    int changes = 0;
    History() {
        history.changed = [this] { ++changes; };
    }
    void ClickStep(const char* lat, const char* lng, const char* ele) {
        history.Run("click", [&] { Click(lat, lng, ele); });
    }
};

TEST_F(History, EveryStepUndoesAndRedoesExactly) {
    // A sequence of changes; after each, what the user sees is recorded.
    const std::vector<std::function<void()>> steps = {
        [&] { ClickStep("35.0", "139.0", "100"); },
        [&] { ClickStep("35.01", "139.0", "350"); },
        [&] { ClickStep("35.02", "139.01", "220"); },
        [&] { history.Run("name", [&] { NamePoint(state, 2, QStringLiteral("峠")); }); },
        [&] { history.Run("return", [&] { ReturnRoute(state); }); },
        [&] { history.Run("remove", [&] { RemoveLast(state); }); },
        [&] { ClickStep("35.03", "139.02", "90"); },
        [&] { history.Run("clear", [&] { ClearAll(state); }); },
        [&] { ClickStep("36.0", "138.0", "500"); },
    };
    std::vector<Seen> seen{Look(state)};
    for (const auto& step : steps) {
        step();
        seen.push_back(Look(state));
    }
    EXPECT_EQ(changes, int(steps.size()));

    for (int i = int(steps.size()) - 1; i >= 0; --i) {
        ASSERT_TRUE(history.CanUndo());
        history.Undo();
        EXPECT_TRUE(Look(state) == seen[i]) << "after undoing step " << i + 1;
    }
    EXPECT_FALSE(history.CanUndo());
    for (size_t i = 1; i < seen.size(); ++i) {
        history.Redo();
        EXPECT_TRUE(Look(state) == seen[i]) << "after redoing step " << i;
    }
    EXPECT_FALSE(history.CanRedo());

    // A change after an undo drops what could have been redone.
    history.Undo();
    ClickStep("37.0", "137.0", "10");
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(History, ActionsThatChangeNothingMakeNoStep) {
    history.Run("return", [&] { ReturnRoute(state); });  // empty route
    ClickStep("35.0000", "139.0000", "100");
    ClickStep("35.00001", "139.00001", "100");          // the same shortened texts: refused
    history.Run("remove", [&] { RemoveLast(state); });  // one point stays
    EXPECT_EQ(changes, 1);
    history.Undo();
    EXPECT_FALSE(history.CanUndo());
}

TEST_F(History, UndoKeepsThePagesLastPositionSoItIsNotAddedAgain) {
    ClickStep("35.0", "139.0", "100");
    ClickStep("35.01", "139.0", "300");
    history.Undo();
    EXPECT_EQ(state.Table.PointCount, 1);
    EXPECT_EQ(state.Shown.Memo1, "35.01");
    EXPECT_FALSE(Click("35.01", "139.0", "300"));  // the page repeating itself
}

TEST_F(History, KeepsAtMostTheLimitOfSteps) {
    for (int i = 0; i < HistoryLimit + 20; ++i) ClickStep(QByteArray::number(35 + i * 0.001, 'f', 4), "139.0", "100");
    int undone = 0;
    while (history.CanUndo()) {
        history.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, HistoryLimit);
    EXPECT_EQ(state.Table.PointCount, 20);
}

}  // namespace
