// File times as ISO 8601 text, for quindle-pack list.
#include "tools/pack/FileTimeText.h"

#include <cstdio>

#include "base/Calendar.h"

namespace quindle::pack {

std::string FileTimeToIso8601(uint64_t fileTime) {
    constexpr uint64_t kTicksPerSecond = 10000000;
    const uint64_t seconds = fileTime / kTicksPerSecond;
    const unsigned fraction = unsigned(fileTime % kTicksPerSecond);
    // Days since 1601-01-01 shifted to days since 1970-01-01.
    int64_t days = int64_t(seconds / 86400) - 134774;
    const unsigned secondOfDay = unsigned(seconds % 86400);

    int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);

    char text[64];
    int n = std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02u:%02u:%02u", static_cast<long long>(year), month,
                          day, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    if (fraction) n += std::snprintf(text + n, sizeof text - size_t(n), ".%07u", fraction);
    std::snprintf(text + n, sizeof text - size_t(n), "Z");
    return text;
}

}  // namespace quindle::pack
