// Loads the project settings: takes the ini file out of the session into the base
// temporary directory, reads every known key, deletes the file, and lays the user's
// registry choices over the options the author left open.
#pragma once

#include "package/ExtractionRouting.h"
#include "settings/IniFiles5.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"

#include <functional>
#include <memory>
#include <string>

namespace quindle {

class TVexExeAppender;

// What the loader works with; the runner object owns all of it.
struct TSettingsSources {
    TVexExeAppender& Extractor;
    TExtractionRouting& Routing;  // installed as the extractor's OnFile; its files delete the ini
    IRegistryStore& Registry;     // the runner's section
    std::string SystemTempPath;   // GetTempPath
    std::string ExeBaseName;      // the runner's file name up to ".exe"
    // Opens the extracted ini; by default a TMemIniFile with the fixed regional formats.
    std::function<std::unique_ptr<TCustomIniFile>(const std::string& path)> OpenIni;
};

// The base temporary directory: the registry's "Zantic Temp Directory", else the
// system temporary path, with a trailing backslash. An empty value counts as absent.
std::string ReadTempBase(IRegistryStore& registry, const std::string& systemTempPath);

// The keys go to two records. presentation receives what belongs to the running
// presentation (Major, BeforeShow, the password fields, HideCursor,
// RightMenuDeleteItems); options receives the option states, the window geometry,
// the screen name, CurrentDir, the alignments and MidiLoopTimes. The runner passes its
// own settings as both; the setup dialog passes its own record as options.
//
// Errors (extraction, reading the ini, a registry value that is no string) propagate
// after the ini is deleted, SettingsPass cleared and the registry choices applied.
void LoadProjectSettings(TSettingsSources& sources, TProjectSettings& presentation, TProjectSettings& options);
inline void LoadProjectSettings(TSettingsSources& sources, TProjectSettings& settings) {
    LoadProjectSettings(sources, settings, settings);
}

// The key table, read in its order (the ini is open; the options prepared).
void ReadProjectKeys(TCustomIniFile& ini, const std::string& exeBaseName, TProjectSettings& presentation,
                     TProjectSettings& options);

// Registry choices for the five user options whose Visible is set.
void ApplyRegistryChoices(IRegistryStore& registry, TProjectSettings& options);

}  // namespace quindle
