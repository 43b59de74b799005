// Filling the control block shared with the hook library, and the names that lead to it.
#include "runner/ControlBlock.h"

#include <algorithm>
#include <cstring>

#include "runner/Lifecycle.h"

namespace quindle {

namespace {

// Stores to the shared block go through volatile so that the compiler keeps them in
// program order: the library in another process sees them in that order.
template <typename T>
void Store(T& field, T value) {
    *const_cast<volatile T*>(&field) = value;
}

void StoreFlag(uint8_t& field, bool on) { Store<uint8_t>(field, on ? 1 : 0); }

bool AllDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void WriteBlockText(TBlockText& field, const std::string& text) {
    const size_t length = std::min<size_t>(text.size(), kBlockTextMax);
    volatile uint8_t* out = field;
    for (size_t i = 0; i < length; ++i) out[1 + i] = static_cast<uint8_t>(text[i]);
    out[0] = static_cast<uint8_t>(length);
}

std::string ReadBlockText(const TBlockText& field) {
    return std::string(reinterpret_cast<const char*>(field) + 1, field[0]);
}

std::string InstanceTagForRunNumber(int32_t runNumber) {
    return runNumber == 0 ? std::string(kInstanceTagStem) : kInstanceTagStem + std::to_string(runNumber);
}

std::string InstanceTagFromRunDirName(const std::string& folderName) {
    const size_t stem = sizeof(kRunDirStem) - 1;
    if (folderName.size() < stem || LowerAscii(folderName.substr(0, stem)) != LowerAscii(kRunDirStem)) return {};
    const std::string number = folderName.substr(stem);
    if (!AllDigits(number)) return {};
    return kInstanceTagStem + number;
}

std::string InstanceTagFromModulePath(const std::string& modulePath) {
    const size_t fileStart = modulePath.find_last_of("\\/");
    if (fileStart == std::string::npos) return {};
    const std::string folder = modulePath.substr(0, fileStart);
    const size_t folderStart = folder.find_last_of("\\/:");
    return InstanceTagFromRunDirName(folderStart == std::string::npos ? folder : folder.substr(folderStart + 1));
}

std::string MappingName(const std::string& instanceTag) { return kMappingNamePrefix + instanceTag; }

std::string RunnerMessageName(const std::string& instanceTag) { return kRunnerMessagePrefix + instanceTag; }

bool FrameWillChange(const TProjectSettings& settings) {
    return settings.NoTitle.Checked || settings.NoBorder.Checked ||
           (settings.FullScreen.Checked && settings.CustomSize.Checked);
}

bool BlockNeedsMouseHook(const TRunnerControlBlock& block) {
    const volatile TRunnerControlBlock& b = block;
    return b.NoRightClickMenu != 0 || b.NoMouseInteraction != 0 || b.Draggable != 0;
}

bool SetUpControlBlock(TRunnerControlBlock& block, const TProjectSettings& settings,
                       const TRunnerIdentity& runner, TBlockSetupPlatform& platform, THookHandles& handles) {
    handles = {};
    std::memset(static_cast<void*>(&block), 0, sizeof block);
    Store<uint32_t>(block.Value88, 1);

    // The browser strings are complete before any hook can read them.
    platform.LookUpBrowserAssociation(block);

    handles.Keyboard = platform.Install(THookKind::Keyboard);
    if (handles.Keyboard == 0) return false;
    Store<uint8_t>(block.RestyleInProgress, 1);
    StoreFlag(block.ScreenSaverOff, settings.DisableScreenSaver.Checked);

    if (settings.DisableW95Key.Checked) {
        Store<uint8_t>(block.WindowsKeyFilter, 1);
        handles.Message = platform.Install(THookKind::Message);
        if (handles.Message == 0) return false;
    }

    handles.Cbt = platform.Install(THookKind::Cbt);
    if (handles.Cbt == 0) return false;

    StoreFlag(block.CloseItem, FrameWillChange(settings));
    StoreFlag(block.NoRightClickMenu, !settings.RightClickMenu.Checked);
    StoreFlag(block.SetupItem, settings.SetupMenu.Checked);
    StoreFlag(block.MinimizeItem, settings.MinimizeMenu.Checked);
    StoreFlag(block.CloseItem, settings.CloseMenu.Checked);
    StoreFlag(block.NoMouseInteraction, !settings.Interaction.Checked);
    StoreFlag(block.Draggable, settings.Draggable.Checked);

    if (BlockNeedsMouseHook(block)) {
        handles.Mouse = platform.Install(THookKind::Mouse);
        if (handles.Mouse == 0) return false;
    }

    Store<int32_t>(block.ProjectorVersion, settings.Major);
    for (int i = 0; i < kRightMenuDeleteItemCount; ++i) {
        Store<int32_t>(block.MenuItemsToDelete[i], settings.RightMenuDeleteItems[i]);
    }
    StoreFlag(block.HideCursor, settings.HideCursor);
    Store<uint32_t>(block.RunnerWnd2, runner.RunnerWnd);
    Store<uint32_t>(block.RunnerWnd, runner.RunnerWnd);
    Store<uint32_t>(block.ProjectorProcessId, 0);
    Store<uint32_t>(block.MouseHook, handles.Mouse);
    Store<uint32_t>(block.KeyboardHook, handles.Keyboard);
    Store<uint32_t>(block.CbtHook, handles.Cbt);
    Store<uint32_t>(block.MessageHook, handles.Message);
    Store<uint32_t>(block.ReservedHook16, 0);
    Store<uint32_t>(block.ReservedHook20, 0);
    Store<uint32_t>(block.Reserved28, 0);
    Store<uint8_t>(block.Flag69, 0);
    Store<uint8_t>(block.Flag72, 0);
    Store<uint8_t>(block.Flag71, 0);
    Store<uint8_t>(block.Flag70, 0);
    Store<uint8_t>(block.Flag68, 1);
    StoreFlag(block.ExitOnEsc, settings.ExitOnESC.Checked);
    Store<uint8_t>(block.ReservedFlag60, 0);
    Store<uint32_t>(block.RunnerThreadId, runner.RunnerThreadId);
    Store<uint32_t>(block.RunnerProcessId, runner.RunnerProcessId);
    return true;
}

void ClearRunnerIdentities(TRunnerControlBlock& block) {
    Store<uint32_t>(block.ProjectorProcessId, 0);
    Store<uint32_t>(block.Reserved28, 0);
    Store<uint32_t>(block.ProjectorWnd, 0);
    Store<uint32_t>(block.RunnerWnd, 0);
    Store<uint32_t>(block.RunnerWnd2, 0);
    Store<uint8_t>(block.ReservedFlag60, 0);
    Store<uint8_t>(block.NoKeyInteraction, 0);
}

}  // namespace quindle
