// Sizes and alignment of the runner window around the projector's window.
#include "window/Geometry.h"

#include "base/Text.h"
#include "window/DisplayMode.h"

namespace quindle {

bool IsProjectorClassName(const std::string& className) { return LowerAscii(className) == "shockwaveflash"; }

bool IsFramedStyle(uint32_t style) { return (style & wstyle::kThickFrame) != 0; }

bool TakesSizeFromProjector(const TProjectSettings& s) { return DisplayModeOf(s) == TDisplayMode::MovieSized; }

TRunnerSize RunnerSizeFromProjector(const TProjectSettings& s, const TWindowBox& current, const TRect32& p,
                                    uint32_t projectorStyle, const TFrameMetrics& m, int32_t maxWidth,
                                    int32_t maxHeight) {
    TRunnerSize size;
    TWindowBox& b = size.Box;
    b = current;
    if (s.HorizontalAlignment != 0) b.Left = p.Left;
    if (s.VerticalAlignment != 0) b.Top = p.Top;
    b.Width = p.Width();
    b.Height = p.Height();

    if (IsFramedStyle(projectorStyle)) {
        // The projector's caption and sizing frame match the runner's; only the menu
        // bar goes, plus whatever the runner leaves out of its own frame.
        b.Height -= m.CyMenu;
        if (s.HideCaption.Checked) b.Height -= m.CyCaption;
        if (s.HideBorder.Checked) {
            b.Width -= 2 * m.CxFrame;
            b.Height -= 2 * m.CyFrame;
        } else if (!s.Resizable.Checked) {
            b.Width -= 2 * (m.CxFrame - m.CxDlgFrame);
            b.Height -= 2 * (m.CyFrame - m.CyDlgFrame);
        }
    } else {
        // A bare projector window is the client area; the runner's frame comes around it.
        if (!s.HideCaption.Checked) b.Height += m.CyCaption;
        if (!s.HideBorder.Checked) {
            if (s.Resizable.Checked) {
                b.Width += 2 * m.CxFrame;
                b.Height += 2 * m.CyFrame;
            } else {
                b.Width += 2 * m.CxDlgFrame;
                b.Height += 2 * m.CyDlgFrame;
            }
        }
        if (b.Width > maxWidth) b.Width = maxWidth;
        if (b.Height > maxHeight) b.Height = maxHeight;
    }
    size.RefWidth = b.Width;
    size.RefHeight = b.Height;
    return size;
}

namespace {

int32_t Align(int32_t alignment, int32_t start, int32_t end, int32_t position, int32_t length) {
    switch (alignment) {
        case 1:
            return 0;
        case 2:
            return static_cast<int32_t>((static_cast<int64_t>(start) + end - length) / 2);
        case 3:
            return end - length;
        default:
            return position;
    }
}

}  // namespace

int32_t AlignedLeft(int32_t alignmentH, const TRect32& work, int32_t winLeft, int32_t winWidth) {
    return Align(alignmentH, work.Left, work.Right, winLeft, winWidth);
}

int32_t AlignedTop(int32_t alignmentV, const TRect32& work, int32_t winTop, int32_t winHeight) {
    return Align(alignmentV, work.Top, work.Bottom, winTop, winHeight);
}

TPoint32 CentredOnWorkArea(const TRect32& work, int32_t width, int32_t height) {
    return {work.Left + work.Width() / 2 - width / 2, work.Top + work.Height() / 2 - height / 2};
}

TWindowBox AlignRunner(const TProjectSettings& s, const TRect32& work, TWindowBox box) {
    if (IsFullScreen(DisplayModeOf(s))) return box;
    box.Left = AlignedLeft(s.HorizontalAlignment, work, box.Left, box.Width);
    box.Top = AlignedTop(s.VerticalAlignment, work, box.Top, box.Height);
    return box;
}

}  // namespace quindle
