// The control block: its text fields, the names that lead to it, and the bytes the
// set-up leaves for each combination of settings, with the hooks installed in between.
#include "contract/ControlBlock.h"
#include "runner/BlockSetup.h"
#include "runner/ProjectorEnvironment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <vector>

namespace quindle {
namespace {

uint32_t Read32(const TRunnerControlBlock& block, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(&block) + offset, 4);
    return value;
}

uint8_t Read8(const TRunnerControlBlock& block, size_t offset) {
    return reinterpret_cast<const uint8_t*>(&block)[offset];
}

// Records which hooks were installed and a copy of the block at each installation.
class FakePlatform : public IBlockSetupPlatform {
public:
    explicit FakePlatform(int failAtInstall = -1) : failAt_(failAtInstall) {}

    void LookUpBrowserAssociation(TRunnerControlBlock& block) override {
        WriteBlockText(block.BrowserCommand, "browser.exe \"%1\"");
        lookupsBeforeFirstHook += installs.empty() ? 1 : 0;
        block_ = &block;
    }
    uint32_t Install(THookKind kind) override {
        const int index = static_cast<int>(installs.size());
        installs.push_back(kind);
        blockAtInstall.push_back(*block_);
        if (index == failAt_) return 0;
        return 0x1000u + static_cast<uint32_t>(kind);
    }

