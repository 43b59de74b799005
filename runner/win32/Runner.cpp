// The runner object's initialisation, start handler, show and teardown.
#include "runner/win32/Runner.h"

#include <utility>

#include "base/ScopeExit.h"
#include "base/Text.h"
#include "base/Timing.h"
#include "base/win32/SystemPaths.h"
#include "contract/Notices.h"
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

// The project ini as the runner reads it: with the user's regional formats.
std::unique_ptr<TCustomIniFile> OpenProjectIni(const std::string& path) {
    return std::make_unique<TMemIniFile>(path, SystemRegionalFormats());
}

}  // namespace

TRunner::TRunner(std::string exePath, const std::string& firstArgument)
    : exePath_(std::move(exePath)),
      exeName_(FileNamePart(exePath_)),
      exeBaseName_(ExeBaseNameOf(exeName_)),
      setupMode_(IsSetupSwitch(firstArgument)),
      globalCloseMsg_(::RegisterWindowMessageA(kGlobalCloseMessageName)),
      musicHost_([] { PumpMessages(); }),
      music_(mci_, musicHost_, settings_) {}

void TRunner::InitRunner() {
    registry_ = std::make_unique<TWin32RegistryStore>(exeBaseName_);
    window_.UseScreen({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
    // Without an ini (the setup mode) the window is as large as the screen.
    settings_.StartWidth = window_.Geometry().ScreenW;
    settings_.StartHeight = window_.Geometry().ScreenH;
    if (!setupMode_) {
        TSettingsSources sources{extractor_, runDirFiles_, *registry_, SystemTempPath(), exeBaseName_, OpenProjectIni};
        LoadProjectSettings(sources, settings_);
        settings_.MusicLoopCount = LoopPassesOf(settings_.MusicLoopCount);
    }

    TRunnerWindow::RegisterClass();
    CreateRunnerWindow();
    const HWND runnerWnd = window_.RunnerWnd();
    if (MaximiseAfterCreation(settings_)) ::SendMessageA(runnerWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ::SetWindowTextA(runnerWnd, settings_.Title.c_str());
    if (!IsFullScreen(DisplayModeOf(settings_))) window_.TakeClientArea();
    popupMenu_ = std::make_unique<TPopupMenu>(PopupMenuItems(
        settings_.MenuHasClose.Checked, settings_.MenuHasSetup.Checked, settings_.MenuHasMinimize.Checked));
    ::PostMessageA(runnerWnd, kStartNotice, 0, 0);
}

void TRunner::CreateRunnerWindow() {
    AddMessageRows();
    const TRunnerGeometry& screen = window_.Geometry();
    window_.Create(ChooseRunnerWindowLayout(settings_, Platform, screen.ScreenW, screen.ScreenH, screen.MaxWidth,
                                            screen.MaxHeight));
    drag_ = std::make_unique<TDragRunner>(window_.RunnerWnd());
}

void TRunner::OnStart(TMessage& message) {
    message.Result = 0;
    // Any process can post the start notice: only the runner's own first one starts the
    // cycle; a later one would start a show inside the running one.
    if (startTaken_) return;
    startTaken_ = true;
    // The cycle ends however the start leaves: normally, or by an exception that the
    // pump reports once it has passed the show's clean-up.
    TScopeExit setQuit([] { QuitFlag = true; });
    if (setupMode_) {
        RunSetupDialog();
    } else {
        RunSession();
    }
}

void TRunner::RunSession() {
    ::SendMessageA(window_.RunnerWnd(), WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON")));
    if (!CheckPassword()) return;
    BeginShow().Run();
}

TShow& TRunner::BeginShow() {
    show_ = std::make_unique<TShow>(
        TShowContext{window_, settings_, registry_.get(), extractor_, runDirFiles_, music_, exePath_, exeName_,
                     [this](UINT message) { AnswerRunnerQueries(message); }, [this] { BroadcastShowEnd(); }});
    return *show_;
}

// The close notice: the runner window and an atom holding the runner's file name, which
// the runner leaves for the receivers to read.
void TRunner::BroadcastShowEnd() {
    ::PostMessageA(HWND_BROADCAST, globalCloseMsg_, reinterpret_cast<WPARAM>(window_.RunnerWnd()),
                   ::GlobalAddAtomA(exeName_.c_str()));
}

std::string TRunner::HookLibPath() const { return show_ ? show_->HookLibPath() : std::string(); }

TDialogPump TRunner::DialogPump() const {
    return TDialogPump{[] { PumpMessages(); }, [] { return QuitFlag; }};
}

bool TRunner::CheckPassword() {
    return CheckPresentationPassword(window_.RunnerWnd(), settings_, settings_.Title, DialogPump());
}

bool TRunner::RunSetupDialog() {
    // The dialog reads the project afresh into records of its own: a running
    // presentation keeps its settings and its MIDI loop count.
    TProjectSettings presentation;
    TProjectSettings options;
    TWin32ArchiveFileSystem archive;
    TWin32RunDirFiles files;
    const TSetupSettingsSources sources{archive, files, *registry_, SystemTempPath(), exeBaseName_, OpenProjectIni};
    TSetupDialogHost host;
    host.Owner = window_.RunnerWnd();
    host.Registry = registry_.get();
    host.LoadSettings = [&](TProjectSettings& loaded) { LoadSetupSettings(sources, presentation, loaded); };
    host.CheckPassword = [&] {
        return CheckPresentationPassword(window_.RunnerWnd(), presentation, options.Title, DialogPump());
    };
    host.Pump = DialogPump();
    TSetupDialog dialog(host, options);
    TScopeExit forget([this, outer = setupDialog_] { setupDialog_ = outer; });
    setupDialog_ = &dialog;
    return dialog.Run();
}

bool TRunner::CloseSetupDialog() { return setupDialog_ && setupDialog_->Close(); }

bool TRunner::FocusSetupDialog() { return setupDialog_ && setupDialog_->Focus(); }

void TRunner::FreeRunner() {
    registry_.reset();
    ::Sleep(kSettleMs);
    if (DisplayModeOf(settings_) == TDisplayMode::WholeScreen) ::CloseWindow(window_.RunnerWnd());
    window_.Destroy();
}

}  // namespace quindle
