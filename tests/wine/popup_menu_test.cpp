// The runner's popup menu owner and the drag runner, on windows of the test's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "commands/win32/MovieCommandText.h"
#include "contract/ControlBlock.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Input.h"
#include "window/win32/DragRunner.h"
#include "window/win32/PopupCommands.h"
#include "window/win32/PopupMenu.h"

namespace quindle {
namespace {

constexpr char kOwnerClass[] = "QuindlePopupOwner";

// What the owner window does while a menu is up, and what it saw.
std::function<void(HWND)> onMenuIdle;
int menuLoops = 0;
TDragRunner* activeDrag = nullptr;
TRunnerControlBlock* ownerBlock = nullptr;
bool fallbackClosed = false;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ENTERMENULOOP:
            ++menuLoops;
            break;
        case WM_ENTERIDLE:
            if (wParam == MSGF_MENU && onMenuIdle) std::exchange(onMenuIdle, nullptr)(window);
            return 0;
        case WM_TIMER:
            if (activeDrag) activeDrag->OnTimer(wParam);
            return 0;
        case WM_SETTEXT:
            if (ClassifySetText(wParam, lParam, ownerBlock).Accepted()) return 1;
            break;
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

class OwnWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &OwnerProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kOwnerClass;
        ::RegisterClassA(&wc);
        owner_ = ::CreateWindowExA(0, kOwnerClass, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300, 200, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        ASSERT_NE(owner_, nullptr);
        menuLoops = 0;
        onMenuIdle = nullptr;
    }
    void TearDown() override {
        activeDrag = nullptr;
        ownerBlock = nullptr;
        ::DestroyWindow(owner_);
        ::UnregisterClassA(kOwnerClass, ::GetModuleHandleA(nullptr));
    }
    RECT Rect() const {
        RECT r{};
        ::GetWindowRect(owner_, &r);
        return r;
    }
    HWND owner_ = nullptr;
    TRunnerControlBlock block_{};
};

std::vector<std::string> Items(HMENU menu) {
    std::vector<std::string> items;
    char text[32];
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        items.push_back(std::to_string(::GetMenuItemID(menu, i)) + ":" + text);
    }
    return items;
}

using PopupMenuTest = OwnWindowTest;

TEST_F(PopupMenuTest, BuiltFromTheSettingsInMenuOrder) {
    struct Case {
        bool close, setup, minimize;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {true, false, false, {"129:Close"}}, {true, true, true, {"129:Close", "130:Setup", "131:Minimize"}},
        {false, true, false, {"130:Setup"}}, {false, false, true, {"131:Minimize"}},
        {false, false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.close) + std::to_string(c.setup) + std::to_string(c.minimize));
        TPopupMenu menu(PopupMenuItems(c.close, c.setup, c.minimize));
        EXPECT_EQ(menu.Valid(), !c.items.empty());
        if (menu.Valid()) {
            EXPECT_EQ(Items(menu.Handle()), c.items);
        } else {
            EXPECT_FALSE(menu.Show(owner_, &block_)) << "no menu, nothing shown";
        }
    }
    EXPECT_EQ(menuLoops, 0);
}

int appendCalls = 0;
BOOL WINAPI AppendFailingSecond(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    return ++appendCalls == 2 ? FALSE : ::AppendMenuA(menu, flags, id, text);
}

TEST_F(PopupMenuTest, AnAppendThatFailsLeavesNoMenu) {
    appendCalls = 0;
    TPopupMenu menu(PopupMenuItems(true, true, true), &AppendFailingSecond);
    EXPECT_EQ(appendCalls, 2) << "no item is added after the failure";
    EXPECT_FALSE(menu.Valid());
    EXPECT_EQ(menu.Handle(), nullptr);
    EXPECT_FALSE(menu.Show(owner_, &block_));
    EXPECT_EQ(menuLoops, 0);
}

TEST_F(PopupMenuTest, ShownWithTheMenuOpenByteSetAndASecondRequestIgnored) {
    TPopupMenu menu(PopupMenuItems(true, false, true));
    uint8_t openWhileShown = 0;
    bool secondShown = true;
    onMenuIdle = [&](HWND) {
        openWhileShown = block_.MenuOpen;
        secondShown = menu.Show(owner_, &block_);  // WM_USER+9 arriving inside the menu loop
        ::EndMenu();
    };
    EXPECT_TRUE(menu.Show(owner_, &block_));
    EXPECT_EQ(openWhileShown, 1);
    EXPECT_FALSE(secondShown);
    EXPECT_EQ(menuLoops, 1);
    EXPECT_EQ(block_.MenuOpen, 0);

    block_.MenuOpen = 1;  // open elsewhere
    EXPECT_FALSE(menu.Show(owner_, &block_));
    EXPECT_FALSE(menu.Show(owner_, nullptr)) << "no control block";
    EXPECT_EQ(menuLoops, 1);
}

