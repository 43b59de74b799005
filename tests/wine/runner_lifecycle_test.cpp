// The runner's pump, exception report and window creation, against real windows under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "runner/win32/Globals.h"
#include "runner/win32/Runner.h"
#include "base/win32/ParkedException.h"
#include "runner/win32/Pump.h"
#include "runner/win32/RunOnce.h"
#include "tests/harness/Harness.h"

namespace quindle {
namespace {

constexpr UINT kThrow = WM_APP + 1;
constexpr UINT kCount = WM_APP + 2;
std::atomic<int> dispatchedCount{0};

// A window whose procedure follows the runner's rule: a failing handler parks its
// exception for the pump.
LRESULT CALLBACK FailingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == kThrow) throw std::runtime_error("boom in a handler");
        if (message == kCount) ++dispatchedCount;
    } catch (...) {
        ParkException(std::current_exception());
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

class PumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &FailingProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "QuindlePumpTest";
        ::RegisterClassA(&wc);
        window_ = ::CreateWindowExA(0, "QuindlePumpTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                    nullptr);
        ASSERT_NE(window_, nullptr);
        QuitFlag = false;
        MessageHook = {};
        dispatchedCount = 0;
        PumpMessages();  // nothing of an earlier test stays queued
    }
    void TearDown() override {
        ::DestroyWindow(window_);
        ::UnregisterClassA("QuindlePumpTest", ::GetModuleHandleA(nullptr));
        QuitFlag = false;
        MessageHook = {};
    }
    HWND window_ = nullptr;
};

TEST_F(PumpTest, EmptyQueueTakesNothing) { EXPECT_FALSE(PumpOneMessage()); }

TEST_F(PumpTest, PostedQuitSetsQuitFlagWithoutDispatch) {
    ::PostQuitMessage(0);
    EXPECT_TRUE(PumpOneMessage());
    EXPECT_TRUE(QuitFlag);
    EXPECT_FALSE(PumpOneMessage());
}

TEST_F(PumpTest, PumpMessagesDrainsTheQueue) {
    for (int i = 0; i < 5; ++i) ::PostMessageA(window_, kCount, 0, 0);
    PumpMessages();
    EXPECT_EQ(dispatchedCount, 5);
    EXPECT_FALSE(PumpOneMessage());
}

TEST_F(PumpTest, HandledByTheHookIsNotDispatched) {
    int seen = 0;
    MessageHook.Proc = [&seen](MSG&, bool& handled) {
        handled = true;
        ++seen;
    };
    ::PostMessageA(window_, kCount, 0, 0);
    EXPECT_TRUE(PumpOneMessage());
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(dispatchedCount, 0);
    MessageHook = {};
    ::PostMessageA(window_, kCount, 0, 0);
    EXPECT_TRUE(PumpOneMessage());
    EXPECT_EQ(dispatchedCount, 1);
}

TEST_F(PumpTest, HandlerExceptionIsReportedAndThePumpGoesOn) {
    const DWORD pumpThread = ::GetCurrentThreadId();
    std::optional<harness::Dialog> box;
    bool pressed = false;
    std::thread watcher([&] {
        box = harness::WaitForDialog(::GetCurrentProcessId());
        if (box) pressed = harness::PressButton(*box, "OK");
        // After the box the pump must still deliver messages: one more, then quit.
        ::PostMessageA(window_, kCount, 0, 0);
        harness::WaitUntil([] { return dispatchedCount == 1; }, 10000);
        ::PostThreadMessageA(pumpThread, WM_QUIT, 0, 0);
    });
    ::PostMessageA(window_, kThrow, 0, 0);
    PumpUntilQuit(window_);
    watcher.join();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->Caption, "Error");
    EXPECT_EQ(box->Text, "Exception occured: boom in a handler");
    EXPECT_TRUE(pressed);
    EXPECT_EQ(dispatchedCount, 1);
    EXPECT_TRUE(QuitFlag);
}

