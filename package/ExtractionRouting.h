// Where each session entry goes: the runner's routing for its three extractions (the
// settings pass, the dry pass, the main pass), and the record of what one pass found,
// which the start-up, the tools and the clean-up read afterwards.
#pragma once

#include "package/RunDirFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quindle {

class TSessionExtractor;

// The extraction a routing serves.
enum class TRoutingPass {
    Settings,  // takes the project ini alone, into a folder of the runner's own
    Dry,       // writes nothing; notes whether some entry carries an entry tag
    Main,      // places every entry into the run directory
};

// What the main pass needs to know besides the entries.
struct TRoutingOptions {
    int32_t RunNumber = 0;   // numbers the projector's and the hook library's file names
    bool MidiMuted = false;  // the loaded settings' MIDI-mute flag: the MIDI file is not written
};

struct TToolFile {
    std::string Path;
    std::string Tag;  // the entry tag, beginning with "QTOOL."
};

// What one pass found. File names are as written into the destination folder; paths
// are full.
struct TRoutingRecord {
    bool HasTaggedEntries = false;    // dry pass
    std::string SettingsIniFile;      // settings pass: the last ini of the session
    std::string ProjectorStoredName;  // main pass from here on: the projector's name in the session
    std::string ProjectorFile;
    std::string HookLibFile;
    std::string MidiFile;
    std::vector<std::string> ExtractedFiles;  // every other file, deleted one by one at the end
    std::vector<std::string> TagFolders;      // relative, as their entry tags name them
    std::vector<std::string> ToolFolders;     // one per tool configuration, with its trailing "\"
    // Files inside the tool folders: each folder's qtools.ini, then the copies the
    // tool-folder preparation adds.
    std::vector<std::string> ToolFolderFiles;
    std::vector<TToolFile> ToolFiles;
};

// The routing of one pass: fed every entry in archive order, it says where each goes
// (or that it is skipped) and records what the pass extracted.
class TExtractionRouting {
public:
    TExtractionRouting(IRunDirFiles& files, TRoutingPass pass, TRoutingOptions options = {});

    // The decision for one entry: its tag, the extraction's destination folder, the
    // entry's file name and folder (both rewritten in place) and whether to skip it.
    void Route(const std::string& entryTag, const std::string& destinationDir, std::string& fileName, std::string& dir,
               bool& skip);

    const TRoutingRecord& Record() const { return record_; }

private:
    void RouteTagged(const std::string& entryTag, const std::string& destinationDir, const std::string& fileName,
                     std::string& dir);
    void RouteToolConfig(const std::string& destinationDir, std::string& fileName, std::string& dir);
    // Base + n + ext, moving n away from zero while that name is held by a locked file.
    std::string FreeNumberedName(const std::string& dir, const std::string& fileName, const std::string& ext,
                                 bool plainWhenZero, std::string& recorded);

    IRunDirFiles& files_;
    const TRoutingPass pass_;
    const TRoutingOptions options_;
    TRoutingRecord record_;
};

// One pass of extractor over the runner's session ("Session1"), every entry routed for
// the pass; returns what the pass found. Where the extractor reads from and its
// DestinationDir are the caller's to set; extraction errors propagate.
TRoutingRecord ExtractRouted(TSessionExtractor& extractor, IRunDirFiles& files, TRoutingPass pass,
                             TRoutingOptions options = {});
// The same into record, which also holds what the pass placed before an extraction
// error cut it short, for the clean-up to remove.
void ExtractRouted(TSessionExtractor& extractor, IRunDirFiles& files, TRoutingPass pass, TRoutingOptions options,
                   TRoutingRecord& record);

// The lower-case extension: from the last "." on, unless a "\" or ":" follows it.
std::string EntryExtension(const std::string& lowerName);

}  // namespace quindle
