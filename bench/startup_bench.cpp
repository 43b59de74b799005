// Helper of startup_bench.sh, run under Wine: how long a packaged presentation takes
// from CreateProcess until its projector shows inside the runner window, beside the
// runner's and the stand-in projector's own starts; where that time goes, read from
// Wine's relay trace of traced starts; how much processor time the runner spends while it
// supervises a running show, and while it waits in its password and setup dialogs,
// beside the same with the dialogs' polling wait.
//   startup_bench.exe [RUNS] [--trace TRACE]   (TRACE: the file this program's standard
//                                               error goes to, which Wine's trace joins)
//   startup_bench.exe RUNS --compare FIRST.exe SECOND.exe   (two packagings of one show)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"
#include "tests/harness/ShowRuns.h"
#include "window/HashPassword.h"

namespace {

using harness::Program;

constexpr DWORD kPollMs = 5;           // between window checks; finer polling loads Wine's server
constexpr DWORD kShowLimitMs = 30000;  // a start slower than this counts as failed
constexpr DWORD kSettleMs = 1000;      // after the first show, before the supervision is measured
constexpr DWORD kSupervisionMs = 10000;
constexpr DWORD kDialogMs = 10000;  // the runner idle in each of its dialogs
constexpr int kTracedRuns = 3;
// The sleeps of fixed length between the start and the show: the restyle's two settling
// pauses of 55 ms.
constexpr double kFixedSleepsMs = 2 * 55;

// Starts programs without the stand-in's report, so both kinds of start do the same work.
const std::map<std::string, std::string> kNoReport = {{"STANDIN_REPORT", ""}};

// Polls find until it gives a window or the limit passes; nullptr on time-out.
HWND PollFor(const std::function<HWND()>& find) {
    const double start = harness::NowMs();
    while (harness::NowMs() - start < kShowLimitMs) {
        if (HWND found = find()) return found;
        ::Sleep(kPollMs);
    }
    return nullptr;
}

// The projector window, visible, inside the visible runner window of process pid.
HWND EmbeddedProjector(DWORD pid, HWND* runnerOut = nullptr) {
    const HWND runner = harness::FindTopWindow("MumuQuindleWindow", "", pid);
    if (!runner || !::IsWindowVisible(runner)) return nullptr;
    const HWND projector = ::FindWindowExA(runner, nullptr, "ShockwaveFlash", nullptr);
    if (!projector || !::IsWindowVisible(projector)) return nullptr;
    if (runnerOut) *runnerOut = runner;
    return projector;
}

HWND OwnProjectorWindow(DWORD pid) {
    const HWND window = harness::FindTopWindow("ShockwaveFlash", "", pid);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

// Asks a program to end through its window and waits; false when it did not end.
bool CloseAndWait(Program& program, HWND window, UINT message) {
    ::PostMessageA(window, message, 0, 0);
    if (program.WaitExit(20000)) return true;
    std::printf("  the program did not end on request; terminated\n");
    program.Kill();
    return false;
}

struct TFigures {
    std::vector<double> Runs;
    double Median() const { return harness::MedianOf(Runs); }
    double Min() const { return *std::min_element(Runs.begin(), Runs.end()); }
    std::string List() const {
        std::string text;
        for (double ms : Runs) {
            char item[32];
            std::snprintf(item, sizeof item, "%s%.0f", text.empty() ? "" : " ", ms);
            text += item;
        }
        return text;
    }
};

// Milestones of one packaged start, in milliseconds from CreateProcess; < 0 when missed.
struct TPackagedStart {
    double RunnerWindow = -1;     // the runner window exists (hidden or not)
    double ProjectorWindow = -1;  // the projector has made its window (still top-level, or taken in)
    double Shown = -1;            // the projector shows inside the visible runner window
};

// exePath: the presentation's packaged file, or another packaging of it.
TPackagedStart TimePackagedStart(const harness::Presentation& show, const std::string& exePath = "") {
    TPackagedStart times;
    const double start = harness::NowMs();
    Program runner = show.StartCopy(exePath.empty() ? show.ExePath() : exePath, kNoReport);
    if (!runner.Started()) return times;
    HWND runnerWnd = nullptr;
    const auto note = [&](double& milestone, bool reached) {
        if (milestone < 0 && reached) milestone = harness::NowMs() - start;
    };
    const HWND projector = PollFor([&] {
        const HWND runnerAny = harness::FindTopWindow("MumuQuindleWindow", "", runner.Pid());
        note(times.RunnerWindow, runnerAny != nullptr);
        // No other projector runs now: any such window is this show's.
        note(times.ProjectorWindow, ::FindWindowA("ShockwaveFlash", nullptr) ||
                                        (runnerAny && ::FindWindowExA(runnerAny, nullptr, "ShockwaveFlash", nullptr)));
        return EmbeddedProjector(runner.Pid(), &runnerWnd);
    });
    if (projector) times.Shown = harness::NowMs() - start;
    if (!projector || !CloseAndWait(runner, runnerWnd, WM_USER + 12)) times.Shown = -1;
    return times;
}

// One direct start of the stand-in projector: milliseconds to its own visible window, or < 0.
double TimeDirectStart() {
    const double start = harness::NowMs();
    Program standin = Program::Start(harness::BinDir() + "standin.exe", "", kNoReport);
    if (!standin.Started()) return -1;
    const HWND window = PollFor([&] { return OwnProjectorWindow(standin.Pid()); });
    const double elapsed = harness::NowMs() - start;
    if (!window) return -1;
    return CloseAndWait(standin, window, WM_CLOSE) ? elapsed : -1;
}

// One start of the runner alone, with "/C": milliseconds to its setup dialog shown (its
// process start and the settings it reads before its first window), or < 0.
double TimeRunnerAlone(const harness::Presentation& show) {
    const double start = harness::NowMs();
    Program runner = show.Start(kNoReport, "/C");
    if (!runner.Started()) return -1;
    const HWND dialog = PollFor([&] {
        const HWND found = harness::FindTopWindow("#32770", "", runner.Pid());
        return found && ::IsWindowVisible(found) ? found : nullptr;
    });
    const double elapsed = harness::NowMs() - start;
    if (!dialog) return -1;
    return CloseAndWait(runner, dialog, WM_CLOSE) ? elapsed : -1;
}

// Where a packaged start spends its time, read from Wine's relay trace of the runner
// (WINEDEBUG=+timestamp,+pid,+relay, with RelayInclude naming the calls below): each
// traced line starts "SECONDS.MS:PID:TID:", the clock GetTickCount reads.
constexpr char kTracedCalls[] =
    "CreateFileA;CreateWindowExA;WaitForSingleObject;LoadLibraryA;CreateProcessA;WaitForInputIdle;Sleep;"
    "MsgWaitForMultipleObjectsEx;ShowWindow";

struct TTraceLine {
    DWORD Tick;
    std::string Text;  // after the "PID:TID:" prefix
};

// The lines of process pid in the trace from offset on.
std::vector<TTraceLine> ProcessTrace(const std::string& trace, size_t offset, DWORD pid) {
    std::vector<TTraceLine> lines;
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, ":%04lx:", static_cast<unsigned long>(pid));
    for (size_t at = offset; at < trace.size();) {
        size_t end = trace.find('\n', at);
        if (end == std::string::npos) end = trace.size();
        const std::string line = trace.substr(at, end - at);
        at = end + 1;
        unsigned seconds = 0, ms = 0;
        int used = 0;
        if (std::sscanf(line.c_str(), "%u.%u%n", &seconds, &ms, &used) != 2 || line.compare(used, 6, prefix) != 0)
            continue;
        const size_t text = line.find(':', used + 6);
        if (text != std::string::npos) lines.push_back({DWORD(seconds * 1000 + ms), line.substr(text + 1)});
    }
    return lines;
}

// A traced call: "Call MODULE.NAME(" or "Ret  MODULE.NAME(".
bool IsCall(const std::string& text, const char* name, bool ret = false) {
    const std::string head = ret ? "Ret  " : "Call ";
    if (text.compare(0, head.size(), head) != 0) return false;
    const size_t dot = text.find('.', head.size()), paren = text.find('(', head.size());
    return dot != std::string::npos && paren != std::string::npos && text.compare(dot + 1, paren - dot - 1, name) == 0;
}

// The phases of one traced start, in ms, in the order printed; empty when a milestone
// is missing from the trace.
struct TPhases {
    std::vector<std::pair<std::string, double>> Rows;
};

TPhases PhasesOf(const std::vector<TTraceLine>& runner, DWORD created, DWORD shown, const std::string& showName) {
    enum : size_t { kThread, kSettings, kWindow, kExtraction, kHooks, kProcess, kIdle, kFound, kMilestones };
    std::vector<double> at(kMilestones, -1);
    double mutexWait = 0, searchWaits = 0, restyleSleeps = 0;
    const auto note = [&](size_t milestone, DWORD tick, bool last = false) {
        if (at[milestone] < 0 || last) at[milestone] = double(tick - created);
    };
    for (size_t i = 0; i < runner.size(); ++i) {
        const std::string& t = runner[i].Text;
        const DWORD tick = runner[i].Tick;
        // The matching return: the next "Ret" of that call.
        const auto returned = [&](const char* name) {
            for (size_t j = i + 1; j < runner.size(); ++j)
                if (IsCall(runner[j].Text, name, true)) return double(runner[j].Tick - tick);
            return 0.0;
        };
        if (t.compare(0, 20, "Starting thread proc") == 0) note(kThread, tick);
        if (at[kProcess] < 0 && IsCall(t, "CreateFileA") && t.find(showName) != std::string::npos) {
            note(kSettings, tick);
            if (at[kWindow] >= 0) note(kExtraction, tick, true);  // the last opening before the projector
        }
        if (at[kWindow] < 0 && at[kSettings] >= 0 && IsCall(t, "CreateWindowExA", true)) note(kWindow, tick);
        if (IsCall(t, "LoadLibraryA")) note(kHooks, tick);
        if (IsCall(t, "CreateProcessA")) note(kProcess, tick);
        if (IsCall(t, "WaitForInputIdle", true)) note(kIdle, tick);
        if (at[kIdle] >= 0 && IsCall(t, "ShowWindow")) note(kFound, tick);
        if (at[kWindow] >= 0 && at[kExtraction] < 0 && IsCall(t, "WaitForSingleObject"))
            mutexWait += returned("WaitForSingleObject");
        // Sleeps until the show only: the supervision and the close that follow sleep too.
        if (IsCall(t, "Sleep") && t.find("(00000000)") == std::string::npos && at[kIdle] >= 0 && tick < shown) {
            (at[kFound] < 0 ? searchWaits : restyleSleeps) += returned("Sleep");
        }
        if (IsCall(t, "MsgWaitForMultipleObjectsEx") && at[kIdle] >= 0 && at[kFound] < 0)
            searchWaits += returned("MsgWaitForMultipleObjectsEx");
    }
    TPhases phases;
    for (double milestone : at)
        if (milestone < 0) return phases;
    const double end = double(shown - created);
    const auto row = [&](const std::string& name, double ms) { phases.Rows.push_back({name, ms}); };
    row("runner process start (CreateProcess to its first thread)", at[kThread]);
    row("runner start-up to the settings pass", at[kSettings] - at[kThread]);
    row("settings pass and runner window", at[kWindow] - at[kSettings]);
    row("to the extraction (run directory, dry pass, mutex)", at[kExtraction] - at[kWindow]);
    row("  of which waiting for the mutex", mutexWait);
    row("extraction", at[kHooks] - at[kExtraction]);
    row("control block, hooks, environment", at[kProcess] - at[kHooks]);
    row("projector start until input idle", at[kIdle] - at[kProcess]);
    row("window search", at[kFound] - at[kIdle]);
    row("  of which waits between looks (each at most 22 ms)", searchWaits);
    row("restyle until shown", end - at[kFound]);
    row("  of which fixed sleeps (2 x 55 ms specified)", restyleSleeps);
    row("total, traced", end);
    return phases;
}

// RelayInclude for the traced starts, restored afterwards.
class TRelayInclude {
public:
    explicit TRelayInclude(const char* calls) {
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Debug", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                              nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        had_ = ::RegQueryValueExA(key_, "RelayInclude", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
        if (had_) {
            old_.resize(size);
            ::RegQueryValueExA(key_, "RelayInclude", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_[0]), &size);
        }
        ::RegSetValueExA(key_, "RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(calls),
                         DWORD(strlen(calls) + 1));
    }
    ~TRelayInclude() {
        if (!key_) return;
        if (had_)
            ::RegSetValueExA(key_, "RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.data()),
                             DWORD(old_.size()));
        else
            ::RegDeleteValueA(key_, "RelayInclude");
        ::RegCloseKey(key_);
    }
    TRelayInclude(const TRelayInclude&) = delete;
    TRelayInclude& operator=(const TRelayInclude&) = delete;

private:
    HKEY key_ = nullptr;
    bool had_ = false;
    std::string old_;
};

