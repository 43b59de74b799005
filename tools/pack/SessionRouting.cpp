// Replays the runner's routing over a fresh, empty run directory.
#include "tools/pack/SessionRouting.h"

#include "package/RunDirFiles.h"
#include "base/Text.h"

namespace quindle::pack {

const char* const kRunDirectory = "<run>\\";
const char* const kSettingsFolder = "<settings>\\";

namespace {

// A run directory that holds nothing and accepts everything.
class TEmptyRunDir : public IRunDirFiles {
public:
    bool FolderExists(const std::string&) override { return false; }
    void CreateFolder(const std::string&) override {}
    bool CreateOwnFolder(const std::string&) override { return true; }
    bool RemoveEmptyFolder(const std::string&) override { return true; }
    bool FileExists(const std::string&) override { return false; }
    bool RemoveFile(const std::string&) override { return true; }
    bool FileUnlocked(const std::string&) override { return true; }
    std::string LoadFileText(const std::string&) override { return {}; }
    std::vector<TDirEntry> FindEntries(const std::string&) override { return {}; }
    bool IsLeadByte(unsigned char) const override { return false; }
};

}  // namespace

int ProjectIniIndex(const std::vector<TSessionEntry>& entries) {
    TEmptyRunDir files;
    const bool midiMuted = false;
    TExtractionRouting routing(files, midiMuted);
    routing.SettingsPass = true;
    int found = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string name = entries[i].name, dir = kRunDirectory;
        bool skip = false;
        routing.SettingsIniFile.clear();
        routing.Route(entries[i].tag, kRunDirectory, name, dir, skip);
        if (!skip && !routing.SettingsIniFile.empty()) found = int(i);
    }
    return found;
}

std::vector<int> ProgramIndices(const std::vector<TSessionEntry>& entries) {
    TEmptyRunDir files;
    const bool midiMuted = false;
    std::vector<int> programs;
    for (size_t i = 0; i < entries.size(); ++i) {
        TExtractionRouting routing(files, midiMuted);
        std::string name = entries[i].name, dir = kRunDirectory;
        bool skip = false;
        routing.Route(entries[i].tag, kRunDirectory, name, dir, skip);
        if (!skip && !routing.ProjectorFile.empty()) programs.push_back(int(i));
    }
    return programs;
}

std::vector<std::string> EntryDestinations(const std::vector<TSessionEntry>& entries) {
    TEmptyRunDir files;
    const bool midiMuted = false;
    TExtractionRouting main(files, midiMuted), settings(files, midiMuted);
    settings.SettingsPass = true;
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

TRoutedSession RouteSession(const std::vector<TSessionEntry>& entries, const bool& midiMuted) {
    TEmptyRunDir files;
    TExtractionRouting routing(files, midiMuted);
    for (const TSessionEntry& entry : entries) {
        std::string name = entry.name, dir = kRunDirectory;
        bool skip = false;
        routing.Route(entry.tag, kRunDirectory, name, dir, skip);
    }
    TRoutedSession routed;
    routed.projector = routing.ProjectorFile;
    routed.hookLibrary = routing.HookLibFile;
    routed.music = routing.MidiFile;
    for (size_t i = 1; i < routing.ToolConfigPaths.size(); i += 2)
        routed.toolConfigs.push_back(routing.ToolConfigPaths[i]);
    routed.toolFiles = routing.ToolFiles;
    routed.tagFolders = routing.TagFolders;
    routed.otherFiles = routing.ExtractedFiles;
    return routed;
}

}  // namespace quindle::pack
