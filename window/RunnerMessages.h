// Portable decisions behind the runner window's registered messages: the query
// message other programs send, and the global close notice.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quindle {

// The runner window's notifications, WM_USER (0x0400) + n. The runner posts the start and
// the music start to itself; the others come from the hook library and other programs.
constexpr uint32_t kStartNotice = 0x0401;           // run the session or the setup dialog
constexpr uint32_t kRaiseNotice = 0x0403;           // bring the runner window forward
constexpr uint32_t kReadyNotice = 0x0404;           // the projector window is shown
constexpr uint32_t kStartMusicNotice = 0x0406;      // start the background music
constexpr uint32_t kOutsideActivationNotice = 0x0407;  // wParam: a window clicked or activated while the menu is open
constexpr uint32_t kProjectorForegroundNotice = 0x0408;
constexpr uint32_t kShowPopupMenuNotice = 0x0409;   // show the runner's popup menu at the cursor
constexpr uint32_t kEndDragNotice = 0x040A;         // the button went up in the projector
constexpr uint32_t kBeginDragNotice = 0x040B;       // wParam: the mouse message that starts the drag
constexpr uint32_t kCloseNotice = 0x040C;           // wParam 0: close the presentation
constexpr uint32_t kEndRunningDragNotice = 0x040E;  // end a drag if one runs
// Every id up to this one is answered with 0 and never reaches default processing.
constexpr uint32_t kLastNotice = 0x0432;

// The runner's identification answer: the bytes "QGLE" from the lowest address up.
constexpr uint32_t kRunnerIdentification = 0x454C4751;

// What a "NimbrelRunnerSvrMessage" query asks for.
struct TSvrQuery {
    enum Kind { Identify, CornerX, CornerY, Unknown } What = Unknown;
    bool BottomRight = false;  // the client area's bottom-right corner instead of its top-left
};
TSvrQuery ClassifySvrQuery(uintptr_t wParam, intptr_t lParam);

// True when text converts completely to a decimal integer equal to value.
bool IsSenderAncestor(const std::string& environmentValue, uintptr_t value);

// True when the file-name parts of two paths are equal, ASCII letters compared without case.
bool SameExeFileName(const std::string& pathA, const std::string& pathB);

}  // namespace quindle
