// The dialog templates as linked into the program: styles, font, places and controls.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resources/dialogs.h"

namespace quindle {
namespace {

struct Control {
    int id;
    std::string cls;  // a predefined class, by name
    std::string text;
    DWORD style;
    short x, y, cx, cy;
    bool operator==(const Control& o) const {
        return id == o.id && cls == o.cls && text == o.text && style == o.style && x == o.x && y == o.y && cx == o.cx &&
               cy == o.cy;
    }
};
std::ostream& operator<<(std::ostream& out, const Control& c) {
    return out << c.id << " " << c.cls << " \"" << c.text << "\" " << std::hex << c.style << std::dec << " " << c.x
               << "," << c.y << " " << c.cx << "x" << c.cy;
}

struct Template {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string title, face;
    WORD pointSize = 0;
    std::vector<Control> controls;
};

// Reads a classic (not extended) dialog template: a header, menu, class, title and
// font, then each control aligned to four bytes.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : p_(data) {}
    Template Read() {
        Template t;
        t.style = Dword();
        t.exStyle = Dword();
        const WORD count = Word();
        t.x = Short(), t.y = Short(), t.cx = Short(), t.cy = Short();
        NameOrId();  // menu
        NameOrId();  // class
        t.title = Text();
        if (t.style & DS_SETFONT) {
            t.pointSize = Word();
            t.face = Text();
        }
        for (WORD i = 0; i < count; ++i) {
            Align();
            Control c{};
            c.style = Dword();
            Dword();  // extended style
            c.x = Short(), c.y = Short(), c.cx = Short(), c.cy = Short();
            c.id = Word();
            c.cls = NameOrId();
            c.text = NameOrId();
            p_ += Word();  // creation data
            t.controls.push_back(c);
        }
        return t;
    }

private:
    WORD Word() {
        WORD v;
        memcpy(&v, p_, 2);
        p_ += 2;
        return v;
    }
    short Short() { return static_cast<short>(Word()); }
    DWORD Dword() {
        DWORD v;
        memcpy(&v, p_, 4);
        p_ += 4;
        return v;
    }
    std::string Text() {
        std::string s;
        for (WORD c = Word(); c; c = Word()) s += static_cast<char>(c);
        return s;
    }
    std::string NameOrId() {
        WORD first;
        memcpy(&first, p_, 2);
        if (first != 0xFFFF) return Text();
        p_ += 2;
        switch (const WORD atom = Word()) {
            case 0x80:
                return "BUTTON";
            case 0x81:
                return "EDIT";
            case 0x82:
                return "STATIC";
            default:
                return "#" + std::to_string(atom);
        }
    }
    void Align() { p_ = reinterpret_cast<const BYTE*>((reinterpret_cast<uintptr_t>(p_) + 3) & ~uintptr_t(3)); }
    const BYTE* p_;
};

Template Load(const char* name) {
    const HMODULE module = ::GetModuleHandleA(nullptr);
    const HRSRC info = ::FindResourceA(module, name, MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!info) return {};
    return TemplateReader(static_cast<const BYTE*>(::LockResource(::LoadResource(module, info)))).Read();
}

// Both dialogs sit at 18,39 with the control-parent extended style and the one-point
// "MS Sans Serif" template font.
void ExpectFrame(const Template& t, DWORD style, short cx, short cy, const std::string& title) {
    EXPECT_EQ(t.style, style);
    EXPECT_EQ(t.exStyle, DWORD(WS_EX_CONTROLPARENT));
    EXPECT_EQ(t.x, 18);
    EXPECT_EQ(t.y, 39);
    EXPECT_EQ(t.cx, cx);
    EXPECT_EQ(t.cy, cy);
    EXPECT_EQ(t.title, title);
    EXPECT_EQ(t.pointSize, 1);
    EXPECT_EQ(t.face, "MS Sans Serif");
}

TEST(DialogTemplates, PasswordDialog) {
    const Template t = Load("PW_DIALOG");
    ExpectFrame(t, 0x16C80040u, 190, 45, "Enter password");
    const std::vector<Control> expected = {
        {IDC_PW_EDIT, "EDIT", "", 0x50810020, 8, 12, 177, 12},
        {IDC_PW_LABEL, "STATIC", "Password:", 0x5000000C, 8, 2, 170, 8},
        {IDC_PW_OK, "BUTTON", "OK", 0x50010000, 104, 28, 37, 14},
        {IDC_PW_CANCEL, "BUTTON", "Cancel", 0x50010000, 148, 28, 37, 14},
    };
    EXPECT_EQ(t.controls, expected);
}

TEST(DialogTemplates, SetupDialog) {
    const Template t = Load("SETUP_DIALOG");
    ExpectFrame(t, WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | DS_SETFONT, 209, 87,
                "Setup");
    const DWORD box = WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX;
    const DWORD label = WS_CHILD | WS_VISIBLE;
    ASSERT_EQ(t.controls.size(), 10u);
    const std::vector<Control> expected = {
        {IDC_SETUP_KEYS, "BUTTON", "Keyboard interaction", box, 11, 56, 100, 12},
        {IDC_SETUP_MENU, "BUTTON", "Display right-click menu", box, 11, 45, 111, 12},
        {IDC_SETUP_MOUSE, "BUTTON", "Mouse interaction", box | WS_VISIBLE, 11, 34, 103, 12},
        {IDC_SETUP_NOTICE, "STATIC", t.controls[3].text, label | SS_CENTER, 57, 6, 120, 17},
        {IDC_SETUP_SOUND, "BUTTON", "Sound mute", box, 146, 34, 60, 12},
        {IDC_SETUP_MIDI, "BUTTON", "Midi mute", box, 146, 45, 60, 12},
        {IDC_SETUP_ICON, "STATIC", "", label | SS_ICON, 6, 4, 18, 20},
        {IDC_SETUP_VERSION, "STATIC", "v.1.1c", label | SS_LEFT, 5, 76, 42, 8},
        {IDC_SETUP_STATUS, "STATIC", "", label | SS_LEFT, 53, 76, 167, 8},
        {IDC_SETUP_SEPARATOR, "STATIC", "", label | SS_WHITERECT, 6, 29, 201, 1},
    };
    EXPECT_EQ(t.controls, expected);
    EXPECT_FALSE(t.controls[3].text.empty());
}

}  // namespace
}  // namespace quindle
