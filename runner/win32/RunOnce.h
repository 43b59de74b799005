// The program's runner cycles: create the runner object, initialise it, pump until
// the cycle quits, free it; again while a restart is asked for.
#pragma once

#include <windows.h>

namespace quindle {

// Pumps until QuitFlag is set. An escaped exception is shown in the "Error" box owned
// by owner, and the pump goes on.
void PumpUntilQuit(HWND owner);

// One runner cycle.
void RunOnce();

// Program entry after the C runtime: cycles while RestartFlag is set. Returns the exit code;
// an error escaping a runner's initialisation is shown as "Application Error" and gives 1.
int RunProgram();

}  // namespace quindle
