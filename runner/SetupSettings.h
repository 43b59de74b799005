// The settings the setup dialog shows. They are loaded with an extractor of their own
// into records of the dialog's own, so that a running show keeps the runner's extractor
// as it was and its settings (the MIDI loop count among them).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "package/ArchiveFiles.h"
#include "package/RunDirFiles.h"
#include "settings/IniFile.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"

namespace quindle {

struct TSetupSettingsSources {
    IArchiveFileSystem& ArchiveFiles;  // reads the runner's own file
    IRunDirFiles& Files;               // deletes the extracted ini again
    IRegistryStore& Registry;          // the runner's section
    std::string SystemTempPath;
    std::string ExeBaseName;
    std::function<std::unique_ptr<TCustomIniFile>(const std::string& path)> OpenIni;
};

// presentation receives the password fields (and the other values the loader gives a
// presentation); options the option states, the screen name and the rest. Pass records
// of the dialog's own, never the running presentation's.
void LoadSetupSettings(const TSetupSettingsSources& sources, TProjectSettings& presentation, TProjectSettings& options);

}  // namespace quindle
