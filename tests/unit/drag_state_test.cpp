#include "window/DragState.h"

#include <gtest/gtest.h>

#include <vector>

namespace quindle {
namespace {

using A = TDragState::TStep::TAction;

struct Tick {
    TPoint32 cursor;
    bool primaryDown;
    A action;
    int32_t dx, dy;  // for moves
};

TEST(DragState, StepsFollowTheCursorOncePastTheSquare) {
    const TPoint32 start{100, 200};
    struct Case {
        const char* name;
        std::vector<Tick> ticks;
    };
    const Case cases[] = {
        {"7 right and 7 down, then released: the window stays",
         {{{107, 207}, true, A::Wait, 0, 0}, {{107, 207}, false, A::End, 0, 0}}},
        {"8 right moves by 8, then 1 moves by 1",
         {{{108, 200}, true, A::Move, 8, 0}, {{109, 200}, true, A::Move, 1, 0}}},
        {"8 up moves by 8", {{{100, 192}, true, A::Move, 0, -8}}},
        {"the first move covers the whole distance",
         {{{103, 203}, true, A::Wait, 0, 0}, {{112, 205}, true, A::Move, 12, 5}}},
        {"after the first move a still cursor moves nothing",
         {{{90, 200}, true, A::Move, -10, 0}, {{90, 200}, true, A::Wait, 0, 0}, {{90, 201}, true, A::Move, 0, 1}}},
        {"released at once", {{{500, 500}, false, A::End, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDragState drag;
        drag.Begin(start, true);
        ASSERT_TRUE(drag.Running());
        EXPECT_FALSE(drag.Moved());
        for (const Tick& t : c.ticks) {
            const TDragState::TStep step = drag.OnTimer(kDragTimerId, t.cursor, t.primaryDown);
            EXPECT_EQ(step.What, t.action);
            if (t.action == A::Move) {
                EXPECT_EQ(step.Dx, t.dx);
                EXPECT_EQ(step.Dy, t.dy);
                EXPECT_TRUE(drag.Moved());
                EXPECT_EQ(drag.Position().X, t.cursor.X);
                EXPECT_EQ(drag.Position().Y, t.cursor.Y);
            }
            EXPECT_EQ(drag.Running(), t.action != A::End);
        }
    }
}

TEST(DragState, TicksOfOtherTimersOrWithoutADragDoNothing) {
    TDragState drag;
    EXPECT_EQ(drag.OnTimer(kDragTimerId, {50, 50}, true).What, A::Ignore) << "no drag";
    drag.Begin({0, 0}, true);
    EXPECT_EQ(drag.OnTimer(1, {50, 50}, true).What, A::Ignore) << "another timer";
    EXPECT_EQ(drag.OnTimer(kDragTimerId, {50, 50}, true).What, A::Move);
}

TEST(DragState, BeginIsAcceptedOnlyForALeftPressWithNothingElseGoingOn) {
    struct Case {
        const char* name;
        uintptr_t message;
        bool haveBlock, menuOpen, running;
        bool accepted;
    };
    const Case cases[] = {
        {"left press", 0x0201, true, false, false, true},    {"right press", 0x0204, true, false, false, false},
        {"left release", 0x0202, true, false, false, false}, {"menu open", 0x0201, true, true, false, false},
        {"drag running", 0x0201, true, false, true, false},  {"no control block", 0x0201, false, false, false, false},
    };
    for (const Case& c : cases) {
        TDragState drag;
        if (c.running) drag.Begin({0, 0}, true);
        EXPECT_EQ(drag.AcceptsBegin(c.message, c.haveBlock, c.menuOpen), c.accepted) << c.name;
    }
}

TEST(DragState, ADragWhoseTimerFailedDoesNotRunAndTheNextRequestTriesAgain) {
    TDragState drag;
    drag.Begin({10, 10}, false);
    EXPECT_FALSE(drag.Running());
    EXPECT_EQ(drag.OnTimer(kDragTimerId, {40, 40}, true).What, A::Ignore);
    EXPECT_TRUE(drag.AcceptsBegin(kLeftButtonDown, true, false));
    drag.Begin({10, 10}, true);
    EXPECT_TRUE(drag.Running());
}

TEST(DragState, EndRestartsFromANewPoint) {
    TDragState drag;
    drag.Begin({0, 0}, true);
    ASSERT_EQ(drag.OnTimer(kDragTimerId, {20, 0}, true).What, A::Move);
    drag.End();
    EXPECT_FALSE(drag.Running());
    drag.Begin({20, 0}, true);
    EXPECT_FALSE(drag.Moved()) << "a new drag waits for the square again";
    EXPECT_EQ(drag.OnTimer(kDragTimerId, {25, 0}, true).What, A::Wait);
}

TEST(DragState, PrimaryButtonFollowsTheSwap) {
    EXPECT_EQ(PrimaryButtonKey(false), 1u);
    EXPECT_EQ(PrimaryButtonKey(true), 2u);
}

TEST(DragState, MessagesThatEndADrag) {
    constexpr uint32_t kProjectorThread = 42;
    struct Case {
        const char* name;
        uint32_t message;
        uintptr_t wParam, lParam;
        bool ends;
    };
    const Case cases[] = {
        {"button up in the projector", 0x040A, 0, 0, true},
        {"WM_USER+14", 0x040E, 0, 0, true},
        {"WM_CANCELMODE", 0x001F, 0, 0, true},
        {"deactivated towards another thread", 0x001C, 0, 7, true},
        {"deactivated towards the projector", 0x001C, 0, kProjectorThread, false},
        {"activated", 0x001C, 1, 7, false},
        {"WM_USER+11", 0x040B, 0x0201, 0, false},
        {"WM_TIMER", 0x0113, kDragTimerId, 0, false},
    };
    for (const Case& c : cases) EXPECT_EQ(EndsDrag(c.message, c.wParam, c.lParam, kProjectorThread), c.ends) << c.name;
}

}  // namespace
}  // namespace quindle
