// Chooses the show's screen. Used by the runner's initialisation.
#include "window/ShowScreen.h"

#include <cstddef>

namespace quindle {

namespace {

constexpr int32_t kPrimaryScreen = 0;
constexpr int32_t kScreenUnderPointer = -1;

bool Contains(const TRect32& r, TPoint32 p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

const TScreen* ChosenScreen(const std::vector<TScreen>& screens, int32_t setting, TPoint32 pointer) {
    if (setting == kScreenUnderPointer) return ScreenAt(screens, pointer);
    if (setting == kPrimaryScreen || setting < 0 || static_cast<uint64_t>(setting) > screens.size()) return nullptr;
    return &screens[static_cast<std::size_t>(setting) - 1];
}

const TScreen& PrimaryOf(const std::vector<TScreen>& screens, const TScreen& fallback) {
    for (const TScreen& s : screens)
        if (s.Primary) return s;
    return fallback;
}

}  // namespace

const TScreen* ScreenAt(const std::vector<TScreen>& screens, TPoint32 point) {
    for (const TScreen& s : screens)
        if (Contains(s.Bounds, point)) return &s;
    return nullptr;
}

TShowArea ChooseShowArea(const std::vector<TScreen>& screens, const TScreen& primary, int32_t setting,
                         TPoint32 pointer) {
    const TScreen* chosen = ChosenScreen(screens, setting, pointer);
    if (!chosen || chosen->Primary) {
        const TRect32& whole = PrimaryOf(screens, primary).Bounds;
        return {whole, whole};
    }
    return {chosen->Bounds, chosen->Work};
}

}  // namespace quindle
