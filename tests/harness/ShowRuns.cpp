// Shows started together, watched, closed and waited for; the traces they leave.
#include "tests/harness/ShowRuns.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <memory>

namespace harness {

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart * 1000.0 / frequency;
}

namespace {

// A process handle that waits for its end; closed on destruction.
class ProcessWatch {
public:
    explicit ProcessWatch(DWORD pid) : process_(::OpenProcess(SYNCHRONIZE, FALSE, pid)) {}
    ~ProcessWatch() {
        if (process_) ::CloseHandle(process_);
    }
    ProcessWatch(const ProcessWatch&) = delete;
    ProcessWatch& operator=(const ProcessWatch&) = delete;
    bool Ended(DWORD timeoutMs) const {
        return !process_ || ::WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
    }

private:
    HANDLE process_;
};

// One runner being watched.
struct Watched {
    Program Runner;
    double StartedAt = 0;
    HWND RunnerWnd = nullptr;
    std::unique_ptr<ProcessWatch> Projector;
    ShowOutcome Outcome;
    bool Settled() const { return Outcome.Shown || !Outcome.Failure.empty(); }
};

// The projector visible inside the visible runner window of process pid.
HWND EmbeddedProjector(DWORD pid, HWND& runnerWnd) {
    runnerWnd = FindTopWindow("MumuQuindleWindow", "", pid);
    if (!runnerWnd || !::IsWindowVisible(runnerWnd)) return nullptr;
    const HWND projector = ::FindWindowExA(runnerWnd, nullptr, "ShockwaveFlash", nullptr);
    return projector && ::IsWindowVisible(projector) ? projector : nullptr;
}

// Looks once at a runner that has not shown yet: shown, a message box, or ended.
void Look(Watched& w, double now, DWORD timeoutMs) {
    if (const HWND projector = EmbeddedProjector(w.Runner.Pid(), w.RunnerWnd)) {
        w.Outcome.Shown = true;
        w.Outcome.StartMs = now - w.StartedAt;
        DWORD projectorPid = 0;
        ::GetWindowThreadProcessId(projector, &projectorPid);
        w.Projector = std::make_unique<ProcessWatch>(projectorPid);
    } else if (const HWND box = FindTopWindow("#32770", "", w.Runner.Pid()); box && ::IsWindowVisible(box)) {
        const auto dialog = WaitForDialog(w.Runner.Pid(), 1000);
        w.Outcome.Failure = "box \"" + (dialog ? dialog->Caption + "\": " + dialog->Text : std::string("?\""));
    } else if (!w.Runner.Running()) {
        const std::optional<DWORD> code = w.Runner.WaitExit(0);
        w.Outcome.Failure = "ended before showing, exit code " + (code ? std::to_string(*code) : std::string("?"));
    } else if (now - w.StartedAt > timeoutMs) {
        w.Outcome.Failure = "no show";
    }
}

}  // namespace

std::vector<ShowOutcome> RunShowsAtOnce(const Presentation& show, const std::vector<std::string>& exePaths,
                                        DWORD timeoutMs) {
    std::vector<Watched> shows(exePaths.size());
    for (size_t i = 0; i < exePaths.size(); ++i) {
        shows[i].StartedAt = NowMs();
        shows[i].Runner = show.StartCopy(exePaths[i]);
        if (!shows[i].Runner.Started()) shows[i].Outcome.Failure = "could not start";
    }
    while (!std::all_of(shows.begin(), shows.end(), [](const Watched& w) { return w.Settled(); })) {
        for (Watched& w : shows)
            if (!w.Settled()) Look(w, NowMs(), timeoutMs);
        ::Sleep(5);
    }
    for (Watched& w : shows)
        if (w.Outcome.Shown) ::PostMessageA(w.RunnerWnd, WM_USER + 12, 0, 0);
    std::vector<ShowOutcome> outcomes;
    for (Watched& w : shows) {
        // A runner that failed to show is not waited for: a box would keep it forever.
        if (w.Runner.Started()) {
            w.Outcome.ExitCode = w.Runner.WaitExit(w.Outcome.Shown ? timeoutMs : 0);
            if (!w.Outcome.ExitCode) w.Runner.Kill();
        }
        if (w.Outcome.Failure.empty() && w.Outcome.ExitCode != std::optional<DWORD>(0))
            w.Outcome.Failure = w.Outcome.ExitCode ? "exit code " + std::to_string(*w.Outcome.ExitCode) : "did not end";
        if (w.Outcome.Failure.empty() && w.Projector && !w.Projector->Ended(timeoutMs))
            w.Outcome.Failure = "projector still running";
        outcomes.push_back(w.Outcome);
    }
    return outcomes;
}

