// Running the runner's dialogs inside the test program: the test thread serves them with
// a pump like the runner's, while a watcher thread reads and drives them as a user would.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "tests/harness/Harness.h"
#include "window/DialogLoop.h"

namespace quindle::dialogtest {

// The runner's pump in small: everything queued is handled, WM_QUIT ends the cycle.
class TestCycle {
public:
    TDialogPump Pump() {
        return {[this] { PumpAll(); }, [this] { return quit_; }};
    }

private:
    void PumpAll() {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit_ = true;
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::Sleep(0);
    }
    bool quit_ = false;
};

// A hidden top-level window standing in for the runner window as owner.
class OwnerWindow {
public:
    OwnerWindow()
        : window_(::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr)) {}
    ~OwnerWindow() { ::DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Runs script on a second thread. When the script fails, or the test thread has not
// finished its dialog code within the limit after the script ended, the watcher closes
// what is left and asks the test thread's loops to quit, so the test fails instead of
// hanging.
class Watcher {
public:
    explicit Watcher(std::function<bool()> script) : testThread_(::GetCurrentThreadId()) {
        thread_ = std::thread([this, script] {
            bool ok = script();
            if (ok && !harness::WaitUntil([this] { return done_.load(); }, 20000)) ok = false;
            ok_ = ok;
            while (!ok && !done_) {
                ::PostThreadMessageA(testThread_, WM_QUIT, 0, 0);
                for (HWND w = harness::FindTopWindow("#32770", "", ::GetCurrentProcessId()); w;
                     w = harness::FindTopWindow("#32770", "", ::GetCurrentProcessId())) {
                    ::PostMessageA(w, WM_CLOSE, 0, 0);
                    if (!harness::WaitUntil([w] { return !::IsWindow(w); }, 2000)) break;
                }
                ::Sleep(50);
            }
        });
    }
    ~Watcher() { Finish(); }
    // Called by the test thread once the dialog code has returned: true when the script
    // ran to its end and the dialog code returned after it.
    bool Finish() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return ok_;
    }

private:
    DWORD testThread_;
    std::atomic<bool> done_{false};
    std::atomic<bool> ok_{false};
    std::thread thread_;
};

// A visible dialog or message box of this process; a dialog that is still being set up
// (the setup dialog while it asks for the password) stays hidden and does not count.
inline HWND VisibleDialog() {
    struct Query {
        DWORD pid;
        HWND found;
    } q{::GetCurrentProcessId(), nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* q = reinterpret_cast<Query*>(param);
            if (harness::WindowProcessId(window) != q->pid || harness::WindowClass(window) != "#32770" ||
                !::IsWindowVisible(window))
                return TRUE;
            q->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&q));
    return q.found;
}

// The next dialog or message box of this process, once it is shown.
inline std::optional<harness::Dialog> NextDialog() {
    HWND found = nullptr;
    if (!harness::WaitUntil([&] { return (found = VisibleDialog()) != nullptr; }, 20000)) return std::nullopt;
    return harness::ReadDialog(found);
}

// Returns once the dialog's thread serves its queue again (it has finished setting the
// dialog up), with its caption as it then stands.
inline std::string SettledCaption(HWND dialog) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    return harness::WindowText(dialog);
}

}  // namespace quindle::dialogtest
