#include "window/AspectRatio.h"
#include "base/MulDiv.h"

#include <gtest/gtest.h>

#include <climits>

namespace quindle {
namespace {

TEST(GeometryMulDiv, RoundsToNearestAndFailsLikeThePlatform) {
    struct Case {
        int32_t a, b, c, expected;
    };
    const Case cases[] = {
        {300, 500, 400, 375},  // exact
        {400, 301, 300, 401},  // 401.33 rounds down
        {400, 302, 300, 403},  // 402.67 rounds up
        {1, 1, 2, 1},          // a half rounds away from zero
        {3, 1, 2, 2},
        {-1, 1, 2, -1},
        {-3, 1, 2, -2},
        {-7, 1, -2, 4},       // negative divisor
        {5, 1, 0, -1},        // no divisor
        {INT_MAX, 2, 1, -1},  // does not fit
        {INT_MAX, 2, 2, INT_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDiv32(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
    }
}

struct RatioCase {
    const char* name;
    uint32_t edge;
    TRect32 proposed;
    TPoint32 cursor;
    TRect32 expected;
};

TEST(GeometryAspectRatio, EveryEdgeAndCornerKeepsTheReferenceRatio) {
    // Reference 400 x 300; the window now stands at 100, 100 with 400 x 300, so its
    // edges are left 100, right 500, top 100, bottom 400.
    const TWindowBox current{100, 100, 400, 300};
    const RatioCase cases[] = {
        {"right edge to width 500 gives height 375",
         wmsz::kRight,
         {100, 100, 600, 400},
         {600, 250},
         {100, 100, 600, 475}},
        {"left edge to width 500", wmsz::kLeft, {0, 100, 500, 400}, {0, 250}, {0, 100, 500, 475}},
        {"bottom edge to height 301 gives width 401",
         wmsz::kBottom,
         {100, 100, 500, 401},
         {300, 401},
         {100, 100, 501, 401}},
        {"top edge to height 301", wmsz::kTop, {100, 99, 500, 400}, {300, 99}, {100, 99, 501, 400}},
        {"top-left, horizontally nearer: width stays",
         wmsz::kTopLeft,
         {40, 20, 500, 400},
         {40, 20},
         {40, 55, 500, 400}},
        {"top-left, vertically nearer: height stays", wmsz::kTopLeft, {10, 40, 500, 400}, {10, 40}, {20, 40, 500, 400}},
        {"top-left, a tie: height stays", wmsz::kTopLeft, {40, 40, 500, 400}, {40, 40}, {20, 40, 500, 400}},
        {"top-right, horizontally nearer", wmsz::kTopRight, {100, 20, 560, 400}, {560, 20}, {100, 55, 560, 400}},
        {"top-right, vertically nearer", wmsz::kTopRight, {100, 40, 590, 400}, {590, 40}, {100, 40, 580, 400}},
        {"bottom-left, horizontally nearer", wmsz::kBottomLeft, {40, 100, 500, 480}, {40, 480}, {40, 100, 500, 445}},
        {"bottom-left, vertically nearer", wmsz::kBottomLeft, {10, 100, 500, 460}, {10, 460}, {20, 100, 500, 460}},
        {"bottom-right, horizontally nearer",
         wmsz::kBottomRight,
         {100, 100, 560, 480},
         {560, 480},
         {100, 100, 560, 445}},
        {"bottom-right, vertically nearer", wmsz::kBottomRight, {100, 100, 590, 460}, {590, 460}, {100, 100, 580, 460}},
        {"no edge", 0, {100, 100, 590, 460}, {590, 460}, {100, 100, 590, 460}},
        {"unknown edge", 9, {100, 100, 590, 460}, {590, 460}, {100, 100, 590, 460}},
    };
    for (const RatioCase& c : cases) {
        const TRect32 r = ApplyAspectRatio(c.proposed, c.edge, c.cursor, current, 400, 300);
        EXPECT_EQ(r, c.expected) << c.name << ": got " << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
    }
}

TEST(GeometryAspectRatio, AnEmptyReferenceSizeLeavesTheRectangleAlone) {
    const TRect32 proposed{100, 100, 600, 400};
    for (const auto& ref : {std::pair<int32_t, int32_t>{0, 300}, {400, 0}, {-400, 300}}) {
        EXPECT_EQ(ApplyAspectRatio(proposed, wmsz::kRight, {600, 250}, {100, 100, 400, 300}, ref.first, ref.second),
                  proposed);
    }
}

}  // namespace
}  // namespace quindle
