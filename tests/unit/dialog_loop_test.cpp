// The dialogs' wait: pumping while the dialog exists, sleeping only when nothing is
// left to do, and the polling wait kept for comparison.
#include <gtest/gtest.h>

#include <string>

#include "window/DialogLoop.h"

namespace quindle {
namespace {

// A dialog that closes, or a cycle that quits, after a given number of pumps.
struct Scenario {
    int pumpsUntilClosed = 1000;
    int pumpsUntilQuit = 1000;
    int pumps = 0;
    std::string trace;

    TDialogPump Pump() {
        return {[this] {
                    ++pumps;
                    trace += 'p';
                },
                [this] { return pumps >= pumpsUntilQuit; }};
    }
    void Run(bool pollOnly) {
        RunDialogLoop(
            Pump(), [this] { return pumps < pumpsUntilClosed; }, [this] { trace += 'w'; }, pollOnly);
    }
};

TEST(RunDialogLoop, SleepsBetweenPumpsOnlyWhileTheDialogIsServed) {
    const struct {
        const char* name;
        int untilClosed;
        int untilQuit;
        bool pollOnly;
        const char* trace;
    } cases[] = {
        {"closed by the third pump", 3, 1000, false, "pwpwp"}, {"quit by the second pump", 1000, 2, false, "pwp"},
        {"closed before the loop", 0, 1000, false, ""},        {"quit before the loop", 1000, 0, false, ""},
        {"polling never sleeps", 3, 1000, true, "ppp"},
    };
    for (const auto& c : cases) {
        Scenario s;
        s.pumpsUntilClosed = c.untilClosed;
        s.pumpsUntilQuit = c.untilQuit;
        s.Run(c.pollOnly);
        EXPECT_EQ(s.trace, c.trace) << c.name;
    }
}

}  // namespace
}  // namespace quindle
