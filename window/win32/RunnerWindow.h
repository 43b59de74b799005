// The runner window procedure: a table of handlers keyed by message id, plus the
// messages it answers inline.
#pragma once

#include <windows.h>

namespace quindle {

LRESULT CALLBACK RunnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quindle
