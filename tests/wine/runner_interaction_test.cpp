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
#include "resources/dialogs.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Input.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

constexpr char kInstanceTag[] = "_QGL_RT";
constexpr UINT kOutsideActivationNotice = WM_USER + 7;
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
    // Presses the left button over the projector's centre, as a drag starts; the point.
    // The press reaches the runner through the projector's hook, which posts its notice
    // before the projector sees the press; the drag starts where the pointer stands when
    // the runner takes the notice in, so the pointer stays until it has.
    POINT PressOverProjector() {
        const POINT from = Centre(WindowRect(projectorWnd_));
        MoveTo(from);
        PressButtons({MOUSEEVENTF_LEFTDOWN});
        EXPECT_TRUE(WaitUntil([&] { return !show_->ReportValue("buttondown").empty(); })) << "the press never came";
        EXPECT_TRUE(WaitForRunnerNotices(runnerWnd_, kInstanceTag)) << "the runner never took in its notices";
        return from;
    }

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

constexpr WPARAM kSetup = 130;

std::string SectionKey(const std::string& showName) { return "Software\\Nimbrel Soft\\" + showName; }

// The top-level windows of process pid (class, caption, shown), for failure messages.
std::string WindowsOf(DWORD pid) {
    struct Query {
        DWORD pid;
        std::string list;
    } q{pid, ""};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* q = reinterpret_cast<Query*>(param);
            if (WindowProcessId(window) != q->pid) return TRUE;
            q->list += WindowClass(window) + " \"" + WindowText(window) + "\"" +
                       (::IsWindowVisible(window) ? " shown" : " hidden") + "; ";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&q));
    return q.list;
}

// The runner's setup dialog once it is shown and named after the show ("Title - Setup").
HWND WaitForSetupDialog(DWORD pid, const std::string& title) {
    const HWND dialog = WaitForTopWindow("#32770", title + " - Setup", pid);
    if (dialog) WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; });
    return dialog;
}

struct SetupEndCase {
    const char* name;
    // Ends the show the way a user or the system does while the setup dialog is open.
    void (*end)(HWND runnerWnd);
};
void PrintTo(const SetupEndCase& c, std::ostream* os) { *os << c.name; }

class SetupThenEnd : public RunnerInteraction, public ::testing::WithParamInterface<SetupEndCase> {};

// A changed box in the open setup dialog does not turn Close or a log-off into a restart:
// the show ends, and the choice is kept for the next start.
TEST_P(SetupThenEnd, EndsTheShowWithoutARestart) {
    const std::string name = std::string("SetupThen") + GetParam().name;
    RegDeleteTree(SectionKey(name));
    ASSERT_NO_FATAL_FAILURE(Start(name, "Zantic Screen Name=" + name + "\r\nSetupMenu=1\r\nMidi=2\r\n"));
    ::PostMessageA(runnerWnd_, WM_COMMAND, kSetup, 0);
    const HWND dialog = WaitForSetupDialog(runner_.Pid(), name);
    ASSERT_NE(dialog, nullptr) << "no setup dialog";
    ASSERT_TRUE(ClickButton(::GetDlgItem(dialog, IDC_SETUP_MIDI)));
    GetParam().end(runnerWnd_);
    ExpectCleanEnd();
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_EQ(RegGetString(SectionKey(name), "MidiMute"), std::optional<std::string>("1"));
    RegDeleteTree(SectionKey(name));
}

