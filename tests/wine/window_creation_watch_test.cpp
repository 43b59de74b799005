// The projector window search's wake-up: the creation events of a real projector process
// (the stand-in, opening its window only when asked) reach the waiting thread, and the
// search finds the window they announce.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "base/Timing.h"
#include "tests/harness/Harness.h"
#include "window/win32/ProjectorWindow.h"

namespace quindle {
namespace {

using harness::BinDir;
using harness::Program;

// The stand-in's timer never fires within a test: its window comes on WM_APP.
const std::map<std::string, std::string> kWindowOnRequest = {{"STANDIN_LATE_WINDOW", "3600000"},
                                                             {"STANDIN_REPORT", ""}};

TEST(WindowCreationWatch, WakesTheSearchWhenTheProjectorOpensItsWindow) {
    Program projector = Program::Start(BinDir() + "standin.exe", "", kWindowOnRequest);
    ASSERT_TRUE(projector.Started());
    TWindowCreationWatch creations(projector.Pid());
    ASSERT_TRUE(creations.Listening());
    ASSERT_EQ(::WaitForInputIdle(projector.Handle(), kInputIdleWaitMs), 0u);

    TProjectorSearch search;
    const DWORD thread = projector.MainThreadId();
    EXPECT_FALSE(SearchProjectorWindow(thread, search));
    EXPECT_FALSE(creations.AwaitWindow(0));  // nothing opened yet
    ASSERT_TRUE(::PostThreadMessageA(thread, WM_APP, 0, 0));

    // Each wait may last the whole search limit: only a creation event ends it sooner.
    bool found = false;
    while (!found && creations.AwaitWindow(kWindowSearchLimitMs)) found = SearchProjectorWindow(thread, search);
    ASSERT_TRUE(found);
    EXPECT_EQ(harness::WindowClass(search.ProjectorWnd), "ShockwaveFlash");
    ::PostMessageA(search.ProjectorWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(projector.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace quindle
