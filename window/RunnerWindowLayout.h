// Style, extended style and rectangle of the runner window, chosen from the settings
// when the window is created. Window style bits are spelled as numbers here so that
// the rule stays portable; they are the platform's WS_* values.
#pragma once

#include <cstdint>

#include "runner/Lifecycle.h"
#include "settings/ProjectSettings.h"

namespace quindle {

namespace winstyle {
constexpr uint32_t kPopup = 0x80000000;
constexpr uint32_t kSysMenu = 0x00080000;
constexpr uint32_t kCaption = 0x00C00000;
constexpr uint32_t kBorder = 0x00800000;
constexpr uint32_t kThickFrame = 0x00040000;
constexpr uint32_t kMinimizeBox = 0x00020000;
constexpr uint32_t kMaximizeBox = 0x00010000;
constexpr uint32_t kClipChildren = 0x02000000;
constexpr uint32_t kExAppWindow = 0x00040000;
constexpr uint32_t kExTopmost = 0x00000008;
}  // namespace winstyle

struct RunnerWindowLayout {
    uint32_t Style = 0;    // before WS_CLIPCHILDREN, which creation always adds
    uint32_t ExStyle = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

// The work rectangle is the whole screen here (0, 0, maxWidth, maxHeight).
RunnerWindowLayout ChooseRunnerWindowLayout(const TProjectSettings& settings, const PlatformFlags& platform,
                                            int32_t screenW, int32_t screenH, int32_t maxWidth, int32_t maxHeight);

// A framed custom-size full screen is shown maximised right after creation.
bool MaximiseAfterCreation(const TProjectSettings& settings);

}  // namespace quindle
