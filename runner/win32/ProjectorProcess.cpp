// Launching the projector, finding its window, the first show, and supervising the
// projector process until it ends. The runner never terminates the projector: it asks.
#include "runner/win32/ProjectorProcess.h"

#include <chrono>
#include <string>
#include <vector>

#include "base/Text.h"
#include "base/Timing.h"
#include "base/win32/SystemCodePage.h"
#include "base/win32/SystemPaths.h"
#include "contract/Notices.h"
#include "runner/ProjectorEnvironment.h"
#include "runner/win32/Globals.h"
#include "runner/win32/HookSession.h"
#include "runner/win32/Pump.h"
#include "window/DisplayMode.h"
#include "window/win32/ProjectorWindow.h"

namespace quindle {

namespace {

// The projector's first window appears far off screen, out of sight until it is taken in.
constexpr int kOffScreenStart = 5000;

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

TProjectorProcess::TProjectorProcess(TRunnerWindow& window, const TProjectSettings& settings)
    : window_(window), settings_(settings) {}

bool TProjectorProcess::LaunchProjector(const TProjectorLaunch& launch) {
    std::string projectorPath = launch.RunDir + launch.ProjectorFile;
    if (projectorPath.size() > MAX_PATH - 1) return false;  // beyond the path buffer: no start

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USEPOSITION | STARTF_FORCEOFFFEEDBACK;
    startup.wShowWindow = SW_SHOWNORMAL;
    startup.dwX = kOffScreenStart;
    startup.dwY = static_cast<DWORD>(-kOffScreenStart);

    ApplyEnvironment(
        RunnerEnvironment({launch.ExePath, launch.ExeName, ::GetCurrentProcessId(), ToBlock(window_.RunnerWnd())}));
    const std::string initialDir =
        WithoutTrailingBackslash(launch.StartInCurrentDir ? CurrentDirectory() : launch.RunDir, SystemCodePage());
    WriteBlockText(ControlBlock->InitialDir, initialDir);

    // An identical copy of the projector lying in the working directory is started from there.
    const std::string candidate = initialDir + "\\" + launch.ProjectorStoredName;
    if (SameFileContents(*launch.Files, projectorPath, candidate)) projectorPath = candidate;
    ApplyEnvironment(ProjectorPathsEnvironment({projectorPath, launch.RunDir, initialDir}));

    StoreToBlock<uint8_t>(ControlBlock->NewProjector, 0);
    StoreFlagToBlock(ControlBlock->NewProjector, IsNewProjector(projectorPath));

    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(projectorPath.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          initialDir.c_str(), &startup, &started)) {
        return false;
    }
    process_.reset(started.hProcess);
    thread_.reset(started.hThread);
    ProjectorThreadId = started.dwThreadId;
    StoreToBlock<uint32_t>(ControlBlock->ProjectorProcessId, started.dwProcessId);
    StoreToBlock<uint32_t>(ControlBlock->ProjectorThreadId, started.dwThreadId);
    if (launch.BeforeResume) launch.BeforeResume();
    ::ResumeThread(thread_.get());
    ::WaitForInputIdle(process_.get(), kInputIdleWaitMs);
    return true;
}

bool TProjectorProcess::DiscoverProjectorWindow(const TProjectorLaunch& launch) {
    ProjectorWnd = nullptr;
    TProjectorSearch search;
    search.Settings = &settings_;
    search.Metrics = ReadFrameMetrics();
    search.MaxWidth = window_.MaxWidth;
    search.MaxHeight = window_.MaxHeight;
    search.Box = window_.Box;
    const auto start = std::chrono::steady_clock::now();
    while (!search.ProjectorWnd &&
           std::chrono::steady_clock::now() - start < std::chrono::milliseconds(kWindowSearchLimitMs)) {
        ::Sleep(kWindowSearchStepMs);
        SearchProjectorWindow(ProjectorThreadId, search);
    }
    if (!search.ProjectorWnd) {
        Aborted = true;
        return false;
    }
    ProjectorWnd = search.ProjectorWnd;
    if (search.SizeTaken) {
        window_.Box = search.Box;
        window_.RefWidth = search.RefWidth;
        window_.RefHeight = search.RefHeight;
    }
    ::ShowWindow(ProjectorWnd, SW_HIDE);
    ::AttachThreadInput(::GetCurrentThreadId(), ProjectorThreadId, TRUE);
    if (launch.BeforeRestyle) launch.BeforeRestyle();
    RestyleProjectorWindow();
    return true;
}

void TProjectorProcess::FirstShow() {
    const HWND runnerWnd = window_.RunnerWnd();
    StoreToBlock<uint32_t>(ControlBlock->ProjectorWnd, ToBlock(ProjectorWnd));
    ::SetWindowPos(runnerWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ::Sleep(kShortSettleMs);
    PumpMessages();
    ::SetWindowPos(ProjectorWnd, HWND_NOTOPMOST, 0, 0, window_.AreaW, window_.AreaH,
                   SWP_SHOWWINDOW | SWP_NOZORDER | (settings_.KeyInteraction.Checked ? 0 : SWP_NOACTIVATE));
    ::SetForegroundWindow(runnerWnd);
    StoreToBlock<uint32_t>(ControlBlock->Supervising, 1);
}

void TProjectorProcess::SuperviseProjector() {
    const TProjectSettings& s = settings_;
    const HWND runnerWnd = window_.RunnerWnd();
    const TDisplayMode mode = DisplayModeOf(s);
    const bool topmostPlatform = FullScreenIsTopmost(Platform);
    for (;;) {
        if (::WaitForSingleObject(process_.get(), kSupervisionWaitMs) != WAIT_TIMEOUT) break;
        if (window_.AreaChanged) {
            ::SetWindowPos(ProjectorWnd, HWND_NOTOPMOST, 0, 0, window_.AreaW, window_.AreaH,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            ::InvalidateRect(ProjectorWnd, nullptr, TRUE);
            window_.AreaChanged = false;
        }
        if (IsFramelessFullScreen(mode) && topmostPlatform) {
            // The taskbar stays directly behind a full-screen presentation.
            if (HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr))
                ::SetWindowPos(taskbar, runnerWnd, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        }
        PumpMessages();
        StoreFlagToBlock(ControlBlock->NoKeyInteraction, !s.KeyInteraction.Checked);
        if (ProjectorReady) {
            if (!MessageHook.Assigned()) {
                // The first pass after the ready notice settles the window order and starts the music.
                ::SetWindowPos(runnerWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
                ::Sleep(kSettleMs);
                const bool topmost = s.AlwaysOnTop.Checked || (mode == TDisplayMode::WholeScreen && topmostPlatform);
                ::SetWindowPos(runnerWnd, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
                PumpMessages();
                ::PostMessageA(runnerWnd, kStartMusicNotice, 0, 0);
                ::InvalidateRect(ProjectorWnd, nullptr, TRUE);
            } else {
                PumpMessages();
            }
            ProjectorShown = true;
            MessageHook.Proc = [this](MSG& message, bool& handled) { OnRunnerMessage(message, handled); };
        }
        if (QuitFlag) {
            ::PostMessageA(ProjectorWnd, WM_CLOSE, 0, 0);
        } else {
            ZOrderStep();
        }
    }
    ::ShowWindow(runnerWnd, SW_HIDE);
}

void TProjectorProcess::OnRunnerMessage(MSG& message, bool& handled) {
    if (message.message != RunnerMsg || message.wParam != 0) return;
    if (ProjectorThreadId != 0) {
        if (ProjectorWnd) {
            // A graceful close: out of sight, out of full screen, hidden, then closed.
            ProjectorThreadId = 0;
            ::SetWindowPos(window_.RunnerWnd(), nullptr, window_.ScreenW - 1, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            PumpMessages();
            ::Sleep(kShortSettleMs);
            ::SendMessageA(ProjectorWnd, WM_COMMAND, FullScreenCmd, 0);
            PumpMessages();
            ::Sleep(kShortSettleMs);
            ::ShowWindow(ProjectorWnd, SW_HIDE);
            PumpMessages();
            ::Sleep(kBeforeCloseSettleMs);
            ::PostMessageA(ProjectorWnd, WM_CLOSE, 0, 0);
            PumpMessages();
        } else {
            ::PostThreadMessageA(ProjectorThreadId, WM_QUIT, 1, 0);
            ProjectorThreadId = 0;
        }
    }
    handled = true;
}

void TProjectorProcess::RestyleProjectorWindow() {
    TRestyleInput input;
    input.RunnerWnd = window_.RunnerWnd();
    input.ProjectorWnd = ProjectorWnd;
    input.Settings = &settings_;
    input.Platform = Platform;
    input.Box = window_.Box;
    input.AreaW = window_.AreaW;
    input.AreaH = window_.AreaH;
    const RECT& work = window_.WorkRect;
    input.WorkRect = {work.left, work.top, work.right, work.bottom};
    input.RestyleByte = &ControlBlock->RestyleInProgress;
    input.NewProjector = ControlBlock->NewProjector != 0;
    input.PumpMessages = [] { PumpMessages(); };
    const TRestyleResult result = quindle::RestyleProjectorWindow(input);
    window_.Box = result.Box;
    window_.AreaW = result.AreaW;
    window_.AreaH = result.AreaH;
    FullScreenCmd = result.FullScreenCmd;
}

void TProjectorProcess::ZOrderStep() { KeepRunnerBehindProjector(window_.RunnerWnd(), ProjectorWnd); }

void TProjectorProcess::RaiseRunnerWindow() {
    TRaiseInput input;
    input.HasControlBlock = ControlBlock != nullptr;
    input.RunnerWnd = window_.RunnerWnd();
    input.ProjectorWnd = ProjectorWnd;
    input.MouseInteraction = settings_.MouseInteraction.Checked;
    input.AlwaysOnTop = settings_.AlwaysOnTop.Checked;
    input.NewProjector = ControlBlock && ControlBlock->NewProjector;
    quindle::RaiseRunnerWindow(input);
}

void TProjectorProcess::CloseProjector() {
    if (!ProjectorWnd) return;
    ::AttachThreadInput(::GetCurrentThreadId(), ProjectorThreadId, FALSE);
    ::PostMessageA(ProjectorWnd, WM_CLOSE, 0, 0);
}

void TProjectorProcess::OnReady() {
    if (ControlBlock) StoreToBlock<uint8_t>(ControlBlock->Ready, 1);
    ProjectorReady = true;
}

void TProjectorProcess::DetachInput() {
    if (ProjectorThreadId) ::AttachThreadInput(::GetCurrentThreadId(), ProjectorThreadId, FALSE);
}

void TProjectorProcess::CloseHandles() {
    thread_.reset();
    process_.reset();
}

void TProjectorProcess::LaunchAndSupervise(const TProjectorLaunch& launch) {
    if (!LaunchProjector(launch)) return;
    if (!DiscoverProjectorWindow(launch)) return;
    FirstShow();
    SuperviseProjector();
}

}  // namespace quindle
