#include "window/Geometry.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

constexpr uint32_t kFramed = 0x14CF0000;    // an overlapped window with a sizing frame
constexpr uint32_t kUnframed = 0x94000000;  // a bare popup

// A classic frame: menu bar 19, caption 18, sizing frame 4, dialog frame 3.
constexpr TFrameMetrics kMetrics{19, 18, 4, 4, 3, 3};

TEST(GeometryProjectorClass, OnlyTheExactNameInAnyCase) {
    struct Case {
        const char* name;
        bool found;
    };
    const Case cases[] = {
        {"ShockwaveFlash", true},      {"shockwaveflash", true},   {"SHOCKWAVEFLASH", true}, {"ShockWaveFlash", true},
        {"ShockwaveFlashX", false},    {"ShockwaveFlash ", false}, {"ShockwaveFlas", false}, {"", false},
        {"Afx:ShockwaveFlash", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsProjectorClassName(c.name), c.found) << c.name;
}

TEST(GeometryProjectorSize, OnlyWithoutFullScreenAndCustomSize) {
    struct Case {
        bool fullScreen, customSize, takes;
    };
    const Case cases[] = {{false, false, true}, {true, false, false}, {false, true, false}, {true, true, false}};
    for (const Case& c : cases) {
        TProjectSettings s;
        s.FullScreen.Checked = c.fullScreen;
        s.CustomSize.Checked = c.customSize;
        EXPECT_EQ(TakesSizeFromProjector(s), c.takes) << c.fullScreen << c.customSize;
    }
}

struct SizeCase {
    const char* name;
    uint32_t style;
    TRect32 projector;
    bool noTitle, noBorder, allowResize;
    int32_t alignH, alignV;
    TWindowBox expected;
};

TEST(GeometryProjectorSize, FramedAndUnframedWindows) {
    // Settings rectangle 10, 20, 640 x 480; screen 1024 x 768.
    const SizeCase cases[] = {
        {"framed 660 x 520: only the menu bar goes",
         kFramed,
         {30, 40, 690, 560},
         false,
         false,
         true,
         0,
         0,
         {10, 20, 660, 501}},
        {"horizontal alignment takes the projector's left",
         kFramed,
         {30, 40, 690, 560},
         false,
         false,
         true,
         2,
         0,
         {30, 20, 660, 501}},
        {"vertical alignment takes the projector's top",
         kFramed,
         {30, 40, 690, 560},
         false,
         false,
         true,
         0,
         3,
         {10, 40, 660, 501}},
        {"framed, no title", kFramed, {30, 40, 690, 560}, true, false, true, 0, 0, {10, 20, 660, 483}},
        {"framed, no border", kFramed, {30, 40, 690, 560}, false, true, true, 0, 0, {10, 20, 652, 493}},
        {"framed, fixed size takes the thinner frame",
         kFramed,
         {30, 40, 690, 560},
         false,
         false,
         false,
         0,
         0,
         {10, 20, 658, 499}},
        {"framed, no title and no border", kFramed, {30, 40, 690, 560}, true, true, false, 0, 0, {10, 20, 652, 475}},
        {"framed, larger than the screen, is not limited",
         kFramed,
         {0, 0, 1100, 900},
         false,
         false,
         true,
         0,
         0,
         {10, 20, 1100, 881}},
        {"unframed, fixed size frame and caption added",
         kUnframed,
         {0, 0, 640, 480},
         false,
         false,
         false,
         0,
         0,
         {10, 20, 646, 504}},
        {"unframed, sizing frame added", kUnframed, {0, 0, 640, 480}, false, false, true, 0, 0, {10, 20, 648, 506}},
        {"unframed, no title", kUnframed, {0, 0, 640, 480}, true, false, true, 0, 0, {10, 20, 648, 488}},
        {"unframed, bare", kUnframed, {0, 0, 640, 480}, true, true, true, 0, 0, {10, 20, 640, 480}},
        {"unframed, larger than the screen, is limited",
         kUnframed,
         {-5, -5, 1095, 895},
         false,
         false,
         true,
         1,
         1,
         {-5, -5, 1024, 768}},
    };
    for (const SizeCase& c : cases) {
        TProjectSettings s;
        s.HideCaption.Checked = c.noTitle;
        s.HideBorder.Checked = c.noBorder;
        s.Resizable.Checked = c.allowResize;
        s.HorizontalAlignment = c.alignH;
        s.VerticalAlignment = c.alignV;
        const TRunnerSize r = RunnerSizeFromProjector(s, {10, 20, 640, 480}, c.projector, c.style, kMetrics, 1024, 768);
        EXPECT_EQ(r.Box, c.expected) << c.name << ": got " << r.Box.Left << "," << r.Box.Top << " " << r.Box.Width
                                     << "x" << r.Box.Height;
        EXPECT_EQ(r.RefWidth, c.expected.Width) << c.name;
        EXPECT_EQ(r.RefHeight, c.expected.Height) << c.name;
    }
}

TEST(GeometryAlignment, WithinTheScreen) {
    const TRect32 screen{0, 0, 1024, 768};
    struct Case {
        const char* name;
        int32_t align, length, expected;
        bool horizontal;
    };
    const Case cases[] = {
        {"centred 640 on 1024", 2, 640, 192, true},
        {"centred 641 on 1024: 191.5 truncated", 2, 641, 191, true},
        {"right edge on the screen's right edge", 3, 640, 384, true},
        {"start", 1, 640, 0, true},
        {"0 leaves the position", 0, 640, 10, true},
        {"another value leaves the position", 7, 640, 10, true},
        {"wider than the screen: truncated toward zero", 2, 1101, -38, true},
        {"centred 480 on 768", 2, 480, 144, false},
        {"centred 481 on 768", 2, 481, 143, false},
        {"bottom edge on the screen's bottom", 3, 480, 288, false},
        {"top", 1, 480, 0, false},
        {"0 leaves the top", 0, 480, 10, false},
    };
    for (const Case& c : cases) {
        const int32_t got =
            c.horizontal ? AlignedLeft(c.align, screen, 10, c.length) : AlignedTop(c.align, screen, 10, c.length);
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(GeometryAlignment, FullScreenIsNeverAligned) {
    TProjectSettings s;
    s.HorizontalAlignment = 2;
    s.VerticalAlignment = 3;
    const TWindowBox box{10, 20, 640, 480};
    EXPECT_EQ(AlignRunner(s, {0, 0, 1024, 768}, box), (TWindowBox{192, 288, 640, 480}));
    s.FullScreen.Checked = true;
    EXPECT_EQ(AlignRunner(s, {0, 0, 1024, 768}, box), box);
}

}  // namespace
}  // namespace quindle
