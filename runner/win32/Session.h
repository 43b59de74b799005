// What one session creates and its clean-up releases: the marker atom, the runners'
// mutex, the run directory, the control block with the hook library and its hooks, the
// sound states muted for the run.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>

#include "base/win32/Handles.h"
#include "runner/win32/HookSession.h"
#include "sound/SoundMute.h"
#include "sound/win32/Win32SoundSystem.h"

namespace quindle {

struct TSessionResources {
    TUniqueGlobalAtom MarkerAtom;
    TUniqueHandle Mutex;
    bool MutexOwned = false;
    bool RunDirCreated = false;
    std::unique_ptr<THookSession> Hooks;
    // The start-of-run mute; restored in the clean-up, or on release when that never came.
    TWin32WaveVolume WaveVolume;
    TWin32MixerSystem Mixers;
    TSoundMute SoundMute{WaveVolume, Mixers};
    // A clean-up step or handler that failed; raised once the clean-up is done.
    std::exception_ptr LateFailure;

    // A step of the clean-up: its failure must not cut the clean-up short.
    void CleanUpStep(const std::function<void()>& step);
    // Pumps during the clean-up.
    void PumpDuringCleanUp();
};

}  // namespace quindle
