// The runner's registry section: HKEY_CURRENT_USER\Software\Nimbrel Soft\<section>.
#pragma once

#include "base/win32/Handles.h"
#include "settings/RegistryStore.h"

#include <windows.h>

namespace quindle {

class TWin32RegistryStore : public IRegistryStore {
public:
    // The maker key is opened, and created when missing, at once; section is the
    // runner's file name without ".exe" (empty: values sit under the maker key).
    explicit TWin32RegistryStore(std::string section);
    TWin32RegistryStore(const TWin32RegistryStore&) = delete;
    TWin32RegistryStore& operator=(const TWin32RegistryStore&) = delete;

    bool ReadString(const std::string& name, std::string& value) override;
    void WriteString(const std::string& name, const std::string& value) override;

    const std::string Section;

private:
    TUniqueRegKey maker_;  // empty when it could not be opened: every read gives its default
};

}  // namespace quindle
