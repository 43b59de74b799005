// The start-up library is foreign code: a structured exception raised inside its
// export (an access violation, a Delphi exception) must end the call, not the runner.
// GCC's catch (...) does not take structured exceptions, so the call is guarded by hand:
// on 32-bit Windows by an exception frame of its own on the fs:0 chain; on 64-bit
// Windows by the unhandled-exception filter, which the exception reaches once no frame
// of the library or the runner took it.
#include "commands/win32/StartupCommandRunner.h"

#include <csetjmp>
#include <vector>

#include "base/Timing.h"
#include "base/win32/Handles.h"

namespace quindle {
namespace {

// The export removes its own arguments (stdcall); its result is ignored.
using BeforeShowProc = void(WINAPI*)(char* buffer, HWND runnerWnd, const char* arguments);

#if defined(__i386__)
struct TExceptionRegistration {
    TExceptionRegistration* Previous;
    void* Handler;
};

jmp_buf* g_landing = nullptr;

TExceptionRegistration* HeadOfChain() {
    TExceptionRegistration* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void SetHeadOfChain(TExceptionRegistration* head) { __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory"); }

// Unwinds the export's own frames (their clean-up handlers run), then lands back in
// CallDiscardingExceptions; longjmp also drops this frame from the chain.
EXCEPTION_DISPOSITION __cdecl DiscardException(EXCEPTION_RECORD* record, void* frame, CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    ::RtlUnwind(frame, nullptr, record, nullptr);
    longjmp(*g_landing, 1);
}

void CallDiscardingExceptions(BeforeShowProc proc, char* buffer, HWND runnerWnd, const char* arguments) {
    jmp_buf landing;
    if (setjmp(landing) != 0) return;
    g_landing = &landing;
    TExceptionRegistration registration{HeadOfChain(), reinterpret_cast<void*>(&DiscardException)};
    SetHeadOfChain(&registration);
    proc(buffer, runnerWnd, arguments);
    SetHeadOfChain(registration.Previous);
}
#else
void* g_landing[5];
bool g_guarding = false;

LONG WINAPI DiscardUnhandledException(EXCEPTION_POINTERS*) {
    if (!g_guarding) return EXCEPTION_CONTINUE_SEARCH;
    __builtin_longjmp(g_landing, 1);
}

// A filter that was installed before is put back on every path.
class TUnhandledFilterScope {
public:
    TUnhandledFilterScope() : previous_(::SetUnhandledExceptionFilter(&DiscardUnhandledException)) {}
    ~TUnhandledFilterScope() {
        g_guarding = false;
        ::SetUnhandledExceptionFilter(previous_);
    }

private:
    LPTOP_LEVEL_EXCEPTION_FILTER previous_;
};

__attribute__((noinline)) void CallDiscardingExceptions(BeforeShowProc proc, char* buffer, HWND runnerWnd,
                                                        const char* arguments) {
    TUnhandledFilterScope scope;
    if (__builtin_setjmp(g_landing) != 0) return;
    g_guarding = true;
    proc(buffer, runnerWnd, arguments);
}
#endif

void CallLibrary(const TStartupCommand& command, HWND runnerWnd) {
    TUniqueModule library(::LoadLibraryA(command.Path.c_str()));
    if (!library) return;
    auto proc =
        reinterpret_cast<BeforeShowProc>(reinterpret_cast<void (*)()>(::GetProcAddress(library.get(), "BeforeShow")));
    if (!proc) return;
    std::vector<char> buffer(256);  // the export's to fill; never read back
    const std::string arguments = ExportArgumentText(command);
    CallDiscardingExceptions(proc, buffer.data(), runnerWnd, arguments.data());
}

// Started by its full path as the application name, so the system searches for nothing;
// the command line carries the quoted path for the program's own reading. As WinExec
// did, the runner waits (bounded) until the program takes input, so it is up before the
// projector is shown; it never waits for the program's end.
void StartProgram(const TStartupCommand& command) {
    std::string commandLine = ProgramCommandLine(command);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(command.Path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started))
        return;
    TUniqueHandle process(started.hProcess);
    TUniqueHandle thread(started.hThread);
    ::WaitForInputIdle(process.get(), kStartupIdleWaitMs);
}

}  // namespace

void RunStartupCommand(const std::string& beforeShow, const std::string& runDir, HWND runnerWnd) {
    if (beforeShow.empty()) return;
    const TStartupCommand command = ParseStartupCommand(beforeShow, runDir);
    switch (command.Kind) {
        case TStartupKind::Library:
            CallLibrary(command, runnerWnd);
            break;
        case TStartupKind::Program:
            StartProgram(command);
            break;
        case TStartupKind::None:
            break;
    }
}

}  // namespace quindle
