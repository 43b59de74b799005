// The runner window: its handle, its geometry and its message table. The window
// procedure looks up the row of each message, calls it, and applies the
// default-processing rule: notifications answer 0, a handled message its result,
// every other message goes to default processing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/Platform.h"
#include "settings/ProjectSettings.h"
#include "window/Geometry.h"
#include "window/RunnerWindowLayout.h"
#include "window/win32/MessageTable.h"

namespace quindle {

constexpr char kRunnerWindowClass[] = "MumuQuindleWindow";

class TRunnerWindow {
public:
    TRunnerWindow() = default;
    ~TRunnerWindow();
    TRunnerWindow(const TRunnerWindow&) = delete;
    TRunnerWindow& operator=(const TRunnerWindow&) = delete;

    // Registers "MumuQuindleWindow" with this procedure; a class left by an earlier cycle
    // is registered anew unless it carries DefWindowProc.
    static void RegisterClass();
    // Creates the hidden window with the layout's styles and rectangle; throws on failure.
    void Create(const TRunnerWindowLayout& layout);
    // Destroys the window; it forgets its handle first.
    void Destroy();

    HWND RunnerWnd() const { return wnd_; }
    TMessageTable& Messages() { return messages_; }

    // The window's own rows: its rectangle and client area follow WM_MOVE and WM_SIZE,
    // the background is painted gray once the user has sized the window.
    void OnMove(TMessage& m);
    void OnSize(TMessage& m);
    void OnEraseBackground(TMessage& m);
    // Keeps the outer rectangle at the reference ratio while the user drags the frame.
    void KeepAspectRatio(TMessage& m);

    // The screen, as read when the runner starts.
    int32_t ScreenW = 0;
    int32_t ScreenH = 0;
    // The client area the projector fills, and whether it changed since the last pass.
    int32_t AreaW = 0;
    int32_t AreaH = 0;
    bool AreaChanged = false;
    // The window rectangle (WinLeft, WinTop, WinWidth, WinHeight), the reference size
    // of the aspect-ratio rule, and the limits of the full-screen layouts.
    TWindowBox Box;
    int32_t RefWidth = 0;
    int32_t RefHeight = 0;
    int32_t MaxWidth = 0;
    int32_t MaxHeight = 0;
    RECT WorkRect{};
    bool GrayBackground = false;

private:
    friend LRESULT CALLBACK RunnerWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(HWND window, TMessage& m);
    void ReadWindowRect();

    HWND wnd_ = nullptr;
    TMessageTable messages_;
};

LRESULT CALLBACK RunnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quindle
