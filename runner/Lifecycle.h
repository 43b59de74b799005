// Portable rules of the runner's life cycle: the command-line switch and the names
// derived from the runner's own file name.
#pragma once

#include <string>

namespace quindle {

// True when the first command-line argument asks for the setup dialog: "/C" in either case.
bool IsSetupSwitch(const std::string& firstArgument);

// The characters of exeName in front of the first ".exe" (found ignoring case, copied
// without case change); empty when the name holds no ".exe".
std::string ExeBaseNameOf(const std::string& exeName);

}  // namespace quindle
