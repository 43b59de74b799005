// The stand-in's report: one "key=value" line per fact, appended to the file named by
// STANDIN_REPORT, so that a test can see what the projector saw.
#pragma once

#include <string>

namespace standin {

// Appends the line when STANDIN_REPORT is set; does nothing otherwise.
void Report(const std::string& key, const std::string& value);

// The value of an environment variable, and whether it is set at all.
bool GetEnv(const char* name, std::string& value);

}  // namespace standin