INSTANTIATE_TEST_SUITE_P(
    Runner, SetupThenEnd,
    ::testing::Values(SetupEndCase{"Close", [](HWND runnerWnd) { ::PostMessageA(runnerWnd, WM_COMMAND, kClose, 0); }},
                      SetupEndCase{"LogOff",
                                   [](HWND runnerWnd) {
                                       DWORD_PTR answer = 0;
                                       ::SendMessageTimeoutA(runnerWnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                                             SMTO_NORMAL, 10000, &answer);
                                       ::SendMessageTimeoutA(runnerWnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                                             SMTO_NORMAL, 10000, &answer);
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

// Setup with a changed box through the real runner: the show starts again from the
// beginning with the new choice in effect.
TEST_F(RunnerInteraction, AChangedSetupStartsTheShowAgain) {
    const std::string name = "SetupRestart";
    RegDeleteTree(SectionKey(name));
    PresentationSpec spec;
    spec.Name = name;
    spec.Ini = "[Settings]\r\nZantic Screen Name=" + name +
               "\r\nInteraction=1\r\nKeyInteraction=1\r\nSetupMenu=1\r\nRightClickMenu=2\r\n";
    spec.PackOptions = "--password \"Open Sesame\"";
    show_ = std::make_unique<Presentation>(spec);
    ASSERT_TRUE(show_->Packed()) << show_->PackOutput();
    runner_ = show_->Start();
    // The password prompt carries the show's title; the setup dialog's stays "Setup"
    // until the password is accepted.
    const auto enterPassword = [&] {
        const HWND prompt = WaitForTopWindow("#32770", name, runner_.Pid());
        ASSERT_NE(prompt, nullptr) << "no password prompt";
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(prompt) != FALSE; }));
        TypeText(::GetDlgItem(prompt, IDC_PW_EDIT), "Open Sesame");
        ASSERT_TRUE(PressButton(ReadDialog(prompt), "OK"));
    };
    const auto waitForShow = [&] {
        runnerWnd_ = WaitForRunnerWindow(runner_.Pid());
        ASSERT_NE(runnerWnd_, nullptr);
        projectorWnd_ = WaitForEmbeddedProjector(runnerWnd_);
        ASSERT_NE(projectorWnd_, nullptr);
        ASSERT_TRUE(WaitForSupervisedShow(kInstanceTag)) << "the runner never supervised the ready show";
    };
    ASSERT_NO_FATAL_FAILURE(enterPassword());
    ASSERT_NO_FATAL_FAILURE(waitForShow());
    EXPECT_EQ(Block()->NoRightClickMenu, 1) << "the projector's menu is off by default";
    const HWND firstRunnerWnd = runnerWnd_;
    const std::string firstProjector = show_->ReportValue("pid");
    ASSERT_TRUE(DirExists(show_->RunDir()));

    ::PostMessageA(runnerWnd_, WM_COMMAND, kSetup, 0);
    ASSERT_NO_FATAL_FAILURE(enterPassword());
    const HWND dialog = WaitForSetupDialog(runner_.Pid(), name);
    ASSERT_NE(dialog, nullptr) << "no setup dialog";
    ASSERT_TRUE(ClickButton(::GetDlgItem(dialog, IDC_SETUP_MENU)));
    ::PostMessageA(dialog, WM_CLOSE, 0, 0);

    // The next cycle asks for the password again, once the first show is gone entirely.
    const HWND prompt = WaitForTopWindow("#32770", name, runner_.Pid());
    ASSERT_NE(prompt, nullptr) << "no password prompt after the restart; running " << runner_.Running() << ": "
                               << WindowsOf(runner_.Pid());
    EXPECT_FALSE(::IsWindow(firstRunnerWnd)) << "the first cycle's runner window is still there";
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show_->Temp()).empty(); }, 5000))
        << "the first run directory is still there";
    ASSERT_NO_FATAL_FAILURE(enterPassword());
    ASSERT_NO_FATAL_FAILURE(waitForShow());
    EXPECT_NE(show_->ReportValue("pid"), firstProjector) << "the same projector";
    EXPECT_TRUE(DirExists(show_->RunDir()));
    EXPECT_EQ(Block()->NoRightClickMenu, 0) << "the new choice is not in effect";

    // The new cycle's menu opens on the hook library's request.
    ASSERT_EQ(MovePointerTo(Centre(WindowRect(projectorWnd_)), projectorWnd_), "");
    ::PostMessageA(runnerWnd_, kShowMenuNotice, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return VisibleMenuWindow(runner_.Pid()) != nullptr && Block()->MenuOpen == 1; }))
        << "no menu in the new cycle";
    ::PostMessageA(runnerWnd_, kOutsideActivationNotice, reinterpret_cast<WPARAM>(projectorWnd_), 0);
    EXPECT_TRUE(WaitUntil([&] { return VisibleMenuWindow(runner_.Pid()) == nullptr && Block()->MenuOpen == 0; }));
    ::PostMessageA(runnerWnd_, WM_USER + 12, 0, 0);
    ExpectCleanEnd();
    RegDeleteTree(SectionKey(name));
}

// Real pointer input over the projector: the hook library reports the press, the runner
// follows the pointer once it has left the 8-pixel square, and the release ends the drag.
TEST_F(RunnerInteraction, DraggedByItsContent) {
    ASSERT_NO_FATAL_FAILURE(
        Start("DragShow", "CustomSize=1\r\nWidth=400\r\nHeight=300\r\nRightClickMenu=1\r\nDraggable=1\r\n"));
    const RECT start = WindowRect(runnerWnd_);
    const POINT from = PressOverProjector();
    ASSERT_FALSE(HasFailure());

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
    ASSERT_TRUE(WaitForRunnerNotices(runnerWnd_, kInstanceTag)) << "the runner never took in its notices";
    MoveTo({from.x + 40, from.y + 40});
    EXPECT_FALSE(WaitUntil([&] { return !SameRect(WindowRect(runnerWnd_), Offset(start, 9, 9)); }, kQuietWaitMs))
        << "moved after the release";
    EXPECT_TRUE(runner_.Running());
}

