// The settings pass. Called by the runner's initialisation, the setup dialog's loading
// and quindle-pack info.
#include "runner/SettingsPass.h"

#include <stdexcept>
#include <string>

#include "base/FirstFailure.h"
#include "package/ExtractionRouting.h"
#include "package/SessionExtractor.h"
#include "settings/ProjectSettingsLoader.h"

namespace quindle {

namespace {

// Folders tried in the temporary folder before the pass gives up.
constexpr int kSettingsFolderTries = 10000;

// A folder of the runner's own in the shared temporary folder (with its trailing
// backslash): runners started together each read their own copy of the ini, and
// nobody else's file of the same name is overwritten or deleted. Empty when nothing
// can be created in the temporary folder (it is missing, say): no ini could be written
// there either, and the run directory's creation reports the folder.
std::string CreateSettingsFolder(IRunDirFiles& files, const std::string& tempBase) {
    for (int n = 1; n <= kSettingsFolderTries; ++n) {
        const std::string folder = tempBase + "QSettings" + std::to_string(n);
        if (files.CreateOwnFolder(folder)) return folder + "\\";
        if (!files.FolderExists(folder)) return {};
    }
    throw std::runtime_error("Cannot create a settings folder in " + tempBase);
}

// Extracts the session's project ini into folder and reads its keys; the ini's file
// name, or "" when the session holds none.
std::string ReadProjectIni(TSettingsSources& sources, const std::string& folder, TProjectSettings& presentation,
                           TProjectSettings& options) {
    sources.Extractor.DestinationDir = folder;
    const std::string ini = ExtractRouted(sources.Extractor, sources.Files, TRoutingPass::Settings).SettingsIniFile;
    if (ini.empty()) return ini;
    PrepareOptionStates(options);
    const std::string path = folder + ini;
    const auto file = sources.OpenIni ? sources.OpenIni(path) : std::make_unique<TMemIniFile>(path);
    ReadProjectKeys(*file, sources.ExeBaseName, presentation, options);
    return ini;
}

}  // namespace

std::string LoadProjectSettings(TSettingsSources& sources, TProjectSettings& presentation, TProjectSettings& options) {
    TFirstFailure failures;
    std::string folder;
    std::string ini;
    failures.Run([&] {
        folder = CreateSettingsFolder(sources.Files, ReadTempBase(sources.Registry, sources.SystemTempPath));
        if (!folder.empty()) ini = ReadProjectIni(sources, folder, presentation, options);
    });
    // The ini lives in the runner's own folder only while it is read, whatever happened.
    if (!folder.empty()) failures.Run([&] { RemoveOwnFolder(sources.Files, folder); });
    failures.Run([&] { ApplyRegistryChoices(sources.Registry, options); });
    failures.RethrowFirst();
    options.RightClickMenu.Enabled = options.MouseInteraction.Checked;
    return ini;
}

}  // namespace quindle
