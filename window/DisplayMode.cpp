// Decodes the display mode. Used wherever the settings' FullScreen and CustomSize matter.
#include "window/DisplayMode.h"

namespace quindle {

TDisplayMode DisplayModeOf(const TProjectSettings& s) {
    if (!s.FullScreen.Checked) return s.CustomSize.Checked ? TDisplayMode::AuthorSized : TDisplayMode::MovieSized;
    if (!s.CustomSize.Checked) return TDisplayMode::WholeScreen;
    return s.HideCaption.Checked || s.HideBorder.Checked ? TDisplayMode::FramelessWorkArea
                                                         : TDisplayMode::FramedMaximised;
}

}  // namespace quindle
