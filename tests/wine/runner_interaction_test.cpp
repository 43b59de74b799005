// The user's interaction with a running presentation through the real packaged runner:
// its right-click menu and the menu's commands, the drag by the content with real
// pointer input, and movie commands sent to the runner window.
//
// Wine keeps menus per process, so the runner's menu is read the way a user sees it:
// its popup window ("#32768") of the runner's process, the size of that window against
// a menu of the expected items tracked in this process, the control block's menu-open
// byte, and what a click on each item does.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "contract/ControlBlock.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Input.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

constexpr char kInstanceTag[] = "_QGL_RT";
constexpr UINT kShowMenuNotice = WM_USER + 9;
constexpr DWORD kQuietWaitMs = 2000;  // long enough for many of the runner's 11 ms drag steps

std::optional<quindle::TRunnerControlBlock> Block() { return ReadControlBlock(kInstanceTag); }

std::string BlockText(const quindle::TBlockText& text) {
    return std::string(reinterpret_cast<const char*>(text), strnlen(reinterpret_cast<const char*>(text), sizeof text));
}

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}
bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }
RECT Offset(RECT r, int dx, int dy) {
    ::OffsetRect(&r, dx, dy);
    return r;
}
POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A visible popup menu window of process pid, or null.
HWND VisibleMenuWindow(DWORD pid) {
    struct Query {
        DWORD pid;
        HWND found;
    } q{pid, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* q = reinterpret_cast<Query*>(param);
            if (WindowClass(window) != "#32768" || WindowProcessId(window) != q->pid || !::IsWindowVisible(window)) {
                return TRUE;
            }
            q->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&q));
    return q.found;
}

// The size of a popup menu with these items as this system draws it: tracked here, in
// the test's own process, and closed as soon as it is up.
SIZE ReferenceMenuSize(const std::vector<std::string>& items) {
    static SIZE measured;
    measured = {0, 0};
    HWND owner = ::CreateWindowExA(0, "STATIC", "menu owner", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    HMENU menu = ::CreatePopupMenu();
    for (size_t i = 0; i < items.size(); ++i) ::AppendMenuA(menu, MF_STRING, 129 + i, items[i].c_str());
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND shown = VisibleMenuWindow(::GetCurrentProcessId())) {
            const RECT r = WindowRect(shown);
            measured = {r.right - r.left, r.bottom - r.top};
            ::EndMenu();
        }
    });
    ::TrackPopupMenu(menu, TPM_RETURNCMD, 200, 200, 0, owner, nullptr);
    ::KillTimer(nullptr, timer);
    ::DestroyMenu(menu);
    ::DestroyWindow(owner);
    return measured;
}

// A packed presentation started and shown with its projector ready.
class RunnerInteraction : public ::testing::Test {
protected:
    void Start(const std::string& name, const std::string& iniLines) {
        PresentationSpec spec;
        spec.Name = name;
        // The pointer and the keys are the user's: neither ends the show.
        spec.Ini = "[Settings]\r\nPassword=0\r\nInteraction=1\r\nKeyInteraction=1\r\n" + iniLines;
        show_ = std::make_unique<Presentation>(spec);
        ASSERT_TRUE(show_->Packed()) << show_->PackOutput();
        runner_ = show_->Start();
        runnerWnd_ = WaitForRunnerWindow(runner_.Pid());
        ASSERT_NE(runnerWnd_, nullptr);
        projectorWnd_ = WaitForEmbeddedProjector(runnerWnd_);
        ASSERT_NE(projectorWnd_, nullptr);
        ASSERT_TRUE(WaitForSupervisedShow(kInstanceTag)) << "the runner never supervised the ready show";
    }
    void TearDown() override {
        if (runner_.Started() && runner_.Running()) {
            ::PostMessageA(runnerWnd_, WM_USER + 12, 0, 0);
            runner_.WaitExit();
        }
    }

    // The pointer over the projector at p, moved there as a user moves it.
    void MoveTo(POINT p) { ASSERT_EQ(MovePointerTo(p, projectorWnd_), ""); }

