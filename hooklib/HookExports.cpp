// The exported hook procedures. Each one passes its event on, acts only inside the
// session's projector process, and never waits: they run inside other programs.
#include "hooklib/HookExports.h"

#include "hooklib/EscapeKey.h"
#include "hooklib/ProjectorThread.h"
#include "hooklib/SessionBlock.h"

namespace {

using hooklib::Block;
using hooklib::FromBlock;

// The duties of one hook type inside the projector process. Right-click, drag and
// exit-on-input handling belong here, one function per hook type.
void OnMouse(Block& block, int, WPARAM, LPARAM) { hooklib::OnProjectorEvent(block); }
void OnKeyboard(Block& block, int code, WPARAM wParam, LPARAM lParam) {
    hooklib::OnProjectorEvent(block);
    hooklib::PassEscapeToRunner(block, code, wParam, lParam);
}
void OnCbt(Block& block, int, WPARAM, LPARAM) { hooklib::OnProjectorEvent(block); }
void OnMessage(Block& block, int, WPARAM, LPARAM) { hooklib::OnProjectorEvent(block); }

using Duty = void (*)(Block&, int, WPARAM, LPARAM);
// The handle to pass the event on with, given the block (null outside the session).
using NextHook = HHOOK (*)(Block* block);

// The block is looked up once per event: before the projector is known that means
// opening the session's mapping, in every process the system-wide hooks reach.
LRESULT Handle(Duty duty, NextHook next, int code, WPARAM wParam, LPARAM lParam) {
    Block* block = hooklib::ProjectorBlock();
    if (block && code >= 0) duty(*block, code, wParam, lParam);
    return ::CallNextHookEx(next(block), code, wParam, lParam);
}

// The hook handle the runner stored for a system-wide hook; 0 until the block is complete.
template <uint32_t quindle::TRunnerControlBlock::*Field>
HHOOK Stored(Block* block) {
    return block ? FromBlock<HHOOK>(block->*Field) : nullptr;
}

HHOOK WindowProcNext(Block*) { return hooklib::WindowProcHook(); }
HHOOK MessageFilterNext(Block*) { return hooklib::MessageFilterHook(); }

}  // namespace

extern "C" {

LRESULT CALLBACK MProc(int code, WPARAM wParam, LPARAM lParam) {
    return Handle(&OnMouse, &Stored<&quindle::TRunnerControlBlock::MouseHook>, code, wParam, lParam);
}

LRESULT CALLBACK KProc(int code, WPARAM wParam, LPARAM lParam) {
    return Handle(&OnKeyboard, &Stored<&quindle::TRunnerControlBlock::KeyboardHook>, code, wParam, lParam);
}

LRESULT CALLBACK CProc(int code, WPARAM wParam, LPARAM lParam) {
    return Handle(&OnCbt, &Stored<&quindle::TRunnerControlBlock::CbtHook>, code, wParam, lParam);
}

LRESULT CALLBACK GProc(int code, WPARAM wParam, LPARAM lParam) {
    return Handle(&OnMessage, &Stored<&quindle::TRunnerControlBlock::MessageHook>, code, wParam, lParam);
}

LRESULT CALLBACK WProc(int code, WPARAM wParam, LPARAM lParam) {
    return Handle(&OnMessage, &WindowProcNext, code, wParam, lParam);
}

LRESULT CALLBACK FProc(int code, WPARAM wParam, LPARAM lParam) {
    return Handle(&OnMessage, &MessageFilterNext, code, wParam, lParam);
}

LRESULT CALLBACK SProc(int code, WPARAM wParam, LPARAM lParam) {
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        hooklib::SetModule(instance);
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Only on FreeLibrary: at process exit the system reclaims the view itself.
        hooklib::ReleaseBlock();
    }
    return TRUE;
}

}  // extern "C"
