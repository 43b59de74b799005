// The polling message pump used by the runner cycle and by every wait.
#include "runner/win32/Pump.h"

#include <windows.h>

#include "base/win32/ParkedException.h"
#include "runner/win32/Globals.h"

namespace quindle {

bool PumpOneMessage() {
    MSG message;
    if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::Sleep(0);
        RaiseParkedException();  // a handler reached through SendMessage may have failed
        return false;
    }
    if (message.message == WM_QUIT) {
        QuitFlag = true;
        return true;
    }
    bool handled = false;
    if (MessageHook.Assigned()) MessageHook.Proc(message, handled);
    if (!handled) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    RaiseParkedException();
    return true;
}

void PumpMessages() {
    while (PumpOneMessage()) {}
}

}  // namespace quindle
