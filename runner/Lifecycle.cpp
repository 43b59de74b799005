// Portable rules of the runner's life cycle. Used by the runner's initialisation.
#include "runner/Lifecycle.h"

#include "base/Text.h"

namespace quindle {

bool IsSetupSwitch(const std::string& firstArgument) { return SameTextAscii(firstArgument, "/C"); }

std::string ExeBaseNameOf(const std::string& exeName) {
    const auto at = LowerAscii(exeName).find(".exe");
    return at == std::string::npos ? std::string() : exeName.substr(0, at);
}

}  // namespace quindle