struct DragEndCase {
    const char* name;
    // Sent while the drag runs; the window must stop following the pointer.
    void (*end)(HWND runnerWnd, HWND projectorWnd);
};
void PrintTo(const DragEndCase& c, std::ostream* os) { *os << c.name; }

class DragEnd : public RunnerInteraction, public ::testing::WithParamInterface<DragEndCase> {};

// A drag under way with the button still held ends on the runner's end messages: after
// them the window stays where it is whatever the pointer does.
TEST_P(DragEnd, StopsTheWindowFollowingThePointer) {
    ASSERT_NO_FATAL_FAILURE(
        Start(std::string("DragEnd") + GetParam().name, "CustomSize=1\r\nWidth=400\r\nHeight=300\r\nDraggable=1\r\n"));
    const RECT start = WindowRect(runnerWnd_);
    const POINT from = PressOverProjector();
    ASSERT_FALSE(HasFailure());
    MoveTo({from.x + 8, from.y});
    ASSERT_TRUE(WaitUntil([&] { return SameRect(WindowRect(runnerWnd_), Offset(start, 8, 0)); })) << "no drag";

    GetParam().end(runnerWnd_, projectorWnd_);
    ASSERT_TRUE(WaitForRunnerNotices(runnerWnd_, kInstanceTag)) << "the runner never took in its notices";
    MoveTo({from.x + 40, from.y});
    EXPECT_FALSE(WaitUntil([&] { return !SameRect(WindowRect(runnerWnd_), Offset(start, 8, 0)); }, kQuietWaitMs))
        << "still dragged";
    PressButtons({MOUSEEVENTF_LEFTUP});
    EXPECT_TRUE(runner_.Running());
}

INSTANTIATE_TEST_SUITE_P(Runner, DragEnd,
                         ::testing::Values(
                             // The user activated another program.
                             DragEndCase{"ActivateApp",
                                         [](HWND runnerWnd, HWND) {
                                             ::SendMessageA(runnerWnd, WM_ACTIVATEAPP, FALSE, ::GetCurrentThreadId());
                                         }},
                             // The runner's menu, opened over the drag, closed by an activation elsewhere.
                             DragEndCase{"OutsideActivationWithTheMenuOpen",
                                         [](HWND runnerWnd, HWND projectorWnd) {
                                             const DWORD pid = WindowProcessId(runnerWnd);
                                             ::PostMessageA(runnerWnd, kShowMenuNotice, 0, 0);
                                             ASSERT_TRUE(WaitUntil([&] {
                                                 return VisibleMenuWindow(pid) != nullptr && Block() &&
                                                        Block()->MenuOpen == 1;
                                             })) << "no menu";
                                             ::PostMessageA(runnerWnd, kOutsideActivationNotice,
                                                            reinterpret_cast<WPARAM>(projectorWnd), 0);
                                             EXPECT_TRUE(WaitUntil([&] { return VisibleMenuWindow(pid) == nullptr; }))
                                                 << "the menu stayed open";
                                         }}),
                         [](const auto& info) { return std::string(info.param.name); });

// An activation towards the projector's own thread is no reason to stop.
TEST_F(RunnerInteraction, DragGoesOnWhenTheProjectorIsActivated) {
    ASSERT_NO_FATAL_FAILURE(Start("DragProjectorActive", "CustomSize=1\r\nWidth=400\r\nHeight=300\r\nDraggable=1\r\n"));
    const RECT start = WindowRect(runnerWnd_);
    const POINT from = PressOverProjector();
    ASSERT_FALSE(HasFailure());
    ::SendMessageA(runnerWnd_, WM_ACTIVATEAPP, FALSE, ::GetWindowThreadProcessId(projectorWnd_, nullptr));
    MoveTo({from.x + 8, from.y});
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(runnerWnd_), Offset(start, 8, 0)); })) << "no drag";
    PressButtons({MOUSEEVENTF_LEFTUP});
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
        {0, "QCOMMAND:quit", true},
        {0, "QCommandW:play", true},
        {2, "qcommandw:x", false},
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
