// Reads the HTML file association from the registry into the control block.
#include "commands/win32/BrowserAssociation.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/win32/Handles.h"

namespace quindle {

namespace {

// The default value of root\subkey, or nothing when the key or its value is missing.
std::optional<std::string> ReadDefaultValue(HKEY root, const std::string& subkey) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
    const TUniqueRegKey key(opened);

    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw std::runtime_error("Invalid data type for ''");

    // The value may grow between the two calls; ask again with the size it reports.
    std::vector<char> data(size + 1);
    LONG result = ERROR_MORE_DATA;
    while (result == ERROR_MORE_DATA) {
        size = static_cast<DWORD>(data.size() - 1);
        result = ::RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_MORE_DATA) data.resize(size + 1);
    }
    if (result != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw std::runtime_error("Invalid data type for ''");
    data[size] = '\0';
    return std::string(data.data());  // up to the first NUL: stored values usually carry one
}

void CopyDefaultValue(HKEY root, const std::string& subkey, TBlockText& field) {
    if (const auto value = ReadDefaultValue(root, subkey)) WriteBlockText(field, *value);
}

}  // namespace

void LookUpBrowserAssociation(TRunnerControlBlock& block, HKEY root) {
    WriteBlockText(block.DdeApplication, "");
    WriteBlockText(block.DdeTopic, "");

    std::string fileType;
    if (const auto htm = ReadDefaultValue(root, ".htm")) fileType = *htm;
    if (const auto html = ReadDefaultValue(root, ".html")) fileType = *html;
    if (fileType.empty()) return;

    CopyDefaultValue(root, fileType + "\\shell\\open\\command", block.BrowserCommand);
    CopyDefaultValue(root, fileType + "\\shell\\open\\ddeexec\\Application", block.DdeApplication);
    CopyDefaultValue(root, fileType + "\\shell\\open\\ddeexec\\Topic", block.DdeTopic);
}

}  // namespace quindle
