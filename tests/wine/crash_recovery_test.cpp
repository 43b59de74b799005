// A runner killed during its show: its run directory and projector stay, a runner
// started meanwhile passes the busy folder over, and once the projector has ended the
// next runner takes the folder back and removes it at its end.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

// The first file below folder that cannot be opened exclusively, waiting a little for
// processes that are ending; empty when all are free.
std::string HeldFileIn(const std::string& folder) {
    std::string held;
    WaitUntil(
        [&] {
            held.clear();
            for (const std::string& name : ListDir(folder)) {
                const std::string path = folder + "\\" + name;
                HANDLE file =
                    ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
                if (file == INVALID_HANDLE_VALUE)
                    held = name;
                else
                    ::CloseHandle(file);
            }
            return held.empty();
        },
        5000);
    return held;
}

TEST(CrashRecovery, KilledRunnersFolderIsSkippedWhileBusyAndReusedOnceFree) {
    PresentationSpec spec;
    spec.Name = "CrashShow";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();

    Program crashed = show.Start();
    const HWND first = WaitForShow(crashed);
    ASSERT_NE(first, nullptr);
    OrphanedProjector projector(WaitForEmbeddedProjector(first));
    ASSERT_TRUE(projector.Known());
    ASSERT_TRUE(::TerminateProcess(crashed.Handle(), 9));
    ASSERT_EQ(crashed.WaitExit(), std::optional<DWORD>(9));

    // No clean-up ran: the folder and the projector started from it are still there.
    ::Sleep(500);
    EXPECT_TRUE(projector.Running()) << "the projector ended with its runner";
    EXPECT_TRUE(FileExists(show.RunDir(0) + "\\standin.exe"));
    EXPECT_TRUE(FileExists(show.RunDir(0) + "\\zanticrun0.dll"));

    // A runner started now passes the busy folder over.
    {
        Program meanwhile = show.Start();
        const HWND second = WaitForShow(meanwhile);
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(FileExists(show.RunDir(1) + "\\zanticrun1.dll"));
        EXPECT_TRUE(FileExists(show.RunDir(0) + "\\standin.exe"));
        EXPECT_EQ(CloseShow(second, meanwhile), std::optional<DWORD>(0));
        EXPECT_TRUE(WaitUntil([&] { return !DirExists(show.RunDir(1)); }, 5000));
    }

    // Once the projector has ended, the next runner takes the plain name again.
    ASSERT_TRUE(projector.End());
    const std::string busy = HeldFileIn(show.RunDir(0));
    if (!busy.empty()) {
        // Wine's desktop process (explorer.exe) keeps a hook library loaded once one of
        // its hooks ran there, also after the hooks are gone (Wine never frees a hook
        // library it loaded into another process); Windows unloads it. Measured: the
        // desktop process had the library loaded while the show still ran, on the plain
        // desktop (these tests use no virtual desktop), with the default hooks, without
        // the message hook (DisableW95Key=0), without the message and mouse hooks
        // (RightClickMenu=1 as well), and with another program in front when the runner
        // was killed. A runner that ends cleanly still removes its folder, as Wine lets
        // a loaded library be deleted, but a file open elsewhere makes a leftover busy.
        GTEST_SKIP()
            << busy << " is still held by another process after the projector ended, so the folder "
            << "stays busy; taking an idle leftover back is covered by RunDirectory.IdleLeftoverIsDeletedAndReused";
    }
    Program next = show.Start();
    const HWND third = WaitForShow(next);
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(FileExists(show.RunDir(0) + "\\zanticrun0.dll"));
    EXPECT_FALSE(DirExists(show.RunDir(1)));
    EXPECT_EQ(CloseShow(third, next), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000))
        << "left in the temporary folder: " << (ListDir(show.Temp()).empty() ? "" : ListDir(show.Temp()).front());
}

}  // namespace
}  // namespace harness
