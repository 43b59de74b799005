// The runner window's size and place derived from the projector's own window, and
// its alignment on the screen. Used by the projector window search and the restyle.
#pragma once

#include <cstdint>
#include <string>

#include "settings/ProjectSettings.h"
#include "window/WindowFlags.h"

namespace quindle {

// The system metrics that frame sizes are made of (SM_CYMENU, SM_CYCAPTION,
// SM_CXFRAME, SM_CYFRAME, SM_CXDLGFRAME, SM_CYDLGFRAME).
struct TFrameMetrics {
    int32_t CyMenu = 0;
    int32_t CyCaption = 0;
    int32_t CxFrame = 0;
    int32_t CyFrame = 0;
    int32_t CxDlgFrame = 0;
    int32_t CyDlgFrame = 0;
};

// The projector's main window: its class name, lower-cased, is exactly "shockwaveflash".
bool IsProjectorClassName(const std::string& className);

// A projector window with a sizing frame still has its caption and menu bar.
bool IsFramedStyle(uint32_t style);

// The runner takes its size from the projector only when neither FullScreen nor
// CustomSize fixes it.
bool TakesSizeFromProjector(const TProjectSettings& settings);

struct TRunnerSize {
    TWindowBox Box;  // WinLeft, WinTop, WinWidth, WinHeight
    int32_t RefWidth = 0;
    int32_t RefHeight = 0;
};

// The runner's outer rectangle for a projector window at projectorRect with the given
// style: the projector's frame, caption and menu bar give way to the runner's own.
// current holds the rectangle from the settings; an unframed projector's size is
// limited to maxWidth x maxHeight.
TRunnerSize RunnerSizeFromProjector(const TProjectSettings& settings, const TWindowBox& current,
                                    const TRect32& projectorRect, uint32_t projectorStyle, const TFrameMetrics& metrics,
                                    int32_t maxWidth, int32_t maxHeight);

// Alignment within the work rectangle: 1 start, 2 centre (truncated), 3 end; any
// other value leaves the position as it is.
int32_t AlignedLeft(int32_t alignmentH, const TRect32& work, int32_t winLeft, int32_t winWidth);
int32_t AlignedTop(int32_t alignmentV, const TRect32& work, int32_t winTop, int32_t winHeight);

// Both at once; full-screen presentations are never aligned.
TWindowBox AlignRunner(const TProjectSettings& settings, const TRect32& work, TWindowBox box);

// Top-left corner that centres a width x height window on the work area: half the
// area's size less half the window's, each half truncated, from the area's corner.
TPoint32 CentredOnWorkArea(const TRect32& work, int32_t width, int32_t height);

}  // namespace quindle