    // Nothing happened to the show: it runs, and its projector was not asked to close.
    void ExpectShowGoesOn() {
        EXPECT_FALSE(runner_.WaitExit(kQuietWaitMs).has_value()) << "the show ended";
        EXPECT_TRUE(show_->ReportValue("wm_close").empty()) << "the projector was asked to close";
    }
    // The show ended as closing it should: exit code 0, the run directory and every other
    // entry of the temporary folder gone.
    void ExpectCleanEnd() {
        EXPECT_EQ(runner_.WaitExit(), std::optional<DWORD>(0));
        EXPECT_FALSE(show_->ReportValue("wm_close").empty()) << "the projector was not asked to close";
        EXPECT_TRUE(WaitUntil([&] { return ListDir(show_->Temp()).empty(); }, 5000));
        EXPECT_FALSE(DirExists(show_->RunDir()));
    }

    std::unique_ptr<Presentation> show_;
    Program runner_;
    HWND runnerWnd_ = nullptr;
    HWND projectorWnd_ = nullptr;
};

// What choosing a menu item does, as the user sees it.
enum class Effect { Close, Setup, Minimize };

struct MenuCase {
    const char* name;
    const char* ini;
    std::vector<std::string> items;  // in menu order; each one's effect follows from its text
};
void PrintTo(const MenuCase& c, std::ostream* os) { *os << c.name; }

Effect EffectOf(const std::string& item) {
    return item == "Close" ? Effect::Close : item == "Setup" ? Effect::Setup : Effect::Minimize;
}

class RunnerMenu : public RunnerInteraction, public ::testing::WithParamInterface<MenuCase> {
protected:
    // Posts WM_USER+9 with the pointer over the projector; the menu window once it is up
    // with the menu-open byte set, or null.
    HWND OpenMenu() {
        const std::string pointer = MovePointerTo(Centre(WindowRect(projectorWnd_)), projectorWnd_);
        EXPECT_EQ(pointer, "");
        if (!pointer.empty()) return nullptr;
        ::PostMessageA(runnerWnd_, kShowMenuNotice, 0, 0);
        HWND menu = nullptr;
        WaitUntil([&] {
            const auto block = Block();
            return (menu = VisibleMenuWindow(runner_.Pid())) != nullptr && block && block->MenuOpen == 1;
        });
        return menu;
    }
    // Clicks item index of count items on the menu window, as the user does. The press
    // and release carry the item's position themselves: a pointer movement still on its
    // way from before the menu opened must not move them elsewhere.
    void ClickItem(HWND menu, size_t index, size_t count) {
        const RECT r = WindowRect(menu);
        const int itemHeight = (r.bottom - r.top) / static_cast<int>(count);
        const POINT at{(r.left + r.right) / 2, r.top + itemHeight * static_cast<int>(index) + itemHeight / 2};
        ASSERT_EQ(MovePointerTo(at, menu), "");
        const DWORD x = static_cast<DWORD>(MulDiv(at.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1));
        const DWORD y = static_cast<DWORD>(MulDiv(at.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1));
        for (DWORD button : {DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP)}) {
            ::mouse_event(button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y, 0, 0);
        }
    }
};

