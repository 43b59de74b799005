// Reading the project settings from an ini file and the user's registry choices.
// Used by the runner's settings pass and by the setup dialog.
#include "settings/ProjectSettingsLoader.h"

#include "base/Text.h"
#include "settings/ProjectKeys.h"

namespace quindle {
namespace {

using MenuItemsField = std::array<int32_t, kRightMenuDeleteItemCount> TProjectSettings::*;

// The count key first, then the keys named by the indices below it (and below 50).
void ReadRightMenuDeleteItems(TCustomIniFile& ini, const TProjectKey& countKey,
                              std::array<int32_t, kRightMenuDeleteItemCount>& items) {
    items.fill(0);
    const int32_t count = ini.GetInt(countKey.Section, countKey.Key, countKey.Default);
    for (int32_t i = 0; i < count && i < kRightMenuDeleteItemCount; ++i) {
        items[i] = ini.GetInt(countKey.Section, std::to_string(i), 0);
    }
}

}  // namespace

void PrepareOptionStates(TProjectSettings& options) {
    for (TOptionState* o :
         {&options.MouseInteraction, &options.SoundMuted, &options.MidiMuted, &options.KeyInteraction}) {
        o->Visible = true;
        o->Enabled = true;
    }
    options.RightClickMenu.Visible = true;
    options.RightClickMenu.Enabled = false;
}

std::string ReadTempBase(IRegistryStore& registry, const std::string& systemTempPath) {
    std::string base;
    if (!registry.ReadString("Zantic Temp Directory", base) || base.empty()) base = systemTempPath;
    return WithTrailingBackslash(base);
}

void ReadProjectKeys(TCustomIniFile& ini, const std::string& exeBaseName, TProjectSettings& presentation,
                     TProjectSettings& options) {
    for (const TProjectKey& k : ProjectKeys()) {
        TProjectSettings& s = k.Record == TKeyRecord::Presentation ? presentation : options;
        if (k.Kind == TKeyKind::Text) {
            s.*std::get<std::string TProjectSettings::*>(k.Field) =
                ini.GetText(k.Section, k.Key, k.DefaultText ? k.DefaultText : exeBaseName);
            continue;
        }
        if (k.Kind == TKeyKind::MenuItems) {
            ReadRightMenuDeleteItems(ini, k, s.*std::get<MenuItemsField>(k.Field));
            continue;
        }
        const int32_t value = ini.GetInt(k.Section, k.Key, k.Default);
        switch (k.Kind) {
            case TKeyKind::Number:
                s.*std::get<int32_t TProjectSettings::*>(k.Field) = value;
                break;
            case TKeyKind::Hash:
                s.*std::get<uint32_t TProjectSettings::*>(k.Field) = uint32_t(value);
                break;
            case TKeyKind::OnWhenOne:
                s.*std::get<bool TProjectSettings::*>(k.Field) = value == 1;
                break;
            case TKeyKind::OnWhenSet:
                s.*std::get<bool TProjectSettings::*>(k.Field) = value != 0;
                break;
            case TKeyKind::Flag:
                if (value == 0 || value == 1)
                    (s.*std::get<TOptionState TProjectSettings::*>(k.Field)).Checked = value == 1;
                break;
            case TKeyKind::ThreeWay: {
                TOptionState& option = s.*std::get<TOptionState TProjectSettings::*>(k.Field);
                option.Visible = value != 0 && value != 1;
                if (!option.Visible) option.Checked = value == 0 ? k.CheckedFor0 : k.CheckedFor1;
                break;
            }
            case TKeyKind::Text:
            case TKeyKind::MenuItems:
                break;
        }
    }
}

void ApplyRegistryChoices(IRegistryStore& registry, TProjectSettings& options) {
    for (const TUserChoice& c : UserChoices()) {
        TOptionState& option = options.*c.Option;
        if (!option.Visible) continue;
        option.Checked = ReadRegistryBool(registry, c.RegistryValue, c.Default) != c.Inverted;
    }
}

}  // namespace quindle
