// Style, extended style and rectangle of the runner window, chosen from the settings
// when the window is created.
#pragma once

#include <cstdint>

#include "base/Platform.h"
#include "settings/ProjectSettings.h"
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

// The work rectangle is the whole screen here (0, 0, maxWidth, maxHeight).
TRunnerWindowLayout ChooseRunnerWindowLayout(const TProjectSettings& settings, const TPlatformFlags& platform,
                                             int32_t screenW, int32_t screenH, int32_t maxWidth, int32_t maxHeight);

// A framed custom-size full screen is shown maximised right after creation.
bool MaximiseAfterCreation(const TProjectSettings& settings);

}  // namespace quindle
