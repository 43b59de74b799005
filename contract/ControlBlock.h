// The control block the runner shares with its hook library through a named file
// mapping, and the names that lead to it. The hook library reads it inside other
// processes without locks, so the layout is fixed byte for byte and the fields are
// written one at a time, in program order, through StoreToBlock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quindle {

constexpr char kMappingNamePrefix[] = "NimbrelRunnerMapping";
constexpr char kRunnerMessagePrefix[] = "NimbrelRunnerMessage";
constexpr char kRunnerQueryMessageName[] = "NimbrelRunnerSvrMessage";
constexpr char kRunDirStem[] = "Qgl_Rt";
constexpr char kInstanceTagStem[] = "_QGL_RT";
constexpr uint32_t kMappingSize = 11352;  // the library may use what lies beyond the block
constexpr uint32_t kControlBlockSize = 1352;
constexpr int kBlockTextSize = 256;  // one length byte and up to 255 characters
constexpr int kBlockTextMax = 255;
constexpr int kBlockMenuItemCount = 50;  // command ids deleted from the projector's own menu

// A length-prefixed text field.
using TBlockText = uint8_t[kBlockTextSize];

#pragma pack(push, 1)
struct TRunnerControlBlock {
    uint32_t MouseHook;                              // 0
    uint32_t KeyboardHook;                           // 4
    uint32_t CbtHook;                                // 8
    uint32_t MessageHook;                            // 12
    uint32_t ReservedHook16;                         // 16
    uint32_t ReservedHook20;                         // 20
    uint32_t ProjectorProcessId;                     // 24
    uint32_t Reserved28;                             // 28
    uint8_t Reserved32[16];                          // 32
    uint32_t ProjectorWnd;                           // 48
    uint32_t RunnerWnd;                              // 52
    uint32_t RunnerWnd2;                             // 56
    uint8_t ReservedFlag60;                          // 60
    uint8_t NoKeyInteraction;                        // 61
    uint8_t NoMouseInteraction;                      // 62
    uint8_t NoRightClickMenu;                        // 63
    uint8_t Reserved64[4];                           // 64
    uint8_t Flag68;                                  // 68
    uint8_t Flag69;                                  // 69
    uint8_t Flag70;                                  // 70
    uint8_t Flag71;                                  // 71
    uint8_t Flag72;                                  // 72
    uint8_t WindowsKeyFilter;                        // 73
    uint8_t ScreenSaverOff;                          // 74
    uint8_t Reserved75;                              // 75
    uint32_t RunnerThreadId;                         // 76
    uint8_t ExitOnEsc;                               // 80
    uint8_t CloseItem;                               // 81
    uint8_t SetupItem;                               // 82
    uint8_t MenuOpen;                                // 83
    uint8_t Draggable;                               // 84
    uint8_t Reserved85[3];                           // 85
    uint32_t Value88;                                // 88
    uint8_t Reserved92[4];                           // 92
    uint8_t Ready;                                   // 96
    uint8_t HideCursor;                              // 97
    uint8_t MinimizeItem;                            // 98
    uint8_t LibraryFlag;                             // 99
    uint32_t Supervising;                            // 100
    uint32_t RunnerProcessId;                        // 104
    uint8_t Reserved108[8];                          // 108
    TBlockText InitialDir;                           // 116
    TBlockText BrowserCommand;                       // 372
    TBlockText DdeApplication;                       // 628
    TBlockText DdeTopic;                             // 884
    uint8_t Reserved1140[2];                         // 1140
    uint8_t RestyleInProgress;                       // 1142
    uint8_t NewProjector;                            // 1143
    int32_t MenuItemsToDelete[kBlockMenuItemCount];  // 1144
    int32_t ProjectorVersion;                        // 1344
    uint32_t ProjectorThreadId;                      // 1348
};
#pragma pack(pop)

