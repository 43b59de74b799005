// The runner object: one per runner cycle. It composes the parts that own the cycle's
// state (the runner window, the session's files, the projector process, the popup
// menu) and gives the runner window its message rows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "contract/SharedNames.h"
#include "runner/win32/ProjectorProcess.h"
#include "runner/win32/SessionRun.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"
#include "sound/BackgroundMusic.h"
#include "sound/win32/Win32MciDevice.h"
#include "window/DialogLoop.h"
#include "window/win32/DragRunner.h"
#include "window/win32/PopupMenu.h"
#include "window/win32/RunnerWindow.h"

namespace quindle {

struct TSessionResources;

class TRunner {
public:
    TRunner();
    TRunner(const TRunner&) = delete;
    TRunner& operator=(const TRunner&) = delete;

    // Life cycle.
    void InitRunner();
    void FreeRunner();
    bool RunSetupDialog();
    void RunSession();
    bool CheckPassword();

    // Steps of InitRunner that stand on their own.
    void CreateRunnerWindow();
    // Every message the runner window handles, one row each.
    void AddMessageRows();

    // Message handlers (rows of the runner window's table).
    void OnStart(TMessage& message);                // WM_USER+1
    void OnRaise(TMessage& message);                // WM_USER+3
    void OnReady(TMessage& message);                // WM_USER+4
    void OnProjectorForeground(TMessage& message);  // WM_USER+8
    void OnCloseRequest(TMessage& message);         // WM_USER+12
    void OnActivateApp(TMessage& message);          // WM_ACTIVATEAPP
    void OnClose(TMessage& message);                // WM_CLOSE
    void OnEndSession(TMessage& message);           // WM_QUERYENDSESSION, WM_ENDSESSION
    void OnChar(TMessage& message);                 // WM_CHAR
    void OnStartMusic(TMessage& message);           // WM_USER+6
    void OnMciNotify(TMessage& message);            // MM_MCINOTIFY
    void OnGlobalClose(TMessage& message);          // "QGlobalCloseMessage_s-z"
    void OnRunnerQuery(TMessage& message);          // "NimbrelRunnerSvrMessage"
    void OnShowPopupMenu(TMessage& message);        // WM_USER+9
    void OnOutsideActivation(TMessage& message);    // WM_USER+7
    void OnCommand(TMessage& message);              // WM_COMMAND from the popup menu
    void OnBeginDrag(TMessage& message);            // WM_USER+11
    void OnDragMessage(TMessage& message);          // WM_TIMER, and the messages that end a drag
    void OnSetText(TMessage& message);              // WM_SETTEXT: movie commands
    // The query message is answered only while a session runs; 0 stops the answers.
    void AnswerRunnerQueries(UINT message);

    // The runner's own file and command line.
    std::string ExePath;  // full path of the running executable
    std::string ExeName;  // its file-name part
    std::string ExeBaseName;
    std::string FirstArgument;
    bool SetupMode = false;
    UINT GlobalCloseMsg = 0;
    UINT QueryMessage = 0;
    // The start notice has been taken; the cycle runs once.
    bool StartTaken = false;

    TProjectSettings Settings;
    // Per-user choices: HKEY_CURRENT_USER\Software\Nimbrel Soft\ + ExeBaseName.
    std::unique_ptr<IRegistryStore> Registry;

    TRunnerWindow Window;
    TSessionRun Run;
    TProjectorProcess Projector;
    std::unique_ptr<TPopupMenu> PopupMenu;  // built once the settings are loaded
    std::unique_ptr<TDragRunner> Drag;      // made with the runner window
    // The background music lives as long as the runner object; MCI's notifications
    // reach it through the runner window. It reads the MIDI-mute flag and loop count.
    TWin32MciDevice Mci;
    TWin32MusicHost MusicHost;
    TBackgroundMusic Music;

private:
    // The runner's pump for the dialogs' waits; QuitFlag ends them.
    TDialogPump DialogPump() const;
    void StartSession(TSessionResources& session);
    void CleanUpSession(TSessionResources& session);
};

}  // namespace quindle
