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
#include "window/WindowSearch.h"
#include "window/win32/ProjectorWindow.h"
#include "window/win32/Screens.h"
#include "window/win32/WindowCreationWatch.h"

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

bool TProjectorProcess::StartSuspended(const TProjectorLaunch& launch) {
    std::string projectorPath = launch.RunDir + launch.ProjectorFile;
    if (projectorPath.size() > MAX_PATH - 1) return false;  // beyond the path buffer: no start
    std::string initialDir;
    PrepareStart(launch, projectorPath, initialDir);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USEPOSITION | STARTF_FORCEOFFFEEDBACK;
    startup.wShowWindow = SW_SHOWNORMAL;
    startup.dwX = kOffScreenStart;
    startup.dwY = static_cast<DWORD>(-kOffScreenStart);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(projectorPath.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          initialDir.c_str(), &startup, &started)) {
        return false;
    }
    process_.reset(started.hProcess);
    thread_.reset(started.hThread);
    ProjectorThreadId = started.dwThreadId;
    processId_ = started.dwProcessId;
    StoreToBlock<uint32_t>(ControlBlock->ProjectorProcessId, started.dwProcessId);
    StoreToBlock<uint32_t>(ControlBlock->ProjectorThreadId, started.dwThreadId);
    return true;
}

void TProjectorProcess::ResumeProjector(const TProjectorLaunch& launch) {
    if (launch.BeforeResume) launch.BeforeResume();
    ::ResumeThread(thread_.get());
    ::WaitForInputIdle(process_.get(), kInputIdleWaitMs);
}

// The environment the projector inherits, its working directory (also in the block),
// the copy it is started from and whether it is a new projector.
void TProjectorProcess::PrepareStart(const TProjectorLaunch& launch, std::string& projectorPath,
                                     std::string& initialDir) {
    ApplyEnvironment(
        RunnerEnvironment({launch.ExePath, launch.ExeName, ::GetCurrentProcessId(), ToBlock(window_.RunnerWnd())}));
    initialDir =
        WithoutTrailingBackslash(launch.StartInCurrentDir ? CurrentDirectory() : launch.RunDir, SystemCodePage());
    WriteBlockText(ControlBlock->InitialDir, initialDir);

    // An identical copy of the projector lying in the working directory is started from there.
    const std::string candidate = initialDir + "\\" + launch.ProjectorStoredName;
    if (SameFileContents(*launch.Files, projectorPath, candidate)) projectorPath = candidate;
    ApplyEnvironment(ProjectorPathsEnvironment({projectorPath, launch.RunDir, initialDir}));

    // "Not new" until the version information, read from the file, gives the answer: a
    // library looking at the byte meanwhile takes the older projector's ways.
    StoreToBlock<uint8_t>(ControlBlock->NewProjector, 0);
    StoreFlagToBlock(ControlBlock->NewProjector, IsNewProjector(projectorPath));
}

// Looks at the projector's windows when it reaches input idle, whenever it creates or
// shows a window, and at least every step, until the search limit.
bool TProjectorProcess::FindProjectorWindow(TWindowCreationWatch& creations) {
    ProjectorWnd = nullptr;
    TProjectorSearch search;
    search.Settings = &settings_;
    search.Metrics = ReadFrameMetrics();
    search.MaxWidth = window_.Geometry().MaxWidth;
    search.MaxHeight = window_.Geometry().MaxHeight;
    search.Box = window_.Geometry().Box;
    TWindowSearchSteps steps;
    steps.Look = [&] { return SearchProjectorWindow(ProjectorThreadId, search); };
    steps.AwaitWindow = [&](unsigned maxMs) { creations.AwaitWindow(maxMs); };
    steps.NowMs = [] {
        return static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    };
    if (!RunWindowSearch(steps, kWindowSearchStepMs, kWindowSearchLimitMs)) return false;
    ProjectorWnd = search.ProjectorWnd;
    if (search.SizeTaken) window_.TakeProjectorSize(search.Box, search.RefWidth, search.RefHeight);
    return true;
}

void TProjectorProcess::TakeInProjectorWindow(const TProjectorLaunch& launch) {
    ::ShowWindow(ProjectorWnd, SW_HIDE);
    ::AttachThreadInput(::GetCurrentThreadId(), ProjectorThreadId, TRUE);
    if (launch.BeforeRestyle) launch.BeforeRestyle();
    RestyleProjectorWindow();
}