TEST_F(PopupMenuTest, OutsideActivationClosesTheMenuUnlessItNamesTheRunner) {
    TPopupMenu menu(PopupMenuItems(true, true, false));
    const HWND other = ::CreateWindowExA(0, kOwnerClass, "other", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                         ::GetModuleHandleA(nullptr), nullptr);
    TOutsideActivation self{}, outside{};
    bool stillOpenAfterSelf = false;
    onMenuIdle = [&](HWND) {
        self = menu.OnOutsideActivation(owner_, owner_, &block_);
        stillOpenAfterSelf = block_.MenuOpen == 1;
        outside = menu.OnOutsideActivation(owner_, other, &block_);  // closes the menu through WM_CANCELMODE
        // Only if it did not: a bounded wait, not a time limit.
        ::SetTimer(owner_, 77, 3000, [](HWND, UINT, UINT_PTR, DWORD) {
            fallbackClosed = true;
            ::EndMenu();
        });
    };
    fallbackClosed = false;
    EXPECT_TRUE(menu.Show(owner_, &block_));
    ::KillTimer(owner_, 77);
    EXPECT_FALSE(self.CloseMenu);
    EXPECT_TRUE(stillOpenAfterSelf);
    EXPECT_TRUE(outside.CloseMenu);
    EXPECT_TRUE(outside.SendNcInactive);
    EXPECT_FALSE(fallbackClosed) << "the menu stayed open";
    EXPECT_FALSE(menu.OnOutsideActivation(owner_, other, &block_).CloseMenu) << "closed menu";
    ::DestroyWindow(other);
}

