// Centring a dialog on the work area.
#include "window/Geometry.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(GeometryDialogCentre, HalvesAreTruncatedAndTheAreaCornerCounts) {
    const struct {
        TRect32 work;
        int32_t width, height;
        int32_t x, y;
    } cases[] = {
        {{0, 0, 1024, 738}, 296, 99, 512 - 148, 369 - 49},
        {{0, 0, 1023, 737}, 295, 97, 511 - 147, 368 - 48},    // odd sizes: both halves truncated
        {{0, 30, 1024, 768}, 200, 100, 412, 30 + 369 - 50},   // taskbar at the top
        {{60, 0, 1024, 768}, 200, 100, 60 + 482 - 100, 334},  // taskbar at the left
        {{0, 0, 200, 100}, 400, 300, -100, -100},             // larger than the area
    };
    for (const auto& c : cases) {
        const TPoint32 p = CentredOnWorkArea(c.work, c.width, c.height);
        EXPECT_EQ(p.X, c.x) << c.work.Left << "," << c.work.Top << " " << c.width;
        EXPECT_EQ(p.Y, c.y) << c.work.Left << "," << c.work.Top << " " << c.height;
    }
}

}  // namespace
}  // namespace quindle
