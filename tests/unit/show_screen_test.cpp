// The show's screen from the Screen setting over different screen layouts.
#include "window/ShowScreen.h"

#include <gtest/gtest.h>

#include "window/Geometry.h"

namespace quindle {
namespace {

// Work areas lose 30 pixels at the bottom to a task bar, so that they differ from the screens.
TScreen Screen(int32_t left, int32_t top, int32_t width, int32_t height, bool primary = false) {
    return {{left, top, left + width, top + height}, {left, top, left + width, top + height - 30}, primary};
}

const TScreen kPrimary = Screen(0, 0, 1024, 768, true);
const TScreen kRight = Screen(1024, 0, 800, 600);
const TScreen kAbove = Screen(0, -1080, 1920, 1080);
const TScreen kLeft = Screen(-1280, 200, 1280, 1024);

// What the system without multi-monitor calls reports.
const TScreen kMetricsPrimary = Screen(0, 0, 1024, 768, true);

constexpr TPoint32 kOnPrimary{10, 10};

struct Case {
    const char* name;
    std::vector<TScreen> screens;
    int32_t setting;
    TPoint32 pointer;
    TRect32 bounds, placement;
};

TEST(ShowScreen, TheSettingChoosesTheScreen) {
    const TRect32 primary = kPrimary.Bounds;
    const Case cases[] = {
        {"0 is the primary screen as before", {kPrimary, kRight}, 0, kOnPrimary, primary, primary},
        {"1 is the first listed", {kPrimary, kRight}, 1, kOnPrimary, primary, primary},
        {"2 side by side", {kPrimary, kRight}, 2, kOnPrimary, kRight.Bounds, kRight.Work},
        {"1 is the first listed, primary or not", {kRight, kPrimary}, 1, kOnPrimary, kRight.Bounds, kRight.Work},
        {"2 one above the other", {kPrimary, kAbove}, 2, kOnPrimary, kAbove.Bounds, kAbove.Work},
        {"2 at negative coordinates", {kPrimary, kLeft}, 2, kOnPrimary, kLeft.Bounds, kLeft.Work},
        {"3 when there are two is the primary", {kPrimary, kRight}, 3, kOnPrimary, primary, primary},
        {"-2 is the primary", {kPrimary, kRight}, -2, kOnPrimary, primary, primary},
        {"a huge number is the primary", {kPrimary, kRight}, 2147483647, kOnPrimary, primary, primary},
        {"-1 under the pointer on the right", {kPrimary, kRight}, -1, {1500, 300}, kRight.Bounds, kRight.Work},
        {"-1 under the pointer above", {kPrimary, kAbove}, -1, {5, -1}, kAbove.Bounds, kAbove.Work},
        {"-1 under the pointer at the left", {kPrimary, kLeft}, -1, {-1280, 200}, kLeft.Bounds, kLeft.Work},
        {"-1 on the primary", {kPrimary, kRight}, -1, {1023, 767}, primary, primary},
        {"-1 just right of the left screen", {kLeft, kPrimary}, -1, {0, 300}, primary, primary},
        {"-1 in the gap below the smaller screen", {kPrimary, kRight}, -1, {1500, 700}, primary, primary},
        {"no list: the primary from the metrics", {}, 2, kOnPrimary, kMetricsPrimary.Bounds, kMetricsPrimary.Bounds},
        {"no list, under the pointer", {}, -1, {1500, 300}, kMetricsPrimary.Bounds, kMetricsPrimary.Bounds},
    };
    for (const Case& c : cases) {
        const TShowArea area = ChooseShowArea(c.screens, kMetricsPrimary, c.setting, c.pointer);
        EXPECT_EQ(area.Bounds, c.bounds) << c.name;
        EXPECT_EQ(area.Placement, c.placement) << c.name;
    }
}

TEST(ShowScreen, AlignmentAndCentringStayOnTheChosenScreen) {
    const TShowArea area = ChooseShowArea({kPrimary, kLeft}, kMetricsPrimary, 2, kOnPrimary);
    // The left screen's work area runs from -1280 to 0 and from 200 to 1194.
    EXPECT_EQ(AlignedLeft(1, area.Placement, 99, 640), -1280);
    EXPECT_EQ(AlignedLeft(2, area.Placement, 99, 640), -960);
    EXPECT_EQ(AlignedLeft(3, area.Placement, 99, 640), -640);
    EXPECT_EQ(AlignedTop(1, area.Placement, 99, 480), 200);
    EXPECT_EQ(AlignedTop(2, area.Placement, 99, 480), 457);
    EXPECT_EQ(AlignedTop(3, area.Placement, 99, 480), 714);
    EXPECT_EQ(AlignedLeft(2, area.Placement, 99, 641), -960);  // -960.5 truncated toward zero
    const TPoint32 centre = CentredOnWorkArea(area.Placement, 300, 200);
    EXPECT_EQ(centre.X, -790);
    EXPECT_EQ(centre.Y, 597);
}

}  // namespace
}  // namespace quindle
