// The wait of a modeless dialog served by the runner's own message pump (the password
// and setup dialogs): it lasts while the dialog exists and the runner is not quitting.
#pragma once

#include <functional>

namespace quindle {

// What a dialog needs of the runner's cycle.
struct TDialogPump {
    std::function<void()> PumpMessages;   // handles everything queued, then returns
    std::function<bool()> QuitRequested;  // the cycle is ending (WM_QUIT was taken)
};

// Pumps until dialogOpen turns false or a quit is requested. When the queue is empty it
// sleeps in waitForMessage until the next message, instead of polling, unless pollOnly.
void RunDialogLoop(const TDialogPump& pump, const std::function<bool()>& dialogOpen,
                   const std::function<void()>& waitForMessage, bool pollOnly);

}  // namespace quindle
