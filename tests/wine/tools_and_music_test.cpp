// Tool folders, the start-up command and the background music in whole presentations
// under Wine: the tool folder is complete when the projector starts and gone after, the
// start-up library and program get what the runner hands them, a library that raises
// does not stop the show, and a muted show with the demo's tune runs and cleans up
// although MCI never notifies here.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <string>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(::tolower(c)); });
    return text;
}

std::string Decimal(HWND window) { return std::to_string(reinterpret_cast<uintptr_t>(window)); }

// The probes append to the stand-in's report, so one file tells the whole run.
std::map<std::string, std::string> ProbeEnvironment(const Presentation& show) {
    return {{"STARTUP_PROBE_REPORT", show.ReportPath()}};
}

// Asks a shown presentation to close once the runner takes close requests, and checks
// that it ends with nothing left in its temporary folder.
void CloseAndExpectCleanEnd(Program& runner, HWND runnerWnd, const Presentation& show) {
    ASSERT_TRUE(WaitForSupervisedShow("_QGL_RT")) << "the runner never supervised the ready show";
    EXPECT_EQ(CloseShow(runnerWnd, runner), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000))
        << "left in the temporary folder: " << (ListDir(show.Temp()).empty() ? "" : ListDir(show.Temp()).front());
}

PresentationSpec ToolSpec(const std::string& name, const std::string& qtoolsIni) {
    PresentationSpec spec;
    spec.Name = name;
    spec.Extras["viewer.qtools.ini"] = qtoolsIni;
    spec.TaggedExtras = {{"QTOOL.PROGRAM", "qview.exe", "the viewer program"},
                         {"QTOOL.SATELLITE:QVIEW.EXE", "view.hlp", "its help"},
                         {"QTOOL.SATELLITE:QVIEW.EXE", "view.cnt", "its contents"},
                         {"QTOOL.SATELLITE:QOTHER.EXE", "other.dat", "another tool's"}};
    return spec;
}

TEST(ToolFolders, CompleteWhenTheProjectorStartsAndGoneAfter) {
    Presentation show(ToolSpec("ToolShow", "[VIEW]\r\nMode=1\r\n"));
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    const std::string folder = show.RunDir() + "\\viewer";
    Program runner = show.Start({{"STANDIN_LIST_FOLDER", folder}});
    const HWND runnerWnd = WaitForShow(runner);
    ASSERT_NE(runnerWnd, nullptr);

    std::set<std::string> atStart;
    for (const auto& [key, value] : show.Report()) {
        if (key == "file") atStart.insert(Lower(value));
    }
    EXPECT_EQ(atStart, (std::set<std::string>{"qtools.ini", "qview.exe", "view.hlp", "view.cnt"}));
    EXPECT_EQ(ReadFile(folder + "\\QVIEW.EXE"), "the viewer program");
    EXPECT_EQ(ReadFile(folder + "\\view.cnt"), "its contents");

    CloseAndExpectCleanEnd(runner, runnerWnd, show);
    EXPECT_FALSE(DirExists(folder));
}

// The runner's own error box for a failure of the start-up sequence.
TEST(ToolFolders, EmptyToolIniEndsTheStartUpWithTheListError) {
    Presentation show(ToolSpec("EmptyToolShow", ""));
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    Program runner = show.Start();
    const auto box = WaitForDialog(runner.Pid());
    if (!box) {
        // The show started after all: end it, projector and all.
        if (const HWND runnerWnd = WaitForShow(runner)) CloseAndExpectCleanEnd(runner, runnerWnd, show);
    }
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->Text, "Exception occured: List index out of bounds (0)");
    EXPECT_TRUE(PressButton(*box, "OK"));
    EXPECT_TRUE(runner.WaitExit().has_value());
    EXPECT_TRUE(show.ReportValue("pid").empty()) << "the projector started";
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000))
        << "left in the temporary folder: " << (ListDir(show.Temp()).empty() ? "" : ListDir(show.Temp()).front());
}

struct StartupCase {
    const char* name;
    const char* beforeShow;
    const char* reportedKey;  // the probe has run once this is in the report
    // key -> value the run's report must end with; "" for a key that must not appear.
    std::map<std::string, std::string> expected;
};
void PrintTo(const StartupCase& c, std::ostream* os) { *os << c.name; }

