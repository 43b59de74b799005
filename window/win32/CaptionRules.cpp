// The caption and click-foreground rules of the runner window.
#include "window/win32/CaptionRules.h"

#include <cstdint>

namespace quindle {

void GiveNcActivateNotice(HWND window, TNcActivateNotice notice) {
    switch (notice) {
        case TNcActivateNotice::SendActive:
            ::SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
            break;
        case TNcActivateNotice::SendInactive:
            ::SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
            break;
        case TNcActivateNotice::PostActive:
            ::PostMessageA(window, WM_NCACTIVATE, TRUE, 0);
            break;
        case TNcActivateNotice::None:
            break;
    }
}

bool CaptionRule(HWND window, TMessage& m, bool interaction, bool projectorInFront, bool restyling) {
    if (!interaction) return false;
    switch (m.Msg) {
        case WM_NCHITTEST:
            m.Result = ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
            GiveNcActivateNotice(window,
                                 DecideHitTestNotice(interaction, static_cast<int32_t>(m.Result), projectorInFront));
            return true;
        case WM_NCPAINT: {
            const TNcPaintDecision paint = DecideNcPaint(interaction, restyling, projectorInFront);
            m.Result = paint.Paint ? ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam) : 0;
            GiveNcActivateNotice(window, paint.NoticeAfter);
            return true;
        }
        case WM_NCACTIVATE:
            m.Result = KeepCaptionActive(interaction, m.WParam != 0, projectorInFront)
                           ? TRUE
                           : ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
            return true;
        default:
            return false;
    }
}

bool ClickForegroundRule(TMessage& m, bool disableClickForeground, bool projectorShown) {
    auto* position = reinterpret_cast<WINDOWPOS*>(m.LParam);
    if (!position) return false;
    const TWindowPosDecision decision =
        DecideWindowPosChanging(disableClickForeground, projectorShown,
                                reinterpret_cast<uintptr_t>(position->hwndInsertAfter), position->flags);
    position->flags = decision.Flags;
    m.Result = 0;
    return decision.Handled;
}

}  // namespace quindle
