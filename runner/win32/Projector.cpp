// Launching the projector, finding its window, the first show, and supervising the
// projector process until it ends. The runner never terminates the projector: it asks.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "runner/ProjectorEnvironment.h"
#include "runner/win32/Globals.h"
#include "runner/win32/HookSession.h"
#include "runner/win32/Main.h"
#include "runner/win32/SystemPaths.h"
#include "runner/win32/Pump.h"
#include "window/RunnerMessages.h"
#include "window/win32/ProjectorWindow.h"

namespace quindle {

namespace {

// Product major version 6 or later; false when the version information cannot be read.
bool IsNewProjector(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<char> buffer(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoLength = 0;
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, buffer.data()) ||
        !::VerQueryValueA(buffer.data(), "\\", reinterpret_cast<void**>(&info), &infoLength) || !info) {
        return false;
    }
    return info->dwProductVersionMS >= 0x60000;
}

}  // namespace

bool TfrmMain::LaunchProjector() {
    std::string projectorPath = RunDir + Routing->ProjectorFile;
    if (projectorPath.size() > MAX_PATH - 1) return false;  // beyond the path buffer: no start

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USEPOSITION | STARTF_FORCEOFFFEEDBACK;
    startup.wShowWindow = SW_SHOWNORMAL;
    startup.dwX = 5000;
    startup.dwY = static_cast<DWORD>(-5000);

    ApplyEnvironment(RunnerEnvironment({ExePath, ExeName, ::GetCurrentProcessId(), ToBlock(RunnerWnd)}));
    std::string initialDir = StartInCurrentDir ? CurrentDirectory() : RunDir;
    if (!initialDir.empty() && initialDir.back() == '\\') initialDir.pop_back();
    WriteBlockText(ControlBlock->InitialDir, initialDir);

    // An identical copy of the projector lying in the working directory is started from there.
    const std::string candidate = initialDir + "\\" + Routing->ProjectorStoredName;
    if (SameFileContents(*RunDirFiles, projectorPath, candidate)) projectorPath = candidate;
    ApplyEnvironment(ProjectorPathsEnvironment({projectorPath, RunDir, initialDir}));

    ControlBlock->NewProjector = 0;
    ControlBlock->NewProjector = IsNewProjector(projectorPath) ? 1 : 0;

    if (!::CreateProcessA(projectorPath.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          initialDir.c_str(), &startup, &ProjectorInfo)) {
        ProjectorInfo = {};
        return false;
    }
    ControlBlock->ProjectorProcessId = ProjectorInfo.dwProcessId;
    ControlBlock->ProjectorThreadId = ProjectorInfo.dwThreadId;
    ::ResumeThread(ProjectorInfo.hThread);
    ::WaitForInputIdle(ProjectorInfo.hProcess, 11111);
    return true;
}

bool TfrmMain::DiscoverProjectorWindow() {
    ProjectorWnd = nullptr;
    TProjectorSearch search;
    search.Settings = &Settings;
    search.Metrics = ReadFrameMetrics();
    search.MaxWidth = MaxWidth;
    search.MaxHeight = MaxHeight;
    search.Box = WinBox();
    const auto start = std::chrono::steady_clock::now();
    while (!search.ProjectorWnd && std::chrono::steady_clock::now() - start < std::chrono::seconds(11)) {
        ::Sleep(22);
        SearchProjectorWindow(ProjectorInfo.dwThreadId, search);
    }
    if (!search.ProjectorWnd) {
        Aborted = true;
        return false;
    }
    ProjectorWnd = search.ProjectorWnd;
    if (search.SizeTaken) {
        SetWinBox(search.Box);
        RefWidth = search.RefWidth;
        RefHeight = search.RefHeight;
    }
    ::ShowWindow(ProjectorWnd, SW_HIDE);
    ::AttachThreadInput(::GetCurrentThreadId(), ProjectorInfo.dwThreadId, TRUE);
    RestyleProjectorWindow();
    return true;
}

