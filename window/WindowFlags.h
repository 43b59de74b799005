// Window-manager numbers the projector-window rules decide with, spelled out so the
// rules stay portable. They are the platform's own values (WS_*, SWP_*, WMSZ_*, HT*).
#pragma once

#include <cstdint>

namespace quindle {

namespace wstyle {
constexpr uint32_t kPopup = 0x80000000;         // WS_POPUP
constexpr uint32_t kChild = 0x40000000;         // WS_CHILD
constexpr uint32_t kVisible = 0x10000000;       // WS_VISIBLE
constexpr uint32_t kClipChildren = 0x02000000;  // WS_CLIPCHILDREN
constexpr uint32_t kCaption = 0x00C00000;       // WS_CAPTION
constexpr uint32_t kBorder = 0x00800000;        // WS_BORDER
constexpr uint32_t kSysMenu = 0x00080000;       // WS_SYSMENU
constexpr uint32_t kThickFrame = 0x00040000;    // WS_THICKFRAME: the projector window is framed
constexpr uint32_t kMinimizeBox = 0x00020000;   // WS_MINIMIZEBOX
constexpr uint32_t kMaximizeBox = 0x00010000;   // WS_MAXIMIZEBOX
constexpr uint32_t kExAppWindow = 0x00040000;   // WS_EX_APPWINDOW
constexpr uint32_t kExTopmost = 0x00000008;     // WS_EX_TOPMOST
}  // namespace wstyle

namespace swp {
constexpr uint32_t kNoSize = 0x0001;
constexpr uint32_t kNoMove = 0x0002;
constexpr uint32_t kNoZOrder = 0x0004;
constexpr uint32_t kNoActivate = 0x0010;
constexpr uint32_t kShowWindow = 0x0040;
}  // namespace swp

// WM_SIZING's wParam: the edge being dragged.
namespace wmsz {
constexpr uint32_t kLeft = 1;
constexpr uint32_t kRight = 2;
constexpr uint32_t kTop = 3;
constexpr uint32_t kTopLeft = 4;
constexpr uint32_t kTopRight = 5;
constexpr uint32_t kBottom = 6;
constexpr uint32_t kBottomLeft = 7;
constexpr uint32_t kBottomRight = 8;
}  // namespace wmsz

constexpr int32_t kHitClient = 1;  // HTCLIENT

// A rectangle as the window manager reports it: right and bottom are exclusive.
struct TRect32 {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool operator==(const TRect32& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

struct TPoint32 {
    int32_t X = 0;
    int32_t Y = 0;
};

// The runner window's outer rectangle as the runner keeps it (WinLeft, WinTop,
// WinWidth, WinHeight).
struct TWindowBox {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TWindowBox& o) const {
        return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
    }
};

}  // namespace quindle
