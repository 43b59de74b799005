// The runner's routing of session entries, and the routed pass the settings loader and
// the start-up sequence run.
#include "package/ExtractionRouting.h"

#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "base/ScopeExit.h"
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

TExtractionRouting::TExtractionRouting(IRunDirFiles& files, TRoutingPass pass, TRoutingOptions options)
    : files_(files), pass_(pass), options_(options) {}

void TExtractionRouting::Route(const std::string& entryTag, const std::string& destinationDir, std::string& fileName,
                               std::string& dir, bool& skip) {
    if (pass_ == TRoutingPass::Dry) {
        if (!entryTag.empty()) record_.HasTaggedEntries = true;
        skip = true;
        return;
    }
    const bool settingsPass = pass_ == TRoutingPass::Settings;
    fileName = LowerAscii(fileName, files_);
    const std::string ext = EntryExtension(fileName);

    if (!settingsPass && !entryTag.empty() && !IsToolTag(entryTag)) {
        RouteTagged(entryTag, destinationDir, fileName, dir);
        return;
    }
    if (fileName.size() > kToolConfigSuffixLength &&
        fileName.compare(fileName.size() - kToolConfigSuffixLength, kToolConfigSuffixLength, kToolConfigSuffix) == 0) {
        if (settingsPass)
            skip = true;
        else
            RouteToolConfig(destinationDir, fileName, dir);
        return;
    }
    skip = settingsPass ? ext != ".ini" : ext == ".ini";
    if (skip) return;
    if (ext == ".ini") {
        record_.SettingsIniFile = fileName;
        return;
    }
    if (IsToolTag(entryTag)) {
        record_.ToolFiles.push_back({WithTrailingBackslash(dir, files_) + fileName, entryTag});
        return;
    }
    if (ext == ".exe") {
        record_.ProjectorStoredName = fileName;
        fileName = FreeNumberedName(dir, fileName, ext, true, record_.ProjectorFile);
        return;
    }
    if (ext == ".mid" || ext == ".rmi") {
        if (options_.MidiMuted)
            skip = true;
        else
            record_.MidiFile = fileName;
        return;
    }
    if (ext != ".dll") {
        record_.ExtractedFiles.push_back(dir + fileName);
        return;
    }
    fileName = FreeNumberedName(dir, fileName, ext, false, record_.HookLibFile);
}

void TExtractionRouting::RouteTagged(const std::string& entryTag, const std::string& destinationDir,
                                     const std::string& fileName, std::string& dir) {
    if (entryTag != ".") {
        dir = destinationDir + entryTag;
        bool known = false;
        for (const std::string& folder : record_.TagFolders) known = known || SameTextAscii(folder, entryTag);
        if (!known) {
            ForceFolders(files_, dir);
            record_.TagFolders.push_back(entryTag);
        }
        dir = WithTrailingBackslash(dir, files_);
    }
    record_.ExtractedFiles.push_back(dir + fileName);
}

void TExtractionRouting::RouteToolConfig(const std::string& destinationDir, std::string& fileName, std::string& dir) {
    // viewer.qtools.ini becomes viewer\qtools.ini: one folder per tool, named after it.
    dir = destinationDir + fileName.substr(0, fileName.size() - kToolConfigSuffixLength);
    fileName = "qtools.ini";
    record_.ToolFolders.push_back(dir + "\\");
    record_.ToolFolderFiles.push_back(dir + "\\" + fileName);
    files_.CreateFolder(dir);
}

std::string TExtractionRouting::FreeNumberedName(const std::string& dir, const std::string& fileName,
                                                 const std::string& ext, bool plainWhenZero, std::string& recorded) {
    const std::string stem = fileName.substr(0, fileName.size() - ext.size());
    int64_t n = options_.RunNumber;
    for (;;) {
        recorded = n == 0 && plainWhenZero ? fileName : stem + std::to_string(n) + ext;
        const std::string path = dir + recorded;
        // A file of that name that can be deleted is simply replaced.
        if (!files_.FileExists(path) || files_.RemoveFile(path)) return recorded;
        n += n >= 0 ? 1 : -1;
    }
}

void ExtractRouted(TSessionExtractor& extractor, IRunDirFiles& files, TRoutingPass pass, TRoutingOptions options,
                   TRoutingRecord& record) {
    TExtractionRouting routing(files, pass, options);
    extractor.OnFile = [&routing](TSessionExtractor& sender, std::string& fileName, std::string& dir, bool& skip) {
        routing.Route(sender.EntryTag, sender.DestinationDir, fileName, dir, skip);
    };
    // The routing lives for this pass only; what it recorded goes to record either way.
    TScopeExit done([&] {
        extractor.OnFile = nullptr;
        record = routing.Record();
    });
    extractor.Extract(kRunnerSessionName);
}

TRoutingRecord ExtractRouted(TSessionExtractor& extractor, IRunDirFiles& files, TRoutingPass pass,
                             TRoutingOptions options) {
    TRoutingRecord record;
    ExtractRouted(extractor, files, pass, options, record);
    return record;
}

}  // namespace quindle
