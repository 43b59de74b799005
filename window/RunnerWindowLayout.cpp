// Chooses the runner window's styles and rectangle. Used by the runner's initialisation.
#include "window/RunnerWindowLayout.h"

#include "window/DisplayMode.h"

namespace quindle {

TRunnerWindowLayout ChooseRunnerWindowLayout(const TProjectSettings& s, const TPlatformFlags& platform,
                                             const TShowArea& area) {
    using namespace wstyle;
    const TDisplayMode mode = DisplayModeOf(s);
    TRunnerWindowLayout layout;
    const TRect32& place = area.Placement;
    layout.Left = place.Left + s.StartLeft;
    layout.Top = place.Top + s.StartTop;
    layout.Width = s.StartWidth;
    layout.Height = s.StartHeight;

    if (mode == TDisplayMode::WholeScreen) {
        layout.Style = kPopup | kSysMenu;
        layout.ExStyle = kExAppWindow | (FullScreenIsTopmost(platform) ? kExTopmost : 0);
        const TRect32& screen = area.Bounds;
        layout = {layout.Style, layout.ExStyle, screen.Left, screen.Top, screen.Width(), screen.Height()};
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
        layout.Left = place.Left;
        layout.Top = place.Top;
        layout.Width = place.Width();
        layout.Height = place.Height();
    }
    return layout;
}

bool MaximiseAfterCreation(const TProjectSettings& s) { return DisplayModeOf(s) == TDisplayMode::FramedMaximised; }

}  // namespace quindle
