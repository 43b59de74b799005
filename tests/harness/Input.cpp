// Real input for the end-to-end tests, sent once the state it needs has come.
#include "tests/harness/Input.h"

#include <cstdio>
#include <vector>

#include "tests/harness/Harness.h"

namespace harness {

std::string DescribeWindow(HWND window) {
    if (!window) return "no window";
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
    return "\"" + WindowClass(window) + "\" window " + handle + " of process " +
           std::to_string(WindowProcessId(window));
}

namespace {

HWND FocusOfThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// What stands against the wanted foreground and focus; "" when they hold.
std::string ForegroundMismatch(HWND window, HWND focus) {
    // The active window of the foreground thread may be a window taken into ours (the
    // projector inside the runner window): what counts is the top-level window it is in.
    const HWND top = ::GetAncestor(window, GA_ROOT);
    const HWND foreground = ::GetForegroundWindow();
    if (::GetAncestor(foreground, GA_ROOT) != top)
        return DescribeWindow(top) + " never became the foreground window; in front: " + DescribeWindow(foreground);
    const HWND focused = FocusOfThreadOf(window);
    if (focused != focus)
        return "the keyboard focus never came to " + DescribeWindow(focus) + "; it is on " + DescribeWindow(focused);
    return "";
}

}  // namespace

std::string WaitForForeground(HWND window, HWND focus, DWORD timeoutMs) {
    if (!::IsWindow(window)) return "no window to bring to the foreground";
    if (!focus) focus = window;
    std::string mismatch;
    WaitUntil([&] { return (mismatch = ForegroundMismatch(window, focus)).empty(); }, timeoutMs);
    return mismatch;
}

std::string BringToForeground(HWND window, HWND focus, DWORD timeoutMs) {
    ::SetForegroundWindow(::GetAncestor(window, GA_ROOT));
    return WaitForForeground(window, focus, timeoutMs);
}

namespace {

std::string PointText(POINT p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

std::string PointerMismatch(POINT p, HWND under) {
    POINT at{};
    ::GetCursorPos(&at);
    if (at.x != p.x || at.y != p.y) return "the pointer never came to " + PointText(p) + "; it is at " + PointText(at);
    if (!under) return "";
    const HWND there = ::WindowFromPoint(p);
    if (::GetAncestor(there, GA_ROOT) != ::GetAncestor(under, GA_ROOT))
        return "the pointer at " + PointText(p) + " is not over " + DescribeWindow(under) + " but over " +
               DescribeWindow(there);
    return "";
}

}  // namespace

std::string MovePointerTo(POINT p, HWND under, DWORD timeoutMs) {
    ::SetCursorPos(p.x, p.y);
    ::mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
    std::string mismatch;
    WaitUntil([&] { return (mismatch = PointerMismatch(p, under)).empty(); }, timeoutMs);
    return mismatch;
}

namespace {
void KeyEvent(BYTE vk, DWORD flags) { ::keybd_event(vk, static_cast<BYTE>(::MapVirtualKeyA(vk, 0)), flags, 0); }
}  // namespace

void PressKey(BYTE vk) {
    KeyEvent(vk, 0);
    KeyEvent(vk, KEYEVENTF_KEYUP);
}

void PressKeyWith(BYTE modifier, BYTE vk) {
    KeyEvent(modifier, 0);
    PressKey(vk);
    KeyEvent(modifier, KEYEVENTF_KEYUP);
}

bool TypeKeys(const std::string& text) {
    constexpr int kShiftState = 1;  // VkKeyScan's high byte: Shift needed
    std::vector<SHORT> keys;
    for (char c : text) {
        const SHORT key = ::VkKeyScanA(c);
        if (key == -1 || (HIBYTE(key) & ~kShiftState) != 0) return false;
        keys.push_back(key);
    }
    for (SHORT key : keys) {
        if (HIBYTE(key) & kShiftState)
            PressKeyWith(VK_SHIFT, LOBYTE(key));
        else
            PressKey(LOBYTE(key));
    }
    return true;
}

void PressButtons(std::initializer_list<DWORD> buttons) {
    for (DWORD button : buttons) ::mouse_event(button, 0, 0, 0, 0);
}

bool WaitForMessageLoop(HWND window, DWORD timeoutMs) {
    for (int round = 0; round < 2; ++round) {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result)) return false;
    }
    return true;
}

}  // namespace harness