class StartupCommand : public ::testing::TestWithParam<StartupCase> {};

// The probes travel in a tag folder of their own: a ".dll" or ".exe" beside the
// projector would be taken for the hook library or the projector.
TEST_P(StartupCommand, RunsBeforeTheRestyleAndTheShowGoesOn) {
    const StartupCase& c = GetParam();
    PresentationSpec spec;
    spec.Name = std::string("Startup") + c.name;
    spec.Ini = IniWith(std::string("[EngineCommands]\r\nBeforeShow=") + c.beforeShow + "\r\n");
    spec.TaggedExtras = {{"probe", "startprobe.dll", ReadFile(BinDir() + "startprobe.dll")},
                         {"probe", "startprobe.exe", ReadFile(BinDir() + "startprobe.exe")}};
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    Program runner = show.Start(ProbeEnvironment(show));
    const HWND runnerWnd = WaitForShow(runner);
    ASSERT_NE(runnerWnd, nullptr);

    // A program runs on its own: wait for its report before the run ends.
    EXPECT_TRUE(WaitUntil([&] { return !show.ReportValue(c.reportedKey).empty(); }, 10000));
    for (const auto& [key, value] : c.expected) {
        const std::string wanted = value == "<runner window>"   ? Decimal(runnerWnd)
                                   : value == "<run directory>" ? show.RunDir() + "\\probe\\startprobe.exe one  two"
                                                                : value;
        EXPECT_EQ(show.ReportValue(key), wanted) << key;
    }
    CloseAndExpectCleanEnd(runner, runnerWnd, show);
}

INSTANTIATE_TEST_SUITE_P(
    Runner, StartupCommand,
    ::testing::Values(
        StartupCase{
            "Library",
            "probe\\startprobe.dll one  two",
            "args",
            {{"args", "one  two"}, {"nuls", "2"}, {"wnd", "<runner window>"}, {"embedded", "0"}, {"returned", "1"}}},
        StartupCase{"LibraryThatRaises",
                    "probe\\STARTPROBE.DLL raise",
                    "args",
                    {{"args", "raise"}, {"after_raise", ""}, {"returned", ""}}},
        StartupCase{
            "Program", "probe\\startprobe.exe one  two", "probe_cmdline", {{"probe_cmdline", "<run directory>"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The wave mapper's volume as a program reads it: the call's result and the value.
std::pair<MMRESULT, DWORD> WaveVolume() {
    DWORD volume = 0;
    const MMRESULT result = ::waveOutGetVolume(reinterpret_cast<HWAVEOUT>(WAVE_MAPPER), &volume);
    return {result, volume};
}

bool OpensExclusively(const std::string& path) {
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

// Here MCI opens the tune and never notifies, and the mixers are missing: the show
// goes on, the music's file is deleted at the end, and the sound is as it was.
TEST(Music, MutedShowWithTheDemoTuneRunsAndCleansUp) {
    PresentationSpec spec;
    spec.Name = "MusicShow";
    spec.Ini = IniWith("Sound=0\r\nMidi=0\r\nMidiLoop=1\r\nMidiLoopTimes=0\r\n");
    spec.Extras["demo.mid"] = ReadFile(BinDir() + "demo.mid");
    ASSERT_FALSE(spec.Extras["demo.mid"].empty());
    const auto volumeBefore = WaveVolume();
    const UINT mixersBefore = ::mixerGetNumDevs();
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    Program runner = show.Start();
    const HWND runnerWnd = WaitForShow(runner);
    ASSERT_NE(runnerWnd, nullptr);
    // MCI holds the tune open while it plays.
    const std::string tune = show.RunDir() + "\\demo.mid";
    EXPECT_TRUE(FileExists(tune));
    EXPECT_TRUE(WaitUntil([&] { return !OpensExclusively(tune); }, 10000)) << "the music did not start";

    CloseAndExpectCleanEnd(runner, runnerWnd, show);
    EXPECT_EQ(WaveVolume(), volumeBefore);
    EXPECT_EQ(::mixerGetNumDevs(), mixersBefore);
}

}  // namespace
}  // namespace harness
