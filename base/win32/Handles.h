// One owner for each kernel or window object the runner creates: the destructor
// releases it, so an early return or an exception cannot leak it.
#pragma once

#include <windows.h>

#include <utility>

namespace quindle {

// Owner of a value released by Close(value) unless it equals Invalid.
template <typename T, T Invalid, typename Closer>
class TUniqueResource {
public:
    TUniqueResource() = default;
    explicit TUniqueResource(T value) : value_(value) {}
    ~TUniqueResource() { reset(); }
    TUniqueResource(TUniqueResource&& other) noexcept : value_(other.release()) {}
    TUniqueResource& operator=(TUniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    TUniqueResource(const TUniqueResource&) = delete;
    TUniqueResource& operator=(const TUniqueResource&) = delete;

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }
    T release() { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) {
        T old = std::exchange(value_, value);
        if (old != Invalid) Closer()(old);
    }

private:
    T value_ = Invalid;
};

struct TCloseHandle {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct TDestroyWindow {
    void operator()(HWND w) const { ::DestroyWindow(w); }
};
struct TDestroyMenu {
    void operator()(HMENU m) const { ::DestroyMenu(m); }
};
struct TRegCloseKey {
    void operator()(HKEY k) const { ::RegCloseKey(k); }
};
struct TFreeLibrary {
    void operator()(HMODULE m) const { ::FreeLibrary(m); }
};
struct TUnmapView {
    void operator()(void* v) const { ::UnmapViewOfFile(v); }
};
struct TDeleteAtom {
    void operator()(ATOM a) const { ::GlobalDeleteAtom(a); }
};
struct TUnhookWindowsHook {
    void operator()(HHOOK h) const { ::UnhookWindowsHookEx(h); }
};
struct TUnhookWinEvent {
    void operator()(HWINEVENTHOOK h) const { ::UnhookWinEvent(h); }
};
struct TReleaseMutex {
    void operator()(HANDLE m) const { ::ReleaseMutex(m); }
};

// Kernel handles that are 0 when absent (processes, threads, mutexes, mappings).
using TUniqueHandle = TUniqueResource<HANDLE, nullptr, TCloseHandle>;
// Files, whose failure value is INVALID_HANDLE_VALUE.
struct TUniqueFile {
    TUniqueFile() = default;
    explicit TUniqueFile(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    HANDLE get() const { return h_.get(); }
    explicit operator bool() const { return static_cast<bool>(h_); }
    void reset() { h_.reset(); }

private:
    TUniqueHandle h_;
};
using TUniqueWindow = TUniqueResource<HWND, nullptr, TDestroyWindow>;
using TUniqueMenu = TUniqueResource<HMENU, nullptr, TDestroyMenu>;
using TUniqueRegKey = TUniqueResource<HKEY, nullptr, TRegCloseKey>;
using TUniqueModule = TUniqueResource<HMODULE, nullptr, TFreeLibrary>;
using TUniqueView = TUniqueResource<void*, nullptr, TUnmapView>;
using TUniqueGlobalAtom = TUniqueResource<ATOM, 0, TDeleteAtom>;
using TUniqueHook = TUniqueResource<HHOOK, nullptr, TUnhookWindowsHook>;
using TUniqueWinEventHook = TUniqueResource<HWINEVENTHOOK, nullptr, TUnhookWinEvent>;
// The ownership a wait took of a mutex: released (ReleaseMutex), not closed; the
// mutex's handle has an owner of its own, which must outlive this one.
using TMutexOwnership = TUniqueResource<HANDLE, nullptr, TReleaseMutex>;

}  // namespace quindle
