// Packed presentations for end-to-end tests.
#include "tests/harness/Presentation.h"

#include "contract/Notices.h"

#include <cstring>
#include <sstream>

namespace harness {

namespace {

// Runs quindle-pack.exe and returns what it printed; ok tells whether it exited with 0.
std::string RunPackTool(const std::string& arguments, const std::string& folder, bool& ok) {
    const std::string output = folder + "pack-output.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = ::CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + BinDir() + "quindle-pack.exe\" " + arguments;
    ok = false;
    if (::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, folder.c_str(),
                         &si, &pi)) {
        if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
            DWORD code = 1;
            ::GetExitCodeProcess(pi.hProcess, &code);
            ok = code == 0;
        } else {
            ::TerminateProcess(pi.hProcess, 1);
        }
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    ::CloseHandle(out);
    return ReadFile(output);
}

bool CopyFromBin(const std::string& name, const std::string& folder) {
    return ::CopyFileA((BinDir() + name).c_str(), (folder + name).c_str(), FALSE) != FALSE;
}

}  // namespace

Presentation::Presentation(const PresentationSpec& spec) : spec_(spec), work_("qshow"), temp_("qtmp") {
    exePath_ = work_.Path() + spec.Name + ".exe";
    reportPath_ = work_.Path() + "standin-report.txt";
    const std::string inputs = work_.Path() + "inputs\\";
    ::CreateDirectoryA(inputs.c_str(), nullptr);
    std::string arguments = "pack --stub \"" + BinDir() + "runner.exe\" --out \"" + exePath_ + "\"";
    if (!spec.PackOptions.empty()) arguments += " " + spec.PackOptions;
    auto add = [&](const std::string& name) { arguments += " \"" + inputs + name + "\""; };
    bool ok = true;
    if (!spec.Projector.empty()) {
        ok &= CopyFromBin(spec.Projector, inputs);
        add(spec.Projector);
    }
    if (!spec.HookLib.empty()) {
        ok &= CopyFromBin(spec.HookLib, inputs);
        add(spec.HookLib);
    }
    if (!spec.Ini.empty()) {
        ok &= WriteFile(inputs + spec.IniName, spec.Ini);
        add(spec.IniName);
    }
    for (const auto& [name, bytes] : spec.Extras) {
        ok &= WriteFile(inputs + name, bytes);
        add(name);
    }
    for (const auto& tagged : spec.TaggedExtras) {
        const std::string folder = inputs + "tagged" + std::to_string(&tagged - spec.TaggedExtras.data()) + "\\";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        ok &= WriteFile(folder + tagged.Name, tagged.Bytes);
        arguments += " --tag \"" + tagged.Tag + "\" \"" + folder + tagged.Name + "\" --tag \"\"";
    }
    bool packedOk = false;
    packOutput_ = RunPackTool(arguments, work_.Path(), packedOk);
    packed_ = ok && packedOk && FileExists(exePath_);
    RegDeleteTree("Software\\Nimbrel Soft\\" + spec.Name);
}

Presentation::~Presentation() { RegDeleteTree("Software\\Nimbrel Soft\\" + spec_.Name); }

std::string Presentation::RunDir(int number) const {
    return temp_.Path() + "Qgl_Rt" + (number ? std::to_string(number) : std::string());
}

Program Presentation::Start(const std::map<std::string, std::string>& env, const std::string& arguments) const {
    return StartFile(exePath_, env, arguments);
}

Program Presentation::StartCopy(const std::string& exePath, const std::map<std::string, std::string>& env) const {
    return StartFile(exePath, env, "");
}

Program Presentation::StartFile(const std::string& exePath, const std::map<std::string, std::string>& env,
                                const std::string& arguments) const {
    std::map<std::string, std::string> all = {
        {"TMP", temp_.Path()}, {"TEMP", temp_.Path()}, {"STANDIN_REPORT", reportPath_}};
    for (const auto& [name, value] : env) all[name] = value;
    return Program::Start(exePath, arguments, all, work_.Path());
}

std::string Presentation::MakeCopy(const std::string& name) const {
    const std::string path = work_.Path() + name;
    return ::CopyFileA(exePath_.c_str(), path.c_str(), FALSE) ? path : std::string();
}

std::vector<std::pair<std::string, std::string>> Presentation::Report() const {
    std::vector<std::pair<std::string, std::string>> lines;
    std::istringstream text(ReadFile(reportPath_));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq != std::string::npos) lines.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return lines;
}

