// Entry point of runner.exe.
#include <windows.h>

#include "runner/win32/RunOnce.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return quindle::RunProgram(); }