namespace {

// Files in the temporary folder the system is to delete at the next restart.
std::vector<std::string> PendingDeletionsUnder(const std::string& folder) {
    std::vector<std::string> found;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return found;
    DWORD size = 0;
    if (::RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        std::string names(size, '\0');
        ::RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(&names[0]),
                           &size);
        // Pairs of NUL-terminated names ("\??\C:\..." and the new name, empty to delete).
        for (size_t at = 0; at < names.size();) {
            const size_t end = std::min(names.find('\0', at), names.size());
            const std::string name = names.substr(at, end - at);
            if (!name.empty() && ::StrStrIA(name.c_str(), folder.c_str())) found.push_back(name);
            at = end + 1;
        }
    }
    ::RegCloseKey(key);
    return found;
}

// The name of a process that has the module path loaded; empty when none has.
std::string ProcessWithModule(const std::string& path) {
    std::string holder;
    HANDLE processes = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (processes == INVALID_HANDLE_VALUE) return holder;
    PROCESSENTRY32 process{};
    process.dwSize = sizeof process;
    for (BOOL more = ::Process32First(processes, &process); more && holder.empty();
         more = ::Process32Next(processes, &process))
        for (const std::string& loaded : LoadedModulePaths(process.th32ProcessID))
            if (::lstrcmpiA(loaded.c_str(), path.c_str()) == 0) holder = process.szExeFile;
    ::CloseHandle(processes);
    return holder;
}

std::vector<Trace> CurrentLeftovers(const Presentation& show, const std::vector<std::string>& exeNames,
                                    int maxRunNumber) {
    std::vector<Trace> traces;
    for (const std::string& name : ListDir(show.Temp())) traces.push_back({"in the temporary folder: " + name, ""});
    for (const std::string& exe : exeNames)
        if (::GlobalFindAtomA(("aakq " + exe).c_str())) traces.push_back({"marker atom of " + exe, ""});
    if (HANDLE mutex = ::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, "NimbrelRunnerMutex")) {
        const DWORD state = ::WaitForSingleObject(mutex, 0);
        if (state == WAIT_TIMEOUT) traces.push_back({"runner mutex held", ""});
        if (state == WAIT_ABANDONED) traces.push_back({"runner mutex abandoned by its owner", ""});
        if (state == WAIT_OBJECT_0 || state == WAIT_ABANDONED) ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
    }
    for (int n = 0; n <= maxRunNumber; ++n) {
        const std::string mapping = "NimbrelRunnerMapping_QGL_RT" + (n ? std::to_string(n) : std::string());
        if (MappingExists(mapping)) traces.push_back({"mapping " + mapping, ""});
    }
    for (const std::string& name : PendingDeletionsUnder(show.Temp())) {
        const std::string path = name.rfind("\\??\\", 0) == 0 ? name.substr(4) : name;
        traces.push_back({"left for deletion at restart: " + path, ProcessWithModule(path)});
    }
    return traces;
}

}  // namespace

std::vector<Trace> Leftovers(const Presentation& show, const std::vector<std::string>& exeNames, int maxRunNumber,
                             DWORD settleMs) {
    std::vector<Trace> traces;
    WaitUntil([&] { return (traces = CurrentLeftovers(show, exeNames, maxRunNumber)).empty(); }, settleMs);
    return traces;
}

std::string Describe(const Trace& trace) {
    return trace.What + (trace.HeldBy.empty() ? "" : " (still loaded in " + trace.HeldBy + ")");
}

double MedianOf(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace harness
