// The runner's routing decisions replayed on a list of entries, without touching any
// file: which entry is the project ini, and where the main pass puts every entry.
#pragma once

#include <string>
#include <vector>

#include "package/ExtractionRouting.h"
#include "package/RunDirFiles.h"
#include "settings/ProjectSettings.h"

namespace quindle::pack {

struct TSessionEntry {
    std::string name;
    std::string tag;
};

// Index of the entry the runner's settings pass takes as the project ini, or -1.
int ProjectIniIndex(const std::vector<TSessionEntry>& entries);

// Indices of the entries the runner would start as the projector (the last one wins).
std::vector<int> ProgramIndices(const std::vector<TSessionEntry>& entries);

// Where the runner writes each entry, as "<run>\..." for the main pass and
// "<settings>\name" for a project ini it writes only in the settings pass; with music
// taken as playing. Names keep the letter case the routing gives them.
std::vector<std::string> EntryDestinations(const std::vector<TSessionEntry>& entries);

// The main pass's record for a run directory "<run>\"; midiMuted is the loaded settings' MIDI-mute flag.
struct TRoutedSession {
    std::string projector;
    std::string hookLibrary;
    std::string music;                     // empty when none is extracted
    std::vector<std::string> toolConfigs;  // each tool's qtools.ini
    std::vector<TToolFile> toolFiles;
    std::vector<std::string> tagFolders;
    std::vector<std::string> otherFiles;
};
TRoutedSession RouteSession(const std::vector<TSessionEntry>& entries, bool midiMuted);

extern const char* const kRunDirectory;
extern const char* const kSettingsFolder;

// A run directory that holds nothing and accepts everything: the routing's decisions
// and the settings pass replayed without touching a disk.
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

}  // namespace quindle::pack
