// Where each session entry goes: the runner's OnFile routing for all its extractions
// (settings pass, dry pass, main pass), and the record of what was extracted, which
// the start-up sequence, the tools and shut-down read afterwards.
#pragma once

#include "package/RunDirFiles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quindle {

class TSessionExtractor;

struct TToolFile {
    std::string Path;
    std::string Tag;  // the entry tag, beginning with "QTOOL."
};

class TExtractionRouting {
public:
    // midiMuted: whether background MIDI is off in the loaded settings (read at each
    // entry, as the settings are loaded after the routing is made); then its file is
    // never written.
    TExtractionRouting(IRunDirFiles& files, const bool& midiMuted);

    // Inputs, set by the start-up sequence and the settings loader.
    bool DryPass = false;
    bool SettingsPass = false;
    int32_t RunNumber = 0;

    // Results.
    bool HasTaggedEntries = false;
    std::string SettingsIniFile;
    std::string ProjectorStoredName;
    std::string ProjectorFile;
    std::string HookLibFile;
    std::string MidiFile;
    std::vector<std::string> ExtractedFiles;
    std::vector<std::string> TagFolders;
    // Per tool: its folder (ending in "\") and then the full path of its qtools.ini.
    std::vector<std::string> ToolConfigPaths;
    std::vector<TToolFile> ToolFiles;

    // The extractor's OnFile: reads the sender's EntryTag and DestinationDir.
    void RouteEntry(TSessionExtractor& sender, std::string& fileName, std::string& dir, bool& skip);
    // The same decision on its inputs alone.
    void Route(const std::string& entryTag, const std::string& destinationDir, std::string& fileName, std::string& dir,
               bool& skip);

    // Cleared right before the main pass.
    void ClearMainPassResults();

    IRunDirFiles& Files() { return files_; }

private:
    bool MidiMuted() const { return midiMuted_; }
    void RouteTagged(const std::string& entryTag, const std::string& destinationDir, const std::string& fileName,
                     std::string& dir);
    void RouteToolConfig(const std::string& destinationDir, std::string& fileName, std::string& dir);
    // Base + n + ext, moving n away from zero while that name is held by a locked file.
    std::string FreeNumberedName(const std::string& dir, const std::string& fileName, const std::string& ext,
                                 bool plainWhenZero, std::string& recorded);

    IRunDirFiles& files_;
    const bool& midiMuted_;
};

// The lower-case extension: from the last "." on, unless a "\" or ":" follows it.
std::string EntryExtension(const std::string& lowerName);

}  // namespace quindle
