// Loading for the setup dialog through a fresh extractor and routing.
#include "setup/SetupSettings.h"

#include "package/ExtractionRouting.h"
#include "package/VexExeApp.h"
#include "settings/ProjectSettingsLoader.h"

namespace quindle {

void LoadSetupSettings(const TSetupSettingsSources& sources, TProjectSettings& presentation,
                       TProjectSettings& options) {
    TExtractionRouting routing(sources.Files, options.Midi);
    TVexExeAppender extractor(sources.ArchiveFiles);
    TSettingsSources loaderSources{extractor,          routing,          sources.Registry, sources.SystemTempPath,
                                   sources.ExeBaseName, sources.OpenIni};
    LoadProjectSettings(loaderSources, presentation, options);
}

}  // namespace quindle
