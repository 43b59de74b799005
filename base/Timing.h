// The runner's fixed pauses, poll periods and limits, in milliseconds. Waits are
// polling loops and fixed sleeps; every wait on a kernel object carries a time-out.
#pragma once

namespace quindle {

constexpr unsigned kWindowSearchStepMs = 22;      // between two looks for the projector window
constexpr unsigned kWindowSearchLimitMs = 11000;  // the projector window must show up by then
constexpr unsigned kSupervisionWaitMs = 44;       // one wait on the projector process
constexpr unsigned kShortSettleMs = 55;           // lets a window change take effect
constexpr unsigned kSettleMs = 111;               // lets the system finish with a window or file
constexpr unsigned kPasswordRetryPauseMs = 333;   // before a wrong password's message
constexpr unsigned kBeforeCloseSettleMs = 555;    // a hidden projector settles before WM_CLOSE
constexpr unsigned kFileRetryPauseMs = 555;       // between attempts to delete the hook library
constexpr unsigned kMutexWaitMs = 5555;           // for the runners' mutex
constexpr unsigned kInputIdleWaitMs = 11111;      // for the started projector's input idle
constexpr unsigned kStartupIdleWaitMs = 30000;    // for the start-up program's, as WinExec waits
constexpr unsigned kRunDirDeleteLimitMs = 1111;   // the shell delete of the run directory is retried this long

}  // namespace quindle
