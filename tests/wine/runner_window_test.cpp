// The runner window's message table against real windows: notifications, the query
// message, the global close notice, closing, sizing and the click-foreground rule.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "contract/ControlBlock.h"
#include "runner/win32/Globals.h"
#include "runner/win32/Runner.h"
#include "runner/win32/Pump.h"
#include "tests/harness/Harness.h"

namespace quindle {
namespace {

std::vector<UINT> projectorMessages;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE || message >= 0xC000) {
        projectorMessages.push_back(message);
        return 0;  // a projector that is asked to close, but stays for the test to look at
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

class RunnerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &RecordingProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "QuindleFakeProjector";
        ::RegisterClassA(&wc);
        projector_ = ::CreateWindowExA(0, "QuindleFakeProjector", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                       wc.hInstance, nullptr);
        ASSERT_NE(projector_, nullptr);
        projectorMessages.clear();

        runner_.Window().UseScreen({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
        runner_.Settings().StartLeft = 100;
        runner_.Settings().StartTop = 80;
        runner_.Settings().StartWidth = 400;
        runner_.Settings().StartHeight = 300;
        TRunnerWindow::RegisterClass();
        runner_.CreateRunnerWindow();
        ASSERT_NE(runner_.Window().RunnerWnd(), nullptr);
        PumpMessages();
    }
    void TearDown() override {
        runner_.Window().Destroy();
        ::DestroyWindow(projector_);
        ::UnregisterClassA("QuindleFakeProjector", ::GetModuleHandleA(nullptr));
        PumpMessages();
    }
    LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) {
        return ::SendMessageA(runner_.Window().RunnerWnd(), message, w, l);
    }
    int Count(UINT message) {
        int n = 0;
        for (UINT m : projectorMessages) n += m == message;
        return n;
    }

    // The projector of the runner's show, made once as the start notice would make it.
    TProjectorProcess& Projector() {
        if (!show_) show_ = &runner_.BeginShow();
        return show_->Projector();
    }
    const TRunnerGeometry& Geometry() { return runner_.Window().Geometry(); }

    TRunner runner_{"C:\\Shows\\Tour.exe", ""};
    TShow* show_ = nullptr;
    HWND projector_ = nullptr;
};

TEST_F(RunnerWindowTest, ReadyNoticeSetsTheBlockByte) {
    TRunnerControlBlock block{};
    EXPECT_EQ(Send(WM_USER + 4), 0) << "before the show";
    Projector().ControlBlock = &block;
    EXPECT_EQ(Send(WM_USER + 4), 0);
    EXPECT_EQ(block.Ready, 1);
    Projector().ControlBlock = nullptr;
}

TEST_F(RunnerWindowTest, CloseWithoutProjectorKeepsTheWindow) {
    Send(WM_CLOSE);
    EXPECT_TRUE(::IsWindow(runner_.Window().RunnerWnd()));
}

TEST_F(RunnerWindowTest, CloseRequestsReachTheProjector) {
    Projector().ProjectorWnd = projector_;
    Send(WM_USER + 12, 1);  // any other wParam: no action
    PumpMessages();
    EXPECT_EQ(Count(WM_CLOSE), 0);
    Send(WM_USER + 12, 0);
    PumpMessages();
    EXPECT_EQ(Count(WM_CLOSE), 1);
    Send(WM_CLOSE);
    PumpMessages();
    EXPECT_EQ(Count(WM_CLOSE), 2);
    EXPECT_TRUE(::IsWindow(runner_.Window().RunnerWnd()));
}

TEST_F(RunnerWindowTest, EscapeClosesOnlyWithTheBlockByte) {
    TRunnerControlBlock block{};
    TProjectorProcess& projector = Projector();
    projector.ControlBlock = &block;
    projector.ProjectorWnd = projector_;
    Send(WM_CHAR, 27);
    PumpMessages();
    EXPECT_EQ(Count(WM_CLOSE), 0);
    block.ExitOnEsc = 1;
    Send(WM_CHAR, 'a');
    Send(WM_CHAR, 27);
    PumpMessages();
    EXPECT_EQ(Count(WM_CLOSE), 1);
    projector.ControlBlock = nullptr;
}

TEST_F(RunnerWindowTest, QueryMessageAnswers) {
    runner_.AnswerRunnerQueries(::RegisterWindowMessageA(kRunnerQueryMessageName));
    const UINT query = runner_.QueryMessage();
    EXPECT_EQ(static_cast<uint32_t>(Send(query, 0, 0)), 0x454C4751u);
    POINT topLeft{0, 0};
    ::ClientToScreen(runner_.Window().RunnerWnd(), &topLeft);
    POINT bottomRight{Geometry().AreaW, Geometry().AreaH};
    ::ClientToScreen(runner_.Window().RunnerWnd(), &bottomRight);
    EXPECT_EQ(Send(query, 1, 0), topLeft.x);
    EXPECT_EQ(Send(query, 1, 1), bottomRight.x);
    EXPECT_EQ(Send(query, 1, 2), topLeft.y);
    EXPECT_EQ(Send(query, 1, 3), bottomRight.y);
    EXPECT_EQ(static_cast<int32_t>(Send(query, 1, 4)), -1);
    EXPECT_EQ(static_cast<int32_t>(Send(query, 2, 0)), -1);
    runner_.AnswerRunnerQueries(0);
    EXPECT_EQ(Send(query, 0, 0), 0) << "no answers once the session ends";
}

TEST_F(RunnerWindowTest, GlobalCloseForAnotherExecutableIsIgnoredAndDisablesLaterOnes) {
    Projector().ProjectorWnd = projector_;
    const UINT close = runner_.GlobalCloseMessage();
    const ATOM other = ::GlobalAddAtomA("C:\\Elsewhere\\Other.exe");
    const ATOM own = ::GlobalAddAtomA("Tour.exe");
    Send(close, 0, other);
    EXPECT_EQ(runner_.GlobalCloseMessage(), 0xFFFFFFFFu);
    Send(close, 0, own);  // no longer recognised
    PumpMessages();
    EXPECT_EQ(Count(WM_CLOSE), 0);
    ::GlobalDeleteAtom(other);
    ::GlobalDeleteAtom(own);
}

TEST_F(RunnerWindowTest, GlobalCloseNamingOurFileInAnotherCaseCloses) {
    Projector().ProjectorWnd = projector_;
    const ATOM own = ::GlobalAddAtomA("D:\\Copies\\TOUR.EXE");
    Send(runner_.GlobalCloseMessage(), 0, own);
    PumpMessages();
    EXPECT_EQ(Count(WM_CLOSE), 1);
    ::GlobalDeleteAtom(own);
}

TEST_F(RunnerWindowTest, EndNoticeOfTheAncestorRunnerIsPassedToTheMovie) {
    Projector().ProjectorWnd = projector_;
    const UINT close = runner_.GlobalCloseMessage();
    const ATOM ancestor = ::GlobalAddAtomA("Ancestor.exe");
    ::SetEnvironmentVariableA("Ancestor.exe", "4242");
    Send(close, 4343, ancestor);  // not the handle the variable holds
    PumpMessages();
    EXPECT_EQ(Count(close), 0);
    Send(close, 4242, ancestor);
    PumpMessages();
    EXPECT_EQ(Count(close), 1);
    ::SetEnvironmentVariableA("Ancestor.exe", nullptr);
    ::GlobalDeleteAtom(ancestor);
}

TEST_F(RunnerWindowTest, SizingRefreshesTheGeometry) {
    runner_.Window().TakeAreaChange();
    ::SetWindowPos(runner_.Window().RunnerWnd(), nullptr, 120, 90, 500, 350, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Geometry().Box.Left, 120);
    EXPECT_EQ(Geometry().Box.Top, 90);
    EXPECT_EQ(Geometry().Box.Width, 500);
    EXPECT_EQ(Geometry().Box.Height, 350);
    RECT client{};
    ::GetClientRect(runner_.Window().RunnerWnd(), &client);
    EXPECT_EQ(Geometry().AreaW, client.right);
    EXPECT_EQ(Geometry().AreaH, client.bottom);
    EXPECT_TRUE(runner_.Window().TakeAreaChange());
    EXPECT_FALSE(runner_.Window().TakeAreaChange()) << "taken once";
}

TEST_F(RunnerWindowTest, ClickForegroundRuleAppliesOnlyOnceTheProjectorIsShown) {
    runner_.Settings().RaiseWithoutActivating.Checked = true;
    WINDOWPOS toTop{runner_.Window().RunnerWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE};
    Send(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&toTop));
    EXPECT_EQ(toTop.flags, static_cast<UINT>(SWP_NOSIZE | SWP_NOMOVE));
    Projector().ProjectorShown = true;
    Send(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&toTop));
    EXPECT_EQ(toTop.flags, static_cast<UINT>(SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    WINDOWPOS topmost{runner_.Window().RunnerWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE};
    Send(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&topmost));
    EXPECT_EQ(topmost.flags, static_cast<UINT>(SWP_NOSIZE | SWP_NOMOVE));
}

TEST_F(RunnerWindowTest, SizingKeepsTheReferenceRatioOnlyWithMaintainRatio) {
    // The window was made 400 x 300: that is the reference.
    ASSERT_EQ(Geometry().RefWidth, 400);
    ASSERT_EQ(Geometry().RefHeight, 300);
    RECT right{100, 80, 600, 380};  // the right edge dragged to a width of 500
    Send(WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&right));
    EXPECT_EQ(right.bottom, 380) << "MaintainRatio off leaves the rectangle";
    EXPECT_FALSE(runner_.Window().GrayBackground());
    runner_.Settings().KeepAspectRatio.Checked = true;
    Send(WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&right));
    EXPECT_EQ(right.bottom - right.top, 375);
    RECT bottom{100, 80, 500, 381};  // the bottom edge dragged to a height of 301
    Send(WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&bottom));
    EXPECT_EQ(bottom.right - bottom.left, 401);
    EXPECT_TRUE(runner_.Window().GrayBackground());
}

}  // namespace
}  // namespace quindle
