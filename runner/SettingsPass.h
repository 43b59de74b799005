// The settings pass: takes the project ini out of the session into a folder of the
// runner's own in the base temporary directory, reads every known key, deletes the
// folder, and lays the user's registry choices over the options the author left open.
// The runner's initialisation runs it with its own extractor; the setup dialog with
// extractor and options record of its own; quindle-pack info over a show it inspects.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "package/RunDirFiles.h"
#include "settings/IniFile.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"

namespace quindle {

class TSessionExtractor;

// What the pass works with.
struct TSettingsSources {
    TSessionExtractor& Extractor;  // reads the session from wherever it is set to read
    IRunDirFiles& Files;           // makes and removes the ini's folder
    IRegistryStore& Registry;      // the runner's section
    std::string SystemTempPath;    // GetTempPath
    std::string ExeBaseName;       // the runner's file name up to ".exe"
    // Opens the extracted ini; by default a TMemIniFile with the fixed regional formats.
    std::function<std::unique_ptr<TCustomIniFile>(const std::string& path)> OpenIni;
};

// Returns the file name of the ini it read ("" when the session holds none). Errors
// (extraction, reading the ini, a registry value that is no string) propagate after the
// ini's folder is deleted and the registry choices applied; the first one wins.
std::string LoadProjectSettings(TSettingsSources& sources, TProjectSettings& presentation, TProjectSettings& options);
inline std::string LoadProjectSettings(TSettingsSources& sources, TProjectSettings& settings) {
    return LoadProjectSettings(sources, settings, settings);
}

}  // namespace quindle
