// The projector window control against real windows of this process: the search, the
// restyle into a runner window (also on the 9x path), the menu search over real menus,
// the z-order step and the raising step.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/win32/Handles.h"
#include "window/win32/ProjectorWindow.h"

namespace quindle {
namespace {

// The projector's class, registered in mixed case: the search folds case.
constexpr char kProjectorClass[] = "ShockWaveFLASH";
constexpr char kDecoyClass[] = "ShockwaveFlashX";
constexpr char kRunnerClass[] = "QgeomRunnerTest";
constexpr UINT kFullScreenId = 401;
constexpr UINT kDestroyYourself = WM_APP + 7;
constexpr DWORD kRunnerStyle = 0x80CF0000 | WS_CLIPCHILDREN;  // framed, resizable
constexpr DWORD kProjectorFramed = WS_OVERLAPPEDWINDOW;

// What the fake projector and the fake runner saw.
struct Observed {
    std::vector<UINT> Commands;
    std::vector<bool> VisibleAtCommand;
    std::vector<int> RestyleByteAtCommand;
    std::vector<WPARAM> RunnerRedraws;
    const uint8_t* RestyleByte = nullptr;
};
Observed observed;

// Like the projector: its full-screen command drops caption, frame and menu bar.
LRESULT CALLBACK FakeProjectorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const UINT id = LOWORD(wParam);
        observed.Commands.push_back(id);
        observed.VisibleAtCommand.push_back((::GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0);
        observed.RestyleByteAtCommand.push_back(observed.RestyleByte ? *observed.RestyleByte : -1);
        if (id == kFullScreenId) {
            HMENU menu = ::GetMenu(window);
            ::SetMenu(window, nullptr);
            if (menu) ::DestroyMenu(menu);
            const LONG style = ::GetWindowLongA(window, GWL_STYLE);
            ::SetWindowLongA(window, GWL_STYLE, (style & ~WS_OVERLAPPEDWINDOW) | WS_POPUP);
            ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        return 0;
    }
    if (message == kDestroyYourself) {
        ::DestroyWindow(window);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FakeRunnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETREDRAW) observed.RunnerRedraws.push_back(wParam);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void RegisterTestClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSA wc{};
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpfnWndProc = &FakeProjectorProc;
    wc.lpszClassName = kProjectorClass;
    ::RegisterClassA(&wc);
    wc.lpszClassName = kDecoyClass;
    ::RegisterClassA(&wc);
    wc.lpfnWndProc = &FakeRunnerProc;
    wc.lpszClassName = kRunnerClass;
    ::RegisterClassA(&wc);
}

void PumpAll() {
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&m);
        ::DispatchMessageA(&m);
    }
}

struct MenuSpec {
    const char* Top;
    std::vector<std::pair<const char*, UINT>> Items;  // a null text makes a separator
};

HMENU BuildMenuBar(const std::vector<MenuSpec>& bar) {
    HMENU menu = ::CreateMenu();
    for (const MenuSpec& top : bar) {
        HMENU sub = ::CreatePopupMenu();
        for (const auto& item : top.Items) {
            if (item.first)
                ::AppendMenuA(sub, MF_STRING, item.second, item.first);
            else
                ::AppendMenuA(sub, MF_SEPARATOR, 0, nullptr);
        }
        ::AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), top.Top);
    }
    return menu;
}

const std::vector<MenuSpec> kEnglishMenu = {
    {"&File", {{"&Open...", 100}, {"E&xit", 101}}},
    {"&View", {{"&Zoom In", 200}, {nullptr, 0}, {"Full &Screen\tCtrl+F", kFullScreenId}}},
};

class ProjectorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClasses();
        observed = {};
        screenW_ = ::GetSystemMetrics(SM_CXSCREEN);
        screenH_ = ::GetSystemMetrics(SM_CYSCREEN);
        settings_.Resizable.Checked = true;
        settings_.StartLeft = 10;
        settings_.StartTop = 20;
        settings_.StartWidth = 640;
        settings_.StartHeight = 480;
    }
    void TearDown() override {
        owned_.clear();
        PumpAll();
    }

    HWND Track(HWND window) {
        owned_.emplace_back(window);
        return window;
    }
    HWND MakeRunner(DWORD style = kRunnerStyle, DWORD exStyle = WS_EX_APPWINDOW) {
        return Track(::CreateWindowExA(exStyle, kRunnerClass, "Runner", style, settings_.StartLeft, settings_.StartTop,
                                       settings_.StartWidth, settings_.StartHeight, nullptr, nullptr,
                                       ::GetModuleHandleA(nullptr), nullptr));
    }
    HWND MakeProjector(DWORD style, HMENU menu, int x = 30, int y = 40, int w = 660, int h = 520,
                       const char* cls = kProjectorClass) {
        return Track(
            ::CreateWindowExA(0, cls, "Flash", style, x, y, w, h, nullptr, menu, ::GetModuleHandleA(nullptr), nullptr));
    }

    // The search as the launch runs it, then the restyle.
    TRestyleResult FindAndRestyle(HWND runner, const TPlatformFlags& platform = {false, false, false, true},
                                  bool newProjector = false) {
        TProjectorSearch search;
        search.Settings = &settings_;
        search.Metrics = ReadFrameMetrics();
        search.MaxWidth = screenW_;
        search.MaxHeight = screenH_;
        search.Box = {settings_.StartLeft, settings_.StartTop, settings_.StartWidth, settings_.StartHeight};
        EXPECT_TRUE(SearchProjectorWindow(::GetCurrentThreadId(), search));
        RECT client{};
        ::GetClientRect(runner, &client);
        TRestyleInput in;
        in.RunnerWnd = runner;
        in.ProjectorWnd = search.ProjectorWnd;
        in.Settings = &settings_;
        in.Platform = platform;
        in.Box = search.Box;
        in.AreaW = client.right;
        in.AreaH = client.bottom;
        in.WorkRect = {0, 0, screenW_, screenH_};
        in.RestyleByte = &restyleByte_;
        in.NewProjector = newProjector;
        in.PumpMessages = &PumpAll;
        observed.RestyleByte = &restyleByte_;
        return RestyleProjectorWindow(in);
    }

    static RECT WindowRect(HWND w) {
        RECT r{};
        ::GetWindowRect(w, &r);
        return r;
    }
    static void ExpectRectIsBox(HWND w, const TWindowBox& box) {
        const RECT r = WindowRect(w);
        EXPECT_EQ(r.left, box.Left);
        EXPECT_EQ(r.top, box.Top);
        EXPECT_EQ(r.right - r.left, box.Width);
        EXPECT_EQ(r.bottom - r.top, box.Height);
    }
    // The projector fills the runner's client area from its top-left corner.
    static void ExpectProjectorFillsClient(HWND runner, HWND projector, const TRestyleResult& result) {
        EXPECT_EQ(::GetAncestor(projector, GA_PARENT), runner);
        RECT client{};
        ::GetClientRect(runner, &client);
        EXPECT_EQ(client.right, result.AreaW);
        EXPECT_EQ(client.bottom, result.AreaH);
        RECT p = WindowRect(projector);
        ::MapWindowPoints(nullptr, runner, reinterpret_cast<POINT*>(&p), 2);
        EXPECT_EQ(p.left, 0);
        EXPECT_EQ(p.top, 0);
        EXPECT_EQ(p.right, result.AreaW);
        EXPECT_EQ(p.bottom, result.AreaH);
        EXPECT_TRUE(::IsWindowVisible(projector));
    }

    TProjectSettings settings_;
    int screenW_ = 0;
    int screenH_ = 0;
    uint8_t restyleByte_ = 0;
    std::vector<TUniqueWindow> owned_;
};

TEST_F(ProjectorWindowTest, SearchSkipsOtherClassesAndTakesTheSizeFromAFramedWindow) {
    settings_.HorizontalAlignment = 2;
    HWND projector = MakeProjector(kProjectorFramed, BuildMenuBar(kEnglishMenu));
    // Enumerated first (most recent on top), but one character too long.
    MakeProjector(kProjectorFramed, nullptr, 0, 0, 300, 200, kDecoyClass);
    TProjectorSearch search;
    search.Settings = &settings_;
    search.Metrics = ReadFrameMetrics();
    search.MaxWidth = screenW_;
    search.MaxHeight = screenH_;
    search.Box = {10, 20, 640, 480};
    ASSERT_TRUE(SearchProjectorWindow(::GetCurrentThreadId(), search));
    EXPECT_EQ(search.ProjectorWnd, projector);
    ASSERT_TRUE(search.SizeTaken);
    const TWindowBox expected{30, 20, 660, 520 - ::GetSystemMetrics(SM_CYMENU)};
    EXPECT_EQ(search.Box, expected);
    EXPECT_EQ(search.RefWidth, expected.Width);
    EXPECT_EQ(search.RefHeight, expected.Height);
}

