// The setup dialog's decisions: the compacted layout, clicks, and the saved values.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "settings/RegistryStore.h"
#include "setup/SetupChoices.h"

namespace quindle {
namespace {

struct Place {
    int32_t Left;
    int32_t Top;
    bool operator==(const Place& o) const { return Left == o.Left && Top == o.Top; }
};
std::ostream& operator<<(std::ostream& out, const Place& p) { return out << "(" << p.Left << "," << p.Top << ")"; }

// The boxes' places as the dialog template lays them out (dialog units are fine here).
const Place kMouse{11, 34}, kMenu{11, 45}, kKeys{11, 56}, kSound{146, 34}, kMidi{146, 45};

TProjectSettings Laid(bool mouse, bool menu, bool keys, bool sound, bool midi) {
    TProjectSettings o;
    const struct {
        TOptionState& option;
        bool visible;
        Place place;
    } boxes[] = {{o.MouseInteraction, mouse, kMouse},
                 {o.RightClickMenu, menu, kMenu},
                 {o.KeyInteraction, keys, kKeys},
                 {o.SoundMuted, sound, kSound},
                 {o.MidiMuted, midi, kMidi}};
    for (const auto& b : boxes) {
        b.option.Visible = b.visible;
        b.option.Left = b.place.Left;
        b.option.Top = b.place.Top;
    }
    return o;
}

Place PlaceOf(const TOptionState& option) { return {option.Left, option.Top}; }

TEST(CompactSetupLayout, ClosesTheGapsOfHiddenBoxes) {
    const struct {
        const char* name;
        bool mouse, menu, keys, sound, midi;
        // Places of the visible boxes after compaction.
        std::vector<std::pair<TSetupBoxId, Place>> expected;
    } cases[] = {
        {"all shown stay",
         true,
         true,
         true,
         true,
         true,
         {{kMouseInteractionBox, kMouse},
          {kRightClickMenuBox, kMenu},
          {kKeyboardInteractionBox, kKeys},
          {kSoundMuteBox, kSound},
          {kMidiMuteBox, kMidi}}},
        {"only the mutes: they move to the left column, sound on top",
         false,
         false,
         false,
         true,
         true,
         {{kSoundMuteBox, {11, 34}}, {kMidiMuteBox, {11, 45}}}},
        {"keyboard and MIDI: both move to the top row",
         false,
         false,
         true,
         false,
         true,
         {{kKeyboardInteractionBox, {11, 34}}, {kMidiMuteBox, {146, 34}}}},
        {"no mouse box: menu and keyboard move up one row",
         false,
         true,
         true,
         true,
         true,
         {{kRightClickMenuBox, {11, 34}},
          {kKeyboardInteractionBox, {11, 45}},
          {kSoundMuteBox, kSound},
          {kMidiMuteBox, kMidi}}},
        {"no menu box: keyboard takes its row",
         true,
         false,
         true,
         true,
         false,
         {{kMouseInteractionBox, kMouse}, {kKeyboardInteractionBox, {11, 45}}, {kSoundMuteBox, kSound}}},
        {"only MIDI: top of the left column", false, false, false, false, true, {{kMidiMuteBox, {11, 34}}}},
        {"only sound: top of the left column", false, false, false, true, false, {{kSoundMuteBox, {11, 34}}}},
    };
    for (const auto& c : cases) {
        TProjectSettings o = Laid(c.mouse, c.menu, c.keys, c.sound, c.midi);
        CompactSetupLayout(o);
        for (const auto& [id, place] : c.expected) {
            EXPECT_EQ(PlaceOf(SetupOption(o, id)), place) << c.name << ", box " << id;
        }
    }
}

TEST(RecordSetupClick, SetsTheBoxOptionAndOnlyMouseInteractionDrivesTheMenuBox) {
    const struct {
        int id;
        bool checked;
        std::optional<bool> menuBoxEnabled;
    } cases[] = {{kMouseInteractionBox, false, false},     {kMouseInteractionBox, true, true},
                 {kRightClickMenuBox, true, std::nullopt}, {kKeyboardInteractionBox, true, std::nullopt},
                 {kSoundMuteBox, true, std::nullopt},      {kMidiMuteBox, true, std::nullopt}};
    for (const auto& c : cases) {
        TProjectSettings o;
        SetupOption(o, static_cast<TSetupBoxId>(c.id)).Checked = !c.checked;
        o.RightClickMenu.Checked = true;
        EXPECT_EQ(RecordSetupClick(o, c.id, c.checked), c.menuBoxEnabled) << c.id;
        EXPECT_EQ(SetupOption(o, static_cast<TSetupBoxId>(c.id)).Checked, c.checked) << c.id;
        // Unticking mouse interaction leaves the right-click menu choice as it was.
        if (c.id != kRightClickMenuBox) EXPECT_TRUE(o.RightClickMenu.Checked) << c.id;
    }
}

TEST(RecordSetupClick, OtherControlsChangeNothing) {
    TProjectSettings o;
    for (int id : {1, 2, 3, 4, 5, 9, 15, 102}) EXPECT_EQ(RecordSetupClick(o, id, true), std::nullopt) << id;
    for (const TSetupBox& box : kSetupBoxes) EXPECT_FALSE((o.*box.Option).Checked);
}

// Records reads and writes in order; can refuse writes.
class RecordingStore : public TMemRegistryStore {
public:
    std::vector<std::string> log;
    bool refuseWrites = false;
    bool ReadString(const std::string& name, std::string& value) override {
        log.push_back("read " + name);
        return TMemRegistryStore::ReadString(name, value);
    }
    void WriteString(const std::string& name, const std::string& value) override {
        if (refuseWrites) throw std::runtime_error("Failed to set data for '" + name + "'");
        log.push_back("write " + name + "=" + value);
        TMemRegistryStore::WriteString(name, value);
    }
};

TProjectSettings Choices(bool mouse, bool menu, bool keys, bool sound, bool midi) {
    TProjectSettings o;
    o.MouseInteraction.Checked = mouse;
    o.RightClickMenu.Checked = menu;
    o.KeyInteraction.Checked = keys;
    o.SoundMuted.Checked = sound;
    o.MidiMuted.Checked = midi;
    return o;
}

TEST(SaveSetupChoices, ReadsAllFiveThenWritesThemInOrder) {
    RecordingStore store;
    const TProjectSettings chosen = Choices(true, true, false, true, false);
    EXPECT_FALSE(SaveSetupChoices(store, chosen, chosen));
    const std::vector<std::string> expected = {
        "read MouseExit",    "read AnyKeyExit",    "read Mute",    "read MidiMute",    "read DisplayRightClickMenu",
        "write MouseExit=0", "write AnyKeyExit=1", "write Mute=1", "write MidiMute=0", "write DisplayRightClickMenu=1"};
    EXPECT_EQ(store.log, expected);
}

TEST(SaveSetupChoices, ChangedWhenAChoiceDiffersFromWhatTheDialogLoaded) {
    const TProjectSettings loaded = Choices(true, true, false, true, false);
    const struct {
        const char* name;
        TProjectSettings chosen;
        std::vector<std::pair<std::string, std::string>> stored;
        bool changed;
    } cases[] = {
        {"nothing changed, nothing stored", loaded, {}, false},
        {"nothing changed, other values stored",
         loaded,
         {{"MouseExit", "1"}, {"MidiMute", "0x10"}, {"DisplayRightClickMenu", "0"}},
         false},
        // A first-time user: nothing stored, the box ticked against the project's default.
        {"MIDI mute ticked, nothing stored", Choices(true, true, false, true, true), {}, true},
        {"MIDI mute ticked, the tick already stored",
         Choices(true, true, false, true, true),
         {{"MidiMute", "1"}},
         true},
        {"mouse interaction unticked", Choices(false, true, false, true, false), {}, true},
        {"right-click menu unticked, last in order", Choices(true, false, false, true, false), {}, true},
        {"keyboard interaction ticked", Choices(true, true, true, true, false), {{"AnyKeyExit", "1"}}, true},
        {"sound mute unticked", Choices(true, true, false, false, false), {{"Mute", "yes"}}, true},
    };
    for (const auto& c : cases) {
        RecordingStore store;
        for (const auto& [name, value] : c.stored) store.Values[name] = {value, true};
        EXPECT_EQ(SaveSetupChoices(store, loaded, c.chosen), c.changed) << c.name;
        for (const TSetupRegistryValue& v : SetupRegistryValues(c.chosen)) {
            EXPECT_EQ(store.Values[v.Name].Text, v.Value ? "1" : "0") << c.name << " " << v.Name;
        }
    }
}

TEST(SaveSetupChoices, RegistryErrorsLeaveAsExceptions) {
    RecordingStore refusing;
    refusing.refuseWrites = true;
    EXPECT_THROW(
        SaveSetupChoices(refusing, Choices(false, false, false, false, false), Choices(true, true, true, true, true)),
        std::runtime_error);

    // A value of another type than text stops the save before anything is written.
    RecordingStore wrongType;
    wrongType.Values["MidiMute"] = {"", false};
    try {
        SaveSetupChoices(wrongType, Choices(false, false, false, false, false), Choices(true, true, true, true, true));
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Invalid data type for 'MidiMute'");
    }
    for (const std::string& entry : wrongType.log) EXPECT_EQ(entry.rfind("write", 0), std::string::npos) << entry;
}

TEST(SetupRegistryValues, InvertTheInteractionOptions) {
    const auto values = SetupRegistryValues(Choices(false, false, true, false, true));
    const std::vector<std::pair<std::string, bool>> expected = {{"MouseExit", true},
                                                                {"AnyKeyExit", false},
                                                                {"Mute", false},
                                                                {"MidiMute", true},
                                                                {"DisplayRightClickMenu", false}};
    ASSERT_EQ(values.size(), expected.size());
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].Name, expected[i].first);
        EXPECT_EQ(values[i].Value, expected[i].second) << values[i].Name;
    }
}

}  // namespace
}  // namespace quindle
