// Per-process access to the session's control block. Hook procedures run on many
// threads at once; in the projector's process the view is published once with an
// interlocked exchange and kept until the library is unloaded, so no thread can read
// an unmapped block.
#include "hooklib/SessionBlock.h"

#include <string>

namespace hooklib {

namespace {

HINSTANCE module_ = nullptr;
char mappingName_[MAX_PATH + 64] = {};  // empty when the library lies in no run directory
void* volatile view_ = nullptr;
HANDLE volatile mapping_ = nullptr;
// This process is not the session's projector, or there is no session to find.
volatile LONG outside_ = 0;

// The block, mapped for the projector's process and kept there until the library
// unloads. Any other process only peeks at the projector's id through a view of its
// own, released at once: a library the system leaves loaded in a foreign process must
// not keep the session's mapping alive after the runner has ended.
TSharedBlock* OpenBlock() {
    if (view_) return static_cast<TSharedBlock*>(view_);
    if (!mappingName_[0]) {
        ::InterlockedExchange(&outside_, 1);
        return nullptr;
    }
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, mappingName_);
    if (!mapping) return nullptr;  // no session (yet, or any more)
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, quindle::kControlBlockSize);
    const uint32_t projector = view ? static_cast<TSharedBlock*>(view)->ProjectorProcessId : 0;
    if (!view || projector != ::GetCurrentProcessId()) {
        if (view) ::UnmapViewOfFile(view);
        ::CloseHandle(mapping);
        // Once the projector is known, every other process stays out for good.
        if (projector != 0) ::InterlockedExchange(&outside_, 1);
        return nullptr;
    }
    if (::InterlockedCompareExchangePointer(const_cast<void**>(&view_), view, nullptr) != nullptr) {
        // Another thread got there first; keep its view.
        ::UnmapViewOfFile(view);
        ::CloseHandle(mapping);
    } else {
        mapping_ = mapping;
    }
    return static_cast<TSharedBlock*>(view_);
}

}  // namespace

void SetModule(HINSTANCE module) {
    module_ = module;
    // Read the path here, under the loader lock the system holds anyway, so that the
    // hook procedures never wait for it.
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    const std::string tag = quindle::InstanceTagFromModulePath(std::string(path, length));
    if (tag.empty()) return;
    const std::string name = quindle::MappingName(tag);
    if (name.size() < sizeof mappingName_) name.copy(mappingName_, name.size());
}

HINSTANCE Module() { return module_; }

TSharedBlock* ProjectorBlock() {
    if (outside_) return nullptr;
    TSharedBlock* block = OpenBlock();
    if (!block) return nullptr;
    const uint32_t projector = block->ProjectorProcessId;
    if (projector == 0) return nullptr;  // not started yet, or the session is ending
    if (projector != ::GetCurrentProcessId()) {
        ::InterlockedExchange(&outside_, 1);
        return nullptr;
    }
    return block;
}

namespace {
TMenuPeek MenuOf(const TSharedBlock& block) {
    TMenuPeek peek;
    peek.Open = block.MenuOpen != 0;
    peek.Runner = FromBlock<HWND>(block.RunnerWnd);
    peek.RunnerProcessId = block.RunnerProcessId;
    return peek;
}
}  // namespace

TMenuPeek PeekRunnerMenu() {
    if (void* view = view_) return MenuOf(*static_cast<TSharedBlock*>(view));
    if (!mappingName_[0]) return {};
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, mappingName_);
    if (!mapping) return {};
    TMenuPeek peek;
    if (void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, quindle::kControlBlockSize)) {
        peek = MenuOf(*static_cast<TSharedBlock*>(view));
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(mapping);
    return peek;
}

void ReleaseBlock() {
    if (void* view = ::InterlockedExchangePointer(const_cast<void**>(&view_), nullptr)) ::UnmapViewOfFile(view);
    if (HANDLE mapping = ::InterlockedExchangePointer(const_cast<void**>(&mapping_), nullptr)) ::CloseHandle(mapping);
}

}  // namespace hooklib
