// The projector window search on a simulated clock: a look at once, a look as soon as a
// window appears when creation events arrive, a look at least every step when they do
// not, and the end of the search at its limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "base/Timing.h"
#include "window/WindowSearch.h"

namespace quindle {
namespace {

constexpr uint64_t kNever = UINT64_MAX;

// A projector whose window appears at a given moment, and a clock that moves only when
// the search waits or looks.
struct TSimulatedProjector {
    uint64_t windowAt = kNever;
    bool eventsArrive = true;  // false: the creation events never come, only the steps
    uint64_t lookCostMs = 0;

    uint64_t now = 0;
    unsigned longestWait = 0;
    std::optional<uint64_t> lastLookAt;

    bool Run() {
        TWindowSearchSteps steps;
        steps.Look = [this] {
            lastLookAt = now;
            const bool found = now >= windowAt;
            now += lookCostMs;
            return found;
        };
        steps.AwaitWindow = [this](unsigned maxMs) {
            longestWait = std::max(longestWait, maxMs);
            const bool appearsMeanwhile = eventsArrive && windowAt > now && windowAt < now + maxMs;
            now = appearsMeanwhile ? windowAt : now + maxMs;
        };
        steps.NowMs = [this] { return now; };
        return RunWindowSearch(steps, kWindowSearchStepMs, kWindowSearchLimitMs);
    }
};

TEST(RunWindowSearch, LooksWhenTheWindowAppearsAndGivesUpAtTheLimit) {
    const struct {
        const char* name;
        uint64_t windowAt;
        bool eventsArrive;
        uint64_t lookCostMs;
        bool found;
        uint64_t lastLookAt;
    } cases[] = {
        {"window there at input idle", 0, true, 0, true, 0},
        {"window created later, its event wakes the search", 100, true, 0, true, 100},
        {"window created later, no events: the next step finds it", 100, false, 0, true, 110},
        {"window created just before the limit, no events", 10990, false, 0, true, 11000},
        {"window created after the limit", 11005, true, 0, false, 11000},
        {"no window ever", kNever, true, 0, false, 11000},
        {"no window, slow looks", kNever, false, 7, false, 11000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSimulatedProjector projector;
        projector.windowAt = c.windowAt;
        projector.eventsArrive = c.eventsArrive;
        projector.lookCostMs = c.lookCostMs;
        EXPECT_EQ(projector.Run(), c.found);
        EXPECT_EQ(projector.lastLookAt, std::optional<uint64_t>(c.lastLookAt));
        EXPECT_LE(projector.longestWait, kWindowSearchStepMs);
    }
}

}  // namespace
}  // namespace quindle