void TfrmMain::FirstShow() {
    ControlBlock->ProjectorWnd = ToBlock(ProjectorWnd);
    ::SetWindowPos(RunnerWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ::Sleep(55);
    PumpMessages();
    ::SetWindowPos(ProjectorWnd, HWND_NOTOPMOST, 0, 0, AreaW, AreaH,
                   SWP_SHOWWINDOW | SWP_NOZORDER | (Settings.KeyInteraction.Checked ? 0 : SWP_NOACTIVATE));
    ::SetForegroundWindow(RunnerWnd);
    ControlBlock->Supervising = 1;
}

void TfrmMain::SuperviseProjector() {
    const bool fullScreenFrame = Settings.FullScreen.Checked &&
                                 (!Settings.CustomSize.Checked || Settings.NoBorder.Checked || Settings.NoTitle.Checked);
    const bool topmostPlatform = Platform.IsWinMe || Platform.IsWinNT5;
    for (;;) {
        if (::WaitForSingleObject(ProjectorInfo.hProcess, 44) != WAIT_TIMEOUT) break;
        if (AreaChanged) {
            ::SetWindowPos(ProjectorWnd, HWND_NOTOPMOST, 0, 0, AreaW, AreaH, SWP_NOZORDER | SWP_NOACTIVATE);
            ::InvalidateRect(ProjectorWnd, nullptr, TRUE);
            AreaChanged = false;
        }
        if (fullScreenFrame && topmostPlatform) {
            // The taskbar stays directly behind a full-screen presentation.
            if (HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr))
                ::SetWindowPos(taskbar, RunnerWnd, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        }
        PumpMessages();
        ControlBlock->NoKeyInteraction = Settings.KeyInteraction.Checked ? 0 : 1;
        if (ProjectorReady) {
            if (!MessageHook.Assigned()) {
                // The first pass after the ready notice settles the window order and starts the music.
                ::SetWindowPos(RunnerWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
                ::Sleep(111);
                const bool topmost = Settings.AlwaysOnTop.Checked ||
                                     (Settings.FullScreen.Checked && !Settings.CustomSize.Checked && topmostPlatform);
                ::SetWindowPos(RunnerWnd, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
                PumpMessages();
                ::PostMessageA(RunnerWnd, kStartMusicNotice, 0, 0);
                ::InvalidateRect(ProjectorWnd, nullptr, TRUE);
            } else {
                PumpMessages();
            }
            ProjectorShown = true;
            MessageHook.Object = this;
            MessageHook.Proc = &TfrmMain::OnRunnerMessage;
        }
        if (QuitFlag) {
            ::PostMessageA(ProjectorWnd, WM_CLOSE, 0, 0);
        } else {
            ZOrderStep();
        }
    }
    ::ShowWindow(RunnerWnd, SW_HIDE);
}

void TfrmMain::OnRunnerMessage(MSG& message, bool& handled) {
    if (message.message != RunnerMsg || message.wParam != 0) return;
    if (ProjectorInfo.dwThreadId != 0) {
        if (ProjectorWnd) {
            // A graceful close: out of sight, out of full screen, hidden, then closed.
            ProjectorInfo.dwThreadId = 0;
            ::SetWindowPos(RunnerWnd, nullptr, ScreenW - 1, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            PumpMessages();
            ::Sleep(55);
            ::SendMessageA(ProjectorWnd, WM_COMMAND, FullScreenCmd, 0);
            PumpMessages();
            ::Sleep(55);
            ::ShowWindow(ProjectorWnd, SW_HIDE);
            PumpMessages();
            ::Sleep(555);
            ::PostMessageA(ProjectorWnd, WM_CLOSE, 0, 0);
            PumpMessages();
        } else {
            ::PostThreadMessageA(ProjectorInfo.dwThreadId, WM_QUIT, 1, 0);
            ProjectorInfo.dwThreadId = 0;
        }
    }
    handled = true;
}

void TfrmMain::RestyleProjectorWindow() {
    TRestyleInput input;
    input.RunnerWnd = RunnerWnd;
    input.ProjectorWnd = ProjectorWnd;
    input.Settings = &Settings;
    input.Platform = Platform;
    input.Box = WinBox();
    input.AreaW = AreaW;
    input.AreaH = AreaH;
    input.WorkRect = {WorkRect.left, WorkRect.top, WorkRect.right, WorkRect.bottom};
    input.RestyleByte = &ControlBlock->RestyleInProgress;
    input.NewProjector = ControlBlock->NewProjector != 0;
    input.PumpMessages = [] { PumpMessages(); };
    const TRestyleResult result = quindle::RestyleProjectorWindow(input);
    SetWinBox(result.Box);
    AreaW = result.AreaW;
    AreaH = result.AreaH;
    FullScreenCmd = result.FullScreenCmd;
}

void TfrmMain::ZOrderStep() { KeepRunnerBehindProjector(RunnerWnd, ProjectorWnd); }

void TfrmMain::RaiseRunnerWindow() {
    TRaiseInput input;
    input.HasControlBlock = ControlBlock != nullptr;
    input.RunnerWnd = RunnerWnd;
    input.ProjectorWnd = ProjectorWnd;
    input.Interaction = Settings.Interaction.Checked;
    input.AlwaysOnTop = Settings.AlwaysOnTop.Checked;
    input.NewProjector = ControlBlock && ControlBlock->NewProjector;
    quindle::RaiseRunnerWindow(input);
}

void TfrmMain::LaunchAndSupervise() {
    if (!LaunchProjector()) return;
    if (!DiscoverProjectorWindow()) return;
    FirstShow();
    SuperviseProjector();
}

}  // namespace quindle
