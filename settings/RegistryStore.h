// The per-user choices kept in the registry under the maker's key and the runner's
// section, behind a seam: Win32 in settings/win32/, an in-memory store for tests.
#pragma once

#include <map>
#include <string>

namespace quindle {

class IRegistryStore {
public:
    virtual ~IRegistryStore() = default;
    // False when the section or the value is absent. A value that is not a string
    // throws std::runtime_error "Invalid data type for '<name>'".
    virtual bool ReadString(const std::string& name, std::string& value) = 0;
    // Creates the section when missing; throws std::runtime_error when refused.
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
};

// The registry's text reading: decimal or "0x" hexadecimal text; the default for a
// missing value or text that is no number.
int32_t ReadRegistryInt(IRegistryStore& store, const std::string& name, int32_t def);
bool ReadRegistryBool(IRegistryStore& store, const std::string& name, bool def);
// Booleans are written as the strings "0" and "1".
void WriteRegistryBool(IRegistryStore& store, const std::string& name, bool value);

std::string InvalidDataTypeMessage(const std::string& name);

// A registry section held in memory. Values of another type than string can be
// planted to exercise the type check.
class TMemRegistryStore : public IRegistryStore {
public:
    struct TStoredValue {
        std::string Text;
        bool IsString = true;
    };
    std::map<std::string, TStoredValue> Values;
    bool SectionExists = true;

    bool ReadString(const std::string& name, std::string& value) override;
    void WriteString(const std::string& name, const std::string& value) override;
};

}  // namespace quindle
