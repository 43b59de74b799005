// Real input for the end-to-end tests (keybd_event, mouse_event, SetCursorPos), sent only
// once the system stands as the input needs. Under Wine's X11 driver a change of the
// foreground between processes, of the keyboard focus or of the pointer's place is
// finished a moment after the call that asks for it: a key or click sent before goes to
// another window or nowhere. Each wait is bounded and answers "" once its state holds,
// otherwise a sentence naming the state that never came and what stood there instead.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace harness {

constexpr DWORD kInputStateWaitMs = 10000;

// Waits until the foreground window is window's top-level window or a window inside it,
// and the keyboard focus of window's thread is on focus (window itself when null).
std::string WaitForForeground(HWND window, HWND focus = nullptr, DWORD timeoutMs = kInputStateWaitMs);
// Asks for window in front (SetForegroundWindow from this process, which Wine grants
// without the foreground lock Windows applies) and waits as WaitForForeground does.
std::string BringToForeground(HWND window, HWND focus = nullptr, DWORD timeoutMs = kInputStateWaitMs);

// Moves the pointer to p as a user moves it (a new place and a movement event) and waits
// until the system's pointer stands there and, when under is given, the window at p
// belongs to under's top-level window.
std::string MovePointerTo(POINT p, HWND under = nullptr, DWORD timeoutMs = kInputStateWaitMs);

// A key pressed and released, to the window with the keyboard focus.
void PressKey(BYTE vk);
// A key pressed and released while modifier (VK_SHIFT, VK_CONTROL...) is held down.
void PressKeyWith(BYTE modifier, BYTE vk);
// Types text key by key as a user does, Shift held for the characters that need it; false
// (nothing typed) when the keyboard layout has no plain or shifted key for a character.
bool TypeKeys(const std::string& text);
// Mouse buttons pressed or released where the pointer stands: mouse_event flags such as
// MOUSEEVENTF_LEFTDOWN, one event each, in order.
void PressButtons(std::initializer_list<DWORD> buttons);

// Returns once window's thread has answered two sent messages: it runs its message loop.
// A thread takes a sent message before any posted one, so this says nothing of what was
// posted to it; for the runner, WaitForRunnerNotices says that.
bool WaitForMessageLoop(HWND window, DWORD timeoutMs = kInputStateWaitMs);

// A window as a failure message names it: its class, handle and process.
std::string DescribeWindow(HWND window);

}  // namespace harness
