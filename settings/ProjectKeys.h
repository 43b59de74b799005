// Every key the runner reads from a project ini, in reading order, with what each value
// does. The settings loader reads through this table and the packaging tool documents
// and checks ini files from it, so the two cannot drift apart.
#pragma once

#include "settings/ProjectSettings.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace quindle {

enum class TKeyKind {
    Number,     // GetInt, stored as read
    Hash,       // GetInt, stored as the unsigned password hash
    OnWhenOne,  // GetInt, on exactly for 1
    OnWhenSet,  // GetInt, on for anything but 0
    Flag,       // GetInt; 0 and 1 set Checked, anything else leaves it as it was
    ThreeWay,   // GetInt; 0 and 1 fix the option, anything else leaves it to the user
    Text,       // GetText
    MenuItems,  // Count, then the keys 0, 1, ... below Count and below 50
};

// The loader's record that receives the key (the setup dialog passes its own options).
enum class TKeyRecord { Presentation, Options };

using TProjectField = std::variant<int32_t TProjectSettings::*, uint32_t TProjectSettings::*, bool TProjectSettings::*,
                                   std::string TProjectSettings::*, TOptionState TProjectSettings::*,
                                   std::array<int32_t, kRightMenuDeleteItemCount> TProjectSettings::*>;

struct TProjectKey {
    const char* Section;
    const char* Key;
    TKeyKind Kind;
    TKeyRecord Record;
    TProjectField Field;
    int32_t Default;                // numeric kinds
    const char* DefaultText;        // Text; nullptr: the runner's file name up to ".exe"
    int32_t Low, High;              // the values that mean something; every other value is read but misleads
    bool CheckedFor0, CheckedFor1;  // ThreeWay: Checked for the values 0 and 1
    const char* Accepted;           // the values it takes, for authors
    const char* Meaning;            // one line
};

// In the order the loader reads them.
const std::vector<TProjectKey>& ProjectKeys();

// The section and key, ignoring case as the ini component compares them; nullptr when unknown.
const TProjectKey* FindProjectKey(const std::string& section, const std::string& key);

// A three-way option left open (any value but 0 and 1) follows this registry value.
struct TUserChoice {
    const char* Key;            // the option's ini key
    const char* RegistryValue;  // under the runner's registry key
    bool Default;               // when the value is absent
    bool Inverted;              // the registry holds the "exit" sense of an interaction option
    TOptionState TProjectSettings::*Option;
};

// In the order the loader reads them from the registry.
const std::vector<TUserChoice>& UserChoices();
const TUserChoice* UserChoiceFor(const std::string& key);

}  // namespace quindle
