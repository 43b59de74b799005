// Helper of startup_bench.sh, run under Wine: how long a packaged presentation takes
// from CreateProcess until its projector shows inside the runner window, beside the
// stand-in projector's own start when launched directly, how much processor time the
// runner spends while it supervises a running show, and while it waits in its password and
// setup dialogs, beside the same with the dialogs' polling wait.
//   startup_bench.exe [RUNS]
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

    bool ok = TimePackagedStart(show).Shown >= 0 && TimeDirectStart() >= 0;  // warm-up: page cache, Wine's DLLs
    TFigures packaged, runnerWindow, projectorWindow, direct;
    for (int i = 0; i < runs && ok; ++i) {
        // Alternating order, so neither kind of start always follows the other.
        TPackagedStart p;
        double d = -1;
        if (i % 2 == 0) {
            p = TimePackagedStart(show);
            d = TimeDirectStart();
        } else {
            d = TimeDirectStart();
            p = TimePackagedStart(show);
        }
        ok = p.Shown >= 0 && p.RunnerWindow >= 0 && p.ProjectorWindow >= 0 && d >= 0;
        packaged.Runs.push_back(p.Shown);
        runnerWindow.Runs.push_back(p.RunnerWindow);
        projectorWindow.Runs.push_back(p.ProjectorWindow);
        direct.Runs.push_back(d);
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
    ok = MeasureSupervision(show);

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
