// One session's control block mapping, hook library and system-wide hooks, from set-up
// to removal; and the environment the projector inherits.
//
// RunSession uses it like this (start-up step 19, clean-up steps 13 to 15):
//
//   THookSessionConfig config;
//   config.Settings = &Settings;            // effective options (after the user's choices)
//   config.InstanceTag = InstanceTag;       // "_QGL_RT" or "_QGL_RT" + n
//   config.RunnerWnd = RunnerWnd;
//   config.RunnerThreadId = ::GetCurrentThreadId();
//   config.RunDir = RunDir;                 // with its trailing backslash
//   config.HookLibFile = HookLibFile;       // the name extraction routing gave the library
//   config.ExePath = ExePath;               // caption of the load-failure box
//   config.PumpMessages = [] { PumpMessages(); };
//   hooks_ = std::make_unique<THookSession>(config);
//   const bool ready = hooks_->SetUp();     // shows the load-failure box itself
//   HookLibFile = hooks_->HookLibPath();    // full path from step 3 on, for the deletion
//   if (!ready) -> end the start-up silently (clean-up)
//   RunnerMsg = hooks_->RunnerMsg(); RunnerSvrMsg = hooks_->RunnerSvrMsg();
//   ControlBlock = hooks_->Block();         // later writes: 116, 1143, 24, 1348, 48, 100, 61, 96
//   ...
//   ApplyEnvironment(RunnerEnvironment({ExePath, ExeName, pid, wnd}));          // launch step 4
//   ApplyEnvironment(ProjectorPathsEnvironment({path, RunDir, InitialDir}));    // launch step 8
//   ...
//   clean-up 13: hooks_->RemoveHooks();   14: hooks_->ReleaseBlock();   15: hooks_->CloseMapping();
//
// Every step of the removal is safe when its object was never created, and the
// destructor runs whatever removal is still due, so an exception cannot leak a hook.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "runner/ControlBlock.h"
#include "runner/ProjectorEnvironment.h"
#include "runner/win32/Handles.h"
#include "settings/ProjectSettings.h"

namespace quindle {

// The library's exports, looked up in this order; the first four are hook procedures.
constexpr const char* kHookLibExports[] = {"MProc", "KProc", "CProc", "GProc", "WProc", "FProc", "SProc"};
// The name the load-failure box gives the library, whatever its file is called.
constexpr char kHookLibDisplayName[] = "zanticrun.dll";

struct THookSessionConfig {
    const TProjectSettings* Settings = nullptr;
    std::string InstanceTag;
    HWND RunnerWnd = nullptr;
    DWORD RunnerThreadId = 0;
    std::string RunDir;
    std::string HookLibFile;
    std::string ExePath;
    // Runs the runner's pump between attempts to remove the CBT hook.
    std::function<void()> PumpMessages;
    // Shows the load-failure box; MessageBox with MB_OK when not set.
    std::function<void(HWND owner, const std::string& text, const std::string& caption)> ShowLoadFailure;
    // Fills the browser fields; the HKEY_CLASSES_ROOT lookup when not set.
    std::function<void(TRunnerControlBlock&)> LookUpBrowser;
};

// The load-failure text: the library's display name, " exists but have" when the file
// is there, " not loaded: " and the system's text for the error.
std::string HookLibLoadFailureText(bool fileExists, const std::string& systemMessage);

class THookSession {
public:
    explicit THookSession(THookSessionConfig config);
    ~THookSession();
    THookSession(const THookSession&) = delete;
    THookSession& operator=(const THookSession&) = delete;

    // Mapping, view, library, exports, block and hooks, runner messages, in that order.
    // False ends the start-up; whatever was created stays for the removal.
    bool SetUp();

    // Unhooks keyboard and mouse (one attempt each), the CBT hook until it is gone,
    // the message hook, then frees the library.
    void RemoveHooks();
    // Clears the runner's identities in the block, waits 111 ms and unmaps the view.
    void ReleaseBlock();
    void CloseMapping();
    // All three, in order.
    void Remove();

    TRunnerControlBlock* Block() const { return static_cast<TRunnerControlBlock*>(view_.get()); }
    const std::string& HookLibPath() const { return hookLibPath_; }
    bool LibraryLoaded() const { return static_cast<bool>(library_); }
    UINT RunnerMsg() const { return runnerMsg_; }
    UINT RunnerSvrMsg() const { return runnerSvrMsg_; }
    HHOOK Hook(THookKind kind) const;

private:
    class Installer;

    bool LoadLibraryOrReport();
    bool FindExports();

    THookSessionConfig config_;
    UniqueHandle mapping_;
    UniqueView view_;
    UniqueModule library_;
    std::string hookLibPath_;
    HOOKPROC procs_[4] = {};  // MProc, KProc, CProc, GProc
    HHOOK keyboardHook_ = nullptr;
    HHOOK messageHook_ = nullptr;
    HHOOK cbtHook_ = nullptr;
    HHOOK mouseHook_ = nullptr;
    UINT runnerMsg_ = 0;
    UINT runnerSvrMsg_ = 0;
};

// Sets each variable in this process's environment, for the projector to inherit.
void ApplyEnvironment(const TEnvironmentList& variables);

}  // namespace quindle
