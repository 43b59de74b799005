// Style, extended style and rectangle of the runner window, chosen from the settings
// when the window is created.
#pragma once

#include <cstdint>

#include "base/Platform.h"
#include "settings/ProjectSettings.h"
#include "window/ShowScreen.h"
#include "window/WindowFlags.h"

namespace quindle {

struct TRunnerWindowLayout {
    uint32_t Style = 0;  // before WS_CLIPCHILDREN, which creation always adds
    uint32_t ExStyle = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

// Full screen covers the show's screen; the custom full screen without a frame covers
// its placement rectangle; a window's Left and Top count from that rectangle's corner.
TRunnerWindowLayout ChooseRunnerWindowLayout(const TProjectSettings& settings, const TPlatformFlags& platform,
                                             const TShowArea& area);

// A framed custom-size full screen is shown maximised right after creation.
bool MaximiseAfterCreation(const TProjectSettings& settings);

}  // namespace quindle