// Traced starts of the show, and the median of each phase over them.
bool PrintWhereTheStartGoes(const harness::Presentation& show, const std::string& tracePath) {
    TRelayInclude include(kTracedCalls);
    const std::string showName = show.ExePath().substr(show.ExePath().find_last_of('\\') + 1);
    std::vector<TPhases> runs;
    for (int i = 0; i < kTracedRuns; ++i) {
        const size_t offset = harness::ReadFile(tracePath).size();
        std::map<std::string, std::string> env = kNoReport;
        env["WINEDEBUG"] = "+timestamp,+pid,+relay";
        const DWORD created = ::GetTickCount();
        Program runner = show.Start(env);
        HWND runnerWnd = nullptr;
        const HWND projector = PollFor([&] { return EmbeddedProjector(runner.Pid(), &runnerWnd); });
        const DWORD shown = ::GetTickCount();
        if (!projector || !CloseAndWait(runner, runnerWnd, WM_USER + 12)) {
            std::printf("a traced start failed\n");
            return false;
        }
        runs.push_back(
            PhasesOf(ProcessTrace(harness::ReadFile(tracePath), offset, runner.Pid()), created, shown, showName));
        if (runs.back().Rows.empty()) {
            std::printf("the trace of a start misses a milestone (is %s this program's standard error?)\n",
                        tracePath.c_str());
            return false;
        }
    }
    std::printf(
        "where the start goes: median of %d starts traced by Wine (relay tracing slows each call it\n"
        "traces and the projector, which inherits it), in ms from CreateProcess:\n",
        kTracedRuns);
    for (size_t row = 0; row < runs[0].Rows.size(); ++row) {
        std::vector<double> values;
        for (const TPhases& run : runs) values.push_back(run.Rows[row].second);
        std::printf("  %-56s %6.0f\n", runs[0].Rows[row].first.c_str(), harness::MedianOf(values));
    }
    return true;
}

