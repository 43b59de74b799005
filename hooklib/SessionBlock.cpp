// Per-process access to the session's control block. Hook procedures run on many
// threads at once; the view is published once with an interlocked exchange and kept
// until the library is unloaded, so no thread can read an unmapped block.
#include "hooklib/SessionBlock.h"

#include <string>

namespace hooklib {

namespace {

HINSTANCE module_ = nullptr;
void* volatile view_ = nullptr;
HANDLE volatile mapping_ = nullptr;
// This process is not the session's projector, or there is no session to find.
volatile LONG outside_ = 0;

std::string ModulePath() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(module_, path, MAX_PATH);
    return std::string(path, length);
}

Block* OpenBlock() {
    if (view_) return static_cast<Block*>(view_);
    const std::string tag = quindle::InstanceTagFromModulePath(ModulePath());
    if (tag.empty()) {
        ::InterlockedExchange(&outside_, 1);
        return nullptr;
    }
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, quindle::MappingName(tag).c_str());
    if (!mapping) {
        ::InterlockedExchange(&outside_, 1);
        return nullptr;
    }
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, quindle::kControlBlockSize);
    if (!view) {
        ::CloseHandle(mapping);
        ::InterlockedExchange(&outside_, 1);
        return nullptr;
    }
    if (::InterlockedCompareExchangePointer(const_cast<void**>(&view_), view, nullptr) != nullptr) {
        // Another thread got there first; keep its view.
        ::UnmapViewOfFile(view);
        ::CloseHandle(mapping);
    } else {
        mapping_ = mapping;
    }
    return static_cast<Block*>(view_);
}

}  // namespace

void SetModule(HINSTANCE module) { module_ = module; }

HINSTANCE Module() { return module_; }

Block* ProjectorBlock() {
    if (outside_) return nullptr;
    Block* block = OpenBlock();
    if (!block) return nullptr;
    const uint32_t projector = block->ProjectorProcessId;
    if (projector == 0) return nullptr;  // not started yet, or the session is ending
    if (projector != ::GetCurrentProcessId()) {
        ::InterlockedExchange(&outside_, 1);
        return nullptr;
    }
    return block;
}

void ReleaseBlock() {
    if (void* view = ::InterlockedExchangePointer(const_cast<void**>(&view_), nullptr)) ::UnmapViewOfFile(view);
    if (HANDLE mapping = ::InterlockedExchangePointer(const_cast<void**>(&mapping_), nullptr)) ::CloseHandle(mapping);
}

}  // namespace hooklib
