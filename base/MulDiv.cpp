// The platform's multiply-divide. Used by the aspect-ratio rule.
#include "base/MulDiv.h"

#include <limits>

namespace quindle {

int32_t MulDiv32(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    int64_t divisor = c;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const int64_t half = divisor / 2;
    const int64_t result = product < 0 ? (product - half) / divisor : (product + half) / divisor;
    if (result > std::numeric_limits<int32_t>::max() || result < -std::numeric_limits<int32_t>::max()) return -1;
    return static_cast<int32_t>(result);
}

}  // namespace quindle
