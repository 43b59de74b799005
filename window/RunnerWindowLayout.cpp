// Chooses the runner window's styles and rectangle. Used by the runner's initialisation.
#include "window/RunnerWindowLayout.h"

#include "window/DisplayMode.h"

namespace quindle {

TRunnerWindowLayout ChooseRunnerWindowLayout(const TProjectSettings& s, const TPlatformFlags& platform, int32_t screenW,
                                             int32_t screenH, int32_t maxWidth, int32_t maxHeight) {
    using namespace wstyle;
    const TDisplayMode mode = DisplayModeOf(s);
    TRunnerWindowLayout layout;
    layout.Left = s.StartLeft;
    layout.Top = s.StartTop;
    layout.Width = s.StartWidth;
    layout.Height = s.StartHeight;

    if (mode == TDisplayMode::WholeScreen) {
        layout.Style = kPopup | kSysMenu;
        layout.ExStyle = kExAppWindow | (FullScreenIsTopmost(platform) ? kExTopmost : 0);
        layout = {layout.Style, layout.ExStyle, 0, 0, screenW, screenH};
        return layout;
    }

    const bool resize = s.Resizable.Checked;
    if (s.HideBorder.Checked) {
        layout.Style = kPopup | kSysMenu;
    } else if (!s.HideCaption.Checked) {
        layout.Style = kPopup | kSysMenu | kCaption | kMinimizeBox | kMaximizeBox | (resize ? kThickFrame : 0);
    } else {
        layout.Style = kPopup | kSysMenu | (resize ? kThickFrame : kBorder);
    }
    layout.ExStyle = kExAppWindow | ((s.AlwaysOnTop.Checked || IsFullScreen(mode)) ? kExTopmost : 0);
    if (mode == TDisplayMode::FramelessWorkArea) {
        layout.Left = 0;
        layout.Top = 0;
        layout.Width = maxWidth;
        layout.Height = maxHeight;
    }
    return layout;
}

bool MaximiseAfterCreation(const TProjectSettings& s) { return DisplayModeOf(s) == TDisplayMode::FramedMaximised; }

}  // namespace quindle
