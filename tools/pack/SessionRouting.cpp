// Replays the runner's routing over a fresh, empty run directory.
#include "tools/pack/SessionRouting.h"

namespace quindle::pack {

const char* const kRunDirectory = "<run>\\";

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
