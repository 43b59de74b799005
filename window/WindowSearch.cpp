// The projector window search loop.
#include "window/WindowSearch.h"

#include <algorithm>

namespace quindle {

bool RunWindowSearch(const TWindowSearchSteps& steps, unsigned stepMs, unsigned limitMs) {
    const uint64_t start = steps.NowMs();
    for (;;) {
        // A projector usually has its window by input idle: the first look comes at once.
        if (steps.Look()) return true;
        const uint64_t elapsed = steps.NowMs() - start;
        if (elapsed >= limitMs) return false;
        steps.AwaitWindow(static_cast<unsigned>(std::min<uint64_t>(stepMs, limitMs - elapsed)));
    }
}

}  // namespace quindle
