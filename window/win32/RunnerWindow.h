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

// The runner window's geometry. The runner window is its one writer: the screen when the
// runner starts, its own rectangle and client area from WM_MOVE and WM_SIZE, and what the
// projector's discovery and restyle found, each through a named step.
struct TRunnerGeometry {
    // The screen the presentation uses, and the work rectangle within it where the
    // full-screen layouts go and alignment happens (the whole screen), with its size.
    int32_t ScreenW = 0;
    int32_t ScreenH = 0;
    TRect32 WorkRect;
    int32_t MaxWidth = 0;
    int32_t MaxHeight = 0;
    // The window rectangle (WinLeft, WinTop, WinWidth, WinHeight) and the reference size
    // of the aspect-ratio rule.
    TWindowBox Box;
    int32_t RefWidth = 0;
    int32_t RefHeight = 0;
    // The client area the projector fills.
    int32_t AreaW = 0;
    int32_t AreaH = 0;
};

class TRunnerWindow {
public:
    TRunnerWindow() = default;
    ~TRunnerWindow();
    TRunnerWindow(const TRunnerWindow&) = delete;
    TRunnerWindow& operator=(const TRunnerWindow&) = delete;

    // Registers "MumuQuindleWindow" with this procedure; a class left by an earlier cycle
    // is registered anew unless it carries DefWindowProc.
    static void RegisterClass();
    // The screen the presentation uses (the primary screen, at 0,0): the work rectangle
    // and the limits become the screen, and so does the client area until the window has one.
    void UseScreen(const TRect32& screen);
    // Creates the hidden window with the layout's styles and rectangle, which becomes the
    // aspect-ratio rule's reference; throws on failure.
    void Create(const TRunnerWindowLayout& layout);
    // Destroys the window; it forgets its handle first.
    void Destroy();

    HWND RunnerWnd() const { return wnd_; }
    TMessageTable& Messages() { return messages_; }
    const TRunnerGeometry& Geometry() const { return geometry_; }

    // The client area as the window has it now (once the window is made).
    void TakeClientArea();
    // The size the projector's discovery derived from the projector's window.
    void TakeProjectorSize(const TWindowBox& box, int32_t refWidth, int32_t refHeight);
    // The rectangle and client area the restyle left.
    void TakeRestyle(const TWindowBox& box, int32_t areaW, int32_t areaH);
    // Whether the client area changed size since the last call (WM_SIZE); clears it.
    bool TakeAreaChange();
    // Whether the user has sized the window while it keeps the aspect ratio: the
    // background is painted gray from then on.
    bool GrayBackground() const { return grayBackground_; }

    // The window's own rows: its rectangle and client area follow WM_MOVE and WM_SIZE,
    // the background is painted gray once the user has sized the window.
    void OnMove(TMessage& m);
    void OnSize(TMessage& m);
    void OnEraseBackground(TMessage& m);
    // Keeps the outer rectangle at the reference ratio while the user drags the frame.
    void KeepAspectRatio(TMessage& m);

private:
    friend LRESULT CALLBACK RunnerWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(HWND window, TMessage& m);
    void ReadWindowRect();

    HWND wnd_ = nullptr;
    TMessageTable messages_;
    TRunnerGeometry geometry_;
    bool areaChanged_ = false;
    bool grayBackground_ = false;
};

LRESULT CALLBACK RunnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quindle