    std::vector<THookKind> installs;
    std::vector<TRunnerControlBlock> blockAtInstall;
    int lookupsBeforeFirstHook = 0;

private:
    int failAt_;
    TRunnerControlBlock* block_ = nullptr;
};

constexpr uint32_t kKeyboard = 0x1000u + static_cast<uint32_t>(THookKind::Keyboard);
constexpr uint32_t kMessage = 0x1000u + static_cast<uint32_t>(THookKind::Message);
constexpr uint32_t kCbt = 0x1000u + static_cast<uint32_t>(THookKind::Cbt);
constexpr uint32_t kMouse = 0x1000u + static_cast<uint32_t>(THookKind::Mouse);
const TRunnerIdentity kRunner{0x00010203u, 0x0a0b0c0du, 0x7788u};

struct SetupCase {
    const char* name;
    std::function<void(TProjectSettings&)> configure;
    std::vector<THookKind> hooks;
    std::map<size_t, uint32_t> bytes;  // offset -> byte
    std::map<size_t, uint32_t> words;  // offset -> 32-bit value
};

// Settings with every user-facing choice at its friendly value: nothing asks for the mouse hook.
TProjectSettings FriendlySettings() {
    TProjectSettings settings;
    settings.RightClickMenu.Checked = true;
    settings.MouseInteraction.Checked = true;
    settings.ProjectorVersion = 4;
    return settings;
}

const std::vector<SetupCase>& SetupCases() {
    static const std::vector<SetupCase> cases = {
        {"friendly",
         [](TProjectSettings&) {},
         {THookKind::Keyboard, THookKind::Cbt},
         {{60, 0}, {61, 0}, {62, 0}, {63, 0}, {68, 1}, {69, 0}, {70, 0}, {71, 0}, {72, 0},   {73, 0},  {74, 0},
          {80, 0}, {81, 0}, {82, 0}, {84, 0}, {96, 0}, {97, 0}, {98, 0}, {99, 0}, {1142, 1}, {1143, 0}},
         {{0, 0},
          {4, kKeyboard},
          {8, kCbt},
          {12, 0},
          {16, 0},
          {20, 0},
          {24, 0},
          {28, 0},
          {48, 0},
          {52, 0x00010203u},
          {56, 0x00010203u},
          {76, 0x0a0b0c0du},
          {88, 1},
          {100, 0},
          {104, 0x7788u},
          {1344, 4},
          {1348, 0}}},
        {"everything off",
         [](TProjectSettings& s) { s = TProjectSettings(); },
         {THookKind::Keyboard, THookKind::Cbt, THookKind::Mouse},
         {{62, 1}, {63, 1}, {84, 0}, {73, 0}},
         {{0, kMouse}, {4, kKeyboard}, {8, kCbt}, {12, 0}, {1344, 0}}},
        {"windows keys filtered",
         [](TProjectSettings& s) { s.BlockWindowsKeys.Checked = true; },
         {THookKind::Keyboard, THookKind::Message, THookKind::Cbt},
         {{73, 1}},
         {{0, 0}, {12, kMessage}}},
        {"no right-click menu",
         [](TProjectSettings& s) { s.RightClickMenu.Checked = false; },
         {THookKind::Keyboard, THookKind::Cbt, THookKind::Mouse},
         {{63, 1}, {62, 0}, {84, 0}},
         {{0, kMouse}}},
        {"no mouse interaction",
         [](TProjectSettings& s) { s.MouseInteraction.Checked = false; },
         {THookKind::Keyboard, THookKind::Cbt, THookKind::Mouse},
         {{62, 1}, {63, 0}},
         {{0, kMouse}}},
        {"draggable",
         [](TProjectSettings& s) { s.Draggable.Checked = true; },
         {THookKind::Keyboard, THookKind::Cbt, THookKind::Mouse},
         {{84, 1}, {62, 0}, {63, 0}},
         {{0, kMouse}}},
        {"menu items and escape",
         [](TProjectSettings& s) {
             s.MenuHasClose.Checked = true;
             s.MenuHasSetup.Checked = true;
             s.MenuHasMinimize.Checked = true;
             s.EscapeEndsShow.Checked = true;
         },
         {THookKind::Keyboard, THookKind::Cbt},
         {{80, 1}, {81, 1}, {82, 1}, {98, 1}},
         {}},
        {"frame change does not stay at 81",
         [](TProjectSettings& s) {
             s.HideCaption.Checked = true;
             s.HideBorder.Checked = true;
         },
         {THookKind::Keyboard, THookKind::Cbt},
         {{81, 0}},
         {}},
        {"screen saver, cursor, version",
         [](TProjectSettings& s) {
             s.BlockScreenSaver.Checked = true;
             s.HideCursor = true;
             s.ProjectorVersion = 6;
         },
         {THookKind::Keyboard, THookKind::Cbt},
         {{74, 1}, {97, 1}},
         {{1344, 6}}},
        {"menu items to delete",
         [](TProjectSettings& s) {
             s.RemovedMenuItems[0] = 3;
             s.RemovedMenuItems[1] = -1;
             s.RemovedMenuItems[49] = 0x7fffffff;
         },
         {THookKind::Keyboard, THookKind::Cbt},
         {},
         {{1144, 3}, {1148, 0xffffffffu}, {1152, 0}, {1340, 0x7fffffffu}}},
    };
    return cases;
}

TEST(ControlBlockSetUp, BytesAfterSetUpFollowTheSettings) {
    for (const SetupCase& c : SetupCases()) {
        SCOPED_TRACE(c.name);
        TProjectSettings settings = FriendlySettings();
        c.configure(settings);
        TRunnerControlBlock block;
        std::memset(static_cast<void*>(&block), 0xcc, sizeof block);  // stale bytes must go
        FakePlatform platform;
        THookHandles handles;
        ASSERT_TRUE(SetUpControlBlock(block, settings, kRunner, platform, handles));
        EXPECT_EQ(platform.installs, c.hooks);
        for (const auto& [offset, value] : c.bytes) EXPECT_EQ(Read8(block, offset), value) << "offset " << offset;
        for (const auto& [offset, value] : c.words) EXPECT_EQ(Read32(block, offset), value) << "offset " << offset;
        EXPECT_EQ(ReadBlockText(block.BrowserCommand), "browser.exe \"%1\"");
        EXPECT_EQ(block.InitialDir[0], 0);
        EXPECT_EQ(Read8(block, 32), 0);
        EXPECT_EQ(Read8(block, 1140), 0);
    }
}

TEST(ControlBlockSetUp, WritesFollowTheHookInstallation) {
    TProjectSettings settings = TProjectSettings();
    settings.BlockWindowsKeys.Checked = true;
    settings.MenuHasClose.Checked = true;
    settings.BlockScreenSaver.Checked = true;
    TRunnerControlBlock block{};
    FakePlatform platform;
    THookHandles handles;
    ASSERT_TRUE(SetUpControlBlock(block, settings, kRunner, platform, handles));
    ASSERT_EQ(platform.installs.size(), 4u);
    EXPECT_EQ(platform.lookupsBeforeFirstHook, 1);

    const TRunnerControlBlock& atKeyboard = platform.blockAtInstall[0];
    EXPECT_EQ(atKeyboard.Value88, 1u);
    EXPECT_EQ(ReadBlockText(atKeyboard.BrowserCommand), "browser.exe \"%1\"");
    EXPECT_EQ(atKeyboard.RestyleInProgress, 0);
    EXPECT_EQ(atKeyboard.ScreenSaverOff, 0);

    const TRunnerControlBlock& atMessage = platform.blockAtInstall[1];
    EXPECT_EQ(atMessage.RestyleInProgress, 1);
    EXPECT_EQ(atMessage.ScreenSaverOff, 1);
    EXPECT_EQ(atMessage.WindowsKeyFilter, 1);

    const TRunnerControlBlock& atCbt = platform.blockAtInstall[2];
    EXPECT_EQ(atCbt.NoRightClickMenu, 0);
    EXPECT_EQ(atCbt.CloseItem, 0);

    const TRunnerControlBlock& atMouse = platform.blockAtInstall[3];
    EXPECT_EQ(atMouse.NoRightClickMenu, 1);
    EXPECT_EQ(atMouse.NoMouseInteraction, 1);
    EXPECT_EQ(atMouse.CloseItem, 1);
    EXPECT_EQ(atMouse.KeyboardHook, 0u);  // the handles come last
    EXPECT_EQ(atMouse.RunnerWnd, 0u);
    EXPECT_EQ(atMouse.RunnerThreadId, 0u);

    EXPECT_EQ(handles.Keyboard, kKeyboard);
    EXPECT_EQ(handles.Message, kMessage);
    EXPECT_EQ(handles.Cbt, kCbt);
    EXPECT_EQ(handles.Mouse, kMouse);
}

TEST(ControlBlockSetUp, StopsAtTheFirstHookThatFails) {
    TProjectSettings settings;  // everything off: keyboard, CBT and mouse hooks
    for (int failAt = 0; failAt < 3; ++failAt) {
        SCOPED_TRACE(failAt);
        TRunnerControlBlock block{};
        FakePlatform platform(failAt);
        THookHandles handles;
        EXPECT_FALSE(SetUpControlBlock(block, settings, kRunner, platform, handles));
        EXPECT_EQ(platform.installs.size(), static_cast<size_t>(failAt + 1));
        EXPECT_EQ(handles.Keyboard != 0, failAt > 0);
        EXPECT_EQ(handles.Cbt != 0, failAt > 1);
        EXPECT_EQ(handles.Mouse, 0u);
        EXPECT_EQ(block.RunnerWnd, 0u);
    }
}

TEST(ControlBlockSetUp, FrameChangeCondition) {
    struct Case {
        bool noTitle, noBorder, fullScreen, customSize, expected;
    };
    const Case cases[] = {
        {false, false, false, false, false}, {true, false, false, false, true},  {false, true, false, false, true},
        {false, false, true, false, false},  {false, false, false, true, false}, {false, false, true, true, true},
    };
    for (const Case& c : cases) {
        TProjectSettings s;
        s.HideCaption.Checked = c.noTitle;
        s.HideBorder.Checked = c.noBorder;
        s.FullScreen.Checked = c.fullScreen;
        s.CustomSize.Checked = c.customSize;
        EXPECT_EQ(FrameWillChange(s), c.expected) << c.noTitle << c.noBorder << c.fullScreen << c.customSize;
    }
}

TEST(ControlBlockText, IsLengthPrefixedAndCutTo255) {
    struct Case {
        size_t length;
        uint8_t stored;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {254, 254}, {255, 255}, {256, 255}, {300, 255}};
    for (const Case& c : cases) {
        TRunnerControlBlock block{};
        std::string text;
        for (size_t i = 0; i < c.length; ++i) text.push_back(static_cast<char>('a' + i % 26));
        WriteBlockText(block.DdeTopic, text);
        EXPECT_EQ(block.DdeTopic[0], c.stored) << c.length;
        EXPECT_EQ(ReadBlockText(block.DdeTopic), text.substr(0, c.stored));
        EXPECT_EQ(Read32(block, 1140), 0u) << "must not spill into the next field";
    }
}

TEST(ControlBlockText, KeepsBytesAboveAscii) {
    TRunnerControlBlock block{};
    WriteBlockText(block.InitialDir, "C:\\Pr\xe4sentation");
    EXPECT_EQ(ReadBlockText(block.InitialDir), "C:\\Pr\xe4sentation");
}

TEST(ControlBlockClear, ClearsOnlyTheRunnerIdentities) {
    TRunnerControlBlock block;
    std::memset(static_cast<void*>(&block), 0x11, sizeof block);
    ClearRunnerIdentities(block);
    for (size_t offset : {24, 28, 48, 52, 56}) EXPECT_EQ(Read32(block, offset), 0u) << offset;
    EXPECT_EQ(Read8(block, 60), 0);
    EXPECT_EQ(Read8(block, 61), 0);
    EXPECT_EQ(Read8(block, 62), 0x11);
    EXPECT_EQ(Read32(block, 4), 0x11111111u);
}

TEST(InstanceTag, FromRunNumberAndBack) {
    EXPECT_EQ(InstanceTagForRunNumber(0), "_QGL_RT");
    EXPECT_EQ(InstanceTagForRunNumber(1), "_QGL_RT1");
    EXPECT_EQ(InstanceTagForRunNumber(27), "_QGL_RT27");

    const std::pair<const char*, const char*> folders[] = {
        {"Qgl_Rt", "_QGL_RT"},
        {"Qgl_Rt1", "_QGL_RT1"},
        {"QGL_RT12", "_QGL_RT12"},
        {"qgl_rt0", "_QGL_RT0"},
        {"Qgl_Rtx", ""},
        {"Qgl_R", ""},
        {"Temp", ""},
        {"", ""},
        {"Qgl_Rt1a", ""},
    };
    for (const auto& [folder, tag] : folders) EXPECT_EQ(InstanceTagFromRunDirName(folder), tag) << folder;

    const std::pair<const char*, const char*> paths[] = {
        {"C:\\users\\me\\Temp\\Qgl_Rt3\\zanticrun3.dll", "_QGL_RT3"},
        {"C:\\Temp\\Qgl_Rt\\zanticrun0.dll", "_QGL_RT"},
        {"C:\\Temp\\zanticrun.dll", ""},
        {"Qgl_Rt\\zanticrun.dll", "_QGL_RT"},
        {"zanticrun.dll", ""},
    };
    for (const auto& [path, tag] : paths) EXPECT_EQ(InstanceTagFromModulePath(path), tag) << path;

    EXPECT_EQ(MappingName("_QGL_RT1"), "NimbrelRunnerMapping_QGL_RT1");
    EXPECT_EQ(RunnerMessageName("_QGL_RT"), "NimbrelRunnerMessage_QGL_RT");
}

TEST(ProjectorEnvironment, SevenVariablesWithSignedNumbers) {
    const TEnvironmentList runner = RunnerEnvironment({"C:\\Shows\\demo.exe", "demo.exe", 1234u, 0x80000010u});
    const TEnvironmentList expectedRunner = {
        {"QuindleLocalDir_Engine", "C:\\Shows\\demo.exe"},
        {"QuindleEngine_ID", "1234"},
        {"QuindleEngine_WH", "-2147483632"},
        {"demo.exe", "-2147483632"},
    };
    EXPECT_EQ(runner, expectedRunner);

    const TEnvironmentList paths =
        ProjectorPathsEnvironment({"C:\\Temp\\Qgl_Rt\\show.exe", "C:\\Temp\\Qgl_Rt\\", "C:\\Temp\\Qgl_Rt"});
    const TEnvironmentList expectedPaths = {
        {"QuindleLocalDir_Projector", "C:\\Temp\\Qgl_Rt\\show.exe"},
        {"QuindleLocalDir_RootDir", "C:\\Temp\\Qgl_Rt\\"},
        {"QuindleLocalDir_InitialDir", "C:\\Temp\\Qgl_Rt"},
    };
    EXPECT_EQ(paths, expectedPaths);
}

}  // namespace
}  // namespace quindle
