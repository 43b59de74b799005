// The runner object: one per runner cycle. It holds the settings, the session state and
// the window state, and its message handlers are the rows of the runner window's table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "package/ArchiveFiles.h"
#include "package/ExtractionRouting.h"
#include "package/RunDirFiles.h"
#include "package/VexExeApp.h"
#include "runner/ControlBlock.h"
#include "runner/win32/Handles.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"
#include "window/WindowFlags.h"

namespace quindle {

// A message as the runner window's handlers see it. A handler that sets Handled
// keeps the message from default processing and returns Result.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
    bool Handled = false;
};

constexpr char kRunnerWindowClass[] = "MumuQuindleWindow";
constexpr char kGlobalCloseMessageName[] = "QGlobalCloseMessage_s-z";

struct TSessionResources;

class TfrmMain {
public:
    TfrmMain() = default;
    TfrmMain(const TfrmMain&) = delete;
    TfrmMain& operator=(const TfrmMain&) = delete;

    // Life cycle.
    void InitRunner();
    void FreeRunner();
    bool RunSetupDialog();
    void RunSession();
    bool CheckPassword();

    // Message handlers (rows of the runner window's table).
    void OnStart(TMessage& message);           // WM_USER+1
    void OnRaise(TMessage& message);           // WM_USER+3
    void OnReady(TMessage& message);           // WM_USER+4
    void OnCloseRequest(TMessage& message);    // WM_USER+12
    void OnActivateApp(TMessage& message);     // WM_ACTIVATEAPP

    // Asks the projector to close: input detached first, then WM_CLOSE posted.
    void CloseProjector();

    // The projector's window: the restyle that takes it in, the z-order step of every
    // supervision pass, raising the runner window on request.
    void RestyleProjectorWindow();
    void ZOrderStep();
    void RaiseRunnerWindow();
    // The message hook while the projector runs: a graceful close on RunnerMsg.
    void OnRunnerMessage(MSG& message, bool& handled);

    // Steps of InitRunner that stand on their own.
    void RegisterRunnerClass();
    void CreateRunnerWindow();
    void CreatePopupMenu();

    // Runner core.
    HWND RunnerWnd = nullptr;
    int32_t RefWidth = 0;
    int32_t RefHeight = 0;
    TProjectSettings Settings;  // WinLeft, WinTop, WinWidth, WinHeight live here
    TWindowBox WinBox() const { return {Settings.WinLeft, Settings.WinTop, Settings.WinWidth, Settings.WinHeight}; }
    void SetWinBox(const TWindowBox& box) {
        Settings.WinLeft = box.Left;
        Settings.WinTop = box.Top;
        Settings.WinWidth = box.Width;
        Settings.WinHeight = box.Height;
    }
    int32_t MaxWidth = 0;
    int32_t MaxHeight = 0;
    RECT WorkRect{};
    std::string ExePath;  // full path of the running executable
    std::string ExeName;  // its file-name part
    std::string ExeBaseName;
    std::string FirstArgument;
    bool SetupMode = false;
    UINT GlobalCloseMsg = 0;
    UINT RunnerSvrMsg = 0;
    UniqueMenu PopupMenu;
    HWND ProjectorWnd = nullptr;
    PROCESS_INFORMATION ProjectorInfo{};
    TRunnerControlBlock* ControlBlock = nullptr;  // the session's mapped view, or null
    UINT RunnerMsg = 0;
    UINT FullScreenCmd = 0;
    bool Aborted = false;
    bool ProjectorReady = false;
    bool ProjectorShown = false;
    bool GrayBackground = false;

    // Session package: the extractor reads the runner's own file; the routing places
    // each entry and records what was extracted.
    std::unique_ptr<IArchiveFileSystem> ArchiveFiles;
    std::unique_ptr<TVexExeAppender> Extractor;
    std::unique_ptr<IRunDirFiles> RunDirFiles;
    std::unique_ptr<TExtractionRouting> Routing;
    // Per-user choices: HKEY_CURRENT_USER\Software\Nimbrel Soft\ + ExeBaseName.
    std::unique_ptr<IRegistryStore> Registry;

    // One session.
    std::string TempBase;
    std::string RunDir;       // with its trailing backslash once created
    std::string InstanceTag;
    bool StartInCurrentDir = false;
    std::string HookLibPath;  // the extracted hook library's full path, once there is one

private:
    void StartSession(TSessionResources& session);
    void CleanUpSession(TSessionResources& session);
    void LaunchAndSupervise();
    bool LaunchProjector();
    bool DiscoverProjectorWindow();
    void FirstShow();
    void SuperviseProjector();
};

}  // namespace quindle
