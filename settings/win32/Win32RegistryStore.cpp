// The runner's registry section under HKEY_CURRENT_USER\Software\Nimbrel Soft. Used by
// the project settings loader, the start-up sequence and the setup dialog.
#include "settings/win32/Win32RegistryStore.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace quindle {
namespace {

constexpr char kMakerKey[] = "Software\\Nimbrel Soft";

// parent\subkey, opened (or, with create, created when missing) with the given
// access; empty when that failed.
TUniqueRegKey OpenKey(HKEY parent, const std::string& subkey, REGSAM access, bool create) {
    HKEY key = nullptr;
    const LONG result = create ? RegCreateKeyExA(parent, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                                 nullptr, &key, nullptr)
                               : RegOpenKeyExA(parent, subkey.c_str(), 0, access, &key);
    return TUniqueRegKey(result == ERROR_SUCCESS ? key : nullptr);
}

}  // namespace

TWin32RegistryStore::TWin32RegistryStore(std::string section)
    : Section(std::move(section)), maker_(OpenKey(HKEY_CURRENT_USER, kMakerKey, KEY_ALL_ACCESS, true)) {}

bool TWin32RegistryStore::ReadString(const std::string& name, std::string& value) {
    if (!maker_) return false;
    const TUniqueRegKey key = OpenKey(maker_.get(), Section, KEY_READ, false);
    if (!key) return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw std::runtime_error(InvalidDataTypeMessage(name));
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    // The stored text may or may not carry its terminating zero.
    value.assign(data.data(), std::min<size_t>(size, data.size() - 1));
    const size_t zero = value.find('\0');
    if (zero != std::string::npos) value.resize(zero);
    return true;
}

void TWin32RegistryStore::WriteString(const std::string& name, const std::string& value) {
    const TUniqueRegKey key = maker_ ? OpenKey(maker_.get(), Section, KEY_WRITE, true) : TUniqueRegKey();
    if (!key) {
        throw std::runtime_error("Failed to set data for '" + name + "'");
    }
    if (RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
        throw std::runtime_error("Failed to set data for '" + name + "'");
    }
}

}  // namespace quindle
