// The platform's multiply-divide: the aspect-ratio rule rounds with it, so the portable
// code computes exactly what Windows would.
#pragma once

#include <cstdint>

namespace quindle {

// a * b / c with a 64-bit product, rounded to the nearest integer (halves away from
// zero); -1 when c is 0 or the result does not fit.
int32_t MulDiv32(int32_t a, int32_t b, int32_t c);

}  // namespace quindle
