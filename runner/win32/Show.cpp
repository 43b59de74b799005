// A show's start-up and clean-up, step by step, in the order they run.
#include "runner/win32/Show.h"

#include <utility>

#include "base/Text.h"
#include "base/Timing.h"
#include "base/win32/SystemPaths.h"
#include "commands/ToolFolders.h"
#include "commands/win32/StartupCommandRunner.h"
#include "commands/win32/Win32ToolFolderFiles.h"
#include "contract/SharedNames.h"
#include "runner/win32/Globals.h"
#include "runner/win32/Pump.h"
#include "runner/win32/RunDirectory.h"
#include "settings/ProjectSettingsLoader.h"

namespace quindle {

namespace {

// A control block of that number's tag is mapped: a live show of some other temporary
// folder holds it, and its tag must not be taken twice.
bool ControlBlockInUse(int32_t runNumber) {
    const TUniqueHandle mapping(
        ::OpenFileMappingA(FILE_MAP_READ, FALSE, MappingName(InstanceTagForRunNumber(runNumber)).c_str()));
    return static_cast<bool>(mapping);
}

}  // namespace

TShow::TShow(TShowContext context) : cycle_(std::move(context)), projector_(cycle_.Window, cycle_.Settings) {}

void TShow::Run() {
    Mark();
    failures_.Run([this] { StartUp(); });
    CleanUp();
    failures_.RethrowFirst();
}

std::string TShow::MusicPath() const {
    return extracted_.MidiFile.empty() ? std::string() : runDir_ + extracted_.MidiFile;
}

// From here on the clean-up runs, however the start-up ends.
void TShow::Mark() { marker_.reset(::GlobalAddAtomA((kShowMarkerAtomPrefix + cycle_.ExeName).c_str())); }

void TShow::StartUp() {
    EnterRunnerFolder();
    ChooseWorkingDirectory();
    if (!ChooseRunDirectory()) return;
    ExtractSession();
    if (hookLibPath_.empty()) return;  // the session holds no hook library
    PrepareToolFolders();
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    if (!SetUpHooks()) return;
    if (extracted_.ProjectorFile.empty()) return;  // the session holds no projector
    LaunchAndSupervise();
}

// The runner's folder becomes the current one: a temporary folder the registry gives
// without a full path, and a projector started in the current directory, are found there.
void TShow::EnterRunnerFolder() { ::SetCurrentDirectoryA(FolderPart(cycle_.ExePath).c_str()); }

// CurrentDir 0 lets the session decide: one with tagged entries runs in the run directory.
void TShow::ChooseWorkingDirectory() {
    switch (cycle_.Settings.ProjectorWorkingDir) {
        case 0:
            startInCurrentDir_ = !ExtractRouted(cycle_.Extractor, cycle_.Files, TRoutingPass::Dry).HasTaggedEntries;
            break;
        case 2:
            startInCurrentDir_ = true;
            break;
        default:
            startInCurrentDir_ = false;
            break;
    }
}

// Runners starting together take turns choosing their run directories. False when the
// turn never came.
bool TShow::ChooseRunDirectory() {
    const std::string tempBase = ReadTempBase(*cycle_.Registry, SystemTempPath());
    if (!TakeRunnersMutex()) return false;
    const TRunDirChoice choice = quindle::ChooseRunDirectory(cycle_.Files, tempBase, &ControlBlockInUse);
    runDirCreated_ = true;
    runDir_ = choice.RunDir;
    runNumber_ = choice.RunNumber;
    // The tag comes from the number alone, so the number is passed over while another
    // show holds its control block.
    instanceTag_ = InstanceTagForRunNumber(choice.RunNumber);
    ReleaseRunnersMutex();
    runDir_ += "\\";
    return true;
}

// A runner that cannot create the mutex goes on without it; one whose wait fails or
// times out ends its start-up.
bool TShow::TakeRunnersMutex() {
    runnersMutex_.reset(::CreateMutexA(nullptr, FALSE, kRunnerMutexName));
    if (!runnersMutex_) return true;
    const DWORD waited = ::WaitForSingleObject(runnersMutex_.get(), kMutexWaitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return false;
    runnersMutexHeld_.reset(runnersMutex_.get());
    return true;
}

void TShow::ExtractSession() {
    cycle_.Extractor.DestinationDir = runDir_;
    ExtractRouted(cycle_.Extractor, cycle_.Files, TRoutingPass::Main, {runNumber_, cycle_.Settings.MidiMuted.Checked},
                  extracted_);
    if (!extracted_.HookLibFile.empty()) hookLibPath_ = runDir_ + extracted_.HookLibFile;
}

// Each tool folder gets its program and satellites before anything can start them.
void TShow::PrepareToolFolders() {
    TWin32ToolFolderFiles toolFiles;
    quindle::PrepareToolFolders(toolFiles, runDir_, extracted_.ToolFolders, extracted_.ToolFolderFiles,
                                extracted_.ToolFiles);
}

bool TShow::SetUpHooks() {
    THookSessionConfig config;
    config.Settings = &cycle_.Settings;
    config.InstanceTag = instanceTag_;
    config.RunnerWnd = cycle_.Window.RunnerWnd();
    config.RunnerThreadId = ::GetCurrentThreadId();
    config.RunDir = runDir_;
    config.HookLibFile = extracted_.HookLibFile;
    config.ExePath = cycle_.ExePath;
    // The pump runs inside the clean-up's unhook loop: a failure there is the clean-up's.
    config.PumpMessages = [this] { PumpDuringCleanUp(); };
    hooks_ = std::make_unique<THookSession>(config);
    if (!hooks_->SetUp()) return false;
    cycle_.AnswerQueries(hooks_->QueryMessage());
    projector_.ControlBlock = hooks_->Block();
    return true;
}

void TShow::LaunchAndSupervise() {
    TProjectorLaunch launch;
    launch.RunDir = runDir_;
    launch.ProjectorFile = extracted_.ProjectorFile;
    launch.ProjectorStoredName = extracted_.ProjectorStoredName;
    launch.StartInCurrentDir = startInCurrentDir_;
    launch.ExePath = cycle_.ExePath;
    launch.ExeName = cycle_.ExeName;
    launch.Files = &cycle_.Files;
    launch.RunnerMsg = hooks_->RunnerMsg();
    launch.BeforeResume = [this] { soundMute_.MuteForRun(cycle_.Settings.SoundMuted.Checked); };
    launch.BeforeRestyle = [this] {
        RunStartupCommand(cycle_.Settings.BeforeShowCommands, runDir_, cycle_.Window.RunnerWnd());
    };
    projector_.LaunchAndSupervise(launch);
}

void TShow::CleanUp() {
    // Every step runs, each whatever the ones before it did; a failure is kept for later.
    using TStep = void (TShow::*)();
    static constexpr TStep kSteps[] = {
        &TShow::StopAnsweringQueries,   // the query message goes unanswered
        &TShow::AnnounceEnd,            // other programs hear that this runner ends
        &TShow::Unmark,                 //
        &TShow::ReleaseRunnersMutex,    // still held when the start-up ended with it
        &TShow::DetachProjectorInput,   // joined to this thread for the restyle
        &TShow::ShutDownMusic,          // stopped, closed, its file deleted
        &TShow::DeleteExtractedFiles,   // the projector and every other extracted file
        &TShow::RestoreSound,           // as the user had it before the start-of-run mute
        &TShow::CloseProjectorHandles,  //
        &TShow::EndWaitCursor,          //
        &TShow::EndMessageHook,         // no more graceful closes
        &TShow::RemoveHooks,            // and the library
        &TShow::ReleaseBlock,           // the runner's identities cleared, the view unmapped
        &TShow::CloseMapping,           //
        &TShow::CloseRunnerWindow,      // which asks a projector still known to close
        &TShow::RemoveToolFiles,        // then their folders, and the tag folders deepest first
        &TShow::DeleteHookLibrary,      // retried while an ending process may still map it
        &TShow::RemoveRunDirectory,     // its data files, then the directory itself
    };
    for (const TStep step : kSteps) failures_.Run([this, step] { (this->*step)(); });
}

void TShow::StopAnsweringQueries() { cycle_.AnswerQueries(0); }

void TShow::AnnounceEnd() { cycle_.AnnounceEnd(); }

void TShow::Unmark() { marker_.reset(); }

// Handed on before its handle is closed.
void TShow::ReleaseRunnersMutex() {
    runnersMutexHeld_.reset();
    runnersMutex_.reset();
}

void TShow::DetachProjectorInput() { projector_.DetachInput(); }

void TShow::ShutDownMusic() {
    const std::string path = MusicPath();
    if (!path.empty()) cycle_.Music.ShutDown(path);
}

// The music's file is the music's to delete.
void TShow::DeleteExtractedFiles() {
    if (!extracted_.ProjectorFile.empty()) ::DeleteFileA((runDir_ + extracted_.ProjectorFile).c_str());
    for (const std::string& file : extracted_.ExtractedFiles) {
        PumpDuringCleanUp();
        ::DeleteFileA(file.c_str());
    }
}

void TShow::RestoreSound() { soundMute_.RestoreAfterRun(); }

void TShow::CloseProjectorHandles() { projector_.CloseHandles(); }

void TShow::EndWaitCursor() { ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW)); }

