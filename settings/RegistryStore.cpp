// Typed reads and writes over a registry section, and the in-memory section used by
// tests and by builds without a registry.
#include "settings/RegistryStore.h"

#include "base/Text.h"
#include "settings/IniFile.h"

#include <stdexcept>

namespace quindle {

std::string InvalidDataTypeMessage(const std::string& name) { return "Invalid data type for '" + name + "'"; }

int32_t ReadRegistryInt(IRegistryStore& store, const std::string& name, int32_t def) {
    std::string text;
    if (!store.ReadString(name, text)) return def;
    int32_t value = def;
    // Only decimal and "0x" text: "$" belongs to the ini's notation, not the registry's.
    if (text.find('$') != std::string::npos) return def;
    return ParseIniInt(text, value) ? value : def;
}

bool ReadRegistryBool(IRegistryStore& store, const std::string& name, bool def) {
    return ReadRegistryInt(store, name, def ? 1 : 0) != 0;
}

void WriteRegistryBool(IRegistryStore& store, const std::string& name, bool value) {
    store.WriteString(name, value ? "1" : "0");
}

bool TMemRegistryStore::ReadString(const std::string& name, std::string& value) {
    if (!SectionExists) return false;
    // The registry finds value names ignoring case.
    for (const auto& entry : Values) {
        if (!SameTextAscii(entry.first, name)) continue;
        if (!entry.second.IsString) throw std::runtime_error(InvalidDataTypeMessage(name));
        value = entry.second.Text;
        return true;
    }
    return false;
}

void TMemRegistryStore::WriteString(const std::string& name, const std::string& value) {
    SectionExists = true;
    for (auto& entry : Values) {
        if (SameTextAscii(entry.first, name)) {
            entry.second = {value, true};
            return;
        }
    }
    Values[name] = {value, true};
}

}  // namespace quindle
