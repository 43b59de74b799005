// An in-memory ini that remembers every key asked for, in order.
#pragma once

#include "settings/IniFile.h"

namespace quindle::testing {

class KeyRecordingIni : public TMemIniFile {
public:
    KeyRecordingIni() : TMemIniFile("") {}
    std::vector<std::string> Asked;  // "section/key"
    std::string GetText(const std::string& section, const std::string& key, const std::string& def) override {
        Asked.push_back(section + "/" + key);
        return TMemIniFile::GetText(section, key, def);
    }
};

}  // namespace quindle::testing
