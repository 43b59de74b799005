// Checks a project ini the way the runner reads it and reports, line by line, whatever
// would behave unlike what is written.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace quindle::pack {

struct TIniFinding {
    int line = 0;         // 1-based; 0 for the file as a whole
    std::string section;  // as the table spells it, when the finding is about a known key
    std::string key;
    std::string message;  // UTF-8
};

struct TIniCheckOptions {
    int codePage = 1252;            // the ini's texts are bytes in this code page
    bool passwordFromTool = false;  // pack --password writes Password and AlignmentX
};

std::vector<TIniFinding> CheckProjectIni(const std::string& bytes, const TIniCheckOptions& options);

// The whole file; bad use when it cannot be read.
std::string ReadIniFile(const std::string& path);

// One line per finding: prefix, file, ":line" when known, ": ", the message.
void PrintFindings(FILE* to, const std::string& prefix, const std::string& file,
                   const std::vector<TIniFinding>& findings);

}  // namespace quindle::pack
