#include "window/RunnerWindowLayout.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

struct LayoutCase {
    const char* name;
    bool fullScreen, customSize, noBorder, noTitle, allowResize, alwaysOnTop;
    TPlatformFlags platform;
    uint32_t style, exStyle;
    int32_t left, top, width, height;
    bool maximise;
};

constexpr TPlatformFlags kXP{false, false, false, true};
constexpr TPlatformFlags k98{false, true, false, false};

// The settings rectangle of every case: 10, 20, 640 x 480.
TProjectSettings Sized(bool fullScreen, bool customSize, bool noBorder) {
    TProjectSettings s;
    s.FullScreen.Checked = fullScreen;
    s.CustomSize.Checked = customSize;
    s.HideBorder.Checked = noBorder;
    s.StartLeft = 10;
    s.StartTop = 20;
    s.StartWidth = 640;
    s.StartHeight = 480;
    return s;
}

TEST(TRunnerWindowLayout, StylesAndRectangleFollowTheSettings) {
    // Settings rectangle 10, 20, 640 x 480; screen 1024 x 768.
    const LayoutCase cases[] = {
        {"full screen on NT5 is topmost popup", true, false, false, false, true, false, kXP, 0x80080000, 0x00040008, 0,
         0, 1024, 768, false},
        {"full screen on 98 is not topmost", true, false, false, false, true, false, k98, 0x80080000, 0x00040000, 0, 0,
         1024, 768, false},
        {"framed resizable", false, false, false, false, true, false, kXP, 0x80CF0000, 0x00040000, 10, 20, 640, 480,
         false},
        {"framed fixed, always on top", false, false, false, false, false, true, kXP, 0x80CB0000, 0x00040008, 10, 20,
         640, 480, false},
        {"no title resizable", false, false, false, true, true, false, kXP, 0x800C0000, 0x00040000, 10, 20, 640, 480,
         false},
        {"no title fixed gets a thin border", false, false, false, true, false, false, kXP, 0x80880000, 0x00040000, 10,
         20, 640, 480, false},
        {"no border wins over no title", false, false, true, true, true, false, kXP, 0x80080000, 0x00040000, 10, 20,
         640, 480, false},
        {"custom full screen without border covers the work area", true, true, true, false, true, false, kXP,
         0x80080000, 0x00040008, 0, 0, 1000, 700, false},
        {"custom full screen without title covers the work area", true, true, false, true, false, false, k98,
         0x80880000, 0x00040008, 0, 0, 1000, 700, false},
        {"custom full screen framed is maximised later", true, true, false, false, true, false, kXP, 0x80CF0000,
         0x00040008, 10, 20, 640, 480, true},
    };
    for (const auto& c : cases) {
        TProjectSettings s = Sized(c.fullScreen, c.customSize, c.noBorder);
        s.HideCaption.Checked = c.noTitle;
        s.Resizable.Checked = c.allowResize;
        s.AlwaysOnTop.Checked = c.alwaysOnTop;
        const TRunnerWindowLayout l = ChooseRunnerWindowLayout(s, c.platform, {{0, 0, 1024, 768}, {0, 0, 1000, 700}});
        EXPECT_EQ(l.Style, c.style) << c.name;
        EXPECT_EQ(l.ExStyle, c.exStyle) << c.name;
        EXPECT_EQ(l.Left, c.left) << c.name;
        EXPECT_EQ(l.Top, c.top) << c.name;
        EXPECT_EQ(l.Width, c.width) << c.name;
        EXPECT_EQ(l.Height, c.height) << c.name;
        EXPECT_EQ(MaximiseAfterCreation(s), c.maximise) << c.name;
    }
}

TEST(TRunnerWindowLayout, FollowsTheShowsScreenWhereverItIs) {
    const TShowArea right{{1024, 0, 1824, 600}, {1024, 0, 1824, 570}};
    const TShowArea leftAbove{{-800, -600, 0, 0}, {-760, -600, 0, 0}};
    struct Case {
        const char* name;
        TShowArea area;
        bool fullScreen, customSize, noBorder;
        TWindowBox expected;
    } const cases[] = {
        {"full screen covers the screen on the right", right, true, false, false, {1024, 0, 800, 600}},
        {"full screen covers a screen at negative coordinates", leftAbove, true, false, false, {-800, -600, 800, 600}},
        {"a window counts Left and Top from the work area's corner", right, false, true, false, {1034, 20, 640, 480}},
        {"from a corner at negative coordinates", leftAbove, false, false, false, {-750, -580, 640, 480}},
        {"custom full screen without border covers the work area", leftAbove, true, true, true, {-760, -600, 760, 600}},
        {"framed custom full screen is made on its screen to be maximised there",
         right,
         true,
         true,
         false,
         {1034, 20, 640, 480}},
    };
    for (const Case& c : cases) {
        const TRunnerWindowLayout l =
            ChooseRunnerWindowLayout(Sized(c.fullScreen, c.customSize, c.noBorder), kXP, c.area);
        EXPECT_EQ((TWindowBox{l.Left, l.Top, l.Width, l.Height}), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace quindle
