// One show: everything that lives from the moment a presentation is marked until its
// clean-up is done. Run() goes through the start-up in order (mark; working directory;
// run directory, chosen under the runners' mutex; extraction; tool folders; control
// block and hooks; the projector's launch and supervision until its process ends) and
// then through the clean-up, which always runs, in its fixed order, whatever the
// start-up reached. The first failure of either is raised once the clean-up is done.
// Every part also has an owner that releases it, so a step whose part was never made
// does nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/FirstFailure.h"
#include "base/win32/Handles.h"
#include "package/ExtractionRouting.h"
#include "package/RunDirFiles.h"
#include "package/SessionExtractor.h"
#include "runner/win32/HookSession.h"
#include "runner/win32/ProjectorProcess.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"
#include "sound/BackgroundMusic.h"
#include "sound/SoundMute.h"
#include "sound/win32/Win32SoundSystem.h"
#include "window/win32/RunnerWindow.h"

namespace quindle {

// What a show uses of the runner cycle it runs in; all of it outlives the show.
struct TShowContext {
    TRunnerWindow& Window;
    const TProjectSettings& Settings;
    IRegistryStore* Registry = nullptr;  // the runner's section: the temporary folder's override
    TSessionExtractor& Extractor;        // over the runner's own file
    IRunDirFiles& Files;
    TBackgroundMusic& Music;
    std::string ExePath;
    std::string ExeName;
    // The runner window answers the query message with this id; 0 stops the answers.
    std::function<void(UINT queryMessage)> AnswerQueries;
    // Broadcasts the close notice that tells other programs this runner's show ends.
    std::function<void()> AnnounceEnd;
};

class TShow {
public:
    explicit TShow(TShowContext context);
    TShow(const TShow&) = delete;
    TShow& operator=(const TShow&) = delete;

    // The whole show: start-up, supervision, clean-up. Returns when the show is over.
    void Run();

    // What the runner window's rows act on while the show runs.
    TProjectorProcess& Projector() { return projector_; }
    const TProjectorProcess& Projector() const { return projector_; }
    // The extracted MIDI file's full path; "" when the session held none or it was muted.
    std::string MusicPath() const;
    // The extracted hook library's full path, "" when there was none: the cycle tries to
    // delete it once more after the runner object is freed.
    const std::string& HookLibPath() const { return hookLibPath_; }

private:
    // The start-up, in order; each step that can end it returns false to do so.
    void Mark();
    void StartUp();
    void EnterRunnerFolder();
    void ChooseWorkingDirectory();
    bool ChooseRunDirectory();
    bool TakeRunnersMutex();
    void ExtractSession();
    void PrepareToolFolders();
    bool SetUpHooks();
    void LaunchAndSupervise();

    // The clean-up, in order (CleanUp lists the steps).
    void CleanUp();
    void StopAnsweringQueries();
    void AnnounceEnd();
    void Unmark();
    void ReleaseRunnersMutex();
    void DetachProjectorInput();
    void ShutDownMusic();
    void DeleteExtractedFiles();
    void RestoreSound();
    void CloseProjectorHandles();
    void EndWaitCursor();
    void EndMessageHook();
    void RemoveHooks();
    void ReleaseBlock();
    void CloseMapping();
    void CloseRunnerWindow();
    void RemoveToolFiles();
    void DeleteHookLibrary();
    void RemoveRunDirectory();
    // The pump inside the clean-up: a failure there is kept and the clean-up goes on.
    void PumpDuringCleanUp();

    TShowContext cycle_;
    TFirstFailure failures_;
    TUniqueGlobalAtom marker_;
    TUniqueHandle runnersMutex_;
    TMutexOwnership runnersMutexHeld_;  // released before its handle is closed
    std::string runDir_;                // with its trailing backslash once created
    int32_t runNumber_ = 0;
    std::string instanceTag_;
    bool runDirCreated_ = false;
    bool startInCurrentDir_ = false;
    TRoutingRecord extracted_;
    std::string hookLibPath_;
    std::unique_ptr<THookSession> hooks_;
    // The start-of-run mute; restored in the clean-up, or on release when that never came.
    TWin32WaveVolume waveVolume_;
    TWin32MixerSystem mixers_;
    TSoundMute soundMute_{waveVolume_, mixers_};
    TProjectorProcess projector_;
};

}  // namespace quindle
