// Decisions behind the runner window's registered messages.
#include "window/RunnerMessages.h"

#include <cerrno>
#include <cstdlib>

#include "base/Text.h"

namespace quindle {

TRunnerQuery ClassifyRunnerQuery(uintptr_t wParam, intptr_t lParam) {
    TRunnerQuery query;
    if (wParam == 0) {
        query.What = TRunnerQuery::Identify;
    } else if (wParam == 1) {
        query.BottomRight = (lParam & 1) != 0;
        const intptr_t corner = lParam & 0xFE;
        query.What = corner == 0 ? TRunnerQuery::CornerX : corner == 2 ? TRunnerQuery::CornerY : TRunnerQuery::Unknown;
    }
    return query;
}

bool IsSenderAncestor(const std::string& environmentValue, uintptr_t value) {
    if (environmentValue.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(environmentValue.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    // The runner writes its window handle as a signed 32-bit number.
    return static_cast<uint32_t>(parsed) == static_cast<uint32_t>(value) && parsed >= INT32_MIN && parsed <= INT32_MAX;
}

bool SameExeFileName(const std::string& pathA, const std::string& pathB) {
    return SameTextAscii(FileNamePart(pathA), FileNamePart(pathB));
}

}  // namespace quindle