TEST_F(ProjectorWindowTest, SearchKeepsTheSettingsRectangleInFullScreenAndFindsNothingElsewhere) {
    settings_.FullScreen.Checked = true;
    HWND projector = MakeProjector(kProjectorFramed, nullptr);
    TProjectorSearch search;
    search.Settings = &settings_;
    search.Box = {10, 20, 640, 480};
    ASSERT_TRUE(SearchProjectorWindow(::GetCurrentThreadId(), search));
    EXPECT_EQ(search.ProjectorWnd, projector);
    EXPECT_FALSE(search.SizeTaken);
    EXPECT_EQ(search.Box, (TWindowBox{10, 20, 640, 480}));

    // A thread without a projector window: nothing found.
    TProjectorSearch none;
    none.Settings = &settings_;
    DWORD otherThread = 0;
    HANDLE thread = ::CreateThread(
        nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, &otherThread);
    ASSERT_NE(thread, nullptr);
    ::WaitForSingleObject(thread, 5000);
    ::CloseHandle(thread);
    EXPECT_FALSE(SearchProjectorWindow(otherThread, none));
    EXPECT_EQ(none.ProjectorWnd, nullptr);
}

TEST_F(ProjectorWindowTest, RestyleTakesAFramedProjectorIntoTheRunner) {
    settings_.HorizontalAlignment = 2;
    settings_.VerticalAlignment = 2;
    HWND runner = MakeRunner();
    HWND projector = MakeProjector(kProjectorFramed, BuildMenuBar(kEnglishMenu));
    const TRestyleResult result = FindAndRestyle(runner);

    EXPECT_EQ(result.FullScreenCmd, kFullScreenId);
    EXPECT_EQ(observed.Commands, std::vector<UINT>{kFullScreenId});
    EXPECT_EQ(observed.VisibleAtCommand, std::vector<bool>{true});  // shown, but off screen
    EXPECT_EQ(observed.RestyleByteAtCommand, std::vector<int>{1});
    EXPECT_EQ(restyleByte_, 0);
    EXPECT_EQ(observed.RunnerRedraws, std::vector<WPARAM>{TRUE});

    const int height = 520 - ::GetSystemMetrics(SM_CYMENU);
    EXPECT_EQ(result.Box, (TWindowBox{(screenW_ - 660) / 2, (screenH_ - height) / 2, 660, height}));
    ExpectRectIsBox(runner, result.Box);
    EXPECT_TRUE(::IsWindowVisible(runner));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(runner, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), kRunnerStyle);
    EXPECT_EQ(::GetMenu(projector), nullptr);
    EXPECT_EQ(::GetWindowLongA(projector, GWL_STYLE) & WS_CAPTION, 0);
    ExpectProjectorFillsClient(runner, projector, result);
}

