// Escape typed while the projector window has the keyboard: the hook library hands it
// to the runner window, which closes the presentation only when ExitOnESC is on.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "contract/ControlBlock.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Input.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

struct EscapeCase {
    const char* name;
    bool exitOnEsc;
};
void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

class EscapeInTheProjector : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeInTheProjector, ClosesThePresentationOnlyWhenExitOnEscIsOn) {
    const EscapeCase& c = GetParam();
    PresentationSpec spec;
    spec.Name = std::string("Esc") + c.name;
    spec.Ini =
        std::string("[Settings]\r\nPassword=0\r\nKeyInteraction=1\r\nExitOnESC=") + (c.exitOnEsc ? "1" : "0") + "\r\n";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    Program runner = show.Start();
    const HWND runnerWnd = WaitForRunnerWindow(runner.Pid());
    ASSERT_NE(runnerWnd, nullptr);
    const HWND projectorWnd = WaitForEmbeddedProjector(runnerWnd);
    ASSERT_NE(projectorWnd, nullptr);
    ASSERT_TRUE(WaitUntil([&] {
        const auto block = ReadControlBlock("_QGL_RT");
        return ::IsWindowVisible(projectorWnd) && block && block->Ready == 1;
    }));
    // The runner activates its projector child: the key goes to the projector's thread
    // (the runner's and the projector's threads share one input state while attached),
    // where only the hook library sees it.
    ASSERT_EQ(BringToForeground(runnerWnd, projectorWnd), "");
    PressKey(VK_ESCAPE);

    if (c.exitOnEsc) {
        EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));
        EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000))
            << "left in the temporary folder: " << (ListDir(show.Temp()).empty() ? "" : ListDir(show.Temp()).front());
        EXPECT_FALSE(show.ReportValue("wm_close").empty()) << "the projector was not asked to close";
    } else {
        EXPECT_EQ(runner.WaitExit(2000), std::nullopt) << "Escape ended the show with ExitOnESC=0";
        EXPECT_TRUE(show.ReportValue("wm_close").empty());
        EXPECT_EQ(CloseShow(runnerWnd, runner), std::optional<DWORD>(0));
    }
}

INSTANTIATE_TEST_SUITE_P(Hooklib, EscapeInTheProjector,
                         ::testing::Values(EscapeCase{"ExitOnEscOn", true}, EscapeCase{"ExitOnEscOff", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harness
