// The password dialog in this process: typed entries, the buttons and Enter, the error
// boxes between attempts, its title, label, icon and place, and that nothing is left.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "resources/dialogs.h"
#include "window/HashPassword.h"
#include "window/win32/PasswordDialog.h"

namespace quindle {
namespace {

using dialogtest::NextDialog;
using dialogtest::SettledCaption;

const char kTitle[] = "Grand Tour";
const char kRight[] = "Open Sesame";

TProjectSettings Protected() {
    TProjectSettings p;
    p.AsksPassword = true;
    p.PasswordHash = HashPassword(kRight);
    p.PasswordPrompt = "Say the word:";
    p.WrongPasswordText = "Not this one!";
    return p;
}

// One attempt as the user makes it.
struct Entry {
    std::string text;
    enum How { OkButton, CancelButton, EnterKey } how = OkButton;
};

// The watcher's side of one check: each entry in the dialog, and after each refused
// one the error box, whose texts and owner are recorded.
struct Session {
    HWND owner = nullptr;
    std::vector<Entry> entries;
    size_t expectedBoxes = 0;
    std::vector<HWND> dialogs;
    std::vector<std::string> captions;

    bool Run() {
        for (size_t i = 0; i < entries.size(); ++i) {
            const auto dialog = NextDialog();
            if (!dialog) return false;
            dialogs.push_back(dialog->Window);
            captions.push_back(SettledCaption(dialog->Window));
            const HWND edit = ::GetDlgItem(dialog->Window, IDC_PW_EDIT);
            harness::TypeText(edit, entries[i].text);
            switch (entries[i].how) {
                case Entry::OkButton:
                    if (!harness::PressButton(*dialog, "OK")) return false;
                    break;
                case Entry::CancelButton:
                    if (!harness::PressButton(*dialog, "Cancel")) return false;
                    break;
                case Entry::EnterKey:
                    ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
                    if (!harness::WaitUntil([&] { return !::IsWindow(dialog->Window); }, 10000)) return false;
                    break;
            }
            if (i < expectedBoxes) {
                const auto box = NextDialog();
                if (!box) return false;
                EXPECT_EQ(box->Caption, "Error");
                EXPECT_EQ(box->Text, "Not this one!");
                EXPECT_EQ(::GetWindow(box->Window, GW_OWNER), owner);
                if (!harness::PressButton(*box, "OK")) return false;
            }
        }
        return true;
    }
};

struct PasswordCase {
    const char* name;
    std::vector<Entry> entries;
    size_t boxes;
    bool accepted;
};

class PasswordDialogTest : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordDialogTest, AttemptsEndAsTheUserAnswers) {
    const PasswordCase& c = GetParam();
    dialogtest::OwnerWindow owner;
    dialogtest::TestCycle cycle;
    Session session{owner.get(), c.entries, c.boxes, {}, {}};
    dialogtest::Watcher watcher([&] { return session.Run(); });
    const bool accepted = CheckPresentationPassword(owner.get(), Protected(), kTitle, cycle.Pump());
    ASSERT_TRUE(watcher.Finish()) << "the dialogs did not go as scripted";
    EXPECT_EQ(accepted, c.accepted);
    EXPECT_EQ(session.dialogs.size(), c.entries.size());
    for (const std::string& caption : session.captions) EXPECT_EQ(caption, kTitle);
    for (HWND dialog : session.dialogs) EXPECT_FALSE(::IsWindow(dialog));
}

const std::string kPadded = std::string("  ") + kRight + "   ";

INSTANTIATE_TEST_SUITE_P(
    Entries, PasswordDialogTest,
    ::testing::Values(
        PasswordCase{"RightOnTheThirdAttempt", {{"guess"}, {"open sesame"}, {kRight}}, 2, true},
        PasswordCase{"ThreeWrongOnes", {{"a"}, {"b"}, {"c"}}, 3, false},
        PasswordCase{"CancelFirst", {{kRight, Entry::CancelButton}}, 0, false},
        PasswordCase{"CanCelTypedAndConfirmed", {{"CanCel"}}, 0, false},
        PasswordCase{"BlanksAroundTheRightPassword", {{kPadded}}, 0, true},
        PasswordCase{"AnotherLetterCaseRefused", {{"OPEN SESAME"}, {"open Sesame", Entry::CancelButton}}, 1, false},
        PasswordCase{"EnterConfirms", {{kRight, Entry::EnterKey}}, 0, true},
        PasswordCase{"EnterConfirmsAWrongOneToo", {{"nope", Entry::EnterKey}, {kRight}}, 1, true}),
    [](const ::testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.name); });

// What the dialog shows, read while it is open.
struct Appearance {
    std::string caption, label;
    RECT rect{};
    LOGFONTA labelFont{};
    HICON icon = nullptr;
    HWND owner = nullptr;
};

