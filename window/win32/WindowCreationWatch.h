// Tells the projector window search when the projector process creates or shows a
// window, so that the search looks then instead of at its next step. Listens from
// construction to destruction, on the constructing thread; the events reach it while
// that thread waits in AwaitWindow. Used by the projector launch.
#pragma once

#include <windows.h>

#include "base/win32/Handles.h"

namespace quindle {

class TWindowCreationWatch {
public:
    // Installed before the process runs, so that none of its windows is missed.
    explicit TWindowCreationWatch(DWORD processId);
    ~TWindowCreationWatch();
    TWindowCreationWatch(const TWindowCreationWatch&) = delete;
    TWindowCreationWatch& operator=(const TWindowCreationWatch&) = delete;

    // False when the system refused the event hook: the search then only polls.
    bool Listening() const { return static_cast<bool>(hook_); }
    // Returns true at once when a window appeared since the last call; otherwise waits
    // for one, or returns false after maxMs. Messages stay queued; messages sent to this
    // thread's windows are answered meanwhile, as any message check does.
    bool AwaitWindow(unsigned maxMs);

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                                 DWORD time);

    TUniqueWinEventHook hook_;
    bool appeared_ = false;
    TWindowCreationWatch* outer_ = nullptr;  // the thread's watch before this one
};

}  // namespace quindle