// The runner window as InitRunner creates it, for a table of settings.
TEST(RunnerWindowCreation, HiddenWithTheClassStylesAndCaptionOfItsRow) {
    struct Case {
        const char* name;
        bool fullScreen, customSize, noTitle, noBorder, allowResize, alwaysOnTop;
        LONG style;  // without WS_CLIPCHILDREN
        bool topmost;
    };
    const Case cases[] = {
        {"framed", false, false, false, false, true, false, static_cast<LONG>(0x80CF0000), false},
        {"framed fixed topmost", false, false, false, false, false, true, static_cast<LONG>(0x80CB0000), true},
        {"no title", false, false, true, false, false, false, static_cast<LONG>(0x80880000), false},
        {"no border", false, false, false, true, true, false, static_cast<LONG>(0x80080000), false},
    };
    InitPlatformFlags();
    const int32_t screenW = ::GetSystemMetrics(SM_CXSCREEN);
    const int32_t screenH = ::GetSystemMetrics(SM_CYSCREEN);
    for (const Case& c : cases) {
        TRunner runner("C:\\Shows\\Tour.exe", "");
        runner.Settings().FullScreen.Checked = c.fullScreen;
        runner.Settings().CustomSize.Checked = c.customSize;
        runner.Settings().HideCaption.Checked = c.noTitle;
        runner.Settings().HideBorder.Checked = c.noBorder;
        runner.Settings().Resizable.Checked = c.allowResize;
        runner.Settings().AlwaysOnTop.Checked = c.alwaysOnTop;
        runner.Settings().StartLeft = 30;
        runner.Settings().StartTop = 40;
        runner.Settings().StartWidth = 500;
        runner.Settings().StartHeight = 400;
        runner.Window().UseScreen({0, 0, screenW, screenH});
        TRunnerWindow::RegisterClass();
        runner.CreateRunnerWindow();
        ASSERT_NE(runner.Window().RunnerWnd(), nullptr) << c.name;
        ::SetWindowTextA(runner.Window().RunnerWnd(), "My Show");
        EXPECT_EQ(harness::WindowClass(runner.Window().RunnerWnd()), "MumuQuindleWindow") << c.name;
        EXPECT_FALSE(::IsWindowVisible(runner.Window().RunnerWnd())) << c.name;
        EXPECT_EQ(::GetWindowLongA(runner.Window().RunnerWnd(), GWL_STYLE) & ~WS_CLIPCHILDREN & ~WS_CLIPSIBLINGS,
                  c.style)
            << c.name;
        EXPECT_TRUE(::GetWindowLongA(runner.Window().RunnerWnd(), GWL_STYLE) & WS_CLIPCHILDREN) << c.name;
        const LONG ex = ::GetWindowLongA(runner.Window().RunnerWnd(), GWL_EXSTYLE);
        EXPECT_TRUE(ex & WS_EX_APPWINDOW) << c.name;
        EXPECT_EQ((ex & WS_EX_TOPMOST) != 0, c.topmost) << c.name;
        RECT r{};
        ::GetWindowRect(runner.Window().RunnerWnd(), &r);
        EXPECT_EQ(r.left, 30) << c.name;
        EXPECT_EQ(r.top, 40) << c.name;
        EXPECT_EQ(r.right - r.left, 500) << c.name;
        EXPECT_EQ(r.bottom - r.top, 400) << c.name;
        EXPECT_EQ(harness::WindowText(runner.Window().RunnerWnd()), "My Show") << c.name;
        // Notifications up to WM_USER+50 answer 0 whatever their row answers; WM_CLOSE leaves it.
        runner.Window().Messages().Add(WM_USER + 50, [](TMessage& m) {
            m.Result = 7;
            m.Handled = true;
        });
        EXPECT_EQ(::SendMessageA(runner.Window().RunnerWnd(), WM_USER + 50, 0, 0), 0) << c.name;
        runner.Window().Messages().Add(WM_USER + 51, [](TMessage& m) {
            m.Result = 7;
            m.Handled = true;
        });
        EXPECT_EQ(::SendMessageA(runner.Window().RunnerWnd(), WM_USER + 51, 0, 0), 7) << c.name;
        ::SendMessageA(runner.Window().RunnerWnd(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(::IsWindow(runner.Window().RunnerWnd())) << c.name;
        runner.Window().Destroy();
    }
}

}  // namespace
}  // namespace quindle
