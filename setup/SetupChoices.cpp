// The setup dialog's decisions, apart from its window.
#include "setup/SetupChoices.h"

#include <stdexcept>

namespace quindle {

const std::array<TSetupBox, 5> kSetupBoxes = {{
    {kMouseInteractionBox, &TProjectSettings::MouseInteraction, "MouseExit", true},
    {kRightClickMenuBox, &TProjectSettings::RightClickMenu, "DisplayRightClickMenu", false},
    {kKeyboardInteractionBox, &TProjectSettings::KeyInteraction, "AnyKeyExit", true},
    {kSoundMuteBox, &TProjectSettings::SoundMuted, "Mute", false},
    {kMidiMuteBox, &TProjectSettings::MidiMuted, "MidiMute", false},
}};

const TSetupBoxOrder kSetupApplyOrder = {kSoundMuteBox, kMidiMuteBox, kMouseInteractionBox, kRightClickMenuBox,
                                         kKeyboardInteractionBox};
const TSetupBoxOrder kSetupMoveOrder = {kMouseInteractionBox, kKeyboardInteractionBox, kRightClickMenuBox,
                                        kSoundMuteBox, kMidiMuteBox};
const TSetupBoxOrder kSetupSaveOrder = {kMouseInteractionBox, kKeyboardInteractionBox, kSoundMuteBox, kMidiMuteBox,
                                        kRightClickMenuBox};

const TSetupBox& SetupBox(TSetupBoxId id) {
    for (const TSetupBox& box : kSetupBoxes) {
        if (box.Id == id) return box;
    }
    throw std::out_of_range("no setup check box with this id");
}

TOptionState& SetupOption(TProjectSettings& options, TSetupBoxId id) { return options.*SetupBox(id).Option; }

const TOptionState& SetupOption(const TProjectSettings& options, TSetupBoxId id) {
    return options.*SetupBox(id).Option;
}

void CompactSetupLayout(TProjectSettings& o) {
    TOptionState& mouse = o.MouseInteraction;
    TOptionState& menu = o.RightClickMenu;
    TOptionState& keys = o.KeyInteraction;
    // An empty left column takes the right column's boxes, one above the other.
    if (!mouse.Visible && !menu.Visible && !keys.Visible) {
        o.MidiMuted.Left = mouse.Left;
        o.SoundMuted.Left = menu.Left;
    }
    // Each hidden row of the left column lets the rows below it move up.
    if (!mouse.Visible) {
        keys.Top = menu.Top;
        menu.Top = mouse.Top;
    }
    if (!menu.Visible) keys.Top = menu.Top;
    if (!o.SoundMuted.Visible) o.MidiMuted.Top = o.SoundMuted.Top;
}

std::optional<bool> RecordSetupClick(TProjectSettings& options, int id, bool checked) {
    for (const TSetupBox& box : kSetupBoxes) {
        if (box.Id != id) continue;
        (options.*box.Option).Checked = checked;
        if (id == kMouseInteractionBox) return checked;
        return std::nullopt;
    }
    return std::nullopt;
}

std::array<TSetupRegistryValue, 5> SetupRegistryValues(const TProjectSettings& options) {
    std::array<TSetupRegistryValue, 5> values{};
    for (size_t i = 0; i < kSetupSaveOrder.size(); ++i) {
        const TSetupBox& box = SetupBox(kSetupSaveOrder[i]);
        values[i] = {box.RegistryValue, (options.*box.Option).Checked != box.Inverted};
    }
    return values;
}

bool SaveSetupChoices(IRegistryStore& registry, const TProjectSettings& loaded, const TProjectSettings& chosen) {
    const auto before = SetupRegistryValues(loaded);
    const auto values = SetupRegistryValues(chosen);
    bool changed = false;
    for (size_t i = 0; i < values.size(); ++i) {
        ReadRegistryBool(registry, values[i].Name, values[i].Value);
        if (before[i].Value != values[i].Value) changed = true;
    }
    for (const TSetupRegistryValue& v : values) WriteRegistryBool(registry, v.Name, v.Value);
    return changed;
}

}  // namespace quindle
