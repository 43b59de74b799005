// The shared sound record's text and the rule for a record no runner holds any more.
#include "sound/SharedSoundRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace quindle {
namespace {

// A device name from the system cannot break the record's lines.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

bool ParseNumber(const std::string& word, int base, uint32_t& value) {
    if (word.empty()) return false;
    char* end = nullptr;
    const unsigned long number = std::strtoul(word.c_str(), &end, base);
    if (*end != '\0' || number > 0xFFFFFFFFul) return false;
    value = static_cast<uint32_t>(number);
    return true;
}

bool ParseMute(std::istringstream& line, TSavedMute& mute) {
    std::string lineId, controlId, state;
    line >> lineId >> controlId >> state;
    if (!ParseNumber(lineId, 10, mute.LineId) || !ParseNumber(controlId, 10, mute.ControlId)) return false;
    if (state != "0" && state != "1") return false;
    mute.Muted = state == "1";
    line.get();  // the blank before the name
    std::getline(line, mute.Device);
    return true;
}

bool ParseLine(const std::string& text, TSoundRecord& record) {
    std::istringstream line(text);
    std::string item;
    line >> item;
    if (item == "holder") {
        std::string holder;
        line >> holder;
        if (holder.empty()) return false;
        record.Holders.push_back(holder);
        return true;
    }
    if (item == "volume") {
        std::string word;
        uint32_t volume = 0;
        line >> word;
        if (!ParseNumber(word, 16, volume)) return false;
        record.Saved.Volume = volume;
        return true;
    }
    if (item == "mute") {
        TSavedMute mute;
        if (!ParseMute(line, mute)) return false;
        record.Saved.Mutes.Append(mute);
        return true;
    }
    return false;
}

}  // namespace

std::string FormatSoundRecord(const TSoundRecord& record) {
    std::string text;
    for (const std::string& holder : record.Holders) text += "holder " + holder + "\n";
    if (record.Saved.Volume) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(*record.Saved.Volume));
        text += std::string("volume ") + hex + "\n";
    }
    for (const TSavedMute& mute : record.Saved.Mutes.States()) {
        text += "mute " + std::to_string(mute.LineId) + " " + std::to_string(mute.ControlId) + " " +
                (mute.Muted ? "1" : "0") + " " + OneLine(mute.Device) + "\n";
    }
    return text;
}

std::optional<TSoundRecord> ParseSoundRecord(const std::string& text) {
    if (text.empty()) return std::nullopt;
    TSoundRecord record;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!ParseLine(line, record)) return std::nullopt;
    }
    return record;
}

std::optional<TSavedSound> TakeUnheldSound(TSoundRecord& record,
                                           const std::function<bool(const std::string& holder)>& isLive) {
    std::vector<std::string>& holders = record.Holders;
    holders.erase(std::remove_if(holders.begin(), holders.end(), [&](const std::string& h) { return !isLive(h); }),
                  holders.end());
    if (!holders.empty()) return std::nullopt;
    return std::exchange(record.Saved, TSavedSound{});
}

}  // namespace quindle
