// The settings pass: takes the project ini out of the session into a folder of the
// runner's own in the base temporary directory, reads every known key, deletes the
// folder, and lays the user's registry
// choices over the options the author left open. The runner's initialisation runs it
// with its own extractor and routing; the setup dialog with its own options record.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "package/ExtractionRouting.h"
#include "settings/IniFile.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"

namespace quindle {

class TSessionExtractor;

// What the pass works with; the runner object owns all of it.
struct TSettingsSources {
    TSessionExtractor& Extractor;
    TExtractionRouting& Routing;  // installed as the extractor's OnFile; its files delete the ini
    IRegistryStore& Registry;     // the runner's section
    std::string SystemTempPath;   // GetTempPath
    std::string ExeBaseName;      // the runner's file name up to ".exe"
    // Opens the extracted ini; by default a TMemIniFile with the fixed regional formats.
    std::function<std::unique_ptr<TCustomIniFile>(const std::string& path)> OpenIni;
};

// Errors (extraction, reading the ini, a registry value that is no string) propagate
// after the ini's folder is deleted, SettingsPass cleared and the registry choices applied.
void LoadProjectSettings(TSettingsSources& sources, TProjectSettings& presentation, TProjectSettings& options);
inline void LoadProjectSettings(TSettingsSources& sources, TProjectSettings& settings) {
    LoadProjectSettings(sources, settings, settings);
}

}  // namespace quindle
