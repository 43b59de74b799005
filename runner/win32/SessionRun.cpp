// One presentation's files, from extraction to removal.
#include "runner/win32/SessionRun.h"

#include <windows.h>

#include "base/Timing.h"
#include "package/SessionArchive.h"
#include "package/win32/Win32ArchiveFiles.h"
#include "package/win32/Win32RunDirFiles.h"
#include "runner/win32/RunDirectory.h"

namespace quindle {

TSessionRun::TSessionRun(const bool& midiMuted)
    : ArchiveFiles(std::make_unique<TWin32ArchiveFileSystem>()),
      Extractor(std::make_unique<TSessionExtractor>(*ArchiveFiles)),
      RunDirFiles(std::make_unique<TWin32RunDirFiles>()),
      Routing(std::make_unique<TExtractionRouting>(*RunDirFiles, midiMuted)) {
    Extractor->OnFile = [this](TSessionExtractor& sender, std::string& fileName, std::string& dir, bool& skip) {
        Routing->RouteEntry(sender, fileName, dir, skip);
    };
}

bool TSessionRun::HasTaggedEntries() {
    Extractor->UseOwnExecutable = true;
    Routing->DryPass = true;
    Extractor->Extract(kRunnerSessionName);
    return Routing->HasTaggedEntries;
}

void TSessionRun::ExtractIntoRunDir() {
    Extractor->UseOwnExecutable = true;
    Routing->DryPass = false;
    Extractor->DestinationDir = RunDir;
    Routing->ClearMainPassResults();
    Extractor->Extract(kRunnerSessionName);
    if (!Routing->HookLibFile.empty()) HookLibPath = RunDir + Routing->HookLibFile;
}

void TSessionRun::DeleteExtractedFiles(const std::function<void()>& pump) {
    if (!Routing->ProjectorFile.empty()) ::DeleteFileA((RunDir + Routing->ProjectorFile).c_str());
    for (const std::string& file : Routing->ExtractedFiles) {
        pump();
        ::DeleteFileA(file.c_str());
    }
}

void TSessionRun::RemoveToolFiles(const std::function<void()>& pump) {
    quindle::RemoveToolFiles(Routing->ToolConfigPaths, Routing->ToolFiles);
    pump();
    RemoveToolFolders(Extractor->DestinationDir, Routing->TagFolders);
    pump();
}

void TSessionRun::DeleteHookLibrary(const std::function<void()>& pump) {
    if (HookLibPath.empty()) return;
    constexpr int kAttempts = 3;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (::DeleteFileA(HookLibPath.c_str())) break;
        if (attempt < kAttempts) {
            ::Sleep(kFileRetryPauseMs);
        } else {
            ::MoveFileExA(HookLibPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        }
        pump();
    }
}

void TSessionRun::RemoveRunDirectory() {
    if (!RunDirCreated) return;
    ShellDelete(RunDir + "*.dat", kQuietDelete);
    quindle::RemoveRunDirectory(RunDir);
}

}  // namespace quindle
