// Win32 harness for the Wine tests.
#include "tests/harness/Harness.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <utility>

namespace harness {

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (::GetTickCount() - start >= timeoutMs) return pred();
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageA(&m);
        }
        ::Sleep(10);
    }
}

std::string BinDir() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

Program::Program(Program&& other) noexcept { *this = std::move(other); }

Program& Program::operator=(Program&& other) noexcept {
    if (this != &other) {
        this->~Program();
        job_ = std::exchange(other.job_, nullptr);
        process_ = std::exchange(other.process_, nullptr);
        thread_ = std::exchange(other.thread_, nullptr);
        pid_ = std::exchange(other.pid_, 0);
    }
    return *this;
}

Program::~Program() {
    if (process_) {
        if (Running()) Kill();
        ::CloseHandle(process_);
        process_ = nullptr;
    }
    EndJob();
    if (thread_) {
        ::CloseHandle(thread_);
        thread_ = nullptr;
    }
}

namespace {

// Sets the variables for the child and restores this process's own values afterwards.
class EnvironmentOverlay {
public:
    explicit EnvironmentOverlay(const std::map<std::string, std::string>& env) {
        for (const auto& [name, value] : env) {
            char buffer[32768];
            const DWORD n = ::GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
            saved_.emplace_back(name, n ? std::optional<std::string>(std::string(buffer, n)) : std::nullopt);
            ::SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
        }
    }
    ~EnvironmentOverlay() {
        for (const auto& [name, value] : saved_)
            ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace

namespace {

// A job whose processes the system ends once its last handle is closed.
HANDLE CreateKillOnCloseJob() {
    HANDLE job = ::CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        ::CloseHandle(job);
        job = nullptr;
    }
    return job;
}

DWORD ActiveProcesses(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr))
        return 0;
    return accounting.ActiveProcesses;
}

}  // namespace

void Program::EndJob() {
    if (!job_) return;
    if (ActiveProcesses(job_) != 0) {
        ::TerminateJobObject(job_, 255);
        // Bounded: the folders of the test are removed next, and a process still ending
        // would hold its files.
        WaitUntil([&] { return ActiveProcesses(job_) == 0; }, 5000);
    }
    ::CloseHandle(job_);
    job_ = nullptr;
}

Program Program::Start(const std::string& exePath, const std::string& arguments,
                       const std::map<std::string, std::string>& env, const std::string& workingDir) {
    EnvironmentOverlay overlay(env);
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    Program program;
    // Suspended until it is in the job, so nothing it starts escapes it.
    if (::CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                         workingDir.empty() ? nullptr : workingDir.c_str(), &si, &pi)) {
        program.job_ = CreateKillOnCloseJob();
        if (program.job_ && !::AssignProcessToJobObject(program.job_, pi.hProcess)) program.EndJob();
        ::ResumeThread(pi.hThread);
        program.process_ = pi.hProcess;
        program.thread_ = pi.hThread;
        program.pid_ = pi.dwProcessId;
    }
    return program;
}

std::optional<DWORD> Program::WaitExit(DWORD timeoutMs) {
    if (!process_) return std::nullopt;
    const bool ended = WaitUntil([&] { return ::WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs);
    if (!ended) return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(process_, &code);
    return code;
}

bool Program::Running() const { return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

void Program::Kill() {
    if (!process_) return;
    ::TerminateProcess(process_, 255);
    ::WaitForSingleObject(process_, 5000);
}

std::string WindowClass(HWND window) {
    char name[256] = {};
    const int n = ::GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? n : 0);
}

std::vector<std::string> LoadedModulePaths(DWORD pid) {
    std::vector<std::string> paths;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return paths;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = ::Module32First(snapshot, &module); more; more = ::Module32Next(snapshot, &module))
        paths.push_back(module.szExePath);
    ::CloseHandle(snapshot);
    return paths;
}

std::optional<std::string> LoadedModule(DWORD pid, const std::string& name) {
    for (const std::string& path : LoadedModulePaths(pid))
        if (::lstrcmpiA(::PathFindFileNameA(path.c_str()), name.c_str()) == 0) return path;
    return std::nullopt;
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    // Not GetWindowText: it would not read windows of another process reliably.
    const LRESULT n = ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                            SMTO_ABORTIFHUNG, 2000, nullptr);
    (void)n;
    return std::string(text);
}

DWORD WindowProcessId(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    return pid;
}

namespace {

struct TopWindowQuery {
    std::string className, title;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param) {
    auto* q = reinterpret_cast<TopWindowQuery*>(param);
    if (!q->className.empty() && lstrcmpiA(WindowClass(window).c_str(), q->className.c_str()) != 0) return TRUE;
    if (q->pid && WindowProcessId(window) != q->pid) return TRUE;
    if (!q->title.empty() && WindowText(window) != q->title) return TRUE;
    q->found = window;
    return FALSE;
}

}  // namespace

