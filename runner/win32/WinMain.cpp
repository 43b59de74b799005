// Entry point of runner.exe.
#include <windows.h>

#include <commctrl.h>

#include "runner/win32/RunOnce.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The manifest asks for Common Controls 6; its control classes are registered here,
    // before the first dialog (Windows XP registers them only on this call).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    return quindle::RunProgram();
}
