// The runner window procedure. Handlers run on the runner's thread; an exception they
// raise is parked for the pump, which reports it once dispatch has returned.
#include "window/win32/RunnerWindow.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "base/win32/ParkedException.h"
#include "contract/Notices.h"
#include "window/AspectRatio.h"
#include "window/WindowFlags.h"

namespace quindle {

namespace {

// Notifications from the hook library and the runner itself never reach default processing.
bool IsRunnerNotification(UINT message) { return message >= kStartNotice && message <= kLastNotice; }

}  // namespace

void TRunnerWindow::RegisterClass() {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (::GetClassInfoA(instance, kRunnerWindowClass, &existing)) {
        // A class left by an earlier cycle carries our procedure and is registered anew.
        if (existing.lpfnWndProc == reinterpret_cast<WNDPROC>(&::DefWindowProcA)) return;
        ::UnregisterClassA(kRunnerWindowClass, instance);
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &RunnerWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kRunnerWindowClass;
    if (!::RegisterClassA(&windowClass)) throw std::runtime_error("Cannot register the runner window class");
}

void TRunnerWindow::UseScreen(const TRect32& screen) {
    geometry_.ScreenW = screen.Width();
    geometry_.ScreenH = screen.Height();
    geometry_.WorkRect = screen;
    geometry_.MaxWidth = screen.Width();
    geometry_.MaxHeight = screen.Height();
    geometry_.AreaW = screen.Width();
    geometry_.AreaH = screen.Height();
    areaChanged_ = false;
}

void TRunnerWindow::Create(const TRunnerWindowLayout& layout) {
    geometry_.Box = {layout.Left, layout.Top, layout.Width, layout.Height};
    wnd_ =
        ::CreateWindowExA(layout.ExStyle, kRunnerWindowClass, "", layout.Style | wstyle::kClipChildren, layout.Left,
                          layout.Top, layout.Width, layout.Height, nullptr, nullptr, ::GetModuleHandleA(nullptr), this);
    if (!wnd_) throw std::runtime_error("Cannot create the runner window");
    geometry_.RefWidth = geometry_.Box.Width;
    geometry_.RefHeight = geometry_.Box.Height;
}

void TRunnerWindow::TakeClientArea() {
    RECT client{};
    ::GetClientRect(wnd_, &client);
    geometry_.AreaW = client.right;
    geometry_.AreaH = client.bottom;
}

void TRunnerWindow::TakeProjectorSize(const TWindowBox& box, int32_t refWidth, int32_t refHeight) {
    geometry_.Box = box;
    geometry_.RefWidth = refWidth;
    geometry_.RefHeight = refHeight;
}

void TRunnerWindow::TakeRestyle(const TWindowBox& box, int32_t areaW, int32_t areaH) {
    geometry_.Box = box;
    geometry_.AreaW = areaW;
    geometry_.AreaH = areaH;
}

bool TRunnerWindow::TakeAreaChange() { return std::exchange(areaChanged_, false); }

TRunnerWindow::~TRunnerWindow() {
    if (!wnd_) return;
    // The window must not reach this object once it is gone.
    ::SetWindowLongPtrA(wnd_, GWLP_USERDATA, 0);
    Destroy();
}

void TRunnerWindow::Destroy() {
    const HWND window = wnd_;
    ::DestroyWindow(window);
    wnd_ = nullptr;
}

void TRunnerWindow::ReadWindowRect() {
    RECT r{};
    ::GetWindowRect(wnd_, &r);
    geometry_.Box = {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void TRunnerWindow::OnMove(TMessage&) {
    if (wnd_) ReadWindowRect();
}

void TRunnerWindow::OnSize(TMessage&) {
    if (!wnd_) return;
    ReadWindowRect();
    TakeClientArea();
    areaChanged_ = true;
}

void TRunnerWindow::OnEraseBackground(TMessage& m) {
    if (!grayBackground_) return;
    RECT client{};
    ::GetClientRect(wnd_, &client);
    ::FillRect(reinterpret_cast<HDC>(m.WParam), &client, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
}

void TRunnerWindow::KeepAspectRatio(TMessage& m) {
    if (!wnd_) return;
    grayBackground_ = true;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    auto* rect = reinterpret_cast<RECT*>(m.LParam);
    const TRect32 sized =
        ApplyAspectRatio({rect->left, rect->top, rect->right, rect->bottom}, static_cast<uint32_t>(m.WParam),
                         {cursor.x, cursor.y}, geometry_.Box, geometry_.RefWidth, geometry_.RefHeight);
    *rect = {sized.Left, sized.Top, sized.Right, sized.Bottom};
}

LRESULT TRunnerWindow::Dispatch(HWND window, TMessage& m) {
    messages_.Dispatch(m);
    if (IsRunnerNotification(m.Msg)) return 0;
    if (m.Handled) return m.Result;
    return ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
}

LRESULT CALLBACK RunnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        // The WM_SIZE sent before CreateWindowEx returns records the client area of a
        // framed full-screen window; it must not be dropped for want of the handle.
        if (auto* created = static_cast<TRunnerWindow*>(create->lpCreateParams)) created->wnd_ = window;
    }
    auto* runnerWindow = reinterpret_cast<TRunnerWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!runnerWindow) return ::DefWindowProcA(window, message, wParam, lParam);
    TMessage m{message, wParam, lParam, 0, false};
    try {
        return runnerWindow->Dispatch(window, m);
    } catch (...) {
        ParkException(std::current_exception());
        return 0;
    }
}

}  // namespace quindle
