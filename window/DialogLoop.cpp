// A pump loop that gives the processor away while nothing happens: a dialog changes
// only through messages, so sleeping until one arrives loses nothing.
#include "window/DialogLoop.h"

namespace quindle {

void RunDialogLoop(const TDialogPump& pump, const std::function<bool()>& dialogOpen,
                   const std::function<void()>& waitForMessage, bool pollOnly) {
    const auto serving = [&] { return dialogOpen() && !pump.QuitRequested(); };
    while (serving()) {
        pump.PumpMessages();
        // The pump has just found the queue empty; a message it handled may have closed
        // the dialog or ended the cycle, and then there is nothing to wait for.
        if (!pollOnly && serving()) waitForMessage();
    }
}

}  // namespace quindle
