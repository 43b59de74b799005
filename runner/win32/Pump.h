// The runner's one message pump. It never blocks: every wait in the runner polls it.
#pragma once

namespace quindle {

// Takes and handles at most one queued message; true when one was taken.
// WM_QUIT sets QuitFlag instead of being dispatched.
bool PumpOneMessage();

// Calls PumpOneMessage until the queue is empty.
void PumpMessages();

}  // namespace quindle
