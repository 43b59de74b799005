// The start-up sequence of one presentation and its clean-up, which runs on every
// exit path once the session is marked.
#include "runner/win32/Session.h"

#include <stdexcept>

#include "runner/SessionNames.h"
#include "runner/win32/Globals.h"
#include "runner/win32/Main.h"
#include "runner/win32/SystemPaths.h"
#include "runner/win32/Pump.h"
#include "runner/win32/RunDirectory.h"

namespace quindle {

namespace {

constexpr char kSessionName[] = "Session1";
constexpr char kRunnerMutexName[] = "NimbrelRunnerMutex";

// Pumps during the clean-up; a handler failing now must not cut the clean-up short.
void PumpDuringCleanUp(TSessionResources& session) {
    try {
        PumpMessages();
    } catch (...) {
        if (!session.LateFailure) session.LateFailure = std::current_exception();
    }
}

}  // namespace

bool TfrmMain::CheckPassword() { return true; }

void TfrmMain::RunSession() {
    ::SendMessageA(RunnerWnd, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON")));
    if (!CheckPassword()) return;

    TSessionResources session;
    session.MarkerAtom.reset(::GlobalAddAtomA(("aakq " + ExeName).c_str()));
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

void TfrmMain::StartSession(TSessionResources& session) {
    ::SetCurrentDirectoryA(FolderPart(ExePath).c_str());
    Extractor->UseOwnExecutable = true;
    switch (Settings.CurrentDir) {
        case 0:
            Routing->DryPass = true;
            Extractor->Extract(kSessionName);
            StartInCurrentDir = !Routing->HasTaggedEntries;
            break;
        case 2:
            StartInCurrentDir = true;
            break;
        default:
            StartInCurrentDir = false;
            break;
    }

    std::string registryTemp;
    const bool hasRegistryTemp = Registry->ReadString("Zantic Temp Directory", registryTemp);
    TempBase = TempBaseFrom(hasRegistryTemp ? &registryTemp : nullptr, SystemTempPath());

    // Runners starting together take turns choosing their run directories.
    session.Mutex.reset(::CreateMutexA(nullptr, FALSE, kRunnerMutexName));
    if (session.Mutex) {
        const DWORD waited = ::WaitForSingleObject(session.Mutex.get(), 5555);
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return;
        session.MutexOwned = true;
    }
    const TRunDirChoice choice = ChooseRunDirectory(*RunDirFiles, TempBase);
    session.RunDirCreated = true;
    RunDir = choice.RunDir;
    Routing->RunNumber = choice.RunNumber;
    InstanceTag = InstanceTagForRunNumber(choice.RunNumber);
    if (session.MutexOwned) ::ReleaseMutex(session.Mutex.get());
    session.MutexOwned = false;
    session.Mutex.reset();
    RunDir += "\\";

    Extractor->UseOwnExecutable = true;
    Routing->DryPass = false;
    Extractor->DestinationDir = RunDir;
    Routing->ClearMainPassResults();
    Extractor->Extract(kSessionName);
    if (Routing->HookLibFile.empty()) return;
    HookLibPath = RunDir + Routing->HookLibFile;

    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    THookSessionConfig config;
    config.Settings = &Settings;
    config.InstanceTag = InstanceTag;
    config.RunnerWnd = RunnerWnd;
    config.RunnerThreadId = ::GetCurrentThreadId();
    config.RunDir = RunDir;
    config.HookLibFile = Routing->HookLibFile;
    config.ExePath = ExePath;
    config.PumpMessages = [] { PumpMessages(); };
    session.Hooks = std::make_unique<THookSession>(config);
    if (!session.Hooks->SetUp()) return;
    RunnerMsg = session.Hooks->RunnerMsg();
    RunnerSvrMsg = session.Hooks->RunnerSvrMsg();
    ControlBlock = session.Hooks->Block();

    if (Routing->ProjectorFile.empty()) return;
    LaunchAndSupervise();
}

void TfrmMain::CleanUpSession(TSessionResources& session) {
    // Stop answering queries, tell other programs this runner ends, drop the mark.
    RunnerSvrMsg = 0;
    ::PostMessageA(HWND_BROADCAST, GlobalCloseMsg, reinterpret_cast<WPARAM>(RunnerWnd),
                   ::GlobalAddAtomA(ExeName.c_str()));
    session.MarkerAtom.reset();
    // A start-up that ended while holding the mutex hands it on before closing it.
    if (session.MutexOwned) ::ReleaseMutex(session.Mutex.get());
    session.Mutex.reset();
    // The projector's input was joined to this thread for the restyle.
    if (ProjectorInfo.dwThreadId) ::AttachThreadInput(::GetCurrentThreadId(), ProjectorInfo.dwThreadId, FALSE);
    // The music file, the projector and the other extracted files.
    if (!Routing->MidiFile.empty()) ::DeleteFileA((RunDir + Routing->MidiFile).c_str());
    if (!Routing->ProjectorFile.empty()) ::DeleteFileA((RunDir + Routing->ProjectorFile).c_str());
    for (const std::string& file : Routing->ExtractedFiles) {
        PumpDuringCleanUp(session);
        ::DeleteFileA(file.c_str());
    }
    // The projector's process and thread handles; the wait cursor ends.
    if (ProjectorInfo.hThread) ::CloseHandle(ProjectorInfo.hThread);
    if (ProjectorInfo.hProcess) ::CloseHandle(ProjectorInfo.hProcess);
    ProjectorInfo.hThread = nullptr;
    ProjectorInfo.hProcess = nullptr;
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    MessageHook = {};
    // Hooks and library, the block, the mapping.
    if (session.Hooks) {
        session.Hooks->RemoveHooks();
        ControlBlock = nullptr;
        session.Hooks->ReleaseBlock();
        session.Hooks->CloseMapping();
    }
    // The runner window asks a projector that is still known to close.
    ::PostMessageA(RunnerWnd, WM_CLOSE, 0, 0);
    PumpDuringCleanUp(session);
    // Tool files, then their folders deepest first.
    RemoveToolFiles(Routing->ToolConfigPaths, Routing->ToolFiles);
    PumpDuringCleanUp(session);
    RemoveToolFolders(Extractor->DestinationDir, Routing->TagFolders);
    PumpDuringCleanUp(session);
    // The library may still be mapped by a process that is ending.
    if (!HookLibPath.empty()) {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            if (::DeleteFileA(HookLibPath.c_str())) break;
            if (attempt < 3) {
                ::Sleep(555);
            } else {
                ::MoveFileExA(HookLibPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            }
            PumpDuringCleanUp(session);
        }
    }
    // The session's data files, then the run directory itself.
    if (session.RunDirCreated) {
        ShellDelete(RunDir + "*.dat", kQuietDelete);
        RemoveRunDirectory(RunDir);
    }
}

}  // namespace quindle
