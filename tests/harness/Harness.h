// Win32 harness for the Wine tests: start programs, find windows, answer message
// boxes, send messages, use the registry and inspect files. Every wait is bounded,
// so a hung program fails its test instead of hanging the run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace harness {

constexpr DWORD kDefaultWaitMs = 20000;

// Polls pred every few milliseconds (pumping this thread's messages) until it holds or
// timeoutMs has passed; returns its last value.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = kDefaultWaitMs);

// The folder of the running test program (build/win64/bin), with a trailing backslash.
std::string BinDir();

// A started program; its handles are closed on destruction. Everything it started, and
// what those started in turn (a show's projector, its tools), is in the program's job:
// destruction ends whatever of it still runs, and the system ends it when the test
// program ends, so a failed test leaves no process behind to hold the run's output.
class Program {
public:
    Program() = default;
    Program(Program&& other) noexcept;
    Program& operator=(Program&& other) noexcept;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    // env: variables added to (or, with an empty value, removed from) this process's environment.
    static Program Start(const std::string& exePath, const std::string& arguments = "",
                         const std::map<std::string, std::string>& env = {}, const std::string& workingDir = "");

    bool Started() const { return process_ != nullptr; }
    DWORD Pid() const { return pid_; }
    DWORD MainThreadId() const { return thread_ ? ::GetThreadId(thread_) : 0; }
    HANDLE Handle() const { return process_; }
    // Exit code once the program has ended within timeoutMs; nullopt while it runs.
    std::optional<DWORD> WaitExit(DWORD timeoutMs = kDefaultWaitMs);
    bool Running() const;
    void Kill();

private:
    void EndJob();

    HANDLE job_ = nullptr;
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD pid_ = 0;
};

// Top-level windows.
HWND FindTopWindow(const std::string& className, const std::string& title = "", DWORD pid = 0);
HWND WaitForTopWindow(const std::string& className, const std::string& title = "", DWORD pid = 0,
                      DWORD timeoutMs = kDefaultWaitMs);
std::string WindowClass(HWND window);
std::string WindowText(HWND window);
DWORD WindowProcessId(HWND window);

// The full paths of the modules loaded in process pid; empty when it cannot be read.
std::vector<std::string> LoadedModulePaths(DWORD pid);
// The path of the module named name (any letter case) in process pid; nullopt when the
// process has no such module loaded.
std::optional<std::string> LoadedModule(DWORD pid, const std::string& name);

// A message box or dialog ("#32770") as a user sees it.
struct Dialog {
    HWND Window = nullptr;
    std::string Caption;
    std::string Text;                  // the static texts, joined by "\n"
    std::vector<std::string> Buttons;  // button captions
};

// The dialog's caption, static texts and buttons as they stand.
Dialog ReadDialog(HWND window);
// Waits for a dialog shown by process pid (any process when 0).
std::optional<Dialog> WaitForDialog(DWORD pid = 0, DWORD timeoutMs = kDefaultWaitMs);
// Presses the button whose caption, without '&', equals caption ("OK", "Cancel").
bool PressButton(const Dialog& dialog, const std::string& caption);

// Types text into an edit control the way keystrokes reach it: one posted WM_CHAR per
// character, handled by the control's own thread in order.
void TypeText(HWND edit, const std::string& text);
// Clicks a button as the mouse does (BM_CLICK): a check box toggles and its dialog gets
// BN_CLICKED. Returns once the button's thread has handled the click; false on time-out.
bool ClickButton(HWND button, DWORD timeoutMs = 10000);

UINT RegisteredMessage(const std::string& name);

// Registry under HKEY_CURRENT_USER (or another root).
bool RegSetString(const std::string& subkey, const std::string& name, const std::string& value,
                  HKEY root = HKEY_CURRENT_USER);
bool RegSetDword(const std::string& subkey, const std::string& name, DWORD value, HKEY root = HKEY_CURRENT_USER);
std::optional<std::string> RegGetString(const std::string& subkey, const std::string& name,
                                        HKEY root = HKEY_CURRENT_USER);
void RegDeleteTree(const std::string& subkey, HKEY root = HKEY_CURRENT_USER);

// Files and folders.
bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
std::vector<std::string> ListDir(const std::string& dir);  // names, without "." and ".."
std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);
std::string TempPath();  // GetTempPath, with its trailing backslash
// A fresh empty folder under the temporary path, removed with everything in it on destruction.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& stem = "qtest");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path_; }  // with a trailing backslash
private:
    std::string path_;
};
void RemoveTree(const std::string& path);

}  // namespace harness
