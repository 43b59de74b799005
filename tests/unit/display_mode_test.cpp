// The display mode decoded from FullScreen, CustomSize and the frame settings.
#include "window/DisplayMode.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(DisplayMode, EveryCombinationOfTheFourSettings) {
    using M = TDisplayMode;
    const struct {
        bool fullScreen, customSize, hideCaption, hideBorder;
        TDisplayMode mode;
    } cases[] = {
        {false, false, false, false, M::MovieSized},     {false, false, true, true, M::MovieSized},
        {false, true, false, false, M::AuthorSized},     {false, true, true, false, M::AuthorSized},
        {true, false, false, false, M::WholeScreen},     {true, false, true, true, M::WholeScreen},
        {true, true, false, false, M::FramedMaximised},  {true, true, true, false, M::FramelessWorkArea},
        {true, true, false, true, M::FramelessWorkArea}, {true, true, true, true, M::FramelessWorkArea},
    };
    for (const auto& c : cases) {
        TProjectSettings s;
        s.FullScreen.Checked = c.fullScreen;
        s.CustomSize.Checked = c.customSize;
        s.HideCaption.Checked = c.hideCaption;
        s.HideBorder.Checked = c.hideBorder;
        EXPECT_EQ(DisplayModeOf(s), c.mode) << c.fullScreen << c.customSize << c.hideCaption << c.hideBorder;
    }
}

}  // namespace
}  // namespace quindle
