// Shows run the way a kiosk runs them, for the soak test and the soak benchmark: one or
// several packaged runners started together, each watched until its projector shows
// inside its window, closed, and waited for; then the traces the runners may leave.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/harness/Presentation.h"

namespace harness {

// One show as its user sees it.
struct ShowOutcome {
    bool Shown = false;   // the projector showed inside the visible runner window
    double StartMs = -1;  // from CreateProcess until then
    std::optional<DWORD> ExitCode;
    std::string Failure;  // what went wrong; empty when the show came, closed and ended
};

// Starts every one of exePaths (copies of show's packaged file, or the file itself
// more than once) at once with show's temporary folder, waits until each shows or
// fails (a message box, an early end, no show within timeoutMs), asks each shown
// runner to close (the hook library's close notice) and waits for the runners and
// their projectors to end. Runners still running at the end are terminated.
std::vector<ShowOutcome> RunShowsAtOnce(const Presentation& show, const std::vector<std::string>& exePaths,
                                        DWORD timeoutMs = kDefaultWaitMs);

// A trace a presentation left behind.
struct Trace {
    std::string What;
    // For a file left for deletion at the next restart: the process that still has it
    // loaded, when one has (Wine's desktop process keeps hook libraries loaded once one
    // of their hooks ran there, also after the hooks are gone; Windows unloads them).
    std::string HeldBy;
};

// Traces left once every runner of show has ended, waiting up to settleMs for them
// to go: entries of the temporary folder (run directories, settings inis), marker
// atoms ("aakq " + each of exeNames), a runner mutex that is held or was abandoned,
// control-block mappings of run numbers 0 to maxRunNumber, and deletions of files in
// the temporary folder left for the next restart.
std::vector<Trace> Leftovers(const Presentation& show, const std::vector<std::string>& exeNames, int maxRunNumber,
                             DWORD settleMs = 5000);
std::string Describe(const Trace& trace);

double MedianOf(std::vector<double> values);

// A steady clock in milliseconds (QueryPerformanceCounter), for timing starts.
double NowMs();

}  // namespace harness
