// The runner window's notifications, shared by the runner, which answers them, and the
// hook library, which posts most of them.
#pragma once

#include <cstdint>

namespace quindle {

// The runner window's notifications, WM_USER (0x0400) + n. The runner posts the start and
// the music start to itself; the others come from the hook library and other programs.
constexpr uint32_t kStartNotice = 0x0401;              // run the session or the setup dialog
constexpr uint32_t kRaiseNotice = 0x0403;              // bring the runner window forward
constexpr uint32_t kReadyNotice = 0x0404;              // the projector window is shown
constexpr uint32_t kStartMusicNotice = 0x0406;         // start the background music
constexpr uint32_t kOutsideActivationNotice = 0x0407;  // wParam: the window activated or clicked
constexpr uint32_t kProjectorForegroundNotice = 0x0408;
constexpr uint32_t kShowPopupMenuNotice = 0x0409;  // open the runner's right-click menu
constexpr uint32_t kEndDragNotice = 0x040A;
constexpr uint32_t kBeginDragNotice = 0x040B;  // wParam: the mouse message that starts it
constexpr uint32_t kCloseNotice = 0x040C;      // wParam 0: close the presentation
constexpr uint32_t kEndRunningDragNotice = 0x040E;
// Every id up to this one is answered with 0 and never reaches default processing.
constexpr uint32_t kLastNotice = 0x0432;

}  // namespace quindle
