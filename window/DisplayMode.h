// How the runner window shows the presentation: the FullScreen and CustomSize settings,
// with the frame settings where they split a case, decoded once. Used by the window's
// layout, the restyle, the control block's set-up, the supervision and the teardown.
#pragma once

#include "settings/ProjectSettings.h"

namespace quindle {

enum class TDisplayMode {
    MovieSized,        // FullScreen off, CustomSize off: a window the size of the movie
    AuthorSized,       // FullScreen off, CustomSize on: a window of the ini's Left, Top, Width, Height
    WholeScreen,       // FullScreen on, CustomSize off: a popup over the whole screen
    FramedMaximised,   // FullScreen and CustomSize on, caption and border shown: a maximised framed window
    FramelessWorkArea  // FullScreen and CustomSize on, caption or border hidden: a window over the work rectangle
};

TDisplayMode DisplayModeOf(const TProjectSettings& settings);

// FullScreen is on: the presentation covers the screen.
inline bool IsFullScreen(TDisplayMode mode) {
    return mode != TDisplayMode::MovieSized && mode != TDisplayMode::AuthorSized;
}

// FullScreen and CustomSize are both on: the runner window keeps the rectangle it was
// given when it was created, whatever the projector's size.
inline bool IsCustomFullScreen(TDisplayMode mode) {
    return mode == TDisplayMode::FramedMaximised || mode == TDisplayMode::FramelessWorkArea;
}

// The presentation covers the screen with no frame of the runner's around it.
inline bool IsFramelessFullScreen(TDisplayMode mode) {
    return mode == TDisplayMode::WholeScreen || mode == TDisplayMode::FramelessWorkArea;
}

}  // namespace quindle
