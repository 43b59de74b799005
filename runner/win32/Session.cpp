// The start-up sequence of one presentation and its clean-up, which runs on every
// exit path once the session is marked.
#include "runner/win32/Session.h"

#include <stdexcept>

#include "base/Timing.h"
#include "base/win32/SystemPaths.h"
#include "commands/ToolFolders.h"
#include "contract/SharedNames.h"
#include "commands/win32/StartupCommandRunner.h"
#include "commands/win32/Win32ToolFolderFiles.h"
#include "runner/win32/Globals.h"
#include "runner/win32/Runner.h"
#include "runner/win32/Pump.h"
#include "runner/win32/RunDirectory.h"
#include "settings/ProjectSettingsLoader.h"

namespace quindle {

void TSessionResources::CleanUpStep(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        if (!LateFailure) LateFailure = std::current_exception();
    }
}

void TSessionResources::PumpDuringCleanUp() {
    CleanUpStep([] { PumpMessages(); });
}

void TRunner::RunSession() {
    ::SendMessageA(Window.RunnerWnd(), WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON")));
    if (!CheckPassword()) return;

    TSessionResources session;
    session.MarkerAtom.reset(::GlobalAddAtomA((kShowMarkerAtomPrefix + ExeName).c_str()));
    std::exception_ptr failure;
    try {
        StartSession(session);
    } catch (...) {
        failure = std::current_exception();
    }
    CleanUpSession(session);
    if (failure) std::rethrow_exception(failure);
    if (session.LateFailure) std::rethrow_exception(session.LateFailure);
}

void TRunner::StartSession(TSessionResources& session) {
    ::SetCurrentDirectoryA(FolderPart(ExePath).c_str());
    switch (Settings.ProjectorWorkingDir) {
        case 0:
            Run.StartInCurrentDir = !Run.HasTaggedEntries();
            break;
        case 2:
            Run.StartInCurrentDir = true;
            break;
        default:
            Run.StartInCurrentDir = false;
            break;
    }

    Run.TempBase = ReadTempBase(*Registry, SystemTempPath());

    // Runners starting together take turns choosing their run directories.
    session.Mutex.reset(::CreateMutexA(nullptr, FALSE, kRunnerMutexName));
    if (session.Mutex) {
        const DWORD waited = ::WaitForSingleObject(session.Mutex.get(), kMutexWaitMs);
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return;
        session.MutexOwned = true;
    }
    // The tag comes from the number alone: a runner of another temporary folder may
    // hold this number's control block already.
    const TRunDirChoice choice = ChooseRunDirectory(*Run.RunDirFiles, Run.TempBase, [](int32_t runNumber) {
        const TUniqueHandle mapping(
            ::OpenFileMappingA(FILE_MAP_READ, FALSE, MappingName(InstanceTagForRunNumber(runNumber)).c_str()));
        return static_cast<bool>(mapping);
    });
    Run.RunDirCreated = true;
    Run.RunDir = choice.RunDir;
    Run.InstanceTag = InstanceTagForRunNumber(choice.RunNumber);
    if (session.MutexOwned) ::ReleaseMutex(session.Mutex.get());
    session.MutexOwned = false;
    session.Mutex.reset();
    Run.RunDir += "\\";

    Run.ExtractIntoRunDir(choice.RunNumber, Settings.MidiMuted.Checked);
    if (Run.HookLibPath.empty()) return;
    // Each tool folder gets its program and satellites before anything can start them.
    TWin32ToolFolderFiles toolFiles;
    PrepareToolFolders(toolFiles, Run.RunDir, Run.Extracted.ToolFolders, Run.Extracted.ToolFolderFiles,
                       Run.Extracted.ToolFiles);

    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    THookSessionConfig config;
    config.Settings = &Settings;
    config.InstanceTag = Run.InstanceTag;
    config.RunnerWnd = Window.RunnerWnd();
    config.RunnerThreadId = ::GetCurrentThreadId();
    config.RunDir = Run.RunDir;
    config.HookLibFile = Run.Extracted.HookLibFile;
    config.ExePath = ExePath;
    // The pump runs inside the clean-up's unhook loop: a failure there is the clean-up's.
    config.PumpMessages = [&session] { session.PumpDuringCleanUp(); };
    session.Hooks = std::make_unique<THookSession>(config);
    if (!session.Hooks->SetUp()) return;
    Projector.RunnerMsg = session.Hooks->RunnerMsg();
    AnswerRunnerQueries(session.Hooks->QueryMessage());
    Projector.ControlBlock = session.Hooks->Block();

    if (Run.Extracted.ProjectorFile.empty()) return;
    TProjectorLaunch launch;
    launch.RunDir = Run.RunDir;
    launch.ProjectorFile = Run.Extracted.ProjectorFile;
    launch.ProjectorStoredName = Run.Extracted.ProjectorStoredName;
    launch.StartInCurrentDir = Run.StartInCurrentDir;
    launch.ExePath = ExePath;
    launch.ExeName = ExeName;
    launch.Files = Run.RunDirFiles.get();
    launch.BeforeResume = [this, &session] { session.SoundMute.MuteForRun(Settings.SoundMuted.Checked); };
    launch.BeforeRestyle = [this] { RunStartupCommand(Settings.BeforeShowCommands, Run.RunDir, Window.RunnerWnd()); };
    Projector.LaunchAndSupervise(launch);
}

void TRunner::CleanUpSession(TSessionResources& session) {
    const auto pump = [&session] { session.PumpDuringCleanUp(); };
    // Stop answering queries, tell other programs this runner ends, drop the mark.
    AnswerRunnerQueries(0);
    ::PostMessageA(HWND_BROADCAST, GlobalCloseMsg, reinterpret_cast<WPARAM>(Window.RunnerWnd()),
                   ::GlobalAddAtomA(ExeName.c_str()));
    session.MarkerAtom.reset();
    // A start-up that ended while holding the mutex hands it on before closing it.
    if (session.MutexOwned) ::ReleaseMutex(session.Mutex.get());
    session.Mutex.reset();
    // The projector's input was joined to this thread for the restyle.
    Projector.DetachInput();
    // The music stopped, closed and its file deleted; the projector and the other
    // extracted files; the sound as the user had it.
    const std::string& midiFile = Run.Extracted.MidiFile;
    if (!midiFile.empty()) session.CleanUpStep([this, &midiFile] { Music.ShutDown(Run.RunDir + midiFile); });
    Run.DeleteExtractedFiles(pump);
    session.SoundMute.RestoreAfterRun();
    // The projector's process and thread handles; the wait cursor ends.
    Projector.CloseHandles();
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    MessageHook = {};
    // Hooks and library, the block, the mapping.
    if (session.Hooks) {
        session.Hooks->RemoveHooks();
        Projector.ControlBlock = nullptr;
        session.Hooks->ReleaseBlock();
        session.Hooks->CloseMapping();
    }
    // The runner window asks a projector that is still known to close.
    ::PostMessageA(Window.RunnerWnd(), WM_CLOSE, 0, 0);
    pump();
    // Tool files, then their folders deepest first.
    Run.RemoveToolFiles(pump);
    // The library may still be mapped by a process that is ending.
    Run.DeleteHookLibrary(pump);
    // The session's data files, then the run directory itself.
    Run.RemoveRunDirectory();
}

}  // namespace quindle
