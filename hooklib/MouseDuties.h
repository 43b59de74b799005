// The mouse hook's duties inside the projector: the right click (the runner's menu in
// place of the projector's own) and the content drag.
#pragma once

#include <windows.h>

#include "hooklib/SessionBlock.h"

namespace hooklib {

// With the no-right-click byte set, right-button messages never reach the projector (so
// its own context menu never opens) and the release asks the runner for its menu when it
// has one. Returns whether the event is kept from the projector.
bool ReplaceRightClick(TSharedBlock& block, int code, WPARAM message);

// With the draggable byte set, a left press starts a drag in the runner and the release
// ends it. The projector still gets both.
void ReportDrag(TSharedBlock& block, int code, WPARAM message);

}  // namespace hooklib
