// The setup dialog in this process, loading a real session's ini and the real registry:
// which boxes it shows, where, checked and enabled; clicks; the saved values and the
// changed flag; its look; the password in front of it.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "package/win32/Win32ArchiveFiles.h"
#include "package/win32/Win32RunDirFiles.h"
#include "resources/dialogs.h"
#include "settings/win32/Win32RegionalFormats.h"
#include "settings/win32/Win32RegistryStore.h"
#include "runner/SetupSettings.h"
#include "setup/win32/SetupDialog.h"
#include "tests/unit/package_archive_builder.h"
#include "window/HashPassword.h"
#include "window/win32/PasswordDialog.h"

namespace quindle {
namespace {

using dialogtest::NextDialog;
using dialogtest::SettledCaption;

const char kSection[] = "QuindleSetupWineTest";
const std::string kSectionKey = std::string("Software\\Nimbrel Soft\\") + kSection;

class OwnArchive : public TWin32ArchiveFileSystem {
public:
    std::string Path;
    std::string OwnExecutablePath() override { return Path; }
};

// A packed presentation whose ini holds the given [Settings] lines, the registry
// section with the given values, and the dialog run over both.
// The dialog while Run serves it, as the runner object keeps it for its window's rows.
TSetupDialog* servedDialog = nullptr;

class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness::RegDeleteTree(kSectionKey);
        archive_.Path = dir_.Path() + "Tour.exe";
        ASSERT_TRUE(harness::RegSetString(kSectionKey, "Zantic Temp Directory", dir_.Path()));
    }
    void TearDown() override { harness::RegDeleteTree(kSectionKey); }

    void Project(const std::string& settingsLines, const std::map<std::string, std::string>& registry = {}) {
        testing::ArchiveBuilder builder(4096);
        builder.AddSession("Session1",
                           {{"Presentation.exe", "MZ"},
                            {"Project.ini", "[Settings]\r\nZantic Screen Name=Grand Tour\r\n" + settingsLines}});
        ASSERT_TRUE(harness::WriteFile(archive_.Path, builder.Text()));
        for (const auto& [name, value] : registry) ASSERT_TRUE(harness::RegSetString(kSectionKey, name, value));
    }

    // Runs the dialog while script drives it from the watcher thread; the choices are
    // saved through saveTo, the section's own store unless given.
    bool Run(const std::function<bool()>& script, IRegistryStore* saveTo = nullptr) {
        TSetupSettingsSources sources{archive_,
                                      files_,
                                      registry_,
                                      harness::TempPath(),
                                      "Tour",
                                      [](const std::string& path) {
                                          return std::make_unique<TMemIniFile>(path, SystemRegionalFormats()); }};
        TSetupDialogHost host;
        host.Owner = owner_.get();
        host.Registry = saveTo ? saveTo : &registry_;
        host.LoadSettings = [&](TProjectSettings& options) { LoadSetupSettings(sources, presentation_, options); };
        host.CheckPassword = [&] {
            return CheckPresentationPassword(owner_.get(), presentation_, options_.Title, cycle_.Pump());
        };
        host.Pump = cycle_.Pump();
        dialogtest::Watcher watcher(script);
        TSetupDialog dialog(host, options_);
        servedDialog = &dialog;
        const bool changed = dialog.Run();
        servedDialog = nullptr;
        EXPECT_TRUE(watcher.Finish()) << "the dialogs did not go as scripted";
        EXPECT_EQ(dialog.Dialog(), nullptr) << "its window is gone once Run returns";
        return changed;
    }

    std::optional<std::string> Stored(const std::string& name) { return harness::RegGetString(kSectionKey, name); }

    harness::ScratchDir dir_{"qsetup"};
    OwnArchive archive_;
    TWin32RunDirFiles files_;
    TWin32RegistryStore registry_{kSection};
    dialogtest::OwnerWindow owner_;
    dialogtest::TestCycle cycle_;
    TProjectSettings presentation_;
    TProjectSettings options_;
};

// One check box as the watcher sees it.
struct Box {
    bool shown = false;
    bool enabled = false;
    bool checked = false;
    POINT place{};  // client coordinates
    bool operator==(const Box& o) const {
        return shown == o.shown && enabled == o.enabled && checked == o.checked && place.x == o.place.x &&
               place.y == o.place.y;
    }
};
std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << (b.shown ? "shown" : "hidden") << (b.enabled ? " enabled" : " disabled")
               << (b.checked ? " checked" : " unchecked") << " at " << b.place.x << "," << b.place.y;
}

