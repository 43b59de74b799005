// The settings pass. Called by the runner's initialisation.
#include "runner/SettingsPass.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "package/SessionArchive.h"
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

}  // namespace

void LoadProjectSettings(TSettingsSources& sources, TProjectSettings& presentation, TProjectSettings& options) {
    TExtractionRouting& routing = sources.Routing;
    TSessionExtractor& extractor = sources.Extractor;
    routing.SettingsPass = true;
    std::string settingsFolder;
    std::exception_ptr failure;
    try {
        settingsFolder = CreateSettingsFolder(routing.Files(), ReadTempBase(sources.Registry, sources.SystemTempPath));
        if (!settingsFolder.empty()) {
            extractor.UseOwnExecutable = true;
            extractor.DestinationDir = settingsFolder;
            routing.SettingsIniFile.clear();
            extractor.OnFile = [&routing](TSessionExtractor& sender, std::string& fileName, std::string& dir,
                                          bool& skip) { routing.RouteEntry(sender, fileName, dir, skip); };
            extractor.Extract(kRunnerSessionName);
            if (!routing.SettingsIniFile.empty()) {
                PrepareOptionStates(options);
                const std::string path = settingsFolder + routing.SettingsIniFile;
                const auto ini = sources.OpenIni ? sources.OpenIni(path) : std::make_unique<TMemIniFile>(path);
                ReadProjectKeys(*ini, sources.ExeBaseName, presentation, options);
            }
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // The ini lives in the runner's own folder only while it is read, whatever happened.
    if (!settingsFolder.empty()) RemoveOwnFolder(routing.Files(), settingsFolder);
    routing.SettingsPass = false;
    try {
        ApplyRegistryChoices(sources.Registry, options);
    } catch (...) {
        if (!failure) throw;  // the first error is the one to report
    }
    if (failure) std::rethrow_exception(failure);
    options.RightClickMenu.Enabled = options.MouseInteraction.Checked;
}

}  // namespace quindle
