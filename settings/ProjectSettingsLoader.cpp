// The project settings loader. Called by the runner's initialisation and by the setup
// dialog, each with its own destinations for the option states.
#include "settings/ProjectSettingsLoader.h"

#include "package/VexExeApp.h"
#include "settings/ProjectKeys.h"

#include <exception>

namespace quindle {
namespace {

using MenuItemsField = std::array<int32_t, kRightMenuDeleteItemCount> TProjectSettings::*;
const char kSessionName[] = "Session1";

// The count key first, then the keys named by the indices below it (and below 50).
void ReadRightMenuDeleteItems(TCustomIniFile& ini, const TProjectKey& countKey,
                              std::array<int32_t, kRightMenuDeleteItemCount>& items) {
    items.fill(0);
    const int32_t count = ini.GetInt(countKey.Section, countKey.Key, countKey.Default);
    for (int32_t i = 0; i < count && i < kRightMenuDeleteItemCount; ++i) {
        items[i] = ini.GetInt(countKey.Section, std::to_string(i), 0);
    }
}

// The user may choose these four; the right-click menu only while mouse interaction is on.
void PrepareOptionStates(TProjectSettings& options) {
    for (TOptionState* o : {&options.Interaction, &options.Sound, &options.Midi, &options.KeyInteraction}) {
        o->Visible = true;
        o->Enabled = true;
    }
    options.RightClickMenu.Visible = true;
    options.RightClickMenu.Enabled = false;
}

}  // namespace

std::string ReadTempBase(IRegistryStore& registry, const std::string& systemTempPath) {
    std::string base;
    if (!registry.ReadString("Zantic Temp Directory", base) || base.empty()) base = systemTempPath;
    if (base.empty() || base.back() != '\\') base += '\\';
    return base;
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
        case TKeyKind::Number: s.*std::get<int32_t TProjectSettings::*>(k.Field) = value; break;
        case TKeyKind::Hash: s.*std::get<uint32_t TProjectSettings::*>(k.Field) = uint32_t(value); break;
        case TKeyKind::OnWhenOne: s.*std::get<bool TProjectSettings::*>(k.Field) = value == 1; break;
        case TKeyKind::OnWhenSet: s.*std::get<bool TProjectSettings::*>(k.Field) = value != 0; break;
        case TKeyKind::Flag:
            if (value == 0 || value == 1) (s.*std::get<TOptionState TProjectSettings::*>(k.Field)).Checked = value == 1;
            break;
        case TKeyKind::ThreeWay: {
            TOptionState& option = s.*std::get<TOptionState TProjectSettings::*>(k.Field);
            option.Visible = value != 0 && value != 1;
            if (!option.Visible) option.Checked = value == 0 ? k.CheckedFor0 : k.CheckedFor1;
            break;
        }
        case TKeyKind::Text:
        case TKeyKind::MenuItems: break;
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

void LoadProjectSettings(TSettingsSources& sources, TProjectSettings& presentation, TProjectSettings& options) {
    TExtractionRouting& routing = sources.Routing;
    TVexExeAppender& extractor = sources.Extractor;
    routing.SettingsPass = true;
    std::string tempBase;
    std::exception_ptr failure;
    try {
        tempBase = ReadTempBase(sources.Registry, sources.SystemTempPath);
        extractor.UseOwnExecutable = true;
        extractor.DestinationDir = tempBase;
        routing.SettingsIniFile.clear();
        extractor.OnFile = [&routing](TVexExeAppender& sender, std::string& fileName, std::string& dir, bool& skip) {
            routing.RouteEntry(sender, fileName, dir, skip);
        };
        extractor.Extract(kSessionName);
        if (!routing.SettingsIniFile.empty()) {
            PrepareOptionStates(options);
            const std::string path = tempBase + routing.SettingsIniFile;
            const auto ini = sources.OpenIni ? sources.OpenIni(path) : std::make_unique<TMemIniFile>(path);
            ReadProjectKeys(*ini, sources.ExeBaseName, presentation, options);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // The ini lives in the shared temporary folder only while it is read, whatever happened.
    if (!tempBase.empty() && !routing.SettingsIniFile.empty()) {
        routing.Files().RemoveFile(tempBase + routing.SettingsIniFile);
    }
    routing.SettingsPass = false;
    try {
        ApplyRegistryChoices(sources.Registry, options);
    } catch (...) {
        if (!failure) throw;  // the first error is the one to report
    }
    if (failure) std::rethrow_exception(failure);
    options.RightClickMenu.Enabled = options.Interaction.Checked;
}

}  // namespace quindle
