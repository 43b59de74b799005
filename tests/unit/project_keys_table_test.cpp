// The key table is the loader's own: every row's value lands in the field the row names.
// The keys' order and an empty ini's values are checked against expectations written out
// on their own in settings_keys_test.cpp, not against this table.
#include "settings/ProjectKeys.h"
#include "settings/ProjectSettingsLoader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "recording_ini.h"

namespace quindle {
namespace {

using RecordingIni = testing::KeyRecordingIni;

TProjectSettings Read(const TStringList& lines) {
    RecordingIni ini;
    ini.ParseLines(lines);
    TProjectSettings s;
    ReadProjectKeys(ini, "Tour", s, s);
    return s;
}

// The bound field's value as text, whatever its type.
std::string FieldText(const TProjectSettings& s, const TProjectKey& k) {
    return std::visit(
        [&s](auto field) -> std::string {
            const auto& v = s.*field;
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>)
                return v;
            else if constexpr (std::is_same_v<T, TOptionState>)
                return std::to_string(v.Visible) + std::to_string(v.Checked);
            else if constexpr (std::is_same_v<T, std::array<int32_t, kRightMenuDeleteItemCount>>)
                return std::to_string(v[0]);
            else
                return std::to_string(v);
        },
        k.Field);
}

TEST(ProjectKeyTable, EveryRowsValueLandsInItsField) {
    const TProjectSettings defaults = Read({});
    for (const TProjectKey& k : ProjectKeys()) {
        // A value the row would not give by default.
        const std::string value = k.Kind == TKeyKind::Text ? "written" : k.Default == 1 ? "0" : "1";
        TStringList lines = {"[" + std::string(k.Section) + "]", std::string(k.Key) + "=" + value};
        if (k.Kind == TKeyKind::MenuItems) lines.push_back("0=777");
        const TProjectSettings s = Read(lines);
        EXPECT_NE(FieldText(s, k), FieldText(defaults, k)) << k.Key;
        if (k.Kind == TKeyKind::Text) EXPECT_EQ(FieldText(s, k), "written") << k.Key;
    }
}

TEST(ProjectKeyTable, UserChoicesBelongToThreeWayKeys) {
    for (const TUserChoice& c : UserChoices()) {
        const TProjectKey* k = FindProjectKey("settings", c.Key);
        ASSERT_NE(k, nullptr) << c.Key;
        EXPECT_EQ(k->Kind, TKeyKind::ThreeWay) << c.Key;
        EXPECT_EQ(std::get<TOptionState TProjectSettings::*>(k->Field), c.Option) << c.Key;
    }
    EXPECT_EQ(UserChoiceFor("MidiLoop"), nullptr);
    EXPECT_EQ(FindProjectKey("Settings", "Widht"), nullptr);
    EXPECT_NE(FindProjectKey("SETTINGS", "zantic screen name"), nullptr);
}

}  // namespace
}  // namespace quindle
