#include "window/RestyleRules.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(GeometryRestyleRules, NineXFamilySwitchesWithTheRunnerParked) {
    struct Case {
        TPlatformFlags platform;
        bool parked;
    };
    const Case cases[] = {
        {{true, false, false, false}, true},   {{false, true, false, false}, true},
        {{false, false, true, false}, true},   {{false, false, false, true}, false},
        {{false, false, false, false}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(SwitchesWithRunnerParked(c.platform), c.parked);
}

TEST(GeometryRestyleRules, RunnerPlacementAndShow) {
    struct Case {
        const char* name;
        bool fullScreen, customSize, parked;
        bool useBox;
        uint32_t applyFlags, showFlags;
    };
    const Case cases[] = {
        {"window", false, false, false, true, 0x14, 0x44},
        {"full screen", true, false, false, true, 0x14, 0x44},
        {"custom size alone", false, true, false, true, 0x14, 0x44},
        {"custom full screen keeps its rectangle", true, true, false, false, 0x17, 0x47},
        {"custom full screen parked on 9x comes back", true, true, true, true, 0x15, 0x45},
        {"window parked on 9x", false, false, true, true, 0x14, 0x44},
    };
    for (const Case& c : cases) {
        TProjectSettings s;
        s.FullScreen.Checked = c.fullScreen;
        s.CustomSize.Checked = c.customSize;
        const TRunnerPlacement apply = RunnerPlacement(s, c.parked, false);
        const TRunnerPlacement show = RunnerPlacement(s, c.parked, true);
        EXPECT_EQ(apply.UseBox, c.useBox) << c.name;
        EXPECT_EQ(apply.Flags, c.applyFlags) << c.name;
        EXPECT_EQ(show.UseBox, c.useBox) << c.name;
        EXPECT_EQ(show.Flags, c.showFlags) << c.name;
    }
}

TEST(GeometryRestyleRules, Raising) {
    struct Case {
        const char* name;
        bool interaction, alwaysOnTop, newProjector;
        uint32_t flags;
        bool drop, foreground;
    };
    const Case cases[] = {
        {"plain: activates and takes the foreground", false, false, false, 0x03, true, true},
        {"always on top stays topmost", false, true, false, 0x03, false, true},
        {"interaction: never activated", true, false, false, 0x13, true, false},
        {"new projector: never activated", false, false, true, 0x13, true, false},
        {"both, always on top", true, true, true, 0x13, false, false},
    };
    for (const Case& c : cases) {
        const TRaiseDecision d = DecideRaise(c.interaction, c.alwaysOnTop, c.newProjector);
        EXPECT_EQ(d.TopmostFlags, c.flags) << c.name;
        EXPECT_EQ(d.DropTopmost, c.drop) << c.name;
        EXPECT_EQ(d.SetForeground, c.foreground) << c.name;
    }
}

TEST(GeometryRestyleRules, OwnedWindowsGoAboveATopmostRunner) {
    struct Case {
        const char* name;
        bool runnerTopmost, owned;
        uint32_t style, exStyle;
        bool needs;
    };
    const Case cases[] = {
        {"projector's dialog", true, true, 0x94C80000, 0x00000101, true},
        {"runner not topmost", false, true, 0x94C80000, 0, false},
        {"owned by someone else", true, false, 0x94C80000, 0, false},
        {"a child", true, true, 0x50000000, 0, false},
        {"already topmost", true, true, 0x94C80000, 0x00000008, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OwnedWindowNeedsTopmost(c.runnerTopmost, c.owned, c.style, c.exStyle), c.needs) << c.name;
    }
}

}  // namespace
}  // namespace quindle
