// The runner window's rules while the projector, another thread, has the focus: the
// caption stays drawn active, and nothing raises a shown presentation through HWND_TOP
// when click-foreground is disabled. Each returns true when the message is answered
// without default processing (its result in m.Result).
#pragma once

#include <windows.h>

#include "window/ActivationRules.h"
#include "window/win32/MessageTable.h"

namespace quindle {

// WM_NCHITTEST, WM_NCPAINT and WM_NCACTIVATE.
bool CaptionRule(HWND window, TMessage& m, bool interaction, bool projectorInFront, bool restyling);

// WM_WINDOWPOSCHANGING.
bool ClickForegroundRule(TMessage& m, bool disableClickForeground, bool projectorShown);

void GiveNcActivateNotice(HWND window, TNcActivateNotice notice);

}  // namespace quindle
