// The runner's registry section under HKEY_CURRENT_USER\Software\Nimbrel Soft. Used by
// the project settings loader, the start-up sequence and the setup dialog.
#include "settings/win32/Win32RegistryStore.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace quindle {
namespace {

constexpr char kMakerKey[] = "Software\\Nimbrel Soft";

// Owner of an opened subkey.
class TOpenKey {
public:
    TOpenKey() = default;
    ~TOpenKey() {
        if (key_) RegCloseKey(key_);
    }
    TOpenKey(const TOpenKey&) = delete;
    TOpenKey& operator=(const TOpenKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

TWin32RegistryStore::TWin32RegistryStore(std::string section) : Section(std::move(section)) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kMakerKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &maker_, nullptr) != ERROR_SUCCESS) {
        maker_ = nullptr;
    }
}

TWin32RegistryStore::~TWin32RegistryStore() {
    if (maker_) RegCloseKey(maker_);
}

bool TWin32RegistryStore::ReadString(const std::string& name, std::string& value) {
    if (!maker_) return false;
    TOpenKey key;
    if (RegOpenKeyExA(maker_, Section.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
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
    TOpenKey key;
    if (!maker_ || RegCreateKeyExA(maker_, Section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                   key.out(), nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("Failed to set data for '" + name + "'");
    }
    if (RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
        throw std::runtime_error("Failed to set data for '" + name + "'");
    }
}

}  // namespace quindle
