// The runner's one message pump. It never blocks: every wait in the runner polls it.
#pragma once

#include <exception>

namespace quindle {

// Takes and handles at most one queued message; true when one was taken.
// WM_QUIT sets QuitFlag instead of being dispatched.
bool PumpOneMessage();

// Calls PumpOneMessage until the queue is empty.
void PumpMessages();

// Window procedures must not let a C++ exception cross the system's dispatch code:
// they park it here and the pump raises it again once DispatchMessage has returned.
void ParkException(std::exception_ptr error);
void RaiseParkedException();

}  // namespace quindle
