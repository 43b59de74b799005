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

// What is wrong with the ini's encoding as the runner reads it (single-byte or
// double-byte text in the show's code page): UTF-16 with or without a byte order mark
// (the runner stops at its first zero byte), or a UTF-8 byte order mark (the first
// line is no section header then). A sentence saying what it is and how to fix it;
// empty when the encoding is fine. pack refuses such an ini; check reports it.
std::string IniEncodingProblem(const std::string& bytes, int codePage);

// UTF-8 text without a byte order mark that holds characters beyond ASCII: pack
// converts it to the show's code page.
bool IsUtf8BeyondAscii(const std::string& bytes);

// The whole file; bad use when it cannot be read.
std::string ReadIniFile(const std::string& path);

// file, ":line" when known, ": ", the message.
std::string FindingLine(const std::string& file, const TIniFinding& finding);

// One line per finding: prefix and the finding's line.
void PrintFindings(FILE* to, const std::string& prefix, const std::string& file,
                   const std::vector<TIniFinding>& findings);

}  // namespace quindle::pack
