// Carries out the start-up command: calls a library's "BeforeShow" export or starts a
// program. Every failure is passed over; the presentation goes on.
#pragma once

#include <windows.h>

#include "commands/StartupCommand.h"

namespace quindle {

// beforeShow: the BeforeShow setting (nothing happens when it is empty); runDir ends
// in "\"; runnerWnd is handed to the export.
void RunStartupCommand(const std::string& beforeShow, const std::string& runDir, HWND runnerWnd);

}  // namespace quindle
