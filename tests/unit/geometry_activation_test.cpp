#include "window/ActivationRules.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

using N = TNcActivateNotice;
constexpr uint32_t kProjectorThread = 77;

TEST(GeometryCaptionRule, ActivateApp) {
    struct Case {
        const char* name;
        bool interaction, activating;
        uint32_t otherThread;
        N notice;
        bool endDrag, handled;
    };
    const Case cases[] = {
        {"focus to the projector keeps the caption active", true, false, kProjectorThread, N::SendActive, false, true},
        {"focus to another program draws it inactive", true, false, 5, N::SendInactive, true, true},
        {"activation only returns 0", true, true, 5, N::None, false, true},
        {"without interaction: default, yet a drag ends", false, false, 5, N::None, true, false},
        {"without interaction, towards the projector", false, false, kProjectorThread, N::None, false, false},
        {"without interaction, activation", false, true, 5, N::None, false, false},
    };
    for (const Case& c : cases) {
        const TActivateAppDecision d = DecideActivateApp(c.interaction, c.activating, c.otherThread, kProjectorThread);
        EXPECT_EQ(d.Notice, c.notice) << c.name;
        EXPECT_EQ(d.EndDrag, c.endDrag) << c.name;
        EXPECT_EQ(d.Handled, c.handled) << c.name;
    }
}

TEST(GeometryCaptionRule, NonClientMessages) {
    struct Case {
        const char* name;
        bool interaction, restyling, projectorFront;
        int32_t hit;
        N hitNotice;
        bool paint;
        N paintNotice;
        bool keepActive;  // WM_NCACTIVATE FALSE
    };
    const Case cases[] = {
        {"caption hit with the projector in front", true, false, true, 2, N::PostActive, true, N::SendActive, true},
        {"client hit", true, false, true, 1, N::None, true, N::SendActive, true},
        {"projector not in front", true, false, false, 2, N::None, true, N::None, false},
        {"during the restyle the frame is not painted", true, true, false, 2, N::None, false, N::None, false},
        {"during the restyle, projector in front", true, true, true, 2, N::PostActive, false, N::SendActive, true},
        {"without interaction everything is default", false, true, true, 2, N::None, true, N::None, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideHitTestNotice(c.interaction, c.hit, c.projectorFront), c.hitNotice) << c.name;
        const TNcPaintDecision p = DecideNcPaint(c.interaction, c.restyling, c.projectorFront);
        EXPECT_EQ(p.Paint, c.paint) << c.name;
        EXPECT_EQ(p.NoticeAfter, c.paintNotice) << c.name;
        EXPECT_EQ(KeepCaptionActive(c.interaction, false, c.projectorFront), c.keepActive) << c.name;
        EXPECT_FALSE(KeepCaptionActive(c.interaction, true, c.projectorFront)) << c.name << ": activation";
    }
}

TEST(GeometryClickForeground, OnlyTopRequestsAfterTheFirstShowAreTamed) {
    struct Case {
        const char* name;
        bool disable, shown;
        uintptr_t insertAfter;
        uint32_t flags;
        bool handled;
        uint32_t expectedFlags;
    };
    const uintptr_t kTopmost = static_cast<uintptr_t>(-1);
    const Case cases[] = {
        {"to the top after the show", true, true, 0, 0x0001, true, 0x0015},
        {"to the top, flags already there", true, true, 0, 0x0014, true, 0x0014},
        {"behind another window passes unchanged", true, true, 0x1234, 0x0001, true, 0x0001},
        {"to topmost passes unchanged", true, true, kTopmost, 0x0003, true, 0x0003},
        {"before the show a click raises as usual", true, false, 0, 0x0001, false, 0x0001},
        {"rule off", false, true, 0, 0x0001, false, 0x0001},
    };
    for (const Case& c : cases) {
        const TWindowPosDecision d = DecideWindowPosChanging(c.disable, c.shown, c.insertAfter, c.flags);
        EXPECT_EQ(d.Handled, c.handled) << c.name;
        EXPECT_EQ(d.Flags, c.expectedFlags) << c.name;
    }
}

}  // namespace
}  // namespace quindle
