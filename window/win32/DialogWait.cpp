// The dialogs' wait: MsgWaitForMultipleObjectsEx with no objects sleeps until input,
// a posted or sent message or a timer is there; MWMO_INPUTAVAILABLE also wakes for
// messages that arrived before the call, so none is left waiting.
#include "window/win32/DialogWait.h"

namespace quindle {

bool DialogPollingRequested() {
#ifdef QUINDLE_DIALOG_POLL_SWITCH
    char value[4] = {};
    return ::GetEnvironmentVariableA("QUINDLE_DIALOG_POLLING", value, sizeof value) == 1 && value[0] == '1';
#else
    return false;
#endif
}

void ServeDialog(HWND dialog, const TDialogPump& pump) {
    RunDialogLoop(
        pump, [dialog] { return ::IsWindow(dialog) != FALSE; },
        [] { ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE); },
        DialogPollingRequested());
}

}  // namespace quindle
