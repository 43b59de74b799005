// One presentation's files, from extraction to removal.
#include "runner/win32/SessionRun.h"

#include <windows.h>

#include "base/Timing.h"
#include "package/SessionArchive.h"
#include "package/win32/Win32ArchiveFiles.h"
#include "package/win32/Win32RunDirFiles.h"
#include "runner/win32/RunDirectory.h"

namespace quindle {

TSessionRun::TSessionRun()
    : ArchiveFiles(std::make_unique<TWin32ArchiveFileSystem>()),
      Extractor(std::make_unique<TSessionExtractor>(*ArchiveFiles)),
      RunDirFiles(std::make_unique<TWin32RunDirFiles>()) {}

bool TSessionRun::HasTaggedEntries() {
    return ExtractRouted(*Extractor, *RunDirFiles, TRoutingPass::Dry).HasTaggedEntries;
}

void TSessionRun::ExtractIntoRunDir(int32_t runNumber, bool midiMuted) {
    Extractor->DestinationDir = RunDir;
    ExtractRouted(*Extractor, *RunDirFiles, TRoutingPass::Main, {runNumber, midiMuted}, Extracted);
    if (!Extracted.HookLibFile.empty()) HookLibPath = RunDir + Extracted.HookLibFile;
}

void TSessionRun::DeleteExtractedFiles(const std::function<void()>& pump) {
    if (!Extracted.ProjectorFile.empty()) ::DeleteFileA((RunDir + Extracted.ProjectorFile).c_str());
    for (const std::string& file : Extracted.ExtractedFiles) {
        pump();
        ::DeleteFileA(file.c_str());
    }
}

void TSessionRun::RemoveToolFiles(const std::function<void()>& pump) {
    quindle::RemoveToolFiles(Extracted);
    pump();
    RemoveToolFolders(RunDir, Extracted.TagFolders);
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
