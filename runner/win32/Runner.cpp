// The runner object's initialisation, start handler and teardown.
#include "runner/win32/Runner.h"

#include <stdexcept>
#include <utility>

#include "base/ScopeExit.h"
#include "base/Text.h"
#include "base/Timing.h"
#include "base/win32/SystemPaths.h"
#include "contract/Notices.h"
#include "package/win32/Win32ArchiveFiles.h"
#include "package/win32/Win32RunDirFiles.h"
#include "runner/Lifecycle.h"
#include "runner/SettingsPass.h"
#include "runner/SetupSettings.h"
#include "runner/win32/Globals.h"
#include "runner/win32/Pump.h"
#include "settings/IniFile.h"
#include "settings/ProjectSettingsLoader.h"
#include "settings/win32/Win32RegionalFormats.h"
#include "settings/win32/Win32RegistryStore.h"
#include "setup/win32/SetupDialog.h"
#include "sound/BackgroundMusic.h"
#include "window/DisplayMode.h"
#include "window/PopupMenuModel.h"
#include "window/RunnerWindowLayout.h"
#include "window/win32/PasswordDialog.h"

namespace quindle {

namespace {

std::string FirstCommandLineArgument() { return __argc > 1 && __argv[1] ? std::string(__argv[1]) : std::string(); }

// The project ini as the runner reads it: with the user's regional formats.
std::unique_ptr<TCustomIniFile> OpenProjectIni(const std::string& path) {
    return std::make_unique<TMemIniFile>(path, SystemRegionalFormats());
}

}  // namespace

TRunner::TRunner() : Projector(Window, Settings), MusicHost([] { PumpMessages(); }), Music(Mci, MusicHost, Settings) {}

void TRunner::InitRunner() {
    ExePath = OwnExecutablePath();
    ExeName = FileNamePart(ExePath);
    GlobalCloseMsg = ::RegisterWindowMessageA(kGlobalCloseMessageName);
    FirstArgument = FirstCommandLineArgument();
    SetupMode = IsSetupSwitch(FirstArgument);
    ExeBaseName = ExeBaseNameOf(ExeName);
    Registry = std::make_unique<TWin32RegistryStore>(ExeBaseName);

    Window.AreaChanged = false;
    Window.ScreenW = ::GetSystemMetrics(SM_CXSCREEN);
    Window.ScreenH = ::GetSystemMetrics(SM_CYSCREEN);
    Window.AreaW = Window.ScreenW;
    Window.AreaH = Window.ScreenH;
    Settings.StartWidth = Window.ScreenW;
    Settings.StartHeight = Window.ScreenH;

    if (!SetupMode) {
        TSettingsSources sources{*Run.Extractor,   *Run.RunDirFiles, *Registry,
                                 SystemTempPath(), ExeBaseName,      OpenProjectIni};
        LoadProjectSettings(sources, Settings);
        Settings.MusicLoopCount = LoopPassesOf(Settings.MusicLoopCount);
    }

    TRunnerWindow::RegisterClass();
    Window.WorkRect = {0, 0, Window.ScreenW, Window.ScreenH};
    Window.MaxWidth = Window.ScreenW;
    Window.MaxHeight = Window.ScreenH;
    CreateRunnerWindow();
    const HWND runnerWnd = Window.RunnerWnd();
    Window.RefWidth = Window.Box.Width;
    Window.RefHeight = Window.Box.Height;
    if (MaximiseAfterCreation(Settings)) ::SendMessageA(runnerWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ::SetWindowTextA(runnerWnd, Settings.Title.c_str());
    if (!IsFullScreen(DisplayModeOf(Settings))) {
        RECT client{};
        ::GetClientRect(runnerWnd, &client);
        Window.AreaW = client.right;
        Window.AreaH = client.bottom;
    }
    PopupMenu = std::make_unique<TPopupMenu>(
        PopupMenuItems(Settings.MenuHasClose.Checked, Settings.MenuHasSetup.Checked, Settings.MenuHasMinimize.Checked));
    ::PostMessageA(runnerWnd, kStartNotice, 0, 0);
}

void TRunner::CreateRunnerWindow() {
    AddMessageRows();
    Window.Create(ChooseRunnerWindowLayout(Settings, Platform, Window.ScreenW, Window.ScreenH, Window.MaxWidth,
                                           Window.MaxHeight));
    Drag = std::make_unique<TDragRunner>(Window.RunnerWnd());
}

void TRunner::OnStart(TMessage& message) {
    message.Result = 0;
    // Any process can post the start notice: only the runner's own first one starts the
    // cycle; a later one would start a session inside the running one.
    if (StartTaken) return;
    StartTaken = true;
    // The cycle ends however the start leaves: normally, or by an exception that the
    // pump reports once it has passed the session's clean-up.
    TScopeExit setQuit([] { QuitFlag = true; });
    if (SetupMode) {
        RunSetupDialog();
    } else {
        RunSession();
    }
}

TDialogPump TRunner::DialogPump() const {
    return TDialogPump{[] { PumpMessages(); }, [] { return QuitFlag; }};
}

bool TRunner::CheckPassword() {
    return CheckPresentationPassword(Window.RunnerWnd(), Settings, Settings.Title, DialogPump());
}

bool TRunner::RunSetupDialog() {
    // The dialog reads the project afresh into records of its own: a running
    // presentation keeps its settings and its MIDI loop counter.
    TProjectSettings presentation;
    TProjectSettings options;
    TWin32ArchiveFileSystem archive;
    TWin32RunDirFiles files;
    const TSetupSettingsSources sources{archive, files, *Registry, SystemTempPath(), ExeBaseName, OpenProjectIni};
    TSetupDialogHost host;
    host.Owner = Window.RunnerWnd();
    host.Registry = Registry.get();
    host.LoadSettings = [&](TProjectSettings& loaded) { LoadSetupSettings(sources, presentation, loaded); };
    host.CheckPassword = [&] {
        return CheckPresentationPassword(Window.RunnerWnd(), presentation, options.Title, DialogPump());
    };
    host.Pump = DialogPump();
    return quindle::RunSetupDialog(host, options);
}

void TRunner::FreeRunner() {
    Run.Extractor.reset();
    Run.RunDirFiles.reset();
    Run.ArchiveFiles.reset();
    Registry.reset();
    ::Sleep(kSettleMs);
    if (DisplayModeOf(Settings) == TDisplayMode::WholeScreen) ::CloseWindow(Window.RunnerWnd());
    Window.Destroy();
}

}  // namespace quindle
