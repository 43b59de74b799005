// Loading for the setup dialog through a fresh extractor.
#include "runner/SetupSettings.h"

#include "package/SessionExtractor.h"
#include "runner/SettingsPass.h"

namespace quindle {

void LoadSetupSettings(const TSetupSettingsSources& sources, TProjectSettings& presentation,
                       TProjectSettings& options) {
    TSessionExtractor extractor(sources.ArchiveFiles);
    TSettingsSources loaderSources{extractor,           sources.Files,  sources.Registry, sources.SystemTempPath,
                                   sources.ExeBaseName, sources.OpenIni};
    LoadProjectSettings(loaderSources, presentation, options);
}

}  // namespace quindle
