// The aspect-ratio rule of the runner window's sizing frame.
#include "window/AspectRatio.h"

#include "base/MulDiv.h"

namespace quindle {

namespace {

int64_t Distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

}  // namespace

TRect32 ApplyAspectRatio(TRect32 r, uint32_t edge, TPoint32 cursor, const TWindowBox& current, int32_t refWidth,
                         int32_t refHeight) {
    if (refWidth <= 0 || refHeight <= 0) return r;
    const int32_t heightForWidth = MulDiv32(refHeight, r.Width(), refWidth);
    const int32_t widthForHeight = MulDiv32(refWidth, r.Height(), refHeight);

    // At a corner, the axis on which the cursor is nearer to the window's current edge
    // keeps its proposed length; on a tie the height stays and the width follows.
    const int64_t leftEdge = current.Left;
    const int64_t rightEdge = static_cast<int64_t>(current.Left) + current.Width;
    const int64_t topEdge = current.Top;
    const int64_t bottomEdge = static_cast<int64_t>(current.Top) + current.Height;
    auto widthStays = [&](int64_t edgeX, int64_t edgeY) {
        return Distance(cursor.X, edgeX) < Distance(edgeY, cursor.Y);
    };

    switch (edge) {
        case wmsz::kLeft:
        case wmsz::kRight:
            r.Bottom = r.Top + heightForWidth;
            break;
        case wmsz::kTop:
        case wmsz::kBottom:
            r.Right = r.Left + widthForHeight;
            break;
        case wmsz::kTopLeft:
            if (widthStays(leftEdge, topEdge))
                r.Top = r.Bottom - heightForWidth;
            else
                r.Left = r.Right - widthForHeight;
            break;
        case wmsz::kTopRight:
            if (widthStays(rightEdge, topEdge))
                r.Top = r.Bottom - heightForWidth;
            else
                r.Right = r.Left + widthForHeight;
            break;
        case wmsz::kBottomLeft:
            if (widthStays(leftEdge, bottomEdge))
                r.Bottom = r.Top + heightForWidth;
            else
                r.Left = r.Right - widthForHeight;
            break;
        case wmsz::kBottomRight:
            if (widthStays(rightEdge, bottomEdge))
                r.Bottom = r.Top + heightForWidth;
            else
                r.Right = r.Left + widthForHeight;
            break;
        default:
            break;
    }
    return r;
}

}  // namespace quindle
