// Paths the runner asks the system for: its own executable, the temporary folder and
// the current directory. Used by the initialisation, the start-up and the launch.
#pragma once

#include <string>

namespace quindle {

std::string OwnExecutablePath();
// GetTempPath with the runner's 261-character buffer; empty when it does not fit.
std::string SystemTempPath();
std::string CurrentDirectory();

}  // namespace quindle
