// A presentation's whole life under Wine with the stand-in projector and the hook
// library: the run directory, the projector's start and environment, its window taken
// into the runner's, the ready notice, the ways to close it, and the traces left.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>

#include "contract/ControlBlock.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

using quindle::TRunnerControlBlock;

// A running presentation with its windows found.
struct RunningShow {
    Program Runner;
    HWND RunnerWnd = nullptr;
    HWND ProjectorWnd = nullptr;
};

RunningShow StartAndWaitForProjector(const Presentation& show, const std::map<std::string, std::string>& env = {}) {
    RunningShow running{show.Start(env)};
    running.RunnerWnd = WaitForRunnerWindow(running.Runner.Pid());
    if (running.RunnerWnd) running.ProjectorWnd = WaitForEmbeddedProjector(running.RunnerWnd);
    return running;
}

// The hook library's ready notice is in the first session's block.
bool WaitForReadyProjector() {
    return WaitUntil([] {
        const auto block = ReadControlBlock("_QGL_RT");
        return block && block->Ready == 1;
    });
}

// The presentation ended cleanly: exit code 0 and nothing left in the temporary folder.
void ExpectCleanEnd(RunningShow& running, const Presentation& show) {
    EXPECT_EQ(running.Runner.WaitExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000))
        << "left in the temporary folder: " << (ListDir(show.Temp()).empty() ? "" : ListDir(show.Temp()).front());
    EXPECT_EQ(show.ReportValue("exit").empty(), false) << "the projector did not report its exit";
}

TEST(Presentation, WholeLifeInTheRunDirectory) {
    PresentationSpec spec;
    spec.Name = "LifeShow";
    spec.Ini = IniWith("CurrentDir=1\r\nZantic Screen Name=Life Show\r\n");
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    RunningShow running = StartAndWaitForProjector(show);
    ASSERT_NE(running.RunnerWnd, nullptr);
    ASSERT_NE(running.ProjectorWnd, nullptr);

    // Started from the run directory, with the runner's identities in its environment.
    const std::string runDir = show.RunDir() + "\\";
    EXPECT_TRUE(DirExists(show.RunDir()));
    EXPECT_EQ(show.ReportValue("module"), runDir + "standin.exe");
    EXPECT_EQ(show.ReportValue("cwd"), show.RunDir());
    EXPECT_EQ(show.ReportValue("env.QuindleLocalDir_Engine"), show.ExePath());
    EXPECT_EQ(show.ReportValue("env.QuindleEngine_ID"), std::to_string(running.Runner.Pid()));
    const std::string runnerHandle =
        std::to_string(static_cast<int32_t>(reinterpret_cast<uintptr_t>(running.RunnerWnd)));
    EXPECT_EQ(show.ReportValue("env.QuindleEngine_WH"), runnerHandle);
    EXPECT_EQ(show.ReportValue("env.LifeShow.exe"), runnerHandle);
    EXPECT_EQ(show.ReportValue("env.QuindleLocalDir_Projector"), runDir + "standin.exe");
    EXPECT_EQ(show.ReportValue("env.QuindleLocalDir_RootDir"), runDir);
    EXPECT_EQ(show.ReportValue("env.QuindleLocalDir_InitialDir"), show.RunDir());

    // The hook library's ready notice reached the runner; the block knows the projector.
    std::optional<TRunnerControlBlock> block;
    EXPECT_TRUE(WaitUntil(
        [&] { return (block = ReadControlBlock("_QGL_RT")) && block->Ready == 1 && block->Supervising == 1; }, 10000));
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->ProjectorWnd, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(running.ProjectorWnd)));
    EXPECT_EQ(block->NewProjector, 1);  // the stand-in says product version 6.0
    EXPECT_EQ(block->RunnerWnd, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(running.RunnerWnd)));

    // Taken in as a child of the runner window, shown, and (once the supervision runs)
    // sized to the runner's client area.
    EXPECT_EQ(WindowText(running.RunnerWnd), "Life Show");
    EXPECT_TRUE(WaitUntil([&] { return show.ReportValue("parent") == "MumuQuindleWindow"; }, 5000));
    EXPECT_EQ(::GetAncestor(running.ProjectorWnd, GA_PARENT), running.RunnerWnd);
    EXPECT_TRUE(::IsWindowVisible(running.ProjectorWnd));
    RECT client{}, projector{};
    POINT origin{0, 0};
    WaitUntil(
        [&] {
            ::GetClientRect(running.RunnerWnd, &client);
            ::GetWindowRect(running.ProjectorWnd, &projector);
            origin = {0, 0};
            ::ClientToScreen(running.RunnerWnd, &origin);
            return projector.right - projector.left == client.right &&
                   projector.bottom - projector.top == client.bottom;
        },
        5000);
    EXPECT_EQ(projector.left, origin.x);
    EXPECT_EQ(projector.top, origin.y);
    EXPECT_EQ(projector.right - projector.left, client.right);
    EXPECT_EQ(projector.bottom - projector.top, client.bottom);

    ::PostMessageA(running.RunnerWnd, WM_USER + 12, 0, 0);
    ExpectCleanEnd(running, show);
}

