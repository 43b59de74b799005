// Duties that act on the projector's window messages: the Windows keys, the screen
// saver, the cursor and the projector's own context menu.
#pragma once

#include <windows.h>

#include "hooklib/SessionBlock.h"

namespace hooklib {

// A message hook's message about to be taken by the projector: with the Windows-key
// filter on, the Windows keys and the application key become WM_NULL; with that filter
// on or the no-right-click byte set, so does a posted keyboard context menu (the
// application key's); with the screen saver off, so does a posted screen-saver command.
void FilterMessage(TSharedBlock& block, MSG& message);

// The keyboard hook's key: true keeps a Windows key or the application key from the
// projector while the filter is on, before the system turns the latter into WM_CONTEXTMENU.
bool IsFilteredKey(const TSharedBlock& block, WPARAM key);

// The CBT hook's system command about to be carried out: true refuses the screen saver.
bool RefuseSystemCommand(TSharedBlock& block, int code, WPARAM command);

// A message the projector's window procedure has just handled: hides the cursor over the
// projector window, and takes the listed items out of a context menu before it shows.
void AfterWindowMessage(TSharedBlock& block, const CWPRETSTRUCT& message);

}  // namespace hooklib
