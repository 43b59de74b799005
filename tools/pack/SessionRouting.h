// The runner's routing decisions replayed on a list of entries, without touching any
// file: which entry is the project ini, and where the main pass puts every entry.
#pragma once

#include <string>
#include <vector>

#include "package/ExtractionRouting.h"
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
TRoutedSession RouteSession(const std::vector<TSessionEntry>& entries, const bool& midiMuted);

extern const char* const kRunDirectory;
extern const char* const kSettingsFolder;

}  // namespace quindle::pack
