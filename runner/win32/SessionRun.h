// One presentation's files: the extractor over the runner's own file, the routing with
// what it extracted, and the run directory's names. Made with the runner object (the
// settings pass uses them) and used by each session it runs.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "package/ArchiveFiles.h"
#include "package/ExtractionRouting.h"
#include "package/RunDirFiles.h"
#include "package/SessionExtractor.h"

namespace quindle {

class TSessionRun {
public:
    TSessionRun();
    TSessionRun(const TSessionRun&) = delete;
    TSessionRun& operator=(const TSessionRun&) = delete;

    // The dry pass over the session: true when it holds tagged entries.
    bool HasTaggedEntries();
    // The main extraction into RunDir.
    void ExtractIntoRunDir(int32_t runNumber, bool midiMuted);

    // Clean-up steps, each safe when its files were never made. The music's file is
    // the music's to delete.
    void DeleteExtractedFiles(const std::function<void()>& pump);
    void RemoveToolFiles(const std::function<void()>& pump);
    // Retried while a process that is ending may still map it; else deleted at reboot.
    void DeleteHookLibrary(const std::function<void()>& pump);
    void RemoveRunDirectory();

    std::unique_ptr<IArchiveFileSystem> ArchiveFiles;
    std::unique_ptr<TSessionExtractor> Extractor;
    std::unique_ptr<IRunDirFiles> RunDirFiles;
    TRoutingRecord Extracted;  // what the main pass extracted

    std::string TempBase;
    std::string RunDir;  // with its trailing backslash once created
    std::string InstanceTag;
    bool RunDirCreated = false;
    bool StartInCurrentDir = false;
    std::string HookLibPath;  // the extracted hook library's full path, once there is one
};

}  // namespace quindle