TEST_P(RunnerMenu, HoldsTheItemsOfTheSettingsAndEachDoesItsCommand) {
    const MenuCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Start(std::string("Menu") + c.name, c.ini));
    if (c.items.empty()) {
        ::PostMessageA(runnerWnd_, kShowMenuNotice, 0, 0);
        EXPECT_FALSE(WaitUntil([&] { return VisibleMenuWindow(runner_.Pid()) != nullptr; }, kQuietWaitMs))
            << "a menu without items was shown";
        EXPECT_EQ(Block()->MenuOpen, 0);
        ExpectShowGoesOn();
        return;
    }
    const SIZE expected = ReferenceMenuSize(c.items);
    ASSERT_GT(expected.cy, 0) << "the reference menu was not measured";
    // From the last item to the first: Close, always first when present, ends the show.
    for (size_t i = c.items.size(); i-- > 0;) {
        SCOPED_TRACE(c.items[i]);
        HWND menu = OpenMenu();
        ASSERT_NE(menu, nullptr) << "no menu";
        const RECT r = WindowRect(menu);
        EXPECT_EQ(r.right - r.left, expected.cx);
        EXPECT_EQ(r.bottom - r.top, expected.cy);
        ASSERT_NO_FATAL_FAILURE(ClickItem(menu, i, c.items.size()));
        EXPECT_TRUE(WaitUntil([&] { return VisibleMenuWindow(runner_.Pid()) == nullptr && Block()->MenuOpen == 0; }))
            << "the menu stayed open";
        switch (EffectOf(c.items[i])) {
            case Effect::Minimize:
                EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(runnerWnd_) != FALSE; }));
                ::ShowWindow(runnerWnd_, SW_RESTORE);
                ASSERT_TRUE(WaitUntil([&] { return !::IsIconic(runnerWnd_); }));
                break;
            case Effect::Setup: {
                const auto dialog = WaitForDialog(runner_.Pid());
                ASSERT_TRUE(dialog.has_value()) << "no setup dialog";
                // Named after the show once it has set itself up.
                EXPECT_TRUE(
                    WaitUntil([&] { return WindowText(dialog->Window) == std::string("Menu") + c.name + " - Setup"; }));
                ::PostMessageA(dialog->Window, WM_CLOSE, 0, 0);  // closed unchanged: no restart
                ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog->Window); }));
                break;
            }
            case Effect::Close:
                ExpectCleanEnd();
                return;
        }
        EXPECT_TRUE(runner_.Running());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runner, RunnerMenu,
    ::testing::Values(
        MenuCase{"AllOn", "CloseMenu=1\r\nSetupMenu=1\r\nMinimizeMenu=1\r\n", {"Close", "Setup", "Minimize"}},
        MenuCase{"CloseOnly", "CloseMenu=1\r\nSetupMenu=0\r\nMinimizeMenu=0\r\n", {"Close"}},
        MenuCase{"SetupAndMinimize", "CloseMenu=0\r\nSetupMenu=1\r\nMinimizeMenu=1\r\n", {"Setup", "Minimize"}},
        MenuCase{"MinimizeOnly", "CloseMenu=0\r\nSetupMenu=0\r\nMinimizeMenu=1\r\n", {"Minimize"}},
        MenuCase{"AllOff", "CloseMenu=0\r\nSetupMenu=0\r\nMinimizeMenu=0\r\n", {}}),
    [](const auto& info) { return std::string(info.param.name); });

constexpr WPARAM kClose = 129;
constexpr WPARAM kMinimize = 131;

// Only a menu's own WM_COMMAND acts: notification code 0 and lParam 0.
TEST_F(RunnerInteraction, CloseCommandEndsTheShowOnlyAsAMenuCommand) {
    ASSERT_NO_FATAL_FAILURE(Start("CloseCommand", ""));
    ::PostMessageA(runnerWnd_, WM_COMMAND, kClose, 1);
    ::PostMessageA(runnerWnd_, WM_COMMAND, MAKEWPARAM(kClose, 1), 0);
    ExpectShowGoesOn();
    ::PostMessageA(runnerWnd_, WM_COMMAND, kClose, 0);
    ExpectCleanEnd();
}

TEST_F(RunnerInteraction, MinimizeCommandMinimisesTheRunnerOnlyAsAMenuCommand) {
    ASSERT_NO_FATAL_FAILURE(Start("MinimizeCommand", ""));
    ::PostMessageA(runnerWnd_, WM_COMMAND, kMinimize, 1);
    EXPECT_FALSE(WaitUntil([&] { return ::IsIconic(runnerWnd_) != FALSE; }, kQuietWaitMs));
    ::PostMessageA(runnerWnd_, WM_COMMAND, kMinimize, 0);
    EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(runnerWnd_) != FALSE; }));
    EXPECT_TRUE(runner_.Running());
}

