// The runner object: one per runner cycle. It holds what lives for the whole cycle (the
// runner's own names, the settings, the registry section, the runner window and its
// message rows, the extractor over the runner's own file, the popup menu, dragging and
// the background music) and reaches the cycle's one show, once there is one, through
// show_.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "contract/SharedNames.h"
#include "package/SessionExtractor.h"
#include "package/win32/Win32ArchiveFiles.h"
#include "package/win32/Win32RunDirFiles.h"
#include "runner/win32/Show.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"
#include "setup/win32/SetupDialog.h"
#include "sound/BackgroundMusic.h"
#include "sound/win32/Win32MciDevice.h"
#include "window/DialogLoop.h"
#include "window/win32/DragRunner.h"
#include "window/win32/PopupMenu.h"
#include "window/win32/RunnerWindow.h"

namespace quindle {

class TRunner {
public:
    // exePath: the running executable's full path; firstArgument: the command line's
    // first argument ("/C" asks for the setup dialog).
    TRunner(std::string exePath, const std::string& firstArgument);
    TRunner(const TRunner&) = delete;
    TRunner& operator=(const TRunner&) = delete;

    // The cycle: InitRunner, then the start notice runs the show or the setup dialog
    // once the pump delivers it; FreeRunner when the cycle quits.
    void InitRunner();
    void FreeRunner();

    // InitRunner's step that makes the runner window and its rows from the settings and
    // the screen (the runner window's tests make it with settings of their own).
    void CreateRunnerWindow();
    // Makes the cycle's show; RunSession runs it once the password is accepted.
    TShow& BeginShow();
    // The query message is answered only while a show runs; 0 stops the answers.
    void AnswerRunnerQueries(UINT message);

    TRunnerWindow& Window() { return window_; }
    // Loaded by InitRunner; the runner window's tests set their own.
    TProjectSettings& Settings() { return settings_; }
    // The global close message's id, 0xFFFFFFFF once a close request was taken.
    UINT GlobalCloseMessage() const { return globalCloseMsg_; }
    UINT QueryMessage() const { return queryMessage_; }
    // The show's hook library, for a last try at deleting it; "" when there is none.
    std::string HookLibPath() const;

private:
    void RunSession();
    bool RunSetupDialog();
    // Close or focus the setup dialog while it is open; false when it is not.
    bool CloseSetupDialog();
    bool FocusSetupDialog();
    bool CheckPassword();
    TDialogPump DialogPump() const;
    // Every message the runner window handles, one row each.
    void AddMessageRows();
    // The show's projector while there is a show, else null.
    TProjectorProcess* Projector() const;
    TRunnerControlBlock* ControlBlock() const;
    HWND ProjectorWnd() const;
    DWORD ProjectorThreadId() const;
    void BroadcastShowEnd();

    // Message handlers (rows of the runner window's table), by the notice or message
    // each answers.
    void OnStart(TMessage& message);                // kStartNotice
    void OnRaise(TMessage& message);                // kRaiseNotice
    void OnReady(TMessage& message);                // kReadyNotice
    void OnProjectorForeground(TMessage& message);  // kProjectorForegroundNotice
    void OnCloseRequest(TMessage& message);         // kCloseNotice
    void OnActivateApp(TMessage& message);          // WM_ACTIVATEAPP
    void OnClose(TMessage& message);                // WM_CLOSE
    void OnEndSession(TMessage& message);           // WM_QUERYENDSESSION, WM_ENDSESSION
    void OnChar(TMessage& message);                 // WM_CHAR
    void OnStartMusic(TMessage& message);           // kStartMusicNotice
    void OnMciNotify(TMessage& message);            // MM_MCINOTIFY
    void OnGlobalClose(TMessage& message);          // "QGlobalCloseMessage_s-z"
    void OnRunnerQuery(TMessage& message);          // "NimbrelRunnerSvrMessage"
    void OnShowPopupMenu(TMessage& message);        // kShowPopupMenuNotice
    void OnOutsideActivation(TMessage& message);    // kOutsideActivationNotice
    void OnCommand(TMessage& message);              // WM_COMMAND from the popup menu
    void OnBeginDrag(TMessage& message);            // kBeginDragNotice
    void OnDragMessage(TMessage& message);          // WM_TIMER, and the messages that end a drag
    void OnSetText(TMessage& message);              // WM_SETTEXT: movie commands
    void OnCaption(TMessage& message);              // WM_NCHITTEST, WM_NCPAINT, WM_NCACTIVATE
    void OnWindowPosChanging(TMessage& message);    // WM_WINDOWPOSCHANGING: the click-foreground rule

    // The runner's own file and command line.
    const std::string exePath_;
    const std::string exeName_;      // its file-name part
    const std::string exeBaseName_;  // the registry section: the name up to ".exe"
    const bool setupMode_;
    UINT globalCloseMsg_ = 0;
    UINT queryMessage_ = 0;
    bool startTaken_ = false;  // the start notice has been taken; the cycle runs once

    TProjectSettings settings_;
    // Per-user choices: HKEY_CURRENT_USER\Software\Nimbrel Soft\ + exeBaseName_.
    std::unique_ptr<IRegistryStore> registry_;
    TRunnerWindow window_;
    // The runner's own file, the extractor over it (every pass) and the file routines
    // the passes and the run directory use.
    TWin32ArchiveFileSystem archiveFiles_;
    TSessionExtractor extractor_{archiveFiles_};
    TWin32RunDirFiles runDirFiles_;
    std::unique_ptr<TPopupMenu> popupMenu_;  // built once the settings are loaded
    std::unique_ptr<TDragRunner> drag_;      // made with the runner window
    // The background music lives as long as the runner object; MCI's notifications reach
    // it through the runner window. It reads the MIDI-mute flag and the loop count.
    TWin32MciDevice mci_;
    TWin32MusicHost musicHost_;
    TBackgroundMusic music_;
    // The setup dialog while RunSetupDialog serves it, else null.
    TSetupDialog* setupDialog_ = nullptr;
    // Made once the password is accepted; kept after its clean-up until the cycle ends.
    std::unique_ptr<TShow> show_;
};

}  // namespace quindle