static_assert(sizeof(TRunnerControlBlock) == kControlBlockSize, "control block size");
static_assert(offsetof(TRunnerControlBlock, MouseHook) == 0, "offset");
static_assert(offsetof(TRunnerControlBlock, KeyboardHook) == 4, "offset");
static_assert(offsetof(TRunnerControlBlock, CbtHook) == 8, "offset");
static_assert(offsetof(TRunnerControlBlock, MessageHook) == 12, "offset");
static_assert(offsetof(TRunnerControlBlock, ReservedHook16) == 16, "offset");
static_assert(offsetof(TRunnerControlBlock, ReservedHook20) == 20, "offset");
static_assert(offsetof(TRunnerControlBlock, ProjectorProcessId) == 24, "offset");
static_assert(offsetof(TRunnerControlBlock, Reserved28) == 28, "offset");
static_assert(offsetof(TRunnerControlBlock, Reserved32) == 32, "offset");
static_assert(offsetof(TRunnerControlBlock, ProjectorWnd) == 48, "offset");
static_assert(offsetof(TRunnerControlBlock, RunnerWnd) == 52, "offset");
static_assert(offsetof(TRunnerControlBlock, RunnerWnd2) == 56, "offset");
static_assert(offsetof(TRunnerControlBlock, ReservedFlag60) == 60, "offset");
static_assert(offsetof(TRunnerControlBlock, NoKeyInteraction) == 61, "offset");
static_assert(offsetof(TRunnerControlBlock, NoMouseInteraction) == 62, "offset");
static_assert(offsetof(TRunnerControlBlock, NoRightClickMenu) == 63, "offset");
static_assert(offsetof(TRunnerControlBlock, Flag68) == 68, "offset");
static_assert(offsetof(TRunnerControlBlock, Flag69) == 69, "offset");
static_assert(offsetof(TRunnerControlBlock, Flag70) == 70, "offset");
static_assert(offsetof(TRunnerControlBlock, Flag71) == 71, "offset");
static_assert(offsetof(TRunnerControlBlock, Flag72) == 72, "offset");
static_assert(offsetof(TRunnerControlBlock, WindowsKeyFilter) == 73, "offset");
static_assert(offsetof(TRunnerControlBlock, ScreenSaverOff) == 74, "offset");
static_assert(offsetof(TRunnerControlBlock, RunnerThreadId) == 76, "offset");
static_assert(offsetof(TRunnerControlBlock, ExitOnEsc) == 80, "offset");
static_assert(offsetof(TRunnerControlBlock, CloseItem) == 81, "offset");
static_assert(offsetof(TRunnerControlBlock, SetupItem) == 82, "offset");
static_assert(offsetof(TRunnerControlBlock, MenuOpen) == 83, "offset");
static_assert(offsetof(TRunnerControlBlock, Draggable) == 84, "offset");
static_assert(offsetof(TRunnerControlBlock, Value88) == 88, "offset");
static_assert(offsetof(TRunnerControlBlock, Ready) == 96, "offset");
static_assert(offsetof(TRunnerControlBlock, HideCursor) == 97, "offset");
static_assert(offsetof(TRunnerControlBlock, MinimizeItem) == 98, "offset");
static_assert(offsetof(TRunnerControlBlock, LibraryFlag) == 99, "offset");
static_assert(offsetof(TRunnerControlBlock, Supervising) == 100, "offset");
static_assert(offsetof(TRunnerControlBlock, RunnerProcessId) == 104, "offset");
static_assert(offsetof(TRunnerControlBlock, InitialDir) == 116, "offset");
static_assert(offsetof(TRunnerControlBlock, BrowserCommand) == 372, "offset");
static_assert(offsetof(TRunnerControlBlock, DdeApplication) == 628, "offset");
static_assert(offsetof(TRunnerControlBlock, DdeTopic) == 884, "offset");
static_assert(offsetof(TRunnerControlBlock, RestyleInProgress) == 1142, "offset");
static_assert(offsetof(TRunnerControlBlock, NewProjector) == 1143, "offset");
static_assert(offsetof(TRunnerControlBlock, MenuItemsToDelete) == 1144, "offset");
static_assert(offsetof(TRunnerControlBlock, ProjectorVersion) == 1344, "offset");
static_assert(offsetof(TRunnerControlBlock, ProjectorThreadId) == 1348, "offset");

// Handles as the block stores them, 32 bits wide (all a window or hook handle uses),
// and read back sign-extended, as the system widens them.
template <typename Handle>
uint32_t ToBlock(Handle handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}
template <typename Handle>
Handle FromBlock(uint32_t value) {
    return reinterpret_cast<Handle>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

// Length-prefixed text: text longer than 255 characters is cut to its first 255.
void WriteBlockText(TBlockText& field, const std::string& text);
std::string ReadBlockText(const TBlockText& field);

// "_QGL_RT", followed by the run number in decimal when it is not 0.
std::string InstanceTagForRunNumber(int32_t runNumber);
// The tag of the session whose run directory has this folder name: "Qgl_Rt" (letter
// case aside) optionally followed by decimal digits. Empty when the name is no run directory.
std::string InstanceTagFromRunDirName(const std::string& folderName);
// The tag of the session whose hook library has this full path (the folder it lies in).
std::string InstanceTagFromModulePath(const std::string& modulePath);

std::string MappingName(const std::string& instanceTag);
std::string RunnerMessageName(const std::string& instanceTag);

// Every store the runner makes to the shared block: through volatile, so that the
// compiler keeps them in program order and the library in another process sees them
// in that order.
template <typename T>
void StoreToBlock(T& field, T value) {
    *const_cast<volatile T*>(&field) = value;
}
inline void StoreFlagToBlock(uint8_t& field, bool on) { StoreToBlock<uint8_t>(field, on ? 1 : 0); }

}  // namespace quindle