// Real pointer input over the projector: the hook library reports the press, the runner
// follows the pointer once it has left the 8-pixel square, and the release ends the drag.
TEST_F(RunnerInteraction, DraggedByItsContent) {
    ASSERT_NO_FATAL_FAILURE(
        Start("DragShow", "CustomSize=1\r\nWidth=400\r\nHeight=300\r\nRightClickMenu=1\r\nDraggable=1\r\n"));
    const RECT start = WindowRect(runnerWnd_);
    const POINT from = Centre(WindowRect(projectorWnd_));
    MoveTo(from);
    // The press reaches the runner through the projector's hook, which posts its notice
    // before the projector sees the press, and the runner's queue.
    PressButtons({MOUSEEVENTF_LEFTDOWN});
    ASSERT_TRUE(WaitUntil([&] { return !show_->ReportValue("buttondown").empty(); })) << "the press never came";
    ASSERT_TRUE(WaitForPostedMessages(runnerWnd_)) << "the runner never took up its queue";

    MoveTo({from.x + 7, from.y + 7});
    EXPECT_FALSE(WaitUntil([&] { return !SameRect(WindowRect(runnerWnd_), start); }, kQuietWaitMs))
        << "moved inside the square";
    MoveTo({from.x + 8, from.y + 8});
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(runnerWnd_), Offset(start, 8, 8)); }))
        << "the first move is by the whole distance";
    MoveTo({from.x + 9, from.y + 9});
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(runnerWnd_), Offset(start, 9, 9)); }))
        << "then by each pixel";

    PressButtons({MOUSEEVENTF_LEFTUP});
    ASSERT_TRUE(WaitUntil([&] { return !show_->ReportValue("buttonup").empty(); })) << "the release never came";
    ASSERT_TRUE(WaitForPostedMessages(runnerWnd_)) << "the runner never took up its queue";
    MoveTo({from.x + 40, from.y + 40});
    EXPECT_FALSE(WaitUntil([&] { return !SameRect(WindowRect(runnerWnd_), Offset(start, 9, 9)); }, kQuietWaitMs))
        << "moved after the release";
    EXPECT_TRUE(runner_.Running());
}

// WM_SETTEXT to the real runner window: a movie command answers 1 and keeps the caption,
// any other text retitles the window.
TEST_F(RunnerInteraction, MovieCommandsKeepTheCaptionOtherTextsRetitle) {
    ASSERT_NO_FATAL_FAILURE(Start("CommandShow", "Zantic Screen Name=Command Show\r\n"));
    const auto block = Block();
    ASSERT_TRUE(block.has_value());
    const std::string dde = "dde:" + BlockText(block->DdeApplication) + ":" + BlockText(block->DdeTopic) + ":";
    const std::string otherDde = "dde:" + BlockText(block->DdeApplication) + "X:" + BlockText(block->DdeTopic) + ":";
    struct Case {
        WPARAM wParam;
        std::string text;
        bool command;
    };
    const Case cases[] = {
        {0, "qcommand:play", true},
        {0, "QCommandW:play", true},
        {0, "Plain title", false},
        {1, "qcommand:play", false},
        {0, "qcommand play", false},
        {0, "qcom", false},
        {0, dde + "page.htm", true},
        {1, dde + "page.htm", true},
        {2, dde + "page.htm", false},
        {0, "DDE:" + dde.substr(4) + "page.htm", true},
        {0, dde + "\"http://example.org\",,-1", true},
        {0, dde + "\"http://example.org\"", false},
        {0, otherDde + "page.htm", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.wParam) + " " + c.text);
        // A fresh caption before each case, so a retitle to the case's text is seen.
        const std::string before = "Caption " + std::to_string(++n);
        ::SetWindowTextA(runnerWnd_, before.c_str());
        ASSERT_EQ(WindowText(runnerWnd_), before);
        const LRESULT result =
            ::SendMessageA(runnerWnd_, WM_SETTEXT, c.wParam, reinterpret_cast<LPARAM>(c.text.c_str()));
        EXPECT_EQ(result, 1);
        EXPECT_EQ(WindowText(runnerWnd_), c.command ? before : c.text);
    }
    EXPECT_TRUE(runner_.Running());
}

}  // namespace
}  // namespace harness