std::string Presentation::ReportValue(const std::string& key) const {
    std::string value;
    for (const auto& [k, v] : Report())
        if (k == key) value = v;
    return value;
}

std::optional<quindle::TRunnerControlBlock> ReadControlBlock(const std::string& instanceTag) {
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, ("NimbrelRunnerMapping" + instanceTag).c_str());
    if (!mapping) return std::nullopt;
    std::optional<quindle::TRunnerControlBlock> block;
    if (void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(quindle::TRunnerControlBlock))) {
        block.emplace();
        std::memcpy(&*block, view, sizeof(quindle::TRunnerControlBlock));
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(mapping);
    return block;
}

namespace {

// The session's control block, mapped for reading and writing as the runner maps it;
// Get() is null when there is no such session.
class WritableBlock {
public:
    explicit WritableBlock(const std::string& instanceTag)
        : mapping_(::OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE,
                                      ("NimbrelRunnerMapping" + instanceTag).c_str())),
          block_(mapping_ ? static_cast<volatile quindle::TRunnerControlBlock*>(::MapViewOfFile(
                                mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(quindle::TRunnerControlBlock)))
                          : nullptr) {}
    ~WritableBlock() {
        if (block_) ::UnmapViewOfFile(const_cast<quindle::TRunnerControlBlock*>(block_));
        if (mapping_) ::CloseHandle(mapping_);
    }
    WritableBlock(const WritableBlock&) = delete;
    WritableBlock& operator=(const WritableBlock&) = delete;

    volatile quindle::TRunnerControlBlock* Get() const { return block_; }

private:
    HANDLE mapping_;
    volatile quindle::TRunnerControlBlock* block_;
};

}  // namespace

bool WaitForSupervisedShow(const std::string& instanceTag, DWORD timeoutMs) {
    const WritableBlock view(instanceTag);
    volatile quindle::TRunnerControlBlock* block = view.Get();
    const DWORD start = ::GetTickCount();
    const auto left = [&] {
        const DWORD spent = ::GetTickCount() - start;
        return spent < timeoutMs ? timeoutMs - spent : 0;
    };
    bool supervised = block && WaitUntil([&] { return block->Ready == 1; }, timeoutMs);
    for (int pass = 0; supervised && pass < 2; ++pass) {
        const uint8_t written = block->NoKeyInteraction;
        block->NoKeyInteraction = written ? 0 : 1;
        supervised = WaitUntil([&] { return block->NoKeyInteraction == written; }, left());
    }
    return supervised;
}

bool WaitForRunnerNotices(HWND runnerWnd, const std::string& instanceTag, DWORD timeoutMs) {
    const WritableBlock view(instanceTag);
    volatile quindle::TRunnerControlBlock* block = view.Get();
    if (!block) return false;
    block->Ready = 0;
    if (!::PostMessageA(runnerWnd, quindle::kReadyNotice, 0, 0)) return false;
    return WaitUntil([&] { return block->Ready == 1; }, timeoutMs);
}

bool MappingExists(const std::string& name) {
    const HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (mapping) ::CloseHandle(mapping);
    return mapping != nullptr;
}

HWND WaitForRunnerWindow(DWORD pid, bool visible, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindTopWindow("MumuQuindleWindow", "", pid);
            return found && (!visible || ::IsWindowVisible(found));
        },
        timeoutMs);
    return found && (!visible || ::IsWindowVisible(found)) ? found : nullptr;
}

HWND WaitForEmbeddedProjector(HWND parent, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = ::FindWindowExA(parent, nullptr, "ShockwaveFlash", nullptr)) != nullptr; },
              timeoutMs);
    return found;
}

HWND WaitForShow(const Program& runner) {
    const HWND window = WaitForRunnerWindow(runner.Pid());
    return window && WaitForEmbeddedProjector(window) ? window : nullptr;
}

std::optional<DWORD> CloseShow(HWND runnerWnd, Program& runner) {
    ::PostMessageA(runnerWnd, quindle::kCloseNotice, 0, 0);
    return runner.WaitExit();
}

OrphanedProjector::OrphanedProjector(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    process_ = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
}

OrphanedProjector::~OrphanedProjector() {
    End();
    if (process_) ::CloseHandle(process_);
}

bool OrphanedProjector::Running() const { return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool OrphanedProjector::End() {
    if (process_ && Running()) ::TerminateProcess(process_, 0);
    return !process_ || ::WaitForSingleObject(process_, 5000) == WAIT_OBJECT_0;
}

}  // namespace harness
