// The runner object's initialisation, start handler and teardown.
#include "runner/win32/Main.h"
#include "runner/win32/SystemPaths.h"

#include <stdexcept>
#include <utility>

#include "package/win32/Win32ArchiveFiles.h"
#include "package/win32/Win32RunDirFiles.h"
#include "runner/Lifecycle.h"
#include "runner/win32/Globals.h"
#include "settings/IniFiles5.h"
#include "settings/ProjectSettingsLoader.h"
#include "settings/win32/Win32RegionalFormats.h"
#include "settings/win32/Win32RegistryStore.h"
#include "window/RunnerMessages.h"
#include "window/RunnerWindowLayout.h"
#include "window/win32/RunnerWindow.h"

namespace quindle {

namespace {

std::string FirstCommandLineArgument() {
    return __argc > 1 && __argv[1] ? std::string(__argv[1]) : std::string();
}

}  // namespace

void TfrmMain::InitRunner() {
    ExePath = OwnExecutablePath();
    ExeName = FileNamePart(ExePath);
    GlobalCloseMsg = ::RegisterWindowMessageA(kGlobalCloseMessageName);
    FirstArgument = FirstCommandLineArgument();
    SetupMode = IsSetupSwitch(FirstArgument);
    ExeBaseName = ExeBaseNameOf(ExeName);
    Registry = std::make_unique<TWin32RegistryStore>(ExeBaseName);

    AreaChanged = false;
    ScreenW = ::GetSystemMetrics(SM_CXSCREEN);
    ScreenH = ::GetSystemMetrics(SM_CYSCREEN);
    AreaW = ScreenW;
    AreaH = ScreenH;
    Settings.WinWidth = ScreenW;
    Settings.WinHeight = ScreenH;

    ArchiveFiles = std::make_unique<Win32ArchiveFileSystem>();
    Extractor = std::make_unique<TVexExeAppender>(*ArchiveFiles);
    RunDirFiles = std::make_unique<TWin32RunDirFiles>();
    Routing = std::make_unique<TExtractionRouting>(*RunDirFiles, Settings.Midi);
    Extractor->OnFile = [this](TVexExeAppender& sender, std::string& fileName, std::string& dir, bool& skip) {
        Routing->RouteEntry(sender, fileName, dir, skip);
    };

    if (!SetupMode) {
        TSettingsSources sources{*Extractor, *Routing, *Registry, SystemTempPath(), ExeBaseName,
                                 [](const std::string& path) -> std::unique_ptr<TCustomIniFile> {
                                     return std::make_unique<TMemIniFile>(path, SystemRegionalFormats());
                                 }};
        LoadProjectSettings(sources, Settings);
        if (Settings.MidiLoopTimes == 0) Settings.MidiLoopTimes = 2147483647;  // 0 loops without end
    }

    RegisterRunnerClass();
    WorkRect = {0, 0, ScreenW, ScreenH};
    MaxWidth = ScreenW;
    MaxHeight = ScreenH;
    CreateRunnerWindow();
    RefWidth = Settings.WinWidth;
    RefHeight = Settings.WinHeight;
    if (MaximiseAfterCreation(Settings)) ::SendMessageA(RunnerWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ::SetWindowTextA(RunnerWnd, Settings.ZanticScreenName.c_str());
    if (!Settings.FullScreen.Checked) {
        RECT client{};
        ::GetClientRect(RunnerWnd, &client);
        AreaW = client.right;
        AreaH = client.bottom;
    }
    CreatePopupMenu();
    ::PostMessageA(RunnerWnd, kStartNotice, 0, 0);
}

void TfrmMain::RegisterRunnerClass() {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (::GetClassInfoA(instance, kRunnerWindowClass, &existing)) {
        // A class left by an earlier cycle carries our procedure and is registered anew.
        if (existing.lpfnWndProc == reinterpret_cast<WNDPROC>(&::DefWindowProcA)) return;
        ::UnregisterClassA(kRunnerWindowClass, instance);
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &RunnerWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kRunnerWindowClass;
    if (!::RegisterClassA(&windowClass)) throw std::runtime_error("Cannot register the runner window class");
}

void TfrmMain::CreateRunnerWindow() {
    const RunnerWindowLayout layout =
        ChooseRunnerWindowLayout(Settings, Platform, ScreenW, ScreenH, MaxWidth, MaxHeight);
    SetWinBox({layout.Left, layout.Top, layout.Width, layout.Height});
    RunnerWnd = ::CreateWindowExA(layout.ExStyle, kRunnerWindowClass, "", layout.Style | wstyle::kClipChildren,
                                  layout.Left, layout.Top, layout.Width, layout.Height, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (!RunnerWnd) throw std::runtime_error("Cannot create the runner window");
}

void TfrmMain::CreatePopupMenu() {
    const struct { bool on; UINT id; const char* text; } items[] = {
        {Settings.CloseMenu.Checked, 129, "Close"},
        {Settings.SetupMenu.Checked, 130, "Setup"},
        {Settings.MinimizeMenu.Checked, 131, "Minimize"},
    };
    if (!items[0].on && !items[1].on && !items[2].on) return;
    UniqueMenu menu(::CreatePopupMenu());
    if (!menu) return;
    for (const auto& item : items) {
        // A menu that lost an item is not shown at all.
        if (item.on && !::AppendMenuA(menu.get(), MF_STRING, item.id, item.text)) return;
    }
    PopupMenu = std::move(menu);
}

void TfrmMain::OnStart(TMessage& message) {
    // The cycle ends however the start leaves: normally, or by an exception that the
    // pump reports once it has passed the session's clean-up.
    struct SetQuitOnExit {
        ~SetQuitOnExit() { QuitFlag = true; }
    } setQuit;
    if (SetupMode) {
        RunSetupDialog();
    } else {
        RunSession();
    }
    message.Result = 0;
}

bool TfrmMain::RunSetupDialog() { return false; }

void TfrmMain::FreeRunner() {
    Extractor.reset();
    Routing.reset();
    RunDirFiles.reset();
    ArchiveFiles.reset();
    Registry.reset();
    ::Sleep(111);
    if (Settings.FullScreen.Checked && !Settings.CustomSize.Checked) ::CloseWindow(RunnerWnd);
    ::DestroyWindow(RunnerWnd);
}

}  // namespace quindle
