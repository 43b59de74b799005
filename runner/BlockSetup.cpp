// Filling the control block shared with the hook library.
#include "runner/BlockSetup.h"

#include <cstring>

#include "window/DisplayMode.h"

namespace quindle {

bool FrameWillChange(const TProjectSettings& settings) {
    return settings.HideCaption.Checked || settings.HideBorder.Checked || IsCustomFullScreen(DisplayModeOf(settings));
}

bool BlockNeedsMouseHook(const TRunnerControlBlock& block) {
    const volatile TRunnerControlBlock& b = block;
    return b.NoRightClickMenu != 0 || b.NoMouseInteraction != 0 || b.Draggable != 0;
}

bool SetUpControlBlock(TRunnerControlBlock& block, const TProjectSettings& settings, const TRunnerIdentity& runner,
                       IBlockSetupPlatform& platform, THookHandles& handles) {
    handles = {};
    std::memset(static_cast<void*>(&block), 0, sizeof block);
    StoreToBlock<uint32_t>(block.Value88, 1);

    // The browser strings are complete before any hook can read them.
    platform.LookUpBrowserAssociation(block);

    handles.Keyboard = platform.Install(THookKind::Keyboard);
    if (handles.Keyboard == 0) return false;
    StoreToBlock<uint8_t>(block.RestyleInProgress, 1);
    StoreFlagToBlock(block.ScreenSaverOff, settings.BlockScreenSaver.Checked);

    if (settings.BlockWindowsKeys.Checked) {
        StoreToBlock<uint8_t>(block.WindowsKeyFilter, 1);
        handles.Message = platform.Install(THookKind::Message);
        if (handles.Message == 0) return false;
    }

    handles.Cbt = platform.Install(THookKind::Cbt);
    if (handles.Cbt == 0) return false;

    // Briefly whether the frame will change; the close item's own value replaces it below.
    StoreFlagToBlock(block.CloseItem, FrameWillChange(settings));
    StoreFlagToBlock(block.NoRightClickMenu, !settings.RightClickMenu.Checked);
    StoreFlagToBlock(block.SetupItem, settings.MenuHasSetup.Checked);
    StoreFlagToBlock(block.MinimizeItem, settings.MenuHasMinimize.Checked);
    StoreFlagToBlock(block.CloseItem, settings.MenuHasClose.Checked);
    StoreFlagToBlock(block.NoMouseInteraction, !settings.MouseInteraction.Checked);
    StoreFlagToBlock(block.Draggable, settings.Draggable.Checked);

    if (BlockNeedsMouseHook(block)) {
        handles.Mouse = platform.Install(THookKind::Mouse);
        if (handles.Mouse == 0) return false;
    }

    // The hooks are live, so the library may read the block at any moment: the rest goes
    // in the order it was built to see it, the hook handles only now, and the zeros the
    // block holds already are stored again where that order has them.
    StoreToBlock<int32_t>(block.ProjectorVersion, settings.ProjectorVersion);
    for (int i = 0; i < kBlockMenuItemCount; ++i) {
        StoreToBlock<int32_t>(block.MenuItemsToDelete[i], settings.RemovedMenuItems[i]);
    }
    StoreFlagToBlock(block.HideCursor, settings.HideCursor);
    StoreToBlock<uint32_t>(block.RunnerWnd2, runner.RunnerWnd);
    StoreToBlock<uint32_t>(block.RunnerWnd, runner.RunnerWnd);
    StoreToBlock<uint32_t>(block.ProjectorProcessId, 0);
    StoreToBlock<uint32_t>(block.MouseHook, handles.Mouse);
    StoreToBlock<uint32_t>(block.KeyboardHook, handles.Keyboard);
    StoreToBlock<uint32_t>(block.CbtHook, handles.Cbt);
    StoreToBlock<uint32_t>(block.MessageHook, handles.Message);
    StoreToBlock<uint32_t>(block.ReservedHook16, 0);
    StoreToBlock<uint32_t>(block.ReservedHook20, 0);
    StoreToBlock<uint32_t>(block.Reserved28, 0);
    StoreToBlock<uint8_t>(block.Flag69, 0);
    StoreToBlock<uint8_t>(block.Flag72, 0);
    StoreToBlock<uint8_t>(block.Flag71, 0);
    StoreToBlock<uint8_t>(block.Flag70, 0);
    StoreToBlock<uint8_t>(block.Flag68, 1);
    StoreFlagToBlock(block.ExitOnEsc, settings.EscapeEndsShow.Checked);
    StoreToBlock<uint8_t>(block.ReservedFlag60, 0);
    StoreToBlock<uint32_t>(block.RunnerThreadId, runner.RunnerThreadId);
    StoreToBlock<uint32_t>(block.RunnerProcessId, runner.RunnerProcessId);
    return true;
}

void ClearRunnerIdentities(TRunnerControlBlock& block) {
    StoreToBlock<uint32_t>(block.ProjectorProcessId, 0);
    StoreToBlock<uint32_t>(block.Reserved28, 0);
    StoreToBlock<uint32_t>(block.ProjectorWnd, 0);
    StoreToBlock<uint32_t>(block.RunnerWnd, 0);
    StoreToBlock<uint32_t>(block.RunnerWnd2, 0);
    StoreToBlock<uint8_t>(block.ReservedFlag60, 0);
    StoreToBlock<uint8_t>(block.NoKeyInteraction, 0);
}

}  // namespace quindle
