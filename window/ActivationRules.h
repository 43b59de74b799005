// Decisions the runner window procedure takes about activation: keeping the caption
// drawn active while the projector (another thread) has the focus, and keeping a click
// on the presentation from raising the runner window. Used by the runner window procedure.
#pragma once

#include <cstdint>

namespace quindle {

// What the procedure does with WM_NCACTIVATE towards its own window.
enum class TNcActivateNotice { None, SendActive, SendInactive, PostActive };

struct TActivateAppDecision {
    TNcActivateNotice Notice = TNcActivateNotice::None;
    bool EndDrag = false;  // a deactivation in favour of another thread ends a running drag
    bool Handled = false;  // returns 0 without default processing
};

// WM_ACTIVATEAPP: activating is wParam != 0, otherThreadId is lParam.
TActivateAppDecision DecideActivateApp(bool interaction, bool activating, uint32_t otherThreadId,
                                       uint32_t projectorThreadId);

// WM_NCHITTEST: the notice to give after computing the default hit-test code.
TNcActivateNotice DecideHitTestNotice(bool interaction, int32_t hitCode, bool projectorIsForeground);

struct TNcPaintDecision {
    bool Paint = true;  // default painting; otherwise return 0
    TNcActivateNotice NoticeAfter = TNcActivateNotice::None;
};

// WM_NCPAINT: restyleInProgress is the control block's byte (false without a block).
TNcPaintDecision DecideNcPaint(bool interaction, bool restyleInProgress, bool projectorIsForeground);

// WM_NCACTIVATE: true when the procedure returns TRUE without default processing, so
// the caption is not redrawn inactive while the projector is in front.
bool KeepCaptionActive(bool interaction, bool activating, bool projectorIsForeground);

struct TWindowPosDecision {
    bool Handled = false;  // no default processing
    uint32_t Flags = 0;    // the WINDOWPOS flags to leave in the record
};

// WM_WINDOWPOSCHANGING with DisableClickForeground: once the projector is shown, a
// request to go to HWND_TOP (insertAfter 0) neither reorders nor activates the window.
TWindowPosDecision DecideWindowPosChanging(bool disableClickForeground, bool projectorShown, uintptr_t insertAfter,
                                           uint32_t flags);

}  // namespace quindle
