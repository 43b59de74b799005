// Whole runners under Wine: a runner without a session, presentations that end
// silently, and the traces a run leaves (none).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "package/SessionArchive.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

TEST(RunnerWithoutSession, ReportsApplicationErrorAndExitsWithOne) {
    ScratchDir dir("qbare");
    const std::string exe = dir.Path() + "Bare.exe";
    ASSERT_TRUE(::CopyFileA((BinDir() + "runner.exe").c_str(), exe.c_str(), FALSE));
    Program runner = Program::Start(exe, "", {}, dir.Path());
    ASSERT_TRUE(runner.Started());
    const auto box = WaitForDialog(runner.Pid());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->Caption, "Application Error");
    EXPECT_EQ(box->Text, "Session not found on extract from " + exe);
    EXPECT_TRUE(PressButton(*box, "OK"));
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(1));
}

TEST(RunnerWithSetupSwitch, ShowsTheSetupDialogAndEndsWhenItCloses) {
    PresentationSpec spec;
    spec.Name = "SetupSwitch";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    for (const char* argument : {"/C", "/c"}) {
        Program runner = show.Start({}, argument);
        const auto dialog = WaitForDialog(runner.Pid());
        ASSERT_TRUE(dialog.has_value()) << argument;
        EXPECT_EQ(dialog->Caption, spec.Name + " - Setup") << argument;
        ::PostMessageA(dialog->Window, WM_CLOSE, 0, 0);
        EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0)) << argument;
        EXPECT_TRUE(ListDir(show.Temp()).empty()) << argument << ": no show was started";
    }
}

struct SilentCase {
    const char* name;
    bool projector, hookLib;
};
void PrintTo(const SilentCase& c, std::ostream* os) { *os << c.name; }

class SilentEnding : public ::testing::TestWithParam<SilentCase> {};

// quindle-pack refuses a show without a program; another packer, or an old one, may make
// one. Here the projector's entry (the first) is renamed to a file the runner only copies.
bool RenameFirstEntry(const std::string& exePath, const std::string& name) {
    std::string bytes = ReadFile(exePath);
    quindle::TSessionTrailer trailer;
    std::memcpy(&trailer, bytes.data() + bytes.size() - sizeof trailer, sizeof trailer);
    quindle::TSessionTrailerInfo session;
    quindle::TEntryHeaderInfo entry;
    quindle::TSessionEntryHeader header;
    if (!quindle::DecodeTrailer(trailer, session)) return false;
    std::memcpy(&header, bytes.data() + session.SessionStart, sizeof header);
    if (!quindle::DecodeEntryHeader(header, entry)) return false;
    entry.FileName = name;
    header = quindle::EncodeEntryHeader(entry);
    std::memcpy(&bytes[session.SessionStart], &header, sizeof header);
    return WriteFile(exePath, bytes);
}

// The mapping is closed by the session's clean-up; that is checked while its creator
// still runs, in the hook session's removal test (after the exit the system closes it anyway).
TEST_P(SilentEnding, LeavesNoRunDirectoryOrAtom) {
    PresentationSpec spec;
    spec.Name = std::string("Silent") + GetParam().name;
    if (!GetParam().hookLib) spec.HookLib.clear();
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    if (!GetParam().projector) {
        ASSERT_TRUE(RenameFirstEntry(show.ExePath(), "standin.bin"));
    }
    Program runner = show.Start();
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(ListDir(show.Temp()).empty())
        << "left: " << (ListDir(show.Temp()).empty() ? "" : ListDir(show.Temp())[0]);
    EXPECT_EQ(::GlobalFindAtomA(("aakq " + spec.Name + ".exe").c_str()), 0);
}

INSTANTIATE_TEST_SUITE_P(Runner, SilentEnding,
                         ::testing::Values(SilentCase{"NoHookLibrary", true, false},
                                           SilentCase{"NoProjector", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harness
