// The settings pass. Called by the runner's initialisation.
#include "runner/SettingsPass.h"

#include <exception>

#include "package/SessionArchive.h"
#include "package/VexExeApp.h"
#include "settings/ProjectSettingsLoader.h"

namespace quindle {

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
        extractor.Extract(kRunnerSessionName);
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
