// What one session creates and its clean-up releases: the marker atom, the runners'
// mutex, the run directory, the control block with the hook library and its hooks.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>

#include "base/win32/Handles.h"
#include "runner/win32/HookSession.h"

namespace quindle {

struct TSessionResources {
    UniqueGlobalAtom MarkerAtom;
    UniqueHandle Mutex;
    bool MutexOwned = false;
    bool RunDirCreated = false;
    std::unique_ptr<THookSession> Hooks;
    // A handler that failed while the clean-up pumped; raised once the clean-up is done.
    std::exception_ptr LateFailure;

    // Pumps during the clean-up; a handler failing now must not cut the clean-up short.
    void PumpDuringCleanUp();
};

}  // namespace quindle