TEST(PasswordDialog, TitledCentredWithItsBoldLabelAndIcon) {
    dialogtest::OwnerWindow owner;
    dialogtest::TestCycle cycle;
    Appearance seen;
    dialogtest::Watcher watcher([&] {
        const auto dialog = NextDialog();
        if (!dialog) return false;
        seen.caption = SettledCaption(dialog->Window);
        seen.label = harness::WindowText(::GetDlgItem(dialog->Window, IDC_PW_LABEL));
        ::GetWindowRect(dialog->Window, &seen.rect);
        const HFONT font =
            reinterpret_cast<HFONT>(::SendDlgItemMessageA(dialog->Window, IDC_PW_LABEL, WM_GETFONT, 0, 0));
        ::GetObjectA(font, sizeof seen.labelFont, &seen.labelFont);
        seen.icon = reinterpret_cast<HICON>(::SendMessageA(dialog->Window, WM_GETICON, ICON_BIG, 0));
        seen.owner = ::GetWindow(dialog->Window, GW_OWNER);
        return harness::PressButton(*dialog, "Cancel");
    });
    const std::string answer = AskPassword(owner.get(), kTitle, "Say the word:", cycle.Pump());
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(answer, kPasswordCancelMarker);
    EXPECT_EQ(seen.caption, kTitle);
    EXPECT_EQ(seen.label, "Say the word:");
    EXPECT_EQ(seen.owner, owner.get());
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const LONG width = seen.rect.right - seen.rect.left;
    const LONG height = seen.rect.bottom - seen.rect.top;
    EXPECT_EQ(seen.rect.left, work.left + (work.right - work.left) / 2 - width / 2);
    EXPECT_EQ(seen.rect.top, work.top + (work.bottom - work.top) / 2 - height / 2);
    EXPECT_EQ(seen.labelFont.lfWeight, FW_BOLD);
    EXPECT_EQ(seen.labelFont.lfHeight, 12);
    EXPECT_STREQ(seen.labelFont.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(seen.icon, ::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON"));
    EXPECT_NE(seen.icon, nullptr);
}

TEST(PasswordDialog, ConfirmedTextComesBackAsTyped) {
    dialogtest::TestCycle cycle;
    const std::string typed = "  mixed Case & blanks ";
    dialogtest::Watcher watcher([&] {
        const auto dialog = NextDialog();
        if (!dialog) return false;
        SettledCaption(dialog->Window);
        harness::TypeText(::GetDlgItem(dialog->Window, IDC_PW_EDIT), typed);
        return harness::PressButton(*dialog, "OK");
    });
    const std::string answer = AskPassword(nullptr, kTitle, "Say the word:", cycle.Pump());
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(answer, typed);
}

TEST(PasswordDialog, CaptionCloseButtonAndQuitCountAsCancel) {
    for (const bool byQuit : {false, true}) {
        dialogtest::TestCycle cycle;
        const DWORD testThread = ::GetCurrentThreadId();
        HWND shown = nullptr;
        dialogtest::Watcher watcher([&] {
            const auto dialog = NextDialog();
            if (!dialog) return false;
            shown = dialog->Window;
            SettledCaption(dialog->Window);
            harness::TypeText(::GetDlgItem(dialog->Window, IDC_PW_EDIT), kRight);
            if (byQuit) {
                ::PostThreadMessageA(testThread, WM_QUIT, 0, 0);
            } else {
                ::PostMessageA(dialog->Window, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return harness::WaitUntil([&] { return !::IsWindow(dialog->Window); }, 10000);
        });
        const std::string answer = AskPassword(nullptr, kTitle, "Say the word:", cycle.Pump());
        ASSERT_TRUE(watcher.Finish()) << byQuit;
        EXPECT_EQ(answer, kPasswordCancelMarker) << byQuit;
        EXPECT_FALSE(::IsWindow(shown)) << byQuit;
    }
}

// The polling wait, kept for the benchmark, serves the dialog just the same.
TEST(PasswordDialog, PollingWaitAnswersAlike) {
    ::SetEnvironmentVariableA("QUINDLE_DIALOG_POLLING", "1");
    dialogtest::TestCycle cycle;
    dialogtest::Watcher watcher([&] {
        const auto dialog = NextDialog();
        if (!dialog) return false;
        SettledCaption(dialog->Window);
        harness::TypeText(::GetDlgItem(dialog->Window, IDC_PW_EDIT), kRight);
        return harness::PressButton(*dialog, "OK");
    });
    const bool accepted = CheckPresentationPassword(nullptr, Protected(), kTitle, cycle.Pump());
    ::SetEnvironmentVariableA("QUINDLE_DIALOG_POLLING", nullptr);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_TRUE(accepted);
}

}  // namespace
}  // namespace quindle