Box ReadBox(HWND dialog, int id) {
    const HWND control = ::GetDlgItem(dialog, id);
    Box box;
    box.shown = (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
    box.enabled = ::IsWindowEnabled(control) != FALSE;
    box.checked = ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    box.place = {rect.left, rect.top};
    return box;
}

// A place in dialog units, in the dialog's pixels.
POINT Pixels(HWND dialog, int left, int top) {
    RECT rect{left, top, left, top};
    ::MapDialogRect(dialog, &rect);
    return {rect.left, rect.top};
}

// The setup dialog once it is set up and served.
std::optional<harness::Dialog> SetupDialogShown(std::string* caption = nullptr) {
    auto dialog = NextDialog();
    if (!dialog) return dialog;
    const std::string settled = SettledCaption(dialog->Window);
    if (caption) *caption = settled;
    return dialog;
}

bool CloseDialog(HWND dialog) {
    ::PostMessageA(dialog, WM_CLOSE, 0, 0);
    return harness::WaitUntil([dialog] { return !::IsWindow(dialog); }, 10000);
}

struct LayoutCase {
    const char* name;
    std::string settings;
    std::map<std::string, std::string> registry;
    // Per box id: shown, enabled, checked, and its place in dialog units.
    std::map<int, std::tuple<bool, bool, bool, int, int>> boxes;
};

class SetupLayoutTest : public SetupDialogTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(SetupLayoutTest, BoxesFollowTheProjectAndTheRegistry) {
    const LayoutCase& c = GetParam();
    Project("Password=0\r\n" + c.settings, c.registry);
    std::map<int, Box> seen, expected;
    std::string caption;
    Run([&] {
        const auto dialog = SetupDialogShown(&caption);
        if (!dialog) return false;
        for (const auto& [id, want] : c.boxes) {
            const auto [shown, enabled, checked, left, top] = want;
            expected[id] = {shown, enabled, checked, Pixels(dialog->Window, left, top)};
            seen[id] = ReadBox(dialog->Window, id);
        }
        return CloseDialog(dialog->Window);
    });
    EXPECT_EQ(caption, "Grand Tour - Setup");
    for (const auto& [id, box] : expected) EXPECT_EQ(seen[id], box) << "box " << id;
}

// Template places: mouse 11,34; menu 11,45; keys 11,56; sound 146,34; MIDI 146,45.
INSTANTIATE_TEST_SUITE_P(
    Projects, SetupLayoutTest,
    ::testing::Values(
        LayoutCase{"AllLeftToTheUser",
                   "Sound=2\r\nMidi=2\r\nInteraction=2\r\nRightClickMenu=2\r\nKeyInteraction=2\r\n",
                   {{"MouseExit", "0"}, {"DisplayRightClickMenu", "0x1"}, {"Mute", "1"}, {"MidiMute", "0"}},
                   {{IDC_SETUP_MOUSE, {true, true, true, 11, 34}},
                    {IDC_SETUP_MENU, {true, true, true, 11, 45}},
                    {IDC_SETUP_KEYS, {true, true, true, 11, 56}},
                    {IDC_SETUP_SOUND, {true, true, true, 146, 34}},
                    {IDC_SETUP_MIDI, {true, true, false, 146, 45}}}},
        LayoutCase{"OnlySoundAndMidi",
                   "Sound=2\r\nMidi=2\r\nInteraction=1\r\nRightClickMenu=0\r\nKeyInteraction=0\r\n",
                   {{"MidiMute", "0x1"}},
                   {{IDC_SETUP_MOUSE, {false, true, true, 11, 34}},
                    {IDC_SETUP_SOUND, {true, true, false, 11, 34}},
                    {IDC_SETUP_MIDI, {true, true, true, 11, 45}}}},
        LayoutCase{"OnlyKeyboardAndMidi",
                   "Sound=1\r\nMidi=2\r\nInteraction=0\r\nRightClickMenu=0\r\nKeyInteraction=2\r\n",
                   {{"AnyKeyExit", "1"}},
                   {{IDC_SETUP_KEYS, {true, true, false, 11, 34}},
                    {IDC_SETUP_MIDI, {true, true, false, 146, 34}},
                    {IDC_SETUP_SOUND, {false, true, false, 146, 34}}}},
        LayoutCase{"MouseExitWithoutAValueDisablesTheMenuBox",
                   "Sound=1\r\nMidi=0\r\nInteraction=2\r\nRightClickMenu=2\r\nKeyInteraction=1\r\n",
                   {},
                   {{IDC_SETUP_MOUSE, {true, true, false, 11, 34}},
                    {IDC_SETUP_MENU, {true, false, false, 11, 45}},
                    {IDC_SETUP_KEYS, {false, true, true, 11, 56}}}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

const std::string kAllOpenOptions = "Sound=2\r\nMidi=2\r\nInteraction=2\r\nRightClickMenu=2\r\nKeyInteraction=2\r\n";
const std::string kAllOpen = "Password=0\r\n" + kAllOpenOptions;

TEST_F(SetupDialogTest, ClosingWithoutAChangeRewritesTheValuesUnchanged) {
    Project(kAllOpen, {{"MouseExit", "0x0"},
                       {"AnyKeyExit", "0"},
                       {"Mute", "0x1"},
                       {"MidiMute", "0"},
                       {"DisplayRightClickMenu", "1"}});
    const bool changed = Run([&] {
        const auto dialog = SetupDialogShown();
        return dialog && CloseDialog(dialog->Window);
    });
    EXPECT_FALSE(changed);
    const std::map<std::string, std::string> expected = {
        {"MouseExit", "0"}, {"AnyKeyExit", "0"}, {"Mute", "1"}, {"MidiMute", "0"}, {"DisplayRightClickMenu", "1"}};
    for (const auto& [name, value] : expected) EXPECT_EQ(Stored(name), value) << name;
}

TEST_F(SetupDialogTest, UntickingMouseInteractionDisablesTheMenuBoxAndIsSaved) {
    Project(kAllOpen, {{"MouseExit", "0"}, {"DisplayRightClickMenu", "1"}});
    Box menuAfterClick;
    const bool changed = Run([&] {
        const auto dialog = SetupDialogShown();
        if (!dialog) return false;
        if (!harness::ClickButton(::GetDlgItem(dialog->Window, IDC_SETUP_MOUSE))) return false;
        menuAfterClick = ReadBox(dialog->Window, IDC_SETUP_MENU);
        if (!harness::ClickButton(::GetDlgItem(dialog->Window, IDC_SETUP_SOUND))) return false;
        return CloseDialog(dialog->Window);
    });
    EXPECT_TRUE(changed);
    EXPECT_FALSE(menuAfterClick.enabled);
    EXPECT_TRUE(menuAfterClick.checked);
    const std::map<std::string, std::string> expected = {
        {"MouseExit", "1"}, {"AnyKeyExit", "0"}, {"Mute", "1"}, {"MidiMute", "0"}, {"DisplayRightClickMenu", "1"}};
    for (const auto& [name, value] : expected) EXPECT_EQ(Stored(name), value) << name;
}

TEST_F(SetupDialogTest, FixedOptionsAreWrittenWithTheProjectsValues) {
    // Only MIDI is left open; the others are saved as the project fixes them.
    Project("Password=0\r\nSound=0\r\nMidi=2\r\nInteraction=1\r\nRightClickMenu=0\r\nKeyInteraction=0\r\n");
    const bool changed = Run([&] {
        const auto dialog = SetupDialogShown();
        if (!dialog) return false;
        return harness::ClickButton(::GetDlgItem(dialog->Window, IDC_SETUP_MIDI)) && CloseDialog(dialog->Window);
    });
    EXPECT_FALSE(changed);  // nothing was stored before, so nothing differs
    const std::map<std::string, std::string> expected = {
        {"MouseExit", "0"}, {"AnyKeyExit", "1"}, {"Mute", "1"}, {"MidiMute", "1"}, {"DisplayRightClickMenu", "0"}};
    for (const auto& [name, value] : expected) EXPECT_EQ(Stored(name), value) << name;
}

TEST_F(SetupDialogTest, WhiteOnBlackWithTheIconInPlaceOfItsPlaceholder) {
    Project(kAllOpen);
    HWND placeholder = reinterpret_cast<HWND>(1);
    HICON icon = nullptr;
    LOGFONTA font{};
    LOGBRUSH brush{};
    COLORREF text = 0, background = 0;
    Run([&] {
        const auto dialog = SetupDialogShown();
        if (!dialog) return false;
        placeholder = ::GetDlgItem(dialog->Window, IDC_SETUP_ICON);
        icon = reinterpret_cast<HICON>(::SendMessageA(dialog->Window, WM_GETICON, ICON_BIG, 0));
        ::GetObjectA(reinterpret_cast<HFONT>(::SendDlgItemMessageA(dialog->Window, IDC_SETUP_NOTICE, WM_GETFONT, 0, 0)),
                     sizeof font, &font);
        const HDC dc = ::CreateCompatibleDC(nullptr);
        const auto answer = ::SendMessageA(dialog->Window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog->Window, IDC_SETUP_MOUSE)));
        ::GetObjectA(reinterpret_cast<HBRUSH>(answer), sizeof brush, &brush);
        text = ::GetTextColor(dc);
        background = ::GetBkColor(dc);
        ::DeleteDC(dc);
        return CloseDialog(dialog->Window);
    });
    EXPECT_EQ(placeholder, nullptr);
    EXPECT_EQ(icon, ::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON"));
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(0, 0, 0));
    EXPECT_EQ(text, RGB(255, 255, 255));
    EXPECT_EQ(background, RGB(0, 0, 0));
}

std::string PasswordLines() {
    return "Password=1\r\nAlignmentX=" + std::to_string(HashPassword("Open Sesame")) + "\r\n";
}

TEST_F(SetupDialogTest, RefusedPasswordClosesAtOnceAndStillSaves) {
    Project(PasswordLines() + "Sound=2\r\nMidi=1\r\nInteraction=2\r\nKeyInteraction=2\r\n",
            {{"Mute", "0x1"}, {"MouseExit", "0"}});
    std::string passwordCaption;
    const bool changed = Run([&] {
        const auto prompt = NextDialog();
        if (!prompt) return false;
        passwordCaption = SettledCaption(prompt->Window);
        return harness::PressButton(*prompt, "Cancel");
    });
    EXPECT_EQ(passwordCaption, "Grand Tour");
    EXPECT_FALSE(changed);
    // The values as loaded: the user's where open, the project's where fixed.
    EXPECT_EQ(Stored("Mute"), "1");
    EXPECT_EQ(Stored("MouseExit"), "0");
    EXPECT_EQ(Stored("MidiMute"), "1");
}

TEST_F(SetupDialogTest, RightPasswordOpensTheDialog) {
    Project(PasswordLines() + kAllOpenOptions);
    std::string caption;
    Run([&] {
        const auto prompt = NextDialog();
        if (!prompt) return false;
        SettledCaption(prompt->Window);
        harness::TypeText(::GetDlgItem(prompt->Window, IDC_PW_EDIT), "Open Sesame");
        if (!harness::PressButton(*prompt, "OK")) return false;
        const auto dialog = SetupDialogShown(&caption);
        return dialog && CloseDialog(dialog->Window);
    });
    EXPECT_EQ(caption, "Grand Tour - Setup");
}

// The runner window's part, played by a window of this thread: WM_APP closes the setup
// dialog being served, WM_APP + 1 gives it the focus; each answers whether it did so.
LRESULT CALLBACK RunnerStandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) return servedDialog && servedDialog->Close();
    if (message == WM_APP + 1) {
        // The dialog passes the focus on to one of its boxes.
        if (!servedDialog || !servedDialog->Focus()) return 0;
        const HWND dialog = servedDialog->Dialog();
        return ::GetFocus() == dialog || ::IsChild(dialog, ::GetFocus());
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(SetupDialogTest, TheRunnerWindowFocusesAndClosesAnOpenDialog) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &RunnerStandInProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuindleRunnerStandIn";
    ::RegisterClassA(&windowClass);
    const HWND runner = ::CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                          nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(runner, nullptr);
    Project(kAllOpen);
    DWORD_PTR focused = 0;
    HWND shown = nullptr;
    Run([&] {
        const auto dialog = SetupDialogShown();
        if (!dialog) return false;
        shown = dialog->Window;
        ::SendMessageTimeoutA(runner, WM_APP + 1, 0, 0, SMTO_NORMAL, 10000, &focused);
        DWORD_PTR closed = 0;
        ::SendMessageTimeoutA(runner, WM_APP, 0, 0, SMTO_NORMAL, 10000, &closed);
        return closed == 1 && harness::WaitUntil([&] { return !::IsWindow(dialog->Window); }, 10000);
    });
    EXPECT_EQ(focused, 1u);
    EXPECT_FALSE(::IsWindow(shown));
    // With no dialog open both leave things as they are.
    EXPECT_EQ(::SendMessageA(runner, WM_APP, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(runner, WM_APP + 1, 0, 0), 0);
    ::DestroyWindow(runner);
}

// The runner's store, asking on each write whether a setup dialog is still open. The
// choices are saved after the dialog's window is gone; a close or setup request coming
// meanwhile (from the runner's menu, say) must not be handed to that window and lost.
class AskingRegistry : public IRegistryStore {
public:
    explicit AskingRegistry(IRegistryStore& store) : store_(store) {}
    bool ReadString(const std::string& name, std::string& value) override { return store_.ReadString(name, value); }
    void WriteString(const std::string& name, const std::string& value) override {
        closeTaken.push_back(servedDialog && servedDialog->Close());
        focusTaken.push_back(servedDialog && servedDialog->Focus());
        store_.WriteString(name, value);
    }
    std::vector<bool> closeTaken, focusTaken;

private:
    IRegistryStore& store_;
};

TEST_F(SetupDialogTest, RequestsWhileTheChoicesAreSavedAreNotTakenByTheClosedDialog) {
    Project(kAllOpen);
    AskingRegistry asking(registry_);
    Run(
        [&] {
            const auto dialog = SetupDialogShown();
            return dialog && CloseDialog(dialog->Window);
        },
        &asking);
    ASSERT_FALSE(asking.closeTaken.empty()) << "nothing was saved";
    EXPECT_EQ(asking.closeTaken, std::vector<bool>(asking.closeTaken.size(), false));
    EXPECT_EQ(asking.focusTaken, std::vector<bool>(asking.focusTaken.size(), false));
}

}  // namespace
}  // namespace quindle