// Processor time of a process, user and kernel, in 100 ns units.
struct TCpuTime {
    ULONGLONG User = 0, Kernel = 0;
    ULONGLONG Total() const { return User + Kernel; }
};

std::optional<TCpuTime> WindowsCpuTime(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!::GetProcessTimes(process, &created, &ended, &kernel, &user)) return std::nullopt;
    const auto value = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return TCpuTime{value(user), value(kernel)};
}

// Wine 8 does not track the processor time of other processes: GetProcessTimes for them
// gives figures that hardly move. The Linux process behind a Windows one keeps the real
// figures in /proc,
// which Windows programs reach through the Z: drive; Wine names that process by the
// Windows path it was started from.

// A whole file that reports no size, as procfs files do.
std::string ReadStream(const std::string& path) {
    std::string text;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    ::CloseHandle(file);
    return text;
}

// The Linux process id whose first argument is windowsPath (letter case aside), or 0.
int LinuxPidOf(const std::string& windowsPath) {
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA("Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int pid = 0;
    do {
        const std::string name = entry.cFileName;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string cmdline = ReadStream("Z:\\proc\\" + name + "\\cmdline");
        const std::string first = cmdline.substr(0, cmdline.find('\0'));
        if (first.size() == windowsPath.size() && ::lstrcmpiA(first.c_str(), windowsPath.c_str()) == 0) {
            pid = std::atoi(name.c_str());
        }
    } while (!pid && ::FindNextFileA(find, &entry));
    ::FindClose(find);
    return pid;
}

// utime and stime of /proc/PID/stat, in clock ticks of 10 ms (USER_HZ on x86 Linux).
std::optional<TCpuTime> LinuxCpuTime(int pid) {
    const std::string stat = ReadStream("Z:\\proc\\" + std::to_string(pid) + "\\stat");
    const size_t close = stat.rfind(')');  // the command name may hold spaces
    if (!pid || close == std::string::npos) return std::nullopt;
    std::vector<std::string> fields;
    size_t at = close + 2;
    while (at < stat.size() && fields.size() < 13) {
        const size_t end = stat.find(' ', at);
        fields.push_back(stat.substr(at, end - at));
        at = end == std::string::npos ? stat.size() : end + 1;
    }
    if (fields.size() < 13) return std::nullopt;  // fields[11] utime, fields[12] stime
    constexpr ULONGLONG kTick = 100000;           // 10 ms in 100 ns units
    return TCpuTime{std::stoull(fields[11]) * kTick, std::stoull(fields[12]) * kTick};
}

// Holds a process handle for reading its times.
struct TProcessHandle {
    HANDLE Handle;
    explicit TProcessHandle(DWORD pid) : Handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {}
    ~TProcessHandle() {
        if (Handle) ::CloseHandle(Handle);
    }
    TProcessHandle(const TProcessHandle&) = delete;
    TProcessHandle& operator=(const TProcessHandle&) = delete;
};

// A process's processor time, from Linux when the process is found there (under Wine),
// and as GetProcessTimes reports it.
class TCpuMeter {
public:
    TCpuMeter(HANDLE process, const std::string& windowsPath) : process_(process), linuxPid_(LinuxPidOf(windowsPath)) {}

    struct TSample {
        std::optional<TCpuTime> Linux, Windows;
    };
    TSample Read() const { return {linuxPid_ ? LinuxCpuTime(linuxPid_) : std::nullopt, WindowsCpuTime(process_)}; }

private:
    HANDLE process_;
    int linuxPid_;
};

double Ms(ULONGLONG units100ns) { return units100ns / 10000.0; }

// The Linux figure of a period in ms of processor time, when both samples have one.
std::optional<double> LinuxCpuMs(const TCpuMeter::TSample& before, const TCpuMeter::TSample& after) {
    if (!before.Linux || !after.Linux) return std::nullopt;
    return Ms(after.Linux->Total() - before.Linux->Total());
}

// One line of processor time over a period of wallMs, named by who and during ("of supervision").
void PrintCpu(const char* who, const char* during, const TCpuMeter::TSample& before, const TCpuMeter::TSample& after,
              double wallMs) {
    std::string windows = "not readable";
    if (before.Windows && after.Windows) {
        char text[64];
        std::snprintf(text, sizeof text, "%.0f ms", Ms(after.Windows->Total() - before.Windows->Total()));
        windows = text;
    }
    if (!LinuxCpuMs(before, after)) {
        std::printf("%s CPU during %.2f s %s: GetProcessTimes %s; its Linux process not found\n", who, wallMs / 1000,
                    during, windows.c_str());
        return;
    }
    const double user = Ms(after.Linux->User - before.Linux->User);
    const double kernel = Ms(after.Linux->Kernel - before.Linux->Kernel);
    std::printf(
        "%s CPU during %.2f s %s: %.0f ms (user %.0f + kernel %.0f), %.2f %% of one core "
        "[Linux /proc stat; GetProcessTimes under Wine says %s]\n",
        who, wallMs / 1000, during, user + kernel, user, kernel, 100.0 * (user + kernel) / wallMs, windows.c_str());
}

// Starts the show once more and measures the processor time of the runner (and, for
// comparison, of its projector) over the supervision period.
bool MeasureSupervision(const harness::Presentation& show) {
    Program runner = show.Start(kNoReport);
    HWND runnerWnd = nullptr;
    const HWND projector = PollFor([&] { return EmbeddedProjector(runner.Pid(), &runnerWnd); });
    if (!projector) {
        std::printf("supervision: the projector was not shown\n");
        return false;
    }
    DWORD projectorPid = 0;
    ::GetWindowThreadProcessId(projector, &projectorPid);
    TProcessHandle projectorProcess(projectorPid);
    TCpuMeter runnerMeter(runner.Handle(), show.ExePath());
    TCpuMeter projectorMeter(projectorProcess.Handle, show.RunDir() + "\\standin.exe");
    ::Sleep(kSettleMs);
    const TCpuMeter::TSample runnerBefore = runnerMeter.Read();
    const TCpuMeter::TSample projectorBefore = projectorMeter.Read();
    const double start = harness::NowMs();
    ::Sleep(kSupervisionMs);
    const TCpuMeter::TSample runnerAfter = runnerMeter.Read();
    const TCpuMeter::TSample projectorAfter = projectorMeter.Read();
    const double wall = harness::NowMs() - start;
    const bool stillShown = EmbeddedProjector(runner.Pid()) == projector;
    PrintCpu("runner                ", "of supervision", runnerBefore, runnerAfter, wall);
    PrintCpu("its stand-in projector", "of supervision", projectorBefore, projectorAfter, wall);
    if (!stillShown) std::printf("  WARNING: the projector was no longer shown at the end\n");
    return CloseAndWait(runner, runnerWnd, WM_USER + 12) && stillShown;
}

// Where the runner waits for its user: a dialog, reached by a presentation and arguments.
struct TDialogStop {
    const char* Name;
    const harness::Presentation& Show;
    std::string Arguments;
};

// Starts the runner into the dialog, with the sleeping wait or, when polling, the one that
// polls with zero-length sleeps, and measures its processor time over kDialogMs; then
// closes the dialog, which ends the runner. The share of one core in %, or nullopt.
std::optional<double> MeasureDialogWait(const TDialogStop& stop, bool polling) {
    std::map<std::string, std::string> env = kNoReport;
    env["QUINDLE_DIALOG_POLLING"] = polling ? "1" : "";  // empty: removed, whatever this process has
    Program runner = stop.Show.Start(env, stop.Arguments);
    const std::string who = std::string(stop.Name) + (polling ? ", polling wait " : ", sleeping wait");
    const auto dialog = harness::WaitForDialog(runner.Pid(), kShowLimitMs);
    if (!dialog) {
        std::printf("%s: no dialog was shown\n", who.c_str());
        return std::nullopt;
    }
    TCpuMeter meter(runner.Handle(), stop.Show.ExePath());
    ::Sleep(kSettleMs);
    const TCpuMeter::TSample before = meter.Read();
    const double start = harness::NowMs();
    ::Sleep(kDialogMs);
    const TCpuMeter::TSample after = meter.Read();
    const double wall = harness::NowMs() - start;
    const bool stillOpen = ::IsWindow(dialog->Window) != FALSE;
    PrintCpu(who.c_str(), "in the dialog", before, after, wall);
    if (!stillOpen) std::printf("  WARNING: the dialog was no longer open at the end\n");
    const bool ended = CloseAndWait(runner, dialog->Window, WM_CLOSE);
    const std::optional<double> ms = LinuxCpuMs(before, after);
    if (!ms || !stillOpen || !ended) return std::nullopt;
    return 100.0 * *ms / wall;
}

// The runner idle in a dialog with either wait, and how the polling one compares.
bool CompareDialogWaits(const TDialogStop& stop) {
    const std::optional<double> sleeping = MeasureDialogWait(stop, false);
    const std::optional<double> polling = MeasureDialogWait(stop, true);
    if (!sleeping || !polling) return false;
    const double kTickPercent = 100.0 * 10 / kDialogMs;  // one clock tick of /proc over the period
    if (*sleeping > 0) {
        std::printf("  ratio polling / sleeping: %.0f\n", *polling / *sleeping);
    } else {
        std::printf("  ratio polling / sleeping: over %.0f (the sleeping wait used less than one 10 ms tick)\n",
                    *polling / kTickPercent);
    }
    std::printf("  sleeping wait %s the goal of under 1 %% of one core\n", *sleeping < 1.0 ? "meets" : "MISSES");
    return true;
}

// Starts of two packagings of one show, alternating, in one run: the figures of each
// and how the second compares (signed_startup.sh: the same show unsigned and signed).
int CompareStarts(int runs, const harness::Presentation& show, const std::string& first, const std::string& second) {
    const std::string paths[2] = {show.Folder() + "First.exe", show.Folder() + "Second.exe"};
    if (!::CopyFileA(first.c_str(), paths[0].c_str(), FALSE) || !::CopyFileA(second.c_str(), paths[1].c_str(), FALSE)) {
        std::printf("cannot copy %s and %s into the work folder\n", first.c_str(), second.c_str());
        return 1;
    }
    std::printf("%d timed runs of each, alternating, after one untimed warm-up of each\n", runs);
    TFigures figures[2];
    bool ok = TimePackagedStart(show, paths[0]).Shown >= 0 && TimePackagedStart(show, paths[1]).Shown >= 0;
    for (int i = 0; i < 2 * runs && ok; ++i) {
        const int which = (i / 2 + i) % 2;  // first, second, second, first, ...
        const double shown = TimePackagedStart(show, paths[which]).Shown;
        ok = shown >= 0;
        figures[which].Runs.push_back(shown);
    }
    if (!ok) {
        std::printf("a start failed: no projector inside the runner window within %lu ms\n",
                    static_cast<unsigned long>(kShowLimitMs));
        return 1;
    }
    const char* names[2] = {first.c_str(), second.c_str()};
    for (int k = 0; k < 2; ++k)
        std::printf("%s: CreateProcess to projector shown: median %.0f ms, min %.0f ms (runs: %s)\n", names[k],
                    figures[k].Median(), figures[k].Min(), figures[k].List().c_str());
    std::printf("second - first: median %+.0f ms, min %+.0f ms\n", figures[1].Median() - figures[0].Median(),
                figures[1].Min() - figures[0].Min());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string tracePath = argc == 4 && std::string(argv[2]) == "--trace" ? argv[3] : "";
    harness::PresentationSpec spec;
    spec.Name = "StartupBench";
    // Interaction on: a pointer moved by the desktop must not end the show being measured.
    spec.Ini = "[Settings]\r\nPassword=0\r\nInteraction=1\r\nKeyInteraction=1\r\nZantic Screen Name=Startup Bench\r\n";
    if (argc == 5 && std::string(argv[2]) == "--compare") {
        harness::Presentation show(spec);
        return show.Packed() ? CompareStarts(runs, show, argv[3], argv[4]) : 1;
    }
    harness::Presentation show(spec);
    if (!show.Packed()) {
        std::printf("packing failed:\n%s\n", show.PackOutput().c_str());
        return 1;
    }
    std::printf("%d timed runs of each, after one untimed warm-up of each; windows polled every %lu ms\n", runs,
                static_cast<unsigned long>(kPollMs));

    // Warm-up: page cache, Wine's DLLs.
    bool ok = TimePackagedStart(show).Shown >= 0 && TimeDirectStart() >= 0 && TimeRunnerAlone(show) >= 0;
    TFigures packaged, runnerWindow, projectorWindow, direct, runnerAlone;
    for (int i = 0; i < runs && ok; ++i) {
        // Rotating order, so no kind of start always follows the same other.
        TPackagedStart p;
        double d = -1, r = -1;
        for (int k = 0; k < 3; ++k) {
            switch ((i + k) % 3) {
                case 0:
                    p = TimePackagedStart(show);
                    break;
                case 1:
                    d = TimeDirectStart();
                    break;
                default:
                    r = TimeRunnerAlone(show);
                    break;
            }
        }
        ok = p.Shown >= 0 && p.RunnerWindow >= 0 && p.ProjectorWindow >= 0 && d >= 0 && r >= 0;
        packaged.Runs.push_back(p.Shown);
        runnerWindow.Runs.push_back(p.RunnerWindow);
        projectorWindow.Runs.push_back(p.ProjectorWindow);
        direct.Runs.push_back(d);
        runnerAlone.Runs.push_back(r);
    }
    if (!ok) {
        std::printf("a start failed: no window within %lu ms, or the program did not end when asked\n",
                    static_cast<unsigned long>(kShowLimitMs));
        return 1;
    }
    std::printf(
        "packaged presentation, CreateProcess to projector shown in the runner window: "
        "median %.0f ms, min %.0f ms (runs: %s)\n",
        packaged.Median(), packaged.Min(), packaged.List().c_str());
    std::printf("  on the way: runner window made at median %.0f ms; projector window made at median %.0f ms\n",
                runnerWindow.Median(), projectorWindow.Median());
    std::printf(
        "stand-in projector alone, CreateProcess to its window shown:                  "
        "median %.0f ms, min %.0f ms (runs: %s)\n",
        direct.Median(), direct.Min(), direct.List().c_str());
    std::printf("ratio packaged / alone: median %.2f, min %.2f\n", packaged.Median() / direct.Median(),
                packaged.Min() / direct.Min());
    std::printf(
        "runner alone (\"/C\"), CreateProcess to its setup dialog shown:                 "
        "median %.0f ms, min %.0f ms (runs: %s)\n",
        runnerAlone.Median(), runnerAlone.Min(), runnerAlone.List().c_str());
    const double twoStarts = runnerAlone.Median() + direct.Median();
    std::printf(
        "packaged start less its fixed sleeps (%.0f ms), against the runner's and the projector's own starts\n"
        "  together (%.0f ms): median %.2f (goal: at most 1.2)\n",
        kFixedSleepsMs, twoStarts, (packaged.Median() - kFixedSleepsMs) / twoStarts);
    if (!tracePath.empty()) ok &= PrintWhereTheStartGoes(show, tracePath);
    ok &= MeasureSupervision(show);

    harness::PresentationSpec lockedSpec = spec;
    lockedSpec.Name = "StartupBenchLocked";
    lockedSpec.Ini = "[Settings]\r\nPassword=1\r\nAlignmentX=" + std::to_string(quindle::HashPassword("Bench")) +
                     "\r\nZantic Screen Name=Startup Bench\r\n";
    harness::Presentation locked(lockedSpec);
    if (!locked.Packed()) {
        std::printf("packing the password-protected show failed:\n%s\n", locked.PackOutput().c_str());
        return 1;
    }
    std::printf("the runner idle in its dialogs (sleeping wait; polling with zero-length sleeps):\n");
    ok &= CompareDialogWaits({"password dialog", locked, ""});
    ok &= CompareDialogWaits({"setup dialog   ", show, "/C"});
    return ok ? 0 : 1;
}
