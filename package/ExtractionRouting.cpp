// The runner's routing of session entries. Installed as the extractor's OnFile by the
// settings loader and the start-up sequence.
#include "package/ExtractionRouting.h"

#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "base/Text.h"

namespace quindle {
namespace {

const char kToolConfigSuffix[] = ".qtools.ini";
constexpr size_t kToolConfigSuffixLength = sizeof kToolConfigSuffix - 1;

}  // namespace

std::string EntryExtension(const std::string& lowerName) {
    const size_t dot = lowerName.find_last_of('.');
    if (dot == std::string::npos || lowerName.find_first_of("\\:", dot) != std::string::npos) return {};
    return lowerName.substr(dot);
}

TExtractionRouting::TExtractionRouting(IRunDirFiles& files, const bool& midiMuted)
    : files_(files), midiMuted_(midiMuted) {}

void TExtractionRouting::ClearMainPassResults() {
    ProjectorFile.clear();
    MidiFile.clear();
    HookLibFile.clear();
    ExtractedFiles.clear();
    TagFolders.clear();
    ToolConfigPaths.clear();
    ToolFiles.clear();
}

void TExtractionRouting::RouteEntry(TSessionExtractor& sender, std::string& fileName, std::string& dir, bool& skip) {
    Route(sender.EntryTag, sender.DestinationDir, fileName, dir, skip);
}

void TExtractionRouting::Route(const std::string& entryTag, const std::string& destinationDir, std::string& fileName,
                               std::string& dir, bool& skip) {
    if (DryPass) {
        if (!SettingsPass && !entryTag.empty()) HasTaggedEntries = true;
        skip = true;
        return;
    }
    fileName = LowerAscii(fileName, files_);
    const std::string ext = EntryExtension(fileName);

    if (!SettingsPass && !entryTag.empty() && !IsToolTag(entryTag)) {
        RouteTagged(entryTag, destinationDir, fileName, dir);
        return;
    }
    if (fileName.size() > kToolConfigSuffixLength &&
        fileName.compare(fileName.size() - kToolConfigSuffixLength, kToolConfigSuffixLength, kToolConfigSuffix) == 0) {
        if (SettingsPass)
            skip = true;
        else
            RouteToolConfig(destinationDir, fileName, dir);
        return;
    }
    skip = SettingsPass ? ext != ".ini" : ext == ".ini";
    if (skip) return;
    if (ext == ".ini") {
        SettingsIniFile = fileName;
        return;
    }
    if (IsToolTag(entryTag)) {
        ToolFiles.push_back({WithTrailingBackslash(dir, files_) + fileName, entryTag});
        return;
    }
    if (ext == ".exe") {
        ProjectorStoredName = fileName;
        fileName = FreeNumberedName(dir, fileName, ext, true, ProjectorFile);
        return;
    }
    if (ext == ".mid" || ext == ".rmi") {
        if (MidiMuted())
            skip = true;
        else
            MidiFile = fileName;
        return;
    }
    if (ext != ".dll") {
        ExtractedFiles.push_back(dir + fileName);
        return;
    }
    fileName = FreeNumberedName(dir, fileName, ext, false, HookLibFile);
}

void TExtractionRouting::RouteTagged(const std::string& entryTag, const std::string& destinationDir,
                                     const std::string& fileName, std::string& dir) {
    if (entryTag != ".") {
        dir = destinationDir + entryTag;
        bool known = false;
        for (const std::string& folder : TagFolders) known = known || SameTextAscii(folder, entryTag);
        if (!known) {
            ForceFolders(files_, dir);
            TagFolders.push_back(entryTag);
        }
        dir = WithTrailingBackslash(dir, files_);
    }
    ExtractedFiles.push_back(dir + fileName);
}

void TExtractionRouting::RouteToolConfig(const std::string& destinationDir, std::string& fileName, std::string& dir) {
    // viewer.qtools.ini becomes viewer\qtools.ini: one folder per tool, named after it.
    dir = destinationDir + fileName.substr(0, fileName.size() - kToolConfigSuffixLength);
    fileName = "qtools.ini";
    ToolConfigPaths.push_back(dir + "\\");
    ToolConfigPaths.push_back(dir + "\\" + fileName);
    files_.CreateFolder(dir);
}

std::string TExtractionRouting::FreeNumberedName(const std::string& dir, const std::string& fileName,
                                                 const std::string& ext, bool plainWhenZero, std::string& recorded) {
    const std::string stem = fileName.substr(0, fileName.size() - ext.size());
    int64_t n = RunNumber;
    for (;;) {
        recorded = n == 0 && plainWhenZero ? fileName : stem + std::to_string(n) + ext;
        const std::string path = dir + recorded;
        // A file of that name that can be deleted is simply replaced.
        if (!files_.FileExists(path) || files_.RemoveFile(path)) return recorded;
        n += n >= 0 ? 1 : -1;
    }
}

}  // namespace quindle
