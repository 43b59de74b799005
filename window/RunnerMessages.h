// Portable decisions behind the runner window's registered messages: the query
// message other programs send, and the global close notice.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "contract/Notices.h"

namespace quindle {

// The runner's identification answer: the bytes "QGLE" from the lowest address up.
constexpr uint32_t kRunnerIdentification = 0x454C4751;

// What a "NimbrelRunnerSvrMessage" query asks for.
struct TRunnerQuery {
    enum TKind { Identify, CornerX, CornerY, Unknown } What = Unknown;
    bool BottomRight = false;  // the client area's bottom-right corner instead of its top-left
};
TRunnerQuery ClassifyRunnerQuery(uintptr_t wParam, intptr_t lParam);

// True when text converts completely to a decimal integer equal to value.
bool IsSenderAncestor(const std::string& environmentValue, uintptr_t value);

// True when the file-name parts of two paths are equal, ASCII letters compared without case.
bool SameExeFileName(const std::string& pathA, const std::string& pathB);

}  // namespace quindle
