// The packaged runner's dialogs come up with Common Controls 6, which its manifest asks
// for: its process loaded the comctl32 of version 6, and the controls of its password
// and setup dialogs answer messages that only version 6 knows. Those messages carry
// pointers, so their buffers are made in the runner's own memory.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "resources/dialogs.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"
#include "window/HashPassword.h"

namespace harness {
namespace {

// A buffer in another process's memory, for the pointer a message carries there.
class TRemoteBuffer {
public:
    TRemoteBuffer(DWORD pid, size_t size)
        : process_(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)),
          size_(size),
          address_(process_ ? ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE) : nullptr) {}
    ~TRemoteBuffer() {
        if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) ::CloseHandle(process_);
    }
    TRemoteBuffer(const TRemoteBuffer&) = delete;
    TRemoteBuffer& operator=(const TRemoteBuffer&) = delete;

    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    bool Write(const void* data, size_t size) {
        return address_ && size <= size_ && ::WriteProcessMemory(process_, address_, data, size, nullptr);
    }
    bool Read(void* data, size_t size) const {
        return address_ && size <= size_ && ::ReadProcessMemory(process_, address_, data, size, nullptr);
    }

private:
    HANDLE process_;
    size_t size_;
    void* address_;
};

// The runner's process has loaded comctl32 from the side-by-side Common Controls 6
// assembly, not the version 5 one of the system folder. (Wine's copy there carries the
// version information of version 5; its behaviour is version 6, as the messages show.)
void ExpectCommonControls6Loaded(DWORD pid) {
    const std::optional<std::string> comctl32 = LoadedModule(pid, "comctl32.dll");
    ASSERT_TRUE(comctl32.has_value()) << "the runner has no comctl32 loaded";
    std::string lower = *comctl32;
    ::CharLowerA(&lower[0]);
    EXPECT_NE(lower.find("_microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << *comctl32;
}

TEST(CommonControls, ThePasswordDialogsEditAnswersTheCueBannerMessages) {
    PresentationSpec spec;
    spec.Name = "CommonControlsLocked";
    spec.Ini = "[Settings]\r\nPassword=1\r\nAlignmentX=" + std::to_string(quindle::HashPassword("open")) + "\r\n";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    Program runner = show.Start();
    const auto dialog = WaitForDialog(runner.Pid());
    ASSERT_TRUE(dialog.has_value()) << "no password dialog";
    ExpectCommonControls6Loaded(runner.Pid());

    const HWND edit = ::GetDlgItem(dialog->Window, IDC_PW_EDIT);
    ASSERT_NE(edit, nullptr);
    const std::wstring cue = L"password";
    TRemoteBuffer buffer(runner.Pid(), 64 * sizeof(wchar_t));
    ASSERT_TRUE(buffer.Write(cue.c_str(), (cue.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(::SendMessageW(edit, EM_SETCUEBANNER, FALSE, buffer.Address()), TRUE);
    const wchar_t cleared[64] = {};
    ASSERT_TRUE(buffer.Write(cleared, sizeof cleared));
    EXPECT_EQ(::SendMessageW(edit, EM_GETCUEBANNER, WPARAM(buffer.Address()), 64), TRUE);
    wchar_t readBack[64] = {};
    ASSERT_TRUE(buffer.Read(readBack, sizeof readBack));
    EXPECT_EQ(std::wstring(readBack), cue);

    ASSERT_TRUE(PressButton(*dialog, "Cancel"));
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));
}

TEST(CommonControls, TheSetupDialogsCheckBoxesAnswerTheIdealSizeMessage) {
    PresentationSpec spec;
    spec.Name = "CommonControlsSetup";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    Program runner = show.Start({}, "/C");
    const auto dialog = WaitForDialog(runner.Pid());
    ASSERT_TRUE(dialog.has_value()) << "no setup dialog";
    ExpectCommonControls6Loaded(runner.Pid());

    const HWND box = ::GetDlgItem(dialog->Window, IDC_SETUP_MOUSE);
    ASSERT_NE(box, nullptr);
    TRemoteBuffer buffer(runner.Pid(), sizeof(SIZE));
    const SIZE none{0, 0};
    ASSERT_TRUE(buffer.Write(&none, sizeof none));
    EXPECT_EQ(::SendMessageW(box, BCM_GETIDEALSIZE, 0, buffer.Address()), TRUE);
    SIZE ideal{};
    ASSERT_TRUE(buffer.Read(&ideal, sizeof ideal));
    EXPECT_GT(ideal.cx, 0);
    EXPECT_GT(ideal.cy, 0);

    ::PostMessageA(dialog->Window, WM_CLOSE, 0, 0);
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace harness
