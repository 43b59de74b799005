// The setup dialog's five check boxes and what they decide: which option each stands
// for, how the layout closes the gaps of hidden boxes, what a click changes, and the
// registry values the choices are saved to.
#pragma once

#include <array>
#include <optional>

#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"

namespace quindle {

enum TSetupBoxId : int {
    kMouseInteractionBox = 10,
    kRightClickMenuBox = 11,
    kKeyboardInteractionBox = 12,
    kSoundMuteBox = 13,
    kMidiMuteBox = 14,
};

struct TSetupBox {
    TSetupBoxId Id;
    TOptionState TProjectSettings::*Option;
    const char* RegistryValue;
    bool Inverted;  // the registry holds the opposite sense ("exit" instead of "interaction")
};

using TSetupBoxOrder = std::array<TSetupBoxId, 5>;

// The boxes in control id order.
extern const std::array<TSetupBox, 5> kSetupBoxes;
// Order in which the option states are applied to the boxes.
extern const TSetupBoxOrder kSetupApplyOrder;
// Order in which the boxes are moved to their compacted places.
extern const TSetupBoxOrder kSetupMoveOrder;
// Order in which the registry values are read and written.
extern const TSetupBoxOrder kSetupSaveOrder;

const TSetupBox& SetupBox(TSetupBoxId id);
TOptionState& SetupOption(TProjectSettings& options, TSetupBoxId id);
const TOptionState& SetupOption(const TProjectSettings& options, TSetupBoxId id);

// Closes the gaps that hidden boxes leave: a left column (mouse, right-click menu,
// keyboard) and a right one (sound, MIDI). Left and Top of the five options hold the
// boxes' places as laid out and receive the compacted places.
void CompactSetupLayout(TProjectSettings& options);

// A click on a box: its option takes the check state. For "Mouse interaction" the
// answer is whether "Display right-click menu" is now to be enabled; nullopt otherwise.
std::optional<bool> RecordSetupClick(TProjectSettings& options, int id, bool checked);

struct TSetupRegistryValue {
    const char* Name;
    bool Value;
};
// The five values the choices give, in save order.
std::array<TSetupRegistryValue, 5> SetupRegistryValues(const TProjectSettings& options);

// Writes the five values of chosen (creating the section when missing) and answers
// whether any differs from the value loaded gives: the states the dialog showed, so that
// a first choice counts even where the registry holds nothing yet. The values stored are
// read first, so that one of another type stops the save before anything is written.
// Registry errors leave as exceptions.
bool SaveSetupChoices(IRegistryStore& registry, const TProjectSettings& loaded, const TProjectSettings& chosen);

}  // namespace quindle