// Any process can post the start notice; one that arrives during the show changes nothing.
TEST(Presentation, AStartNoticeDuringTheShowIsIgnored) {
    PresentationSpec spec;
    spec.Name = "RestartShow";
    spec.Ini = IniWith("CurrentDir=1\r\n");
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    RunningShow running = StartAndWaitForProjector(show);
    ASSERT_NE(running.ProjectorWnd, nullptr);
    ASSERT_TRUE(WaitForReadyProjector());
    const std::vector<std::string> before = ListDir(show.Temp());
    const std::string projectorPid = show.ReportValue("pid");

    ::PostMessageA(running.RunnerWnd, WM_USER + 1, 0, 0);
    EXPECT_FALSE(WaitUntil([&] { return ListDir(show.Temp()) != before; }, 3000))
        << "a second session began: " << ListDir(show.Temp()).size() << " entries in the temporary folder";
    EXPECT_TRUE(::IsWindow(running.ProjectorWnd));
    EXPECT_EQ(show.ReportValue("parent"), "MumuQuindleWindow");
    EXPECT_EQ(show.ReportValue("pid"), projectorPid);
    const auto block = ReadControlBlock("_QGL_RT");
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->ProjectorWnd, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(running.ProjectorWnd)));

    ::PostMessageA(running.RunnerWnd, WM_USER + 12, 0, 0);
    ExpectCleanEnd(running, show);
}

struct CloseCase {
    const char* name;
    void (*close)(const RunningShow& running);
};
void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class ClosingThePresentation : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ClosingThePresentation, EndsTheProjectorAndCleansUp) {
    PresentationSpec spec;
    spec.Name = std::string("Close") + GetParam().name;
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    RunningShow running = StartAndWaitForProjector(show);
    ASSERT_NE(running.ProjectorWnd, nullptr);
    // Close requests are honoured once the projector is ready and the runner supervises it.
    ASSERT_TRUE(WaitForSupervisedShow("_QGL_RT")) << "the runner never supervised the ready show";
    GetParam().close(running);
    ExpectCleanEnd(running, show);
    EXPECT_FALSE(show.ReportValue("wm_close").empty()) << "the projector was not asked to close";
}

