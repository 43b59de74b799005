// Shows on a display with two monitors side by side: the primary 1024 x 768 at 0,0 and
// a second one 800 x 600 at 1024,0 (Xorg with the dummy driver; scripts/with-wine.sh
// starts it with QUINDLE_TWO_SCREENS=1, and without that variable these tests are
// skipped). The Screen setting puts a show, its window and its password dialog on the
// screen it names.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

constexpr RECT kPrimary{0, 0, 1024, 768};
constexpr RECT kSecond{1024, 0, 1824, 600};
constexpr POINT kOnPrimary{500, 400};
constexpr POINT kOnSecond{1400, 300};

// Rectangles compare and print as text: "left,top to right,bottom".
std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " to " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
    return TRUE;
}

class TwoScreens : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("QUINDLE_TWO_SCREENS"))
            GTEST_SKIP() << "needs the two-screen display: QUINDLE_TWO_SCREENS=1 scripts/with-wine.sh";
        std::vector<RECT> monitors;
        ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
        ASSERT_EQ(monitors.size(), 2u);
        ASSERT_EQ(Text(monitors[0]), Text(kPrimary));
        ASSERT_EQ(Text(monitors[1]), Text(kSecond));
    }

    // Packs a show of the stand-in with these settings and starts it with the pointer at pointer.
    Program StartShow(const std::string& name, const std::string& ini, POINT pointer = kOnPrimary,
                      const std::string& packOptions = "", const std::string& arguments = "") {
        PresentationSpec spec;
        spec.Name = name;
        spec.Ini = ini;
        spec.PackOptions = packOptions;
        show_ = std::make_unique<Presentation>(spec);
        EXPECT_TRUE(show_->Packed()) << show_->PackOutput();
        EXPECT_TRUE(::SetCursorPos(pointer.x, pointer.y));
        return show_->Start({}, arguments);
    }

    std::unique_ptr<Presentation> show_;
};

bool OnTheSecondScreen(const RECT& r) {
    return r.left >= kSecond.left && r.right <= kSecond.right && r.top >= kSecond.top && r.bottom <= kSecond.bottom;
}

struct ScreenCase {
    const char* name;
    const char* ini;
    POINT pointer;
    RECT expected;
};

void PrintTo(const ScreenCase& c, std::ostream* os) { *os << c.name; }

class ShowScreen : public TwoScreens, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(ShowScreen, PutsTheRunnerWindowOnTheChosenScreen) {
    const ScreenCase& c = GetParam();
    Program runner = StartShow(std::string("Screen") + c.name, IniWith(c.ini), c.pointer);
    const HWND runnerWnd = WaitForShow(runner);
    ASSERT_NE(runnerWnd, nullptr) << "the show did not come up";
    WaitUntil([&] { return Text(WindowRect(runnerWnd)) == Text(c.expected); }, 5000);
    EXPECT_EQ(Text(WindowRect(runnerWnd)), Text(c.expected));
    EXPECT_EQ(CloseShow(runnerWnd, runner), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show_->Temp()).empty(); }, 5000));
}

INSTANTIATE_TEST_SUITE_P(
    TwoScreens, ShowScreen,
    ::testing::Values(
        ScreenCase{"FullOnTheSecond", "FullScreen=1\r\nScreen=2\r\n", kOnPrimary, kSecond},
        ScreenCase{"FullUnderThePointer", "FullScreen=1\r\nScreen=-1\r\n", kOnSecond, kSecond},
        ScreenCase{"FullOnThePrimary", "FullScreen=1\r\nScreen=0\r\n", kOnSecond, kPrimary},
        ScreenCase{"FullOnAMissingScreen", "FullScreen=1\r\nScreen=3\r\n", kOnSecond, kPrimary},
        // 400 x 300 centred on the second screen: (1024 + 1824 - 400) / 2, (0 + 600 - 300) / 2.
        ScreenCase{"CentredOnTheSecond",
                   "CustomSize=1\r\nWidth=400\r\nHeight=300\r\nAlignmentH=2\r\nAlignmentV=2\r\nScreen=2\r\n",
                   kOnPrimary,
                   {1224, 150, 1624, 450}},
        ScreenCase{"RightEdgeOfTheSecond",
                   "CustomSize=1\r\nWidth=400\r\nHeight=300\r\nAlignmentH=3\r\nAlignmentV=1\r\nScreen=2\r\n",
                   kOnPrimary,
                   {1424, 0, 1824, 300}},
        ScreenCase{"LeftAndTopFromTheSecondsCorner",
                   "CustomSize=1\r\nWidth=400\r\nHeight=300\r\nAlignmentH=0\r\nAlignmentV=0\r\nLeft=10\r\nTop="
                   "20\r\nScreen=2\r\n",
                   kOnPrimary,
                   {1034, 20, 1434, 320}}),
    [](const ::testing::TestParamInfo<ScreenCase>& info) { return std::string(info.param.name); });

TEST_F(TwoScreens, ThePasswordDialogIsCentredOnTheShowsScreen) {
    Program runner =
        StartShow("ScreenPassword", "[Settings]\r\nFullScreen=1\r\nScreen=2\r\n", kOnPrimary, "--password \"secret\"");
    const std::optional<Dialog> dialog = WaitForDialog(runner.Pid());
    ASSERT_TRUE(dialog.has_value()) << "no password dialog";
    const RECT r = WindowRect(dialog->Window);
    const LONG width = r.right - r.left, height = r.bottom - r.top;
    EXPECT_EQ(r.left, kSecond.left + (kSecond.right - kSecond.left) / 2 - width / 2) << Text(r);
    EXPECT_EQ(r.top, kSecond.top + (kSecond.bottom - kSecond.top) / 2 - height / 2) << Text(r);
    ASSERT_TRUE(PressButton(*dialog, "Cancel"));
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));
}

// The Setup item of the runner's menu (command 130) during a show on the second screen.
TEST_F(TwoScreens, TheSetupDialogOpensOnTheShowsScreen) {
    Program runner = StartShow("ScreenSetup", IniWith("FullScreen=1\r\nScreen=2\r\nSetupMenu=1\r\n"));
    const HWND runnerWnd = WaitForShow(runner);
    ASSERT_NE(runnerWnd, nullptr) << "the show did not come up";
    ASSERT_TRUE(WaitForSupervisedShow("_QGL_RT"));
    ::PostMessageA(runnerWnd, WM_COMMAND, 130, 0);
    const std::optional<Dialog> dialog = WaitForDialog(runner.Pid());
    ASSERT_TRUE(dialog.has_value()) << "no setup dialog";
    const RECT r = WindowRect(dialog->Window);
    EXPECT_TRUE(OnTheSecondScreen(r)) << Text(r);
    ::PostMessageA(dialog->Window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog->Window); }));
    EXPECT_EQ(CloseShow(runnerWnd, runner), std::optional<DWORD>(0));
}

// Opened by "/C" (no show runs): the dialog stands on the screen the show would use.
TEST_F(TwoScreens, TheSetupDialogOfTheSetupSwitchOpensOnTheShowsScreen) {
    Program runner = StartShow("ScreenSetupSwitch", IniWith("Screen=2\r\n"), kOnPrimary, "", "/C");
    const std::optional<Dialog> dialog = WaitForDialog(runner.Pid());
    ASSERT_TRUE(dialog.has_value()) << "no setup dialog";
    const RECT r = WindowRect(dialog->Window);
    EXPECT_TRUE(OnTheSecondScreen(r)) << Text(r);
    ::PostMessageA(dialog->Window, WM_CLOSE, 0, 0);
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace harness
