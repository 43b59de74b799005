// HashPassword: a fixed-seed linear congruential generator stirred by the sine of
// each byte of the trimmed text.
#include "window/HashPassword.h"

#include <cmath>

namespace quindle {

namespace {

class TLcg {
public:
    explicit TLcg(uint32_t seed) : state_(seed) {}
    // A value from 0 to range - 1.
    uint32_t Next(uint32_t range) {
        state_ = state_ * 134775813u + 1u;
        return uint32_t((uint64_t(state_) * range) >> 32);
    }
    void Reseed(uint32_t seed) { state_ = seed; }

private:
    uint32_t state_;
};

bool IsTrimmed(unsigned char c) { return c <= 32; }

}  // namespace

std::string TrimPassword(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && IsTrimmed(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && IsTrimmed(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

uint32_t HashPassword(const std::string& text) {
    TLcg random(739);
    uint32_t acc = random.Next(715827882);
    for (const char c : TrimPassword(text)) {
        const unsigned char b = static_cast<unsigned char>(c);
        const uint32_t r = uint32_t((std::sin(double(b)) + 2.0) * 121141.0);
        acc += random.Next(r);
    }
    random.Reseed(acc);
    return random.Next(429496729);
}

}  // namespace quindle