void TProjectorProcess::FirstShow() {
    const HWND runnerWnd = window_.RunnerWnd();
    StoreToBlock<uint32_t>(ControlBlock->ProjectorWnd, ToBlock(ProjectorWnd));
    ::SetWindowPos(runnerWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ::Sleep(kShortSettleMs);
    PumpMessages();
    ::SetWindowPos(ProjectorWnd, HWND_NOTOPMOST, 0, 0, window_.Geometry().AreaW, window_.Geometry().AreaH,
                   SWP_SHOWWINDOW | SWP_NOZORDER | (settings_.KeyInteraction.Checked ? 0 : SWP_NOACTIVATE));
    ::SetForegroundWindow(runnerWnd);
    StoreToBlock<uint32_t>(ControlBlock->Supervising, 1);
}

void TProjectorProcess::SuperviseProjector() {
    while (::WaitForSingleObject(process_.get(), kSupervisionWaitMs) == WAIT_TIMEOUT) SupervisionPass();
    ::ShowWindow(window_.RunnerWnd(), SW_HIDE);
}

// One pass of the supervision between two waits on the projector process.
void TProjectorProcess::SupervisionPass() {
    FollowClientArea();
    KeepTaskbarBehind();
    PumpMessages();
    StoreFlagToBlock(ControlBlock->NoKeyInteraction, !settings_.KeyInteraction.Checked);
    if (ControlBlock->Ready) {
        if (ProjectorShown) {
            PumpMessages();
        } else {
            SettleAfterFirstShow();
            ProjectorShown = true;
            MessageHook.Proc = [this](MSG& message, bool& handled) { OnRunnerMessage(message, handled); };
        }
    }
    if (QuitFlag) {
        ::PostMessageA(ProjectorWnd, WM_CLOSE, 0, 0);
    } else {
        ZOrderStep();
    }
}

// The projector fills the client area again once the runner window was sized.
void TProjectorProcess::FollowClientArea() {
    if (!window_.TakeAreaChange()) return;
    ::SetWindowPos(ProjectorWnd, HWND_NOTOPMOST, 0, 0, window_.Geometry().AreaW, window_.Geometry().AreaH,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(ProjectorWnd, nullptr, TRUE);
}

// The taskbar stays directly behind a full-screen presentation without a frame.
void TProjectorProcess::KeepTaskbarBehind() {
    if (!IsFramelessFullScreen(DisplayModeOf(settings_)) || !FullScreenIsTopmost(Platform)) return;
    if (HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr))
        ::SetWindowPos(taskbar, window_.RunnerWnd(), 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

// The first pass after the ready notice settles the window order and asks for the music.
void TProjectorProcess::SettleAfterFirstShow() {
    const HWND runnerWnd = window_.RunnerWnd();
    ::SetWindowPos(runnerWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ::Sleep(kSettleMs);
    const bool topmost = settings_.AlwaysOnTop.Checked ||
                         (DisplayModeOf(settings_) == TDisplayMode::WholeScreen && FullScreenIsTopmost(Platform));
    ::SetWindowPos(runnerWnd, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    PumpMessages();
    ::PostMessageA(runnerWnd, kStartMusicNotice, 0, 0);
    ::InvalidateRect(ProjectorWnd, nullptr, TRUE);
}

void TProjectorProcess::OnRunnerMessage(MSG& message, bool& handled) {
    if (message.message != runnerMsg_ || message.wParam != 0) return;
    if (ProjectorThreadId != 0) {
        if (ProjectorWnd) {
            // A graceful close: out of sight, out of full screen, hidden, then closed.
            ProjectorThreadId = 0;
            const TRect32 screen = ScreenOfWindow(window_.RunnerWnd()).Bounds;
            ::SetWindowPos(window_.RunnerWnd(), nullptr, screen.Right - 1, screen.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            PumpMessages();
            ::Sleep(kShortSettleMs);
            ::SendMessageA(ProjectorWnd, WM_COMMAND, fullScreenCmd_, 0);
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
    const TRunnerGeometry& geometry = window_.Geometry();
    input.Box = geometry.Box;
    input.AreaW = geometry.AreaW;
    input.AreaH = geometry.AreaH;
    input.WorkRect = geometry.WorkRect;
    input.RestyleByte = &ControlBlock->RestyleInProgress;
    input.NewProjector = ControlBlock->NewProjector != 0;
    input.PumpMessages = [] { PumpMessages(); };
    const TRestyleResult result = quindle::RestyleProjectorWindow(input);
    window_.TakeRestyle(result.Box, result.AreaW, result.AreaH);
    fullScreenCmd_ = result.FullScreenCmd;
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
}

void TProjectorProcess::DetachInput() {
    if (ProjectorThreadId) ::AttachThreadInput(::GetCurrentThreadId(), ProjectorThreadId, FALSE);
}

void TProjectorProcess::CloseHandles() {
    thread_.reset();
    process_.reset();
}

void TProjectorProcess::LaunchAndSupervise(const TProjectorLaunch& launch) {
    runnerMsg_ = launch.RunnerMsg;
    if (!StartSuspended(launch)) return;
    {
        TWindowCreationWatch creations(processId_);
        ResumeProjector(launch);
        if (!FindProjectorWindow(creations)) return;
    }
    TakeInProjectorWindow(launch);
    FirstShow();
    SuperviseProjector();
}

}  // namespace quindle
