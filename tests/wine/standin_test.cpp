// The stand-in projector as the runner meets it: its report, its menu in each wording,
// the full-screen switch, being taken in by another window, its version information,
// and its ways to end.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"
#include "tools/standin/Menus.h"

namespace {

using Report = std::multimap<std::string, std::string>;

Report ReadReport(const std::string& path) {
    Report report;
    std::istringstream lines(harness::ReadFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) report.emplace(line.substr(0, eq), line.substr(eq + 1));
    }
    return report;
}

std::vector<std::string> Values(const Report& report, const std::string& key) {
    std::vector<std::string> values;
    for (auto [it, end] = report.equal_range(key); it != end; ++it) values.push_back(it->second);
    return values;
}

class StandInTest : public ::testing::Test {
protected:
    // Starts the stand-in with a report file and the given test options; waits for its window.
    void Start(std::map<std::string, std::string> env = {}, bool expectWindow = true,
               const std::string& exe = "standin.exe") {
        reportPath_ = scratch_.Path() + "report.txt";
        env["STANDIN_REPORT"] = reportPath_;
        program_ = harness::Program::Start(harness::BinDir() + exe, "", env, scratch_.Path());
        ASSERT_TRUE(program_.Started());
        if (expectWindow) {
            window_ = harness::WaitForTopWindow("ShockwaveFlash", "", program_.Pid());
            ASSERT_NE(window_, nullptr);
        }
    }
    Report CurrentReport() const { return ReadReport(reportPath_); }
    bool ReportHas(const std::string& key, const std::string& value) const {
        for (const std::string& v : Values(CurrentReport(), key)) {
            if (v == value) return true;
        }
        return false;
    }
    bool WaitForReport(const std::string& key, const std::string& value) const {
        return harness::WaitUntil([&] { return ReportHas(key, value); });
    }

    harness::ScratchDir scratch_{"qstandin"};
    std::string reportPath_;
    harness::Program program_;
    HWND window_ = nullptr;
};

TEST_F(StandInTest, ReportsWhereAndHowItWasStarted) {
    Start({{"QuindleLocalDir_Engine", "C:\\Shows\\demo.exe"},
           {"QuindleEngine_ID", "77"},
           {"QuindleEngine_WH", "4242"},
           {"demo.exe", "4242"},
           {"QuindleLocalDir_Projector", "C:\\Temp\\Qgl_Rt\\show.exe"},
           {"QuindleLocalDir_RootDir", "C:\\Temp\\Qgl_Rt\\"},
           {"QuindleLocalDir_InitialDir", "C:\\Temp\\Qgl_Rt"}});
    ASSERT_TRUE(harness::WaitUntil([&] { return CurrentReport().count("window") == 1; }));
    const Report report = CurrentReport();
    EXPECT_EQ(Values(report, "module"), std::vector<std::string>{harness::BinDir() + "standin.exe"});
    std::string cwd = scratch_.Path();
    cwd.pop_back();
    EXPECT_EQ(Values(report, "cwd"), std::vector<std::string>{cwd});
    EXPECT_EQ(Values(report, "cmdline"), std::vector<std::string>{"\"" + harness::BinDir() + "standin.exe\""});
    EXPECT_EQ(Values(report, "pid"), std::vector<std::string>{std::to_string(program_.Pid())});
    const std::pair<const char*, const char*> env[] = {
        {"env.QuindleLocalDir_Engine", "C:\\Shows\\demo.exe"},
        {"env.QuindleEngine_ID", "77"},
        {"env.QuindleEngine_WH", "4242"},
        {"env.demo.exe", "4242"},
        {"env.QuindleLocalDir_Projector", "C:\\Temp\\Qgl_Rt\\show.exe"},
        {"env.QuindleLocalDir_RootDir", "C:\\Temp\\Qgl_Rt\\"},
        {"env.QuindleLocalDir_InitialDir", "C:\\Temp\\Qgl_Rt"},
    };
    for (const auto& [key, value] : env) EXPECT_EQ(Values(report, key), std::vector<std::string>{value}) << key;
    EXPECT_EQ(Values(report, "window"), std::vector<std::string>{std::to_string(reinterpret_cast<intptr_t>(window_))});
}

// Wine keeps menus inside their process, so another process cannot read the items;
// the stand-in reports its menu instead.
TEST_F(StandInTest, FramedWindowWithTheViewMenuInEachWording) {
    struct Case {
        const char* lang;
        const char* file;
        const char* view;
        const char* fullScreen;
    };
    const Case cases[] = {
        {"", "&File", "&View", "Full &Screen\tCtrl+F"},
        {"de", "&Datei", "&Ansicht", "&Vollbild\tStrg+F"},
        {"pt", "&Arquivo", "&Exibir", "&Tela Inteirathen\tCtrl+F"},
        {"fr", "&Fichier", "&Affichage",
         "&Plein \xe9"
         "cran\tCtrl+F"},
    };
    const std::string fullScreenId = std::to_string(standin::kFullScreenCommand);
    ASSERT_NE(fullScreenId, "20048");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lang);
        ::DeleteFileA((scratch_.Path() + "report.txt").c_str());
        Start({{"STANDIN_MENU_LANG", c.lang}});
        const LONG style = ::GetWindowLongA(window_, GWL_STYLE);
        EXPECT_TRUE(style & WS_THICKFRAME);
        EXPECT_TRUE(style & WS_CAPTION);
        EXPECT_NE(::GetMenu(window_), nullptr);
        ASSERT_TRUE(harness::WaitUntil([&] { return CurrentReport().count("window") == 1; }));
        const Report report = CurrentReport();
        EXPECT_EQ(Values(report, "menu"), (std::vector<std::string>{c.file, c.view}));
        const std::vector<std::string> items = Values(report, "menuitem");
        ASSERT_EQ(items.size(), 2u);
        EXPECT_EQ(items[1], fullScreenId + ":" + c.fullScreen);
        ::PostMessageA(window_, WM_CLOSE, 0, 0);
        EXPECT_EQ(program_.WaitExit(), std::optional<DWORD>(0));
    }
}

