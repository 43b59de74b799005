// The user's saved sound as the runners of one user share it: who holds it, and what
// it holds. The first runner to mute writes it, later ones add their names, the last
// one out puts the sound back and removes it. Kept as text (a registry value in the
// Win32 shell), one item a line:
//   holder NAME
//   volume HEX
//   mute LINE CONTROL STATE DEVICE   (the device's name last: it may hold blanks)
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sound/SoundMute.h"

namespace quindle {

struct TSoundRecord {
    std::vector<std::string> Holders;
    TSavedSound Saved;
};

std::string FormatSoundRecord(const TSoundRecord& record);
// Nothing for "" or for text that is no record (a damaged value counts as none).
std::optional<TSoundRecord> ParseSoundRecord(const std::string& text);

// Drops the holders whose runner is gone. When none is left, the saved sound belongs
// to no one: it is handed back to be put back, and the record is empty.
std::optional<TSavedSound> TakeUnheldSound(TSoundRecord& record,
                                           const std::function<bool(const std::string& holder)>& isLive);

}  // namespace quindle
