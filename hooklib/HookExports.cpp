// The exported hook procedures. Each one passes its event on and never waits: they run
// inside other programs. All act only inside the session's projector process, except the
// report of clicks and activations that close the runner's open menu.
#include "hooklib/HookExports.h"

#include "hooklib/ContextMenu.h"
#include "hooklib/EscapeKey.h"
#include "hooklib/InputExit.h"
#include "hooklib/MouseDuties.h"
#include "hooklib/OutsideActivation.h"
#include "hooklib/ProjectorThread.h"
#include "hooklib/SessionBlock.h"
#include "hooklib/WindowDuties.h"

namespace {

using hooklib::FromBlock;
using hooklib::TSharedBlock;

// The duties of one hook type inside the projector process. Each returns true to keep
// the event from the projector (after the next hook has seen it).
bool OnMouse(TSharedBlock& block, int code, WPARAM message, LPARAM lParam) {
    hooklib::OnProjectorEvent(block);
    const MOUSEHOOKSTRUCT& mouse = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (hooklib::EndShowOnMouse(block, code, message, mouse)) return true;
    hooklib::ReportDrag(block, code, message);
    return hooklib::ReplaceRightClick(block, code, message);
}
bool OnKeyboard(TSharedBlock& block, int code, WPARAM wParam, LPARAM lParam) {
    hooklib::OnProjectorEvent(block);
    hooklib::PassEscapeToRunner(block, code, wParam, lParam);
    if (hooklib::IsFilteredKey(block, wParam)) return true;
    if (hooklib::EndShowOnKey(block, code, wParam, lParam)) return true;
    return hooklib::ReplaceMenuKey(block, code, wParam, lParam);
}
bool OnCbt(TSharedBlock& block, int code, WPARAM wParam, LPARAM) {
    hooklib::OnProjectorEvent(block);
    return hooklib::RefuseSystemCommand(block, code, wParam);
}
bool OnMessage(TSharedBlock& block, int code, WPARAM, LPARAM lParam) {
    hooklib::OnProjectorEvent(block);
    if (code == HC_ACTION) hooklib::FilterMessage(block, *reinterpret_cast<MSG*>(lParam));
    return false;
}
bool OnWindowProcReturn(TSharedBlock& block, int code, WPARAM, LPARAM lParam) {
    hooklib::OnProjectorEvent(block);
    if (code == HC_ACTION) hooklib::AfterWindowMessage(block, *reinterpret_cast<const CWPRETSTRUCT*>(lParam));
    return false;
}

using Duty = bool (*)(TSharedBlock&, int, WPARAM, LPARAM);
// The handle to pass the event on with, given the block (null outside the session).
using NextHook = HHOOK (*)(TSharedBlock* block);

// The block is looked up once per event: before the projector is known that means
// opening the session's mapping, in every process the system-wide hooks reach.
LRESULT Handle(Duty duty, NextHook next, int code, WPARAM wParam, LPARAM lParam) {
    TSharedBlock* block = hooklib::ProjectorBlock();
    const bool keep = block && code >= 0 && duty(*block, code, wParam, lParam);
    const LRESULT result = ::CallNextHookEx(next(block), code, wParam, lParam);
    return keep ? 1 : result;
}

// The hook handle the runner stored for a system-wide hook; 0 until the block is complete.
template <uint32_t quindle::TRunnerControlBlock::*Field>
HHOOK Stored(TSharedBlock* block) {
    return block ? FromBlock<HHOOK>(block->*Field) : nullptr;
}

HHOOK WindowProcNext(TSharedBlock*) { return hooklib::WindowProcHook(); }
HHOOK MessageFilterNext(TSharedBlock*) { return hooklib::MessageFilterHook(); }

}  // namespace

extern "C" {

LRESULT CALLBACK MProc(int code, WPARAM wParam, LPARAM lParam) {
    hooklib::ReportOutsideClick(code, wParam, lParam);  // in every process
    return Handle(&OnMouse, &Stored<&quindle::TRunnerControlBlock::MouseHook>, code, wParam, lParam);
}

LRESULT CALLBACK KProc(int code, WPARAM wParam, LPARAM lParam) {
    return Handle(&OnKeyboard, &Stored<&quindle::TRunnerControlBlock::KeyboardHook>, code, wParam, lParam);
}

LRESULT CALLBACK CProc(int code, WPARAM wParam, LPARAM lParam) {
    hooklib::ReportOutsideActivation(code, wParam);  // in every process
    return Handle(&OnCbt, &Stored<&quindle::TRunnerControlBlock::CbtHook>, code, wParam, lParam);
}

LRESULT CALLBACK GProc(int code, WPARAM wParam, LPARAM lParam) {
    return Handle(&OnMessage, &Stored<&quindle::TRunnerControlBlock::MessageHook>, code, wParam, lParam);
}

LRESULT CALLBACK WProc(int code, WPARAM wParam, LPARAM lParam) {
    return Handle(&OnWindowProcReturn, &WindowProcNext, code, wParam, lParam);
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
