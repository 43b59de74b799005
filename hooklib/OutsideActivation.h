// While the runner's popup menu is open, a click or an activation anywhere else closes
// it: the runner's thread cannot see events of other programs, so the hooks report them,
// in whatever process they happen.
#pragma once

#include <windows.h>

namespace hooklib {

// The mouse hook's event in any process: a button press reports its window.
void ReportOutsideClick(int code, WPARAM message, LPARAM mouseData);
// The CBT hook's event in any process: an activation reports the window activated.
void ReportOutsideActivation(int code, WPARAM wParam);

}  // namespace hooklib
