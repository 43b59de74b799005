// A presentation packed with "quindle-pack pack --password" and a password outside ASCII,
// opened by typing that password into the runner's own dialog. The runner hashes the
// text it reads back from the edit control in the system's ANSI code page, which the
// tool targets by default (1252).
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "resources/dialogs.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

const wchar_t kPassword[] = L"Gr\u00fc\u00dfe";  // Grüße
// The UTF-8 bytes of the password read as code page 1252 ("GrÃ¼ÃŸe"): the text whose
// hash the tool used to store.
const wchar_t kUtf8Misread[] = L"Gr\u00c3\u00bc\u00c3\u0178e";

std::string InSystemCodePage(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n > 0 ? n : 1), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &bytes[0], n, nullptr, nullptr);
    bytes.pop_back();  // the terminating zero
    return bytes;
}

// The two ways a keystroke can reach the edit control: the ANSI character through the
// A procedure, or the Unicode character through the W one.
enum class Typing { AnsiBytes, Unicode };

void Type(HWND edit, const std::wstring& text, Typing how) {
    if (how == Typing::AnsiBytes) {
        TypeText(edit, InSystemCodePage(text));
    } else {
        for (wchar_t c : text) ::PostMessageW(edit, WM_CHAR, c, 1);
    }
}

struct Attempt {
    std::wstring text;
    Typing how;
};

struct PackedPasswordCase {
    const char* name;
    std::vector<Attempt> attempts;  // confirmed with OK; all but a right last one are refused
    bool shows;                     // the last attempt is right; otherwise the next dialog is cancelled
};
void PrintTo(const PackedPasswordCase& c, std::ostream* os) { *os << c.name; }

class PackedPassword : public ::testing::TestWithParam<PackedPasswordCase> {};

// One attempt in the runner's dialog, and the error box when it is refused.
void Enter(DWORD pid, const Attempt& attempt, bool refused) {
    const auto dialog = WaitForDialog(pid);
    ASSERT_TRUE(dialog.has_value()) << "no password dialog";
    const HWND edit = ::GetDlgItem(dialog->Window, IDC_PW_EDIT);
    ASSERT_NE(edit, nullptr);
    Type(edit, attempt.text, attempt.how);
    ASSERT_TRUE(PressButton(*dialog, "OK"));
    if (!refused) return;
    const auto box = WaitForDialog(pid);
    ASSERT_TRUE(box.has_value()) << "no error box after a wrong password";
    EXPECT_EQ(box->Caption, "Error");
    EXPECT_EQ(box->Text, "Wrong password!");
    ASSERT_TRUE(PressButton(*box, "OK"));
}

TEST_P(PackedPassword, OpensOnlyWithThePasswordItWasPackedWith) {
    // The keyboard's characters reach the runner in this code page; the tool hashes for 1252.
    ASSERT_EQ(::GetACP(), 1252u);
    const PackedPasswordCase& c = GetParam();
    PresentationSpec spec;
    spec.Name = std::string("Locked") + c.name;
    spec.Ini = "[Settings]\r\nZantic Screen Name=Locked Show\r\n";
    spec.PackOptions = "--password \"" + InSystemCodePage(kPassword) + "\"";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    EXPECT_EQ(show.PackOutput().find(InSystemCodePage(kPassword)), std::string::npos) << show.PackOutput();

    Program runner = show.Start();
    for (size_t i = 0; i < c.attempts.size(); ++i) {
        const bool last = i + 1 == c.attempts.size();
        Enter(runner.Pid(), c.attempts[i], !(last && c.shows));
        if (HasFatalFailure()) return;
    }
    if (c.shows) {
        const HWND runnerWnd = WaitForRunnerWindow(runner.Pid());
        ASSERT_NE(runnerWnd, nullptr);
        EXPECT_NE(WaitForEmbeddedProjector(runnerWnd), nullptr) << "the show did not start";
        ::PostMessageA(runnerWnd, WM_USER + 12, 0, 0);
    } else {
        const auto dialog = WaitForDialog(runner.Pid());
        ASSERT_TRUE(dialog.has_value()) << "no further password dialog";
        ASSERT_TRUE(PressButton(*dialog, "Cancel"));
    }
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(show.ReportValue("module").empty(), !c.shows) << "the projector started: " << c.shows;
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000));
}

INSTANTIATE_TEST_SUITE_P(
    Runner, PackedPassword,
    ::testing::Values(PackedPasswordCase{"TypedAsAnsiBytes", {{kPassword, Typing::AnsiBytes}}, true},
                      PackedPasswordCase{"TypedAsUnicode", {{kPassword, Typing::Unicode}}, true},
                      PackedPasswordCase{"Utf8MisreadRefusedThenRight",
                                         {{kUtf8Misread, Typing::AnsiBytes}, {kPassword, Typing::Unicode}},
                                         true},
                      PackedPasswordCase{"WithoutUmlautsRefused", {{L"Grusse", Typing::AnsiBytes}}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harness
