// Reads as the string list does (shared reading allowed, writers refused), copies with
// CopyFile overwriting, upper-cases with the system's locale (CharUpperBuff), reads
// names in the system's ANSI code page.
#include "commands/win32/Win32ToolFolderFiles.h"

#include <windows.h>

#include "base/win32/Handles.h"
#include "base/win32/SystemCodePage.h"

namespace quindle {

bool TWin32ToolFolderFiles::ReadFile(const std::string& path, std::string& bytes) {
    TUniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes.clear();
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return true;
}

void TWin32ToolFolderFiles::CopyOver(const std::string& from, const std::string& to) {
    ::CopyFileA(from.c_str(), to.c_str(), FALSE);
}

std::string TWin32ToolFolderFiles::UpperCase(const std::string& text) {
    std::string upper = text;
    if (!upper.empty()) ::CharUpperBuffA(&upper[0], DWORD(upper.size()));
    return upper;
}

bool TWin32ToolFolderFiles::IsLeadByte(unsigned char c) const { return SystemCodePage().IsLeadByte(c); }

}  // namespace quindle