HWND FindTopWindow(const std::string& className, const std::string& title, DWORD pid) {
    TopWindowQuery q{className, title, pid, nullptr};
    ::EnumWindows(&MatchTopWindow, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

HWND WaitForTopWindow(const std::string& className, const std::string& title, DWORD pid, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(className, title, pid)) != nullptr; }, timeoutMs);
    return found;
}

namespace {

std::string WithoutAmpersand(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
}

BOOL CALLBACK CollectDialogChild(HWND child, LPARAM param) {
    auto* dialog = reinterpret_cast<Dialog*>(param);
    const std::string cls = WindowClass(child);
    const std::string text = WindowText(child);
    if (lstrcmpiA(cls.c_str(), "Button") == 0) {
        dialog->Buttons.push_back(WithoutAmpersand(text));
    } else if (lstrcmpiA(cls.c_str(), "Static") == 0 && !text.empty()) {
        if (!dialog->Text.empty()) dialog->Text += "\n";
        dialog->Text += text;
    }
    return TRUE;
}

}  // namespace

Dialog ReadDialog(HWND window) {
    Dialog dialog;
    dialog.Window = window;
    dialog.Caption = WindowText(window);
    ::EnumChildWindows(window, &CollectDialogChild, reinterpret_cast<LPARAM>(&dialog));
    return dialog;
}

std::optional<Dialog> WaitForDialog(DWORD pid, DWORD timeoutMs) {
    HWND window = WaitForTopWindow("#32770", "", pid, timeoutMs);
    if (!window) return std::nullopt;
    // The box fills its texts right after creation; give it a moment to show.
    WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; }, 5000);
    return ReadDialog(window);
}

bool PressButton(const Dialog& dialog, const std::string& caption) {
    struct Query {
        std::string caption;
        HWND button;
    } q{caption, nullptr};
    ::EnumChildWindows(
        dialog.Window,
        [](HWND child, LPARAM param) -> BOOL {
            auto* q = reinterpret_cast<Query*>(param);
            if (lstrcmpiA(WindowClass(child).c_str(), "Button") == 0 &&
                WithoutAmpersand(WindowText(child)) == q->caption) {
                q->button = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&q));
    if (!q.button) return false;
    const int id = ::GetDlgCtrlID(q.button);
    ::PostMessageA(dialog.Window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(q.button));
    return WaitUntil([&] { return !::IsWindow(dialog.Window); }, 10000);
}

void TypeText(HWND edit, const std::string& text) {
    for (unsigned char c : text) ::PostMessageA(edit, WM_CHAR, c, 1);
}

bool ClickButton(HWND button, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

UINT RegisteredMessage(const std::string& name) { return ::RegisterWindowMessageA(name.c_str()); }

bool RegSetString(const std::string& subkey, const std::string& name, const std::string& value, HKEY root) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG rc =
        ::RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool RegSetDword(const std::string& subkey, const std::string& name, DWORD value, HKEY root) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG rc =
        ::RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

std::optional<std::string> RegGetString(const std::string& subkey, const std::string& name, HKEY root) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    char buffer[4096] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    const LONG rc = ::RegQueryValueExA(key, name.empty() ? nullptr : name.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::string(buffer);
}

void RegDeleteTree(const std::string& subkey, HKEY root) { ::SHDeleteKeyA(root, subkey.c_str()); }

bool FileExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ListDir(const std::string& dir) {
    std::vector<std::string> names;
    std::string pattern = dir;
    if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((pattern + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    ::CloseHandle(file);
    return bytes;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

std::string TempPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathA(sizeof path, path);
    std::string dir(path, n);
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    return dir;
}

void RemoveTree(const std::string& path) {
    std::string dir = path;
    while (!dir.empty() && dir.back() == '\\') dir.pop_back();
    if (dir.empty() || !DirExists(dir)) return;
    for (const std::string& name : ListDir(dir)) {
        const std::string full = dir + "\\" + name;
        if (DirExists(full)) {
            RemoveTree(full);
        } else {
            ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(full.c_str());
        }
    }
    ::RemoveDirectoryA(dir.c_str());
}

ScratchDir::ScratchDir(const std::string& stem) {
    for (unsigned n = ::GetTickCount() % 100000;; ++n) {
        path_ = TempPath() + stem + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(n) + "\\";
        if (::CreateDirectoryA(path_.substr(0, path_.size() - 1).c_str(), nullptr)) return;
    }
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

}  // namespace harness