TEST_F(ProjectorWindowTest, RestyleOnTheNineXFamilyParksTheRunnerAndBringsItBack) {
    HWND runner = MakeRunner();
    HWND projector = MakeProjector(kProjectorFramed, BuildMenuBar(kEnglishMenu));
    const TRestyleResult result = FindAndRestyle(runner, {false, true, false, false}, true);

    EXPECT_EQ(observed.Commands, std::vector<UINT>{kFullScreenId});
    EXPECT_EQ(observed.RunnerRedraws, (std::vector<WPARAM>{FALSE, TRUE}));
    EXPECT_EQ(::GetPriorityClass(::GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(::GetThreadPriority(::GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(result.Box, (TWindowBox{10, 20, 660, 520 - ::GetSystemMetrics(SM_CYMENU)}));
    ExpectRectIsBox(runner, result.Box);
    EXPECT_TRUE(::IsWindowVisible(runner));
    ExpectProjectorFillsClient(runner, projector, result);
    EXPECT_EQ(restyleByte_, 0);
}

TEST_F(ProjectorWindowTest, CustomFullScreenOnNineXDoesNotStayOffScreen) {
    settings_.FullScreen.Checked = true;
    settings_.CustomSize.Checked = true;
    settings_.HideCaption.Checked = true;
    settings_.StartLeft = 0;
    settings_.StartTop = 0;
    settings_.StartWidth = screenW_;
    settings_.StartHeight = screenH_;
    HWND runner = MakeRunner(0x800C0000 | WS_CLIPCHILDREN, WS_EX_APPWINDOW | WS_EX_TOPMOST);
    HWND projector = MakeProjector(kProjectorFramed, BuildMenuBar(kEnglishMenu));
    const TRestyleResult result = FindAndRestyle(runner, {false, false, true, false});

    EXPECT_EQ(result.Box, (TWindowBox{0, 0, screenW_, screenH_}));
    ExpectRectIsBox(runner, result.Box);
    ExpectProjectorFillsClient(runner, projector, result);
}

TEST_F(ProjectorWindowTest, UnknownMenuFallsBackTo20048) {
    HWND runner = MakeRunner();
    HWND projector = MakeProjector(kProjectorFramed, BuildMenuBar({{"&Datei", {{"&Beenden", 101}}}}));
    const TRestyleResult result = FindAndRestyle(runner);
    EXPECT_EQ(result.FullScreenCmd, 20048u);
    EXPECT_EQ(observed.Commands, std::vector<UINT>{20048});
    EXPECT_EQ(::GetAncestor(projector, GA_PARENT), runner);
}

TEST_F(ProjectorWindowTest, AnUnframedProjectorIsTakenInWithoutACommand) {
    HWND runner = MakeRunner();
    HWND projector = MakeProjector(WS_POPUP, nullptr, 0, 0, 500, 400);
    const TRestyleResult result = FindAndRestyle(runner);
    EXPECT_EQ(result.FullScreenCmd, 0u);
    EXPECT_TRUE(observed.Commands.empty());
    EXPECT_TRUE(observed.RunnerRedraws.empty());
    const TFrameMetrics m = ReadFrameMetrics();
    EXPECT_EQ(result.Box, (TWindowBox{10, 20, 500 + 2 * m.CxFrame, 400 + m.CyCaption + 2 * m.CyFrame}));
    ExpectRectIsBox(runner, result.Box);
    ExpectProjectorFillsClient(runner, projector, result);
}

TEST_F(ProjectorWindowTest, AProjectorThatVanishesBeforeTheSwitchLeavesTheRunnerShown) {
    HWND runner = MakeRunner();
    HWND projector = MakeProjector(kProjectorFramed, BuildMenuBar(kEnglishMenu));
    ::PostMessageA(projector, kDestroyYourself, 0, 0);  // delivered by the restyle's pump
    const TRestyleResult result = FindAndRestyle(runner);
    EXPECT_FALSE(::IsWindow(projector));
    EXPECT_EQ(result.FullScreenCmd, 20048u);
    EXPECT_TRUE(observed.Commands.empty());
    EXPECT_TRUE(::IsWindowVisible(runner));
    ExpectRectIsBox(runner, result.Box);
    EXPECT_EQ(restyleByte_, 0);
}

TEST_F(ProjectorWindowTest, MenuSearchOverRealMenus) {
    struct Case {
        const char* name;
        std::vector<MenuSpec> bar;
        uint32_t expected;
    };
    const Case cases[] = {
        {"English", kEnglishMenu, kFullScreenId},
        {"German", {{"&Datei", {{"&Beenden", 1}}}, {"&Ansicht", {{"&Vollbild\tStrg+F", 77}}}}, 77},
        {"Portuguese", {{"&Exibir", {{"&Tela Inteirathen\tCtrl+F", 55}}}}, 55},
        {"view in another case", {{"&view", {{"Full &Screen\tCtrl+F", 9}}}}, 20048},
        {"item in another case", {{"&Ansicht", {{"&vollbild", 9}}}}, 20048},
        {"only the first view menu counts", {{"&View", {{"&Zoom", 3}}}, {"&Ansicht", {{"&Vollbild", 9}}}}, 20048},
        {"no menu bar", {}, 20048},
    };
    for (const Case& c : cases) {
        HMENU bar = c.bar.empty() ? nullptr : BuildMenuBar(c.bar);
        TUniqueWindow window(::CreateWindowExA(0, kProjectorClass, "", kProjectorFramed, 0, 0, 300, 200, nullptr, bar,
                                               ::GetModuleHandleA(nullptr), nullptr));
        ASSERT_TRUE(window) << c.name;
        EXPECT_EQ(FindFullScreenCommand(window.get()), c.expected) << c.name;
    }
    EXPECT_EQ(FindFullScreenCommand(nullptr), 20048u);
}

TEST_F(ProjectorWindowTest, ZOrderPutsTheRunnerDirectlyBelowTheProjector) {
    HWND projector = MakeProjector(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 200, 200);
    HWND runner = MakeRunner(kRunnerStyle | WS_VISIBLE);
    HWND decoy = MakeProjector(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 50, 50, kDecoyClass);
    // Where new windows land depends on what else the desktop shows; set the start order:
    // the decoy directly below the projector, so the runner is not.
    ::SetWindowPos(decoy, projector, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ASSERT_NE(::GetWindow(projector, GW_HWNDNEXT), runner);
    KeepRunnerBehindProjector(runner, projector);
    EXPECT_EQ(::GetWindow(projector, GW_HWNDNEXT), runner);
}

TEST_F(ProjectorWindowTest, ZOrderLiftsTheProjectorsDialogsAboveATopmostRunner) {
    HWND runner = MakeRunner(kRunnerStyle | WS_VISIBLE, WS_EX_APPWINDOW | WS_EX_TOPMOST);
    HWND projector = MakeProjector(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 200, 200);
    HWND dialog = Track(::CreateWindowExA(0, kDecoyClass, "Dialog", WS_POPUP | WS_VISIBLE, 0, 0, 80, 60, projector,
                                          nullptr, ::GetModuleHandleA(nullptr), nullptr));
    HWND stranger = MakeProjector(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 50, 50, kDecoyClass);
    // Taken in as the runner's content, as during a presentation.
    ::SetParent(projector, runner);
    ASSERT_EQ(::GetWindow(dialog, GW_OWNER), projector);
    ASSERT_EQ(::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    KeepRunnerBehindProjector(runner, projector);
    EXPECT_NE(::GetWindowLongA(runner, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_NE(::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(::GetWindowLongA(stranger, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(ProjectorWindowTest, ZOrderLeavesDialogsAloneBehindARunnerThatIsNotTopmost) {
    HWND runner = MakeRunner(kRunnerStyle | WS_VISIBLE);
    HWND projector = MakeProjector(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 200, 200);
    HWND dialog = Track(::CreateWindowExA(0, kDecoyClass, "Dialog", WS_POPUP | WS_VISIBLE, 0, 0, 80, 60, projector,
                                          nullptr, ::GetModuleHandleA(nullptr), nullptr));
    KeepRunnerBehindProjector(runner, projector);
    EXPECT_EQ(::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(ProjectorWindowTest, RaisingFollowsAlwaysOnTopAndNeedsTheControlBlock) {
    HWND runner = MakeRunner(kRunnerStyle | WS_VISIBLE);
    HWND projector = MakeProjector(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, 200, 200);
    auto topmost = [runner] { return (::GetWindowLongA(runner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };

    RaiseRunnerWindow({false, runner, projector, true, true, false});
    EXPECT_FALSE(topmost()) << "without a control block nothing happens";
    RaiseRunnerWindow({true, runner, nullptr, true, true, false});
    EXPECT_FALSE(topmost()) << "without a projector window only the caption is redrawn";
    RaiseRunnerWindow({true, runner, projector, true, true, false});
    EXPECT_TRUE(topmost());
    RaiseRunnerWindow({true, runner, projector, false, false, false});
    EXPECT_FALSE(topmost());
    // Brought to the top of the non-topmost windows: nothing of ours above it.
    EXPECT_NE(::GetWindow(runner, GW_HWNDPREV), projector);
}

}  // namespace
}  // namespace quindle
