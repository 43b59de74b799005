// The runner's one message pump. It never blocks: the cycle and the show's waits poll it
// between their steps, and the dialogs' wait calls it whenever a message arrives.
#pragma once

namespace quindle {

// Takes and handles at most one queued message; true when one was taken.
// WM_QUIT sets QuitFlag instead of being dispatched.
bool PumpOneMessage();

// Calls PumpOneMessage until the queue is empty.
void PumpMessages();

}  // namespace quindle
