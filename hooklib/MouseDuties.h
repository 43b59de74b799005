// The mouse hook's drag notices inside the projector (the right click is in ContextMenu.h).
#pragma once

#include <windows.h>

#include "hooklib/SessionBlock.h"

namespace hooklib {

// With the draggable byte set, a left press starts a drag in the runner and the release
// ends it. The projector still gets both.
void ReportDrag(TSharedBlock& block, int code, WPARAM message);

}  // namespace hooklib
