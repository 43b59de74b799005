// The projector window search: one look at once, then another whenever a window of the
// projector may have appeared and at least every step, until the window is found or the
// limit has passed. Used by the projector launch; the looks and the waits are Win32.
#pragma once

#include <cstdint>
#include <functional>

namespace quindle {

struct TWindowSearchSteps {
    std::function<bool()> Look;                 // one pass over the projector's windows: true once found
    std::function<void(unsigned)> AwaitWindow;  // returns when a window may have appeared, or after the ms given
    std::function<uint64_t()> NowMs;            // a monotonic clock
};

// True once a look found the window; false once limitMs have passed since the call
// without a look finding it. No wait lasts longer than stepMs or beyond the limit.
bool RunWindowSearch(const TWindowSearchSteps& steps, unsigned stepMs, unsigned limitMs);

}  // namespace quindle
