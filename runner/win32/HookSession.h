// One show's control block mapping, hook library and system-wide hooks, from set-up
// to removal; and the environment the projector inherits.
//
// The show's start-up creates one and calls SetUp, which shows the load-failure box
// itself; the show's clean-up calls RemoveHooks, ReleaseBlock and CloseMapping at their
// places in its order, and takes the block from its projector before the view goes.
//
// Every step of the removal is safe when its object was never created, and the
// destructor runs whatever removal is still due, so an exception cannot leak a hook.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/win32/Handles.h"
#include "contract/ControlBlock.h"
#include "contract/SharedNames.h"
#include "runner/BlockSetup.h"
#include "runner/ProjectorEnvironment.h"
#include "settings/ProjectSettings.h"

namespace quindle {

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
    // Removes the CBT hook; UnhookWindowsHookEx when not set.
    std::function<BOOL(HHOOK)> UnhookCbt;
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
    // the message hook, then frees the library. A pump that throws between attempts
    // cuts none of it short: the first error is rethrown once all is done.
    void RemoveHooks();
    // Clears the runner's identities in the block, waits 111 ms and unmaps the view.
    void ReleaseBlock();
    void CloseMapping();
    // All three, in order; every step runs, the first error is rethrown afterwards.
    void Remove();

    TRunnerControlBlock* Block() const { return static_cast<TRunnerControlBlock*>(view_.get()); }
    const std::string& HookLibPath() const { return hookLibPath_; }
    bool LibraryLoaded() const { return static_cast<bool>(library_); }
    UINT RunnerMsg() const { return runnerMsg_; }
    UINT QueryMessage() const { return queryMessage_; }
    HHOOK Hook(THookKind kind) const;

private:
    class THookInstaller;

    bool LoadLibraryOrReport();
    bool FindExports();

    THookSessionConfig config_;
    TUniqueHandle mapping_;
    TUniqueView view_;
    TUniqueModule library_;
    std::string hookLibPath_;
    HOOKPROC procs_[kInstalledHookProcCount] = {};  // MProc, KProc, CProc, GProc
    TUniqueHook keyboardHook_;
    TUniqueHook messageHook_;
    TUniqueHook cbtHook_;
    TUniqueHook mouseHook_;
    UINT runnerMsg_ = 0;
    UINT queryMessage_ = 0;
};

// Sets each variable in this process's environment, for the projector to inherit.
void ApplyEnvironment(const TEnvironmentList& variables);

}  // namespace quindle
