// Loading for the setup dialog through a fresh extractor and routing.
#include "runner/SetupSettings.h"

#include "package/ExtractionRouting.h"
#include "package/SessionExtractor.h"
#include "runner/SettingsPass.h"

namespace quindle {

void LoadSetupSettings(const TSetupSettingsSources& sources, TProjectSettings& presentation,
                       TProjectSettings& options) {
    TExtractionRouting routing(sources.Files, options.MidiMuted.Checked);
    TSessionExtractor extractor(sources.ArchiveFiles);
    TSettingsSources loaderSources{extractor,           routing,        sources.Registry, sources.SystemTempPath,
                                   sources.ExeBaseName, sources.OpenIni};
    LoadProjectSettings(loaderSources, presentation, options);
}

}  // namespace quindle
