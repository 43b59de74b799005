// Calendar arithmetic on days since 1970 (proleptic Gregorian), independent of the
// C library's time range.
#include "tools/pack/FileTimeText.h"

#include <cstdio>

namespace quindle::pack {

std::string FileTimeToIso8601(uint64_t fileTime) {
    constexpr uint64_t kTicksPerSecond = 10000000;
    const uint64_t seconds = fileTime / kTicksPerSecond;
    const unsigned fraction = unsigned(fileTime % kTicksPerSecond);
    // Days since 1601-01-01 shifted to days since 1970-01-01.
    int64_t days = int64_t(seconds / 86400) - 134774;
    const unsigned secondOfDay = unsigned(seconds % 86400);

    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned doe = unsigned(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = int64_t(yoe) + era * 400 + (month <= 2 ? 1 : 0);

    char text[64];
    int n = std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02u:%02u:%02u", static_cast<long long>(year), month,
                          day, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    if (fraction) n += std::snprintf(text + n, sizeof text - size_t(n), ".%07u", fraction);
    std::snprintf(text + n, sizeof text - size_t(n), "Z");
    return text;
}

}  // namespace quindle::pack
