// Replays the runner's routing over a fresh, empty run directory.
#include "tools/pack/SessionRouting.h"

#include "base/Text.h"

namespace quindle::pack {

const char* const kRunDirectory = "<run>\\";
const char* const kSettingsFolder = "<settings>\\";

int ProjectIniIndex(const std::vector<TSessionEntry>& entries) {
    TEmptyRunDir files;
    int found = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        TExtractionRouting routing(files, TRoutingPass::Settings);
        std::string name = entries[i].name, dir = kRunDirectory;
        bool skip = false;
        routing.Route(entries[i].tag, kRunDirectory, name, dir, skip);
        if (!skip && !routing.Record().SettingsIniFile.empty()) found = int(i);
    }
    return found;
}

std::vector<int> ProgramIndices(const std::vector<TSessionEntry>& entries) {
    TEmptyRunDir files;
    std::vector<int> programs;
    for (size_t i = 0; i < entries.size(); ++i) {
        TExtractionRouting routing(files, TRoutingPass::Main);
        std::string name = entries[i].name, dir = kRunDirectory;
        bool skip = false;
        routing.Route(entries[i].tag, kRunDirectory, name, dir, skip);
        if (!skip && !routing.Record().ProjectorFile.empty()) programs.push_back(int(i));
    }
    return programs;
}

std::vector<std::string> EntryDestinations(const std::vector<TSessionEntry>& entries) {
    TEmptyRunDir files;
    TExtractionRouting main(files, TRoutingPass::Main), settings(files, TRoutingPass::Settings);
    std::vector<std::string> destinations;
    for (const TSessionEntry& entry : entries) {
        std::string name = entry.name, dir = kRunDirectory;
        bool skip = false;
        main.Route(entry.tag, kRunDirectory, name, dir, skip);
        if (skip) {
            name = entry.name, dir = kSettingsFolder, skip = false;
            settings.Route(entry.tag, kSettingsFolder, name, dir, skip);
        }
        destinations.push_back(skip ? std::string() : WithTrailingBackslash(dir) + name);
    }
    return destinations;
}

TRoutedSession RouteSession(const std::vector<TSessionEntry>& entries, bool midiMuted) {
    TEmptyRunDir files;
    TExtractionRouting routing(files, TRoutingPass::Main, {0, midiMuted});
    for (const TSessionEntry& entry : entries) {
        std::string name = entry.name, dir = kRunDirectory;
        bool skip = false;
        routing.Route(entry.tag, kRunDirectory, name, dir, skip);
    }
    const TRoutingRecord& record = routing.Record();
    TRoutedSession routed;
    routed.projector = record.ProjectorFile;
    routed.hookLibrary = record.HookLibFile;
    routed.music = record.MidiFile;
    routed.toolConfigs = record.ToolFolderFiles;
    routed.toolFiles = record.ToolFiles;
    routed.tagFolders = record.TagFolders;
    routed.otherFiles = record.ExtractedFiles;
    return routed;
}

}  // namespace quindle::pack