INSTANTIATE_TEST_SUITE_P(
    Runner, ClosingThePresentation,
    ::testing::Values(CloseCase{"ByCloseNotification",
                                [](const RunningShow& r) { ::PostMessageA(r.RunnerWnd, WM_USER + 12, 0, 0); }},
                      CloseCase{"ByRunnerMessage",
                                [](const RunningShow& r) {
                                    ::PostMessageA(r.RunnerWnd, RegisteredMessage("NimbrelRunnerMessage_QGL_RT"), 0, 0);
                                }},
                      CloseCase{"ByQuit",
                                [](const RunningShow& r) {
                                    ::PostThreadMessageA(::GetWindowThreadProcessId(r.RunnerWnd, nullptr), WM_QUIT, 0,
                                                         0);
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

// A projector that is idle before it opens its window: the search goes on after input
// idle and takes the window in once it appears.
TEST(Presentation, ProjectorOpeningItsWindowAfterInputIdleIsTakenIn) {
    PresentationSpec spec;
    spec.Name = "LateWindowShow";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    RunningShow running = StartAndWaitForProjector(show, {{"STANDIN_LATE_WINDOW", "300"}});
    ASSERT_NE(running.ProjectorWnd, nullptr);
    ::PostMessageA(running.RunnerWnd, WM_USER + 12, 0, 0);
    ExpectCleanEnd(running, show);
}

TEST(Presentation, ProjectorWithoutWindowEndsTheSessionAfterElevenSeconds) {
    PresentationSpec spec;
    spec.Name = "NoWindowShow";
    spec.Ini = IniWith("CurrentDir=1\r\n");
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    Program runner = show.Start({{"STANDIN_NO_WINDOW", "1"}});
    EXPECT_EQ(runner.WaitExit(40000), std::optional<DWORD>(0));
    // The runner never terminates the projector: it is still running now.
    const std::string pid = show.ReportValue("pid");
    ASSERT_FALSE(pid.empty());
    HANDLE projector = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(pid));
    ASSERT_NE(projector, nullptr);
    EXPECT_EQ(::WaitForSingleObject(projector, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ::TerminateProcess(projector, 0);
    ::WaitForSingleObject(projector, 5000);
    ::CloseHandle(projector);
}

TEST(Presentation, VersionFiveProjectorIsNotNew) {
    PresentationSpec spec;
    spec.Name = "OldShow";
    spec.Projector = "standin5.exe";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    RunningShow running = StartAndWaitForProjector(show);
    ASSERT_NE(running.ProjectorWnd, nullptr);
    const auto block = ReadControlBlock("_QGL_RT");
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->NewProjector, 0);
    ::PostMessageA(running.RunnerWnd, WM_USER + 12, 0, 0);
    ExpectCleanEnd(running, show);
}

struct WorkingDirCase {
    const char* name;
    const char* ini;
    bool tagged;      // the session carries a tagged entry
    bool copyBeside;  // an identical projector lies beside the runner
    bool startsInRunnerDir;
};
void PrintTo(const WorkingDirCase& c, std::ostream* os) { *os << c.name; }

class ProjectorWorkingDirectory : public ::testing::TestWithParam<WorkingDirCase> {};

TEST_P(ProjectorWorkingDirectory, FollowsCurrentDirAndTheIdenticalCopyRule) {
    const WorkingDirCase& c = GetParam();
    PresentationSpec spec;
    spec.Name = std::string("Cwd") + c.name;
    spec.Ini = IniWith(c.ini);
    if (c.tagged) spec.TaggedExtras.push_back({"media", "clip.txt", "clip"});
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    if (c.copyBeside) {
        ASSERT_TRUE(::CopyFileA((BinDir() + "standin.exe").c_str(), (show.Folder() + "standin.exe").c_str(), FALSE));
    }
    RunningShow running = StartAndWaitForProjector(show);
    ASSERT_NE(running.ProjectorWnd, nullptr);
    const std::string runnerDir = show.Folder().substr(0, show.Folder().size() - 1);
    const std::string expectedCwd = c.startsInRunnerDir ? runnerDir : show.RunDir();
    EXPECT_EQ(show.ReportValue("cwd"), expectedCwd);
    const std::string expectedModule =
        (c.startsInRunnerDir && c.copyBeside ? show.Folder() : show.RunDir() + "\\") + "standin.exe";
    EXPECT_EQ(show.ReportValue("module"), expectedModule);
    EXPECT_EQ(show.ReportValue("env.QuindleLocalDir_Projector"), expectedModule);
    ::PostMessageA(running.RunnerWnd, WM_USER + 12, 0, 0);
    ExpectCleanEnd(running, show);
}

INSTANTIATE_TEST_SUITE_P(Runner, ProjectorWorkingDirectory,
                         ::testing::Values(WorkingDirCase{"AutoUntagged", "CurrentDir=0\r\n", false, false, true},
                                           WorkingDirCase{"AutoTagged", "CurrentDir=0\r\n", true, false, false},
                                           WorkingDirCase{"RunDir", "CurrentDir=1\r\n", false, true, false},
                                           WorkingDirCase{"RunnerDir", "CurrentDir=2\r\n", false, false, true},
                                           WorkingDirCase{"RunnerDirWithCopy", "CurrentDir=2\r\n", false, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Custom full screen in each kind of runner window: the projector fills the client area,
// and the runner's own record of that area (its answer to "NimbrelRunnerSvrMessage")
// agrees. Under Wine here the maximised framed window falls back to its normal rectangle
// while the restyle pumps messages, so its client area ends smaller than the screen.
struct CustomFullScreenCase {
    const char* name;
    const char* ini;
};
void PrintTo(const CustomFullScreenCase& c, std::ostream* os) { *os << c.name; }

class CustomFullScreen : public ::testing::TestWithParam<CustomFullScreenCase> {};

// The screen point of the runner's client corner (0, 0) or (AreaW, AreaH).
POINT RunnerAreaCorner(HWND runner, bool bottomRight) {
    const UINT query = ::RegisterWindowMessageA("NimbrelRunnerSvrMessage");
    const LPARAM corner = bottomRight ? 1 : 0;
    DWORD_PTR x = 0, y = 0;
    ::SendMessageTimeoutA(runner, query, 1, corner, SMTO_ABORTIFHUNG, 5000, &x);
    ::SendMessageTimeoutA(runner, query, 1, corner | 2, SMTO_ABORTIFHUNG, 5000, &y);
    return {static_cast<LONG>(x), static_cast<LONG>(y)};
}

TEST_P(CustomFullScreen, SizesTheProjectorToTheClientArea) {
    const CustomFullScreenCase& c = GetParam();
    PresentationSpec spec;
    spec.Name = std::string("Custom") + c.name;
    spec.Ini = IniWith(std::string("FullScreen=1\r\nCustomSize=1\r\nWidth=500\r\nHeight=400\r\n") + c.ini);
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    RunningShow running = StartAndWaitForProjector(show);
    ASSERT_NE(running.ProjectorWnd, nullptr);
    ASSERT_TRUE(WaitForReadyProjector());
    RECT client{}, projector{};
    const auto fits = [&] {
        ::GetClientRect(running.RunnerWnd, &client);
        ::GetWindowRect(running.ProjectorWnd, &projector);
        return projector.right - projector.left == client.right && projector.bottom - projector.top == client.bottom;
    };
    WaitUntil(fits, 5000);
    EXPECT_EQ(projector.right - projector.left, client.right);
    EXPECT_EQ(projector.bottom - projector.top, client.bottom);
    POINT topLeft{0, 0};
    ::ClientToScreen(running.RunnerWnd, &topLeft);
    const POINT areaTopLeft = RunnerAreaCorner(running.RunnerWnd, false);
    const POINT areaBottomRight = RunnerAreaCorner(running.RunnerWnd, true);
    EXPECT_EQ(areaBottomRight.x - areaTopLeft.x, client.right) << "AreaW";
    EXPECT_EQ(areaBottomRight.y - areaTopLeft.y, client.bottom) << "AreaH";
    EXPECT_EQ(areaTopLeft.x, topLeft.x);
    EXPECT_EQ(areaTopLeft.y, topLeft.y);
    ::PostMessageA(running.RunnerWnd, WM_USER + 12, 0, 0);
    ExpectCleanEnd(running, show);
}

INSTANTIATE_TEST_SUITE_P(Presentation, CustomFullScreen,
                         ::testing::Values(CustomFullScreenCase{"Framed", "NoTitle=0\r\nNoBorder=0\r\n"},
                                           CustomFullScreenCase{"NoTitle", "NoTitle=1\r\nNoBorder=0\r\n"},
                                           CustomFullScreenCase{"NoBorder", "NoTitle=0\r\nNoBorder=1\r\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harness

namespace harness {
namespace {

TEST(Presentation, WindowFollowsTheIniAndNoIniStaysBehind) {
    PresentationSpec spec;
    spec.Name = "IniShow";
    spec.Ini = IniWith(
        "CustomSize=1\r\nWidth=500\r\nHeight=400\r\nNoTitle=1\r\nAlwaysOnTop=1\r\n"
        "Zantic Screen Name=Ini Show Title\r\nAlignmentH=1\r\nAlignmentV=1\r\n");
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    RunningShow running = StartAndWaitForProjector(show);
    ASSERT_NE(running.ProjectorWnd, nullptr);
    EXPECT_EQ(WindowText(running.RunnerWnd), "Ini Show Title");
    RECT r{};
    ::GetWindowRect(running.RunnerWnd, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 400);
    const LONG style = ::GetWindowLongA(running.RunnerWnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_DLGFRAME) << "no caption";
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_TRUE(::GetWindowLongA(running.RunnerWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The project ini was read in the runner's own folder and deleted with it.
    for (const std::string& name : ListDir(show.Temp())) EXPECT_NE(name, "show.ini");
    ::PostMessageA(running.RunnerWnd, WM_USER + 12, 0, 0);
    ExpectCleanEnd(running, show);
}

// A test that fails while its show runs must not leave the projector behind: it would
// hold the test run's output open and the files of the run directory.
TEST(Presentation, AShowLeftRunningEndsWithItsProgramProjectorAndAll) {
    PresentationSpec spec;
    spec.Name = "LeftShow";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    HANDLE projector = nullptr;
    {
        RunningShow running = StartAndWaitForProjector(show);
        ASSERT_NE(running.ProjectorWnd, nullptr);
        projector = ::OpenProcess(SYNCHRONIZE, FALSE, WindowProcessId(running.ProjectorWnd));
        ASSERT_NE(projector, nullptr);
    }
    const bool ended = ::WaitForSingleObject(projector, kDefaultWaitMs) == WAIT_OBJECT_0;
    ::CloseHandle(projector);
    EXPECT_TRUE(ended) << "the projector outlived its runner's program";
}

}  // namespace
}  // namespace harness
