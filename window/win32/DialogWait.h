// Serving a modeless dialog with the runner's own pump: the password and setup
// dialogs wait here until they are closed or the runner cycle quits.
#pragma once

#include <windows.h>

#include "window/DialogLoop.h"

namespace quindle {

// Returns when the dialog window is gone or pump.QuitRequested() holds. While the
// queue is empty the thread sleeps until a message arrives.
void ServeDialog(HWND dialog, const TDialogPump& pump);

// Builds with the benchmark switch (the Windows test build) poll the queue instead,
// as a runner without the sleeping wait does, while the environment variable
// QUINDLE_DIALOG_POLLING is "1". Always false in other builds.
bool DialogPollingRequested();

}  // namespace quindle