void TShow::EndMessageHook() { MessageHook = {}; }

void TShow::RemoveHooks() {
    if (hooks_) hooks_->RemoveHooks();
}

// The projector gives the block back before the view goes.
void TShow::ReleaseBlock() {
    projector_.ControlBlock = nullptr;
    if (hooks_) hooks_->ReleaseBlock();
}

void TShow::CloseMapping() {
    if (hooks_) hooks_->CloseMapping();
}

void TShow::CloseRunnerWindow() {
    ::PostMessageA(cycle_.Window.RunnerWnd(), WM_CLOSE, 0, 0);
    PumpDuringCleanUp();
}

void TShow::RemoveToolFiles() {
    quindle::RemoveToolFiles(extracted_);
    PumpDuringCleanUp();
    RemoveToolFolders(runDir_, extracted_.TagFolders);
    PumpDuringCleanUp();
}

// Three attempts a pause apart; then the file is deleted at the next restart.
void TShow::DeleteHookLibrary() {
    if (hookLibPath_.empty()) return;
    constexpr int kAttempts = 3;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (::DeleteFileA(hookLibPath_.c_str())) break;
        if (attempt < kAttempts) {
            ::Sleep(kFileRetryPauseMs);
        } else {
            ::MoveFileExA(hookLibPath_.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        }
        PumpDuringCleanUp();
    }
}

void TShow::RemoveRunDirectory() {
    if (!runDirCreated_) return;
    ShellDelete(runDir_ + "*.dat", kQuietDelete);
    quindle::RemoveRunDirectory(runDir_);
}

void TShow::PumpDuringCleanUp() {
    failures_.Run([] { PumpMessages(); });
}

}  // namespace quindle
