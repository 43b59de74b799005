// The caption rule and the click-foreground rule of the runner window.
#include "window/ActivationRules.h"

#include "window/WindowFlags.h"

namespace quindle {

TActivateAppDecision DecideActivateApp(bool interaction, bool activating, uint32_t otherThreadId,
                                       uint32_t projectorThreadId) {
    TActivateAppDecision d;
    const bool towardsProjector = otherThreadId == projectorThreadId;
    d.EndDrag = !activating && !towardsProjector;
    if (!interaction) return d;
    d.Handled = true;
    if (!activating) d.Notice = towardsProjector ? TNcActivateNotice::SendActive : TNcActivateNotice::SendInactive;
    return d;
}

TNcActivateNotice DecideHitTestNotice(bool interaction, int32_t hitCode, bool projectorIsForeground) {
    if (interaction && hitCode != kHitClient && projectorIsForeground) return TNcActivateNotice::PostActive;
    return TNcActivateNotice::None;
}

TNcPaintDecision DecideNcPaint(bool interaction, bool restyleInProgress, bool projectorIsForeground) {
    TNcPaintDecision d;
    if (!interaction) return d;
    // While the projector is being switched over, the frame is not repainted: it would flash.
    d.Paint = !restyleInProgress;
    if (projectorIsForeground) d.NoticeAfter = TNcActivateNotice::SendActive;
    return d;
}

bool KeepCaptionActive(bool interaction, bool activating, bool projectorIsForeground) {
    return interaction && !activating && projectorIsForeground;
}

TWindowPosDecision DecideWindowPosChanging(bool disableClickForeground, bool projectorShown, uintptr_t insertAfter,
                                           uint32_t flags) {
    TWindowPosDecision d;
    d.Flags = flags;
    if (!disableClickForeground || !projectorShown) return d;
    d.Handled = true;
    if (insertAfter == 0) d.Flags |= swp::kNoZOrder | swp::kNoActivate;
    return d;
}

}  // namespace quindle
