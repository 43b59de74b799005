// One owner for each kernel or window object the runner creates: the destructor
// releases it, so an early return or an exception cannot leak it.
#pragma once

#include <windows.h>

#include <utility>

namespace quindle {

// Owner of a value released by Close(value) unless it equals Invalid.
template <typename T, T Invalid, typename Closer>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

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

struct CloseHandleFn {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct DestroyWindowFn {
    void operator()(HWND w) const { ::DestroyWindow(w); }
};
struct DestroyMenuFn {
    void operator()(HMENU m) const { ::DestroyMenu(m); }
};
struct RegCloseKeyFn {
    void operator()(HKEY k) const { ::RegCloseKey(k); }
};
struct FreeLibraryFn {
    void operator()(HMODULE m) const { ::FreeLibrary(m); }
};
struct UnmapViewFn {
    void operator()(void* v) const { ::UnmapViewOfFile(v); }
};
struct DeleteAtomFn {
    void operator()(ATOM a) const { ::GlobalDeleteAtom(a); }
};

// Kernel handles that are 0 when absent (processes, threads, mutexes, mappings).
using UniqueHandle = UniqueResource<HANDLE, nullptr, CloseHandleFn>;
// Files, whose failure value is INVALID_HANDLE_VALUE.
struct UniqueFile {
    UniqueFile() = default;
    explicit UniqueFile(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    HANDLE get() const { return h_.get(); }
    explicit operator bool() const { return static_cast<bool>(h_); }
    void reset() { h_.reset(); }

private:
    UniqueHandle h_;
};
using UniqueWindow = UniqueResource<HWND, nullptr, DestroyWindowFn>;
using UniqueMenu = UniqueResource<HMENU, nullptr, DestroyMenuFn>;
using UniqueRegKey = UniqueResource<HKEY, nullptr, RegCloseKeyFn>;
using UniqueModule = UniqueResource<HMODULE, nullptr, FreeLibraryFn>;
using UniqueView = UniqueResource<void*, nullptr, UnmapViewFn>;
using UniqueGlobalAtom = UniqueResource<ATOM, 0, DeleteAtomFn>;

}  // namespace quindle
