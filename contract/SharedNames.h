// Names the runner shares with other processes besides the control block's (which
// ControlBlock.h holds): other runners, the hook library and the programs a movie talks
// to find the runner's objects by these texts, so they never change.
#pragma once

namespace quindle {

// The mutex every runner takes while it chooses and creates its run directory, so that
// runners starting together never take the same one.
constexpr char kRunnerMutexName[] = "NimbrelRunnerMutex";

// The registered message of the close notice: broadcast by every runner when its show
// ends (lParam an atom holding its file name), and a request to close every runner of
// one executable when wParam is 0.
constexpr char kGlobalCloseMessageName[] = "QGlobalCloseMessage_s-z";

// The global atom a runner holds while its show runs: this prefix (the blank included)
// followed by the runner's file name. The runner never looks it up itself; it is there
// for other programs, which can tell with GlobalFindAtom that a show of that file runs.
constexpr char kShowMarkerAtomPrefix[] = "aakq ";

// The hook library's exports, looked up in this order; the first four are the hook
// procedures the runner installs, the other three must only be there.
constexpr const char* kHookLibExports[] = {"MProc", "KProc", "CProc", "GProc", "WProc", "FProc", "SProc"};
constexpr int kInstalledHookProcCount = 4;

}  // namespace quindle
