// The hook library's input duties inside the stand-in projector, each with its control
// block byte on and off, driven by synthetic input. The test process plays the runner:
// its window records the notifications the library posts.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "contract/ControlBlock.h"
#include "runner/win32/HookSession.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Input.h"
#include "tests/harness/ProjectorProcess.h"

namespace quindle {
namespace {

constexpr char kRunnerClass[] = "QuindleHookInputRunner";
constexpr char kOtherClass[] = "QuindleHookInputOther";
constexpr UINT kFirstNotice = WM_USER + 4;
constexpr UINT kLastNotice = WM_USER + 14;
constexpr BYTE kSentinelKey = VK_F8;

std::vector<std::pair<UINT, WPARAM>> notices;

LRESULT CALLBACK RunnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= kFirstNotice && message <= kLastNotice) {
        notices.emplace_back(message, wParam);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

int Count(UINT message) {
    return static_cast<int>(
        std::count_if(notices.begin(), notices.end(), [&](const auto& n) { return n.first == message; }));
}
bool Has(UINT message, WPARAM wParam) {
    return std::find(notices.begin(), notices.end(), std::make_pair(message, wParam)) != notices.end();
}

void LeftClick() { harness::PressButtons({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}); }
void RightClick() { harness::PressButtons({MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}); }

class HookInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        runDir_ = scratch_.Path() + "Qgl_Rt1\\";
        ASSERT_TRUE(::CreateDirectoryA(runDir_.c_str(), nullptr));
        ASSERT_TRUE(
            ::CopyFileA((harness::BinDir() + "zanticrun.dll").c_str(), (runDir_ + "zanticrun1.dll").c_str(), FALSE));
        WNDCLASSA wc{};
        wc.lpfnWndProc = &RunnerProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kRunnerClass;
        ::RegisterClassA(&wc);
        wc.lpfnWndProc = &::DefWindowProcA;
        wc.lpszClassName = kOtherClass;
        ::RegisterClassA(&wc);
        runnerWnd_ = ::CreateWindowExA(0, kRunnerClass, "runner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                       wc.hInstance, nullptr);
        ASSERT_NE(runnerWnd_, nullptr);
        notices.clear();

        // Every hook installed; each test switches its own duty on through the block.
        settings_.RightClickMenu.Checked = true;
        settings_.MouseInteraction.Checked = true;
        settings_.Draggable.Checked = true;
        settings_.BlockWindowsKeys.Checked = true;
        THookSessionConfig config;
        config.Settings = &settings_;
        config.InstanceTag = "_QGL_RT1";
        config.RunnerWnd = runnerWnd_;
        config.RunnerThreadId = ::GetCurrentThreadId();
        config.RunDir = runDir_;
        config.HookLibFile = "zanticrun1.dll";
        config.ExePath = "C:\\Shows\\demo.exe";
        config.PumpMessages = [] {};
        config.LookUpBrowser = [](TRunnerControlBlock&) {};
        session_ = std::make_unique<THookSession>(config);
        ASSERT_TRUE(session_->SetUp());
        block_ = session_->Block();
        block_->Draggable = 0;
        block_->WindowsKeyFilter = 0;
        block_->CloseItem = 1;
    }
    void TearDown() override {
        projector_.reset();
        session_.reset();
        if (other_) ::DestroyWindow(other_);
        ::DestroyWindow(runnerWnd_);
        ::UnregisterClassA(kRunnerClass, ::GetModuleHandleA(nullptr));
        ::UnregisterClassA(kOtherClass, ::GetModuleHandleA(nullptr));
    }

    // Starts the stand-in, puts it in front with the pointer at its centre, then names
    // its window in the block: the show begins (ready notice) with the pointer there.
    void StartProjector() {
        reportPath_ = scratch_.Path() + "report.txt";
        projector_ = std::make_unique<harness::ProjectorProcess>(block_, reportPath_);
        ASSERT_TRUE(projector_->Started());
        window_ = projector_->FindWindow();
        ASSERT_NE(window_, nullptr);
        ::SetWindowPos(window_, HWND_TOPMOST, 100, 100, 400, 300, SWP_SHOWWINDOW);
        ASSERT_EQ(harness::BringToForeground(window_), "");
        RECT r{};
        ::GetWindowRect(window_, &r);
        centre_ = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        MoveTo(centre_);
        block_->ProjectorWnd = ToBlock(window_);
        ASSERT_TRUE(harness::WaitUntil([] { return Count(WM_USER + 4) > 0; }, 10000)) << "no ready notice";
    }

    int ReportCount(const std::string& line) const {
        const std::string report = harness::ReadFile(reportPath_);
        int n = 0;
        for (size_t at = report.find(line); at != std::string::npos; at = report.find(line, at + 1)) ++n;
        return n;
    }
    bool Reported(const std::string& line) const { return ReportCount(line) > 0; }

    // The pointer over the projector at p, moved there as a user moves it.
    void MoveTo(POINT p) { ASSERT_EQ(harness::MovePointerTo(p, window_), ""); }

    // A key typed at the projector: it reaches it only while it is in front with the
    // keyboard focus.
    void Key(BYTE vk) {
        ASSERT_EQ(harness::WaitForForeground(window_), "");
        harness::PressKey(vk);
    }

    // Input is taken in order: once the projector has seen this key, it has seen
    // (or been kept from) everything sent before, and the notices are posted.
    void Settle() {
        const std::string line = "keydown=" + std::to_string(kSentinelKey) + "\n";
        const int before = ReportCount(line);
        ASSERT_NO_FATAL_FAILURE(Key(kSentinelKey));
        ASSERT_TRUE(harness::WaitUntil([&] { return ReportCount(line) > before; }, 10000))
            << "sentinel key not seen; report:\n"
            << harness::ReadFile(reportPath_);
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
    }

    harness::ScratchDir scratch_{"qinput"};
    std::string runDir_;
    std::string reportPath_;
    HWND runnerWnd_ = nullptr;
    HWND other_ = nullptr;
    TProjectSettings settings_;
    std::unique_ptr<THookSession> session_;
    TRunnerControlBlock* block_ = nullptr;
    std::unique_ptr<harness::ProjectorProcess> projector_;
    HWND window_ = nullptr;
    POINT centre_{};
};

TEST_F(HookInputTest, RightClickWithTheByteSetAsksForTheRunnersMenuInstead) {
    StartProjector();
    block_->NoRightClickMenu = 1;
    RightClick();
    Settle();
    EXPECT_EQ(Count(WM_USER + 9), 1);
    EXPECT_FALSE(Reported("buttondown=right")) << "the projector saw the right button";
    EXPECT_FALSE(Reported("contextmenu=")) << "the projector's own menu opened";

    // Without any item the runner has no menu to show.
    block_->CloseItem = block_->SetupItem = block_->MinimizeItem = 0;
    RightClick();
    Settle();
    EXPECT_EQ(Count(WM_USER + 9), 1);
    EXPECT_FALSE(Reported("contextmenu="));
}

TEST_F(HookInputTest, RightClickWithTheByteClearOpensTheProjectorsMenuTrimmed) {
    block_->MenuItemsToDelete[0] = 40202;
    block_->MenuItemsToDelete[49] = 40204;
    block_->MenuItemsToDelete[7] = 99999;  // no such item
    StartProjector();
    RightClick();
    ASSERT_TRUE(harness::WaitUntil([&] { return Reported("contextmenu="); }, 10000));
    EXPECT_TRUE(Reported("contextmenu=40201,40203\n")) << harness::ReadFile(reportPath_);
    EXPECT_TRUE(Reported("buttondown=right"));
    EXPECT_EQ(Count(WM_USER + 9), 0);
}

TEST_F(HookInputTest, ContextMenuStaysWholeWithAnEmptyDeleteList) {
    StartProjector();
    RightClick();
    ASSERT_TRUE(harness::WaitUntil([&] { return Reported("contextmenu="); }, 10000));
    EXPECT_TRUE(Reported("contextmenu=40201,40202,40203,40204\n")) << harness::ReadFile(reportPath_);
}

TEST_F(HookInputTest, ClicksAndActivationsElsewhereAreReportedOnlyWhileTheMenuIsOpen) {
    StartProjector();
    other_ = ::CreateWindowExA(0, kOtherClass, "other", WS_OVERLAPPEDWINDOW, 600, 100, 150, 100, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other_, nullptr);
    const WPARAM projector = reinterpret_cast<WPARAM>(window_);
    const WPARAM other = reinterpret_cast<WPARAM>(other_);

    LeftClick();  // in the projector's process
    // Taken in, with the activation it brings, before another window comes to the front.
    ASSERT_TRUE(harness::WaitUntil([&] { return Reported("buttondown=left"); }, 10000)) << "the click never came";
    ::ShowWindow(other_, SW_SHOW);  // activated in this process
    ASSERT_EQ(harness::WaitForForeground(other_), "");
    ASSERT_EQ(harness::BringToForeground(window_), "");
    Settle();
    EXPECT_EQ(Count(WM_USER + 7), 0) << "menu closed";

    block_->MenuOpen = 1;
    LeftClick();
    ASSERT_TRUE(harness::WaitUntil([&] { return Has(WM_USER + 7, projector); }, 10000)) << "click in the projector";
    ::SetActiveWindow(nullptr);
    ::ShowWindow(other_, SW_HIDE);
    ::SetWindowPos(other_, HWND_TOPMOST, 600, 100, 150, 100, SWP_SHOWWINDOW);
    ASSERT_TRUE(harness::WaitUntil([&] { return Has(WM_USER + 7, other); }, 10000)) << "activation here";
    block_->MenuOpen = 0;
}

TEST_F(HookInputTest, DraggableReportsLeftPressAndRelease) {
    StartProjector();
    LeftClick();
    Settle();
    EXPECT_EQ(Count(WM_USER + 11), 0);
    EXPECT_EQ(Count(WM_USER + 10), 0);

    block_->Draggable = 1;
    block_->NoRightClickMenu = 1;  // the projector's menu would take the keyboard
    LeftClick();
    RightClick();  // starts nothing
    Settle();
    EXPECT_EQ(Count(WM_USER + 11), 1);
    EXPECT_TRUE(Has(WM_USER + 11, WM_LBUTTONDOWN));
    EXPECT_EQ(Count(WM_USER + 10), 1);
    EXPECT_EQ(ReportCount("buttondown=left"), 2) << "the projector still gets the press";
    // The press comes before the release.
    const auto press =
        std::find_if(notices.begin(), notices.end(), [](const auto& n) { return n.first == WM_USER + 11; });
    const auto release =
        std::find_if(notices.begin(), notices.end(), [](const auto& n) { return n.first == WM_USER + 10; });
    EXPECT_LT(press - notices.begin(), release - notices.begin());
}

TEST_F(HookInputTest, NoMouseInteractionEndsTheShowOnAFarMovement) {
    block_->NoMouseInteraction = 1;
    StartProjector();
    MoveTo({centre_.x + 4, centre_.y - 4});
    Settle();
    EXPECT_EQ(Count(WM_USER + 12), 0) << "a small movement is not the user";
    MoveTo({centre_.x, centre_.y + 5});
    ASSERT_TRUE(harness::WaitUntil([] { return Has(WM_USER + 12, 0); }, 10000));
    MoveTo({centre_.x + 30, centre_.y + 30});
    Settle();
    EXPECT_EQ(Count(WM_USER + 12), 1) << "posted once";
}

TEST_F(HookInputTest, NoMouseInteractionEndsTheShowOnAClick) {
    block_->NoMouseInteraction = 1;
    StartProjector();
    LeftClick();
    Settle();
    EXPECT_TRUE(Has(WM_USER + 12, 0));
    EXPECT_FALSE(Reported("buttondown=")) << "the click reached the projector";
}

TEST_F(HookInputTest, WithMouseInteractionMovementsAndClicksReachTheProjector) {
    StartProjector();
    MoveTo({centre_.x + 40, centre_.y + 40});
    LeftClick();
    Settle();
    EXPECT_EQ(Count(WM_USER + 12), 0);
    EXPECT_TRUE(Reported("buttondown=left"));
}

TEST_F(HookInputTest, NoKeyInteractionEndsTheShowOnAnyKeyButEscape) {
    block_->NoKeyInteraction = 1;
    StartProjector();
    Key(VK_ESCAPE);  // its own rule: with exit on Escape off it does nothing
    ASSERT_TRUE(harness::WaitUntil([&] { return Reported("keydown=27"); }, 10000));
    EXPECT_EQ(Count(WM_USER + 12), 0);
    Key('A');
    ASSERT_TRUE(harness::WaitUntil([] { return Has(WM_USER + 12, 0); }, 10000));
    EXPECT_FALSE(Reported("keydown=65")) << "the key reached the projector";

    block_->NoKeyInteraction = 0;  // rewritten by the runner on every pass
    Key('B');
    ASSERT_TRUE(harness::WaitUntil([&] { return Reported("keydown=66"); }, 10000));
    EXPECT_EQ(Count(WM_USER + 12), 1);
}

TEST_F(HookInputTest, WindowsKeysNeverReachTheProjectorWhileFiltered) {
    StartProjector();
    block_->WindowsKeyFilter = 1;
    Key(VK_LWIN);
    Key(VK_RWIN);
    Key(VK_APPS);
    Settle();
    for (int vk : {VK_LWIN, VK_RWIN, VK_APPS}) EXPECT_FALSE(Reported("keydown=" + std::to_string(vk) + "\n")) << vk;
    EXPECT_FALSE(Reported("contextmenu=")) << "the application key opened the context menu";

    block_->WindowsKeyFilter = 0;
    Key(VK_APPS);
    EXPECT_TRUE(harness::WaitUntil([&] { return Reported("keydown=" + std::to_string(VK_APPS) + "\n"); }, 10000));
    EXPECT_TRUE(harness::WaitUntil([&] { return Reported("contextmenu="); }, 10000));
}

TEST_F(HookInputTest, ScreenSaverCommandIsRefusedWhileTheByteIsSet) {
    StartProjector();
    const std::string screenSave = "syscommand=" + std::to_string(SC_SCREENSAVE) + "\n";
    block_->ScreenSaverOff = 1;
    ::PostMessageA(window_, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    ::PostMessageA(window_, WM_COMMAND, 7, 0);  // taken after it
    ASSERT_TRUE(harness::WaitUntil([&] { return Reported("command=7\n"); }, 10000));
    EXPECT_FALSE(Reported(screenSave));

    block_->ScreenSaverOff = 0;
    ::PostMessageA(window_, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    EXPECT_TRUE(harness::WaitUntil([&] { return Reported(screenSave); }, 10000));
}

// The cursor the system shows, as the foreground thread set it.
HCURSOR ShownCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetCursorInfo(&info)) return reinterpret_cast<HCURSOR>(-1);
    return (info.flags & CURSOR_SHOWING) ? info.hCursor : nullptr;
}

TEST_F(HookInputTest, CursorIsHiddenOverTheProjectorWhileTheByteIsSet) {
    StartProjector();
    MoveTo({centre_.x + 10, centre_.y});
    Settle();
    ASSERT_TRUE(harness::WaitUntil([] { return ShownCursor() != nullptr; }, 5000)) << "the arrow shows at first";

    block_->HideCursor = 1;
    MoveTo({centre_.x + 20, centre_.y});
    Settle();
    EXPECT_TRUE(harness::WaitUntil([] { return ShownCursor() == nullptr; }, 5000));

    block_->HideCursor = 0;
    MoveTo({centre_.x + 30, centre_.y});
    Settle();
    EXPECT_TRUE(harness::WaitUntil([] { return ShownCursor() != nullptr; }, 5000));
}

}  // namespace
}  // namespace quindle
