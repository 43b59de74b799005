// Tool-folder preparation's file operations over the Win32 file API.
#pragma once

#include "commands/ToolFolders.h"

namespace quindle {

class TWin32ToolFolderFiles : public IToolFolderFiles {
public:
    bool ReadFile(const std::string& path, std::string& bytes) override;
    void CopyOver(const std::string& from, const std::string& to) override;
    std::string UpperCase(const std::string& text) override;
    bool IsLeadByte(unsigned char c) const override;
};

}  // namespace quindle