TEST_F(StandInTest, FullScreenCommandDropsFrameAndMenuAndIsReported) {
    Start();
    ::SendMessageA(window_, WM_COMMAND, standin::kFullScreenCommand, 0);
    const LONG style = ::GetWindowLongA(window_, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(::GetMenu(window_), nullptr);
    EXPECT_TRUE(::IsWindowVisible(window_));

    ::SendMessageA(window_, WM_COMMAND, standin::kExitCommand + 100, 0);  // unknown: reported only
    EXPECT_EQ(::GetMenu(window_), nullptr);

    ::SendMessageA(window_, WM_COMMAND, standin::kFullScreenCommand, 0);
    EXPECT_TRUE(::GetWindowLongA(window_, GWL_STYLE) & WS_CAPTION);
    EXPECT_NE(::GetMenu(window_), nullptr);

    ::SendMessageA(window_, WM_COMMAND, 20048, 0);  // the runner's fallback id switches too
    EXPECT_FALSE(::GetWindowLongA(window_, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(::GetMenu(window_), nullptr);

    const Report report = CurrentReport();
    EXPECT_EQ(Values(report, "fullscreen"), (std::vector<std::string>{"on", "off", "on"}));
    const std::string id = std::to_string(standin::kFullScreenCommand);
    EXPECT_EQ(Values(report, "command"),
              (std::vector<std::string>{id, std::to_string(standin::kExitCommand + 100), id, "20048"}));
}

TEST_F(StandInTest, ReportsTheClassOfTheWindowThatTakesItIn) {
    Start();
    WNDCLASSA wc{};
    wc.lpfnWndProc = &::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuindleTakerTest";
    ::RegisterClassA(&wc);
    HWND taker = ::CreateWindowExA(0, "QuindleTakerTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    ASSERT_NE(taker, nullptr);
    ::SetParent(window_, taker);
    EXPECT_TRUE(WaitForReport("parent", "QuindleTakerTest"));
    ::PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(program_.WaitExit(), std::optional<DWORD>(0));
    ::DestroyWindow(taker);
    ::UnregisterClassA("QuindleTakerTest", wc.hInstance);
    EXPECT_EQ(Values(CurrentReport(), "parent"), std::vector<std::string>{"QuindleTakerTest"});
}

TEST_F(StandInTest, EndsOnWindowClose) {
    Start();
    ::PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(program_.WaitExit(), std::optional<DWORD>(0));
    const Report report = CurrentReport();
    EXPECT_EQ(Values(report, "wm_close"), std::vector<std::string>{"1"});
    EXPECT_EQ(Values(report, "exit"), std::vector<std::string>{"0"});
}

TEST_F(StandInTest, EndsOnQuitToItsThread) {
    Start();
    const DWORD thread = ::GetWindowThreadProcessId(window_, nullptr);
    ASSERT_TRUE(::PostThreadMessageA(thread, WM_QUIT, 1, 0));
    EXPECT_EQ(program_.WaitExit(), std::optional<DWORD>(1));
    const Report report = CurrentReport();
    EXPECT_EQ(report.count("wm_close"), 0u);
    EXPECT_EQ(Values(report, "exit"), std::vector<std::string>{"1"});
}

TEST_F(StandInTest, WithoutWindowItStillEndsOnQuit) {
    Start({{"STANDIN_NO_WINDOW", "1"}}, false);
    ASSERT_TRUE(WaitForReport("window", "none"));
    const std::vector<std::string> thread = Values(CurrentReport(), "thread");
    ASSERT_EQ(thread.size(), 1u);
    // The thread may not have its queue yet; ask again until it takes the message.
    ASSERT_TRUE(harness::WaitUntil(
        [&] { return ::PostThreadMessageA(static_cast<DWORD>(std::stoul(thread[0])), WM_QUIT, 0, 0) != FALSE; }));
    EXPECT_EQ(program_.WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(harness::FindTopWindow("ShockwaveFlash", "", program_.Pid()), nullptr);
}

TEST_F(StandInTest, SlowStartStillOpensTheWindow) {
    Start({{"STANDIN_SLOW_START", "300"}});
    EXPECT_TRUE(harness::WaitUntil([&] { return CurrentReport().count("window") == 1; }));
    ::PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(program_.WaitExit(), std::optional<DWORD>(0));
}

TEST(StandInVersion, ProductVersionSixAndFive) {
    const std::pair<const char*, DWORD> cases[] = {{"standin.exe", 6}, {"standin5.exe", 5}};
    for (const auto& [name, major] : cases) {
        const std::string path = harness::BinDir() + name;
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
        ASSERT_NE(size, 0u) << name;
        std::vector<char> data(size);
        ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(HIWORD(fixed->dwProductVersionMS), major) << name;
        EXPECT_EQ(fixed->dwProductVersionMS >= 0x60000u, major >= 6) << name;
    }
}

}  // namespace