TEST_F(PopupMenuTest, CommandsActOnTheirTargets) {
    struct Case {
        const char* name;
        TPopupCommand command;
        bool setupOpen, settingsChanged;
        int closes, setupRuns, restarts;
        bool dialogClosed, dialogFocused;
    };
    using C = TPopupCommand;
    const Case cases[] = {
        {"close", C::Close, false, false, 1, 0, 0, false, false},
        {"close while setup is open", C::Close, true, false, 0, 0, 0, true, false},
        {"setup without changes", C::Setup, false, false, 0, 1, 0, false, false},
        {"setup with changes", C::Setup, false, true, 1, 1, 1, false, false},
        {"setup while it is open", C::Setup, true, false, 0, 0, 0, false, true},
        {"none", C::None, false, false, 0, 0, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int closes = 0, setupRuns = 0, restarts = 0;
        // The setup dialog's own close and focus (tested with the dialog) answer whether
        // one was open.
        bool dialogClosed = false, dialogFocused = false;
        TPopupCommandHost host;
        host.RunnerWnd = owner_;
        host.CloseSetupDialog = [&] { return dialogClosed = c.setupOpen; };
        host.FocusSetupDialog = [&] { return dialogFocused = c.setupOpen; };
        host.CloseProjector = [&] { ++closes; };
        host.RunSetupDialog = [&] {
            ++setupRuns;
            return c.settingsChanged;
        };
        host.RequestRestart = [&] { ++restarts; };
        CarryOutPopupCommand(c.command, host);
        EXPECT_EQ(closes, c.closes);
        EXPECT_EQ(setupRuns, c.setupRuns);
        EXPECT_EQ(restarts, c.restarts);
        EXPECT_EQ(dialogClosed, c.dialogClosed);
        EXPECT_EQ(dialogFocused, c.dialogFocused);
    }
}

TEST_F(PopupMenuTest, MinimizeMinimisesTheRunnerWindow) {
    TPopupCommandHost host;
    host.RunnerWnd = owner_;
    CarryOutPopupCommand(TPopupCommand::Minimize, host);
    EXPECT_TRUE(harness::WaitUntil([&] { return ::IsIconic(owner_) != FALSE; }, 5000));
}

// A pointer the test moves; each timer step reads it once.
class ScriptedPointer : public IPointerState {
public:
    TPoint32 Cursor() override {
        ++reads;
        return at;
    }
    bool PrimaryButtonDown() override { return down; }
    TPoint32 at{500, 400};
    bool down = true;
    int reads = 0;
};

using DragRunnerTest = OwnWindowTest;

TEST_F(DragRunnerTest, MovesItsWindowPastTheSquareAndStopsOnRelease) {
    ScriptedPointer pointer;
    TDragRunner drag(owner_, pointer);
    activeDrag = &drag;
    const RECT start = Rect();
    // Lets the timer run a few steps at the current pointer.
    auto steps = [&](int n) {
        const int until = pointer.reads + n;
        ASSERT_TRUE(harness::WaitUntil([&] { return pointer.reads >= until || !drag.Running(); }, 5000));
    };

    EXPECT_FALSE(drag.Begin(WM_RBUTTONDOWN, &block_)) << "right button";
    block_.MenuOpen = 1;
    EXPECT_FALSE(drag.Begin(WM_LBUTTONDOWN, &block_)) << "menu open";
    block_.MenuOpen = 0;
    EXPECT_FALSE(drag.Begin(WM_LBUTTONDOWN, nullptr)) << "no control block";
    ASSERT_TRUE(drag.Begin(WM_LBUTTONDOWN, &block_));
    EXPECT_FALSE(drag.Begin(WM_LBUTTONDOWN, &block_)) << "already running";

    pointer.at = {507, 407};
    steps(3);
    EXPECT_EQ(Rect().left, start.left);
    EXPECT_EQ(Rect().top, start.top);
    pointer.at = {508, 400};
    steps(3);
    EXPECT_EQ(Rect().left, start.left + 8);
    EXPECT_EQ(Rect().top, start.top);
    pointer.at = {509, 400};
    steps(3);
    EXPECT_EQ(Rect().left, start.left + 9);
    EXPECT_EQ(Rect().right - Rect().left, start.right - start.left) << "size kept";

    pointer.down = false;
    ASSERT_TRUE(harness::WaitUntil([&] { return !drag.Running(); }, 5000));
    pointer.at = {600, 400};
    const int reads = pointer.reads;
    ::Sleep(100);
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
    EXPECT_EQ(pointer.reads, reads) << "the timer was stopped";
    EXPECT_EQ(Rect().left, start.left + 9);
}

TEST_F(DragRunnerTest, EndMessagesStopIt) {
    ScriptedPointer pointer;
    TDragRunner drag(owner_, pointer);
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool ends;
    };
    constexpr DWORD kProjectorThread = 4242;
    const Case cases[] = {
        {"WM_USER+10", WM_USER + 10, 0, 0, true},
        {"WM_USER+14", WM_USER + 14, 0, 0, true},
        {"WM_CANCELMODE", WM_CANCELMODE, 0, 0, true},
        {"deactivated towards another thread", WM_ACTIVATEAPP, 0, 99, true},
        {"deactivated towards the projector", WM_ACTIVATEAPP, 0, kProjectorThread, false},
        {"WM_USER+9", WM_USER + 9, 0, 0, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(drag.Begin(WM_LBUTTONDOWN, &block_)) << c.name;
        drag.OnMessage(c.message, c.wParam, c.lParam, kProjectorThread);
        EXPECT_EQ(drag.Running(), !c.ends) << c.name;
        drag.End();
    }
}

TEST_F(DragRunnerTest, NoTimerNoDrag) {
    ScriptedPointer pointer;
    // A window that is gone takes no timer.
    const HWND gone = ::CreateWindowExA(0, kOwnerClass, "gone", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr);
    ::DestroyWindow(gone);
    TDragRunner drag(gone, pointer);
    EXPECT_FALSE(drag.Begin(WM_LBUTTONDOWN, &block_));
    EXPECT_FALSE(drag.Running());
    EXPECT_FALSE(drag.Begin(WM_LBUTTONDOWN, &block_)) << "tried again, failed again";
    EXPECT_EQ(pointer.reads, 2) << "each request read the start point";
}

TEST_F(DragRunnerTest, SystemPointerFollowsThePrimaryButton) {
    TDragRunner drag(owner_);
    activeDrag = &drag;
    struct Case {
        const char* name;
        BOOL swapped;
        DWORD down, up;
    };
    const Case cases[] = {
        {"left button", FALSE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
        {"swapped: the right button", TRUE, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::SwapMouseButton(c.swapped);
        ASSERT_EQ(harness::MovePointerTo({20, 20}), "");  // outside the window
        harness::PressButtons({c.down});
        const RECT start = Rect();
        ASSERT_TRUE(drag.Begin(WM_LBUTTONDOWN, &block_));
        ASSERT_EQ(harness::MovePointerTo({32, 20}), "");
        EXPECT_TRUE(harness::WaitUntil([&] { return Rect().left == start.left + 12; }, 5000)) << Rect().left;
        EXPECT_TRUE(drag.Running()) << "the primary button is held";
        harness::PressButtons({c.up});
        EXPECT_TRUE(harness::WaitUntil([&] { return !drag.Running(); }, 5000));
    }
    ::SwapMouseButton(FALSE);
}

TEST_F(OwnWindowTest, MovieCommandKeepsTheCaption) {
    WriteBlockText(block_.DdeApplication, "App");
    WriteBlockText(block_.DdeTopic, "Topic");
    ownerBlock = &block_;
    struct Case {
        WPARAM selector;
        const char* text;
        bool command;
    };
    const Case cases[] = {
        {0, "QCOMMAND:quit", true},   {1, "QCOMMAND:quit", false},   {2, "qcommandw:x", false},
        {1, "dde:App:Topic:x", true}, {0, "dde:app:Topic:x", false}, {0, "qcommand", false},
    };
    for (const Case& c : cases) {
        ::SetWindowTextA(owner_, "caption");
        const LRESULT result = ::SendMessageA(owner_, WM_SETTEXT, c.selector, reinterpret_cast<LPARAM>(c.text));
        EXPECT_EQ(result, 1) << c.text;
        EXPECT_EQ(harness::WindowText(owner_), c.command ? "caption" : c.text) << c.text << " " << c.selector;
    }
}

}  // namespace
}  // namespace quindle
