// The runner's hook session against the real hook library: the block after set-up, the
// ready notice from the projector's process, the load failures, a library lacking an
// export, the removal, and the HTML association lookup.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "commands/win32/BrowserAssociation.h"
#include "contract/ControlBlock.h"
#include "runner/ProjectorEnvironment.h"
#include "runner/win32/HookSession.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Input.h"
#include "tests/harness/Presentation.h"
#include "tests/harness/ProjectorProcess.h"

namespace quindle {
namespace {

constexpr char kRunnerClass[] = "QuindleHookTestRunner";
constexpr char kTag[] = "_QGL_RT1";
constexpr char kHookLibFile[] = "zanticrun1.dll";  // the library's name in a run directory
std::atomic<int> readyNotices{0};

LRESULT CALLBACK RunnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 4) {
        ++readyNotices;
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

uint8_t Byte(const TRunnerControlBlock* block, size_t offset) {
    return reinterpret_cast<const uint8_t*>(block)[offset];
}

uint32_t Word(const TRunnerControlBlock* block, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(block) + offset, 4);
    return value;
}

uint32_t AsBlockValue(const void* handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }

struct LoadFailure {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    int shown = 0;
};

class HookSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        runDir_ = scratch_.Path() + "Qgl_Rt1\\";
        ASSERT_TRUE(::CreateDirectoryA(runDir_.c_str(), nullptr));
        InstallLibrary("zanticrun.dll");

        WNDCLASSA wc{};
        wc.lpfnWndProc = &RunnerProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kRunnerClass;
        ::RegisterClassA(&wc);
        runnerWnd_ = ::CreateWindowExA(0, kRunnerClass, "runner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                       wc.hInstance, nullptr);
        ASSERT_NE(runnerWnd_, nullptr);
        readyNotices = 0;
        settings_.RightClickMenu.Checked = true;
        settings_.MouseInteraction.Checked = true;
        settings_.ProjectorVersion = 4;
    }
    void TearDown() override {
        ::DestroyWindow(runnerWnd_);
        ::UnregisterClassA(kRunnerClass, ::GetModuleHandleA(nullptr));
    }

    // Copies a built library into the run directory under the routed name.
    void InstallLibrary(const std::string& builtName) {
        ASSERT_TRUE(::CopyFileA((harness::BinDir() + builtName).c_str(), (runDir_ + kHookLibFile).c_str(), FALSE));
    }

    THookSessionConfig Config() {
        THookSessionConfig config;
        config.Settings = &settings_;
        config.InstanceTag = kTag;
        config.RunnerWnd = runnerWnd_;
        config.RunnerThreadId = ::GetCurrentThreadId();
        config.RunDir = runDir_;
        config.HookLibFile = kHookLibFile;
        config.ExePath = "C:\\Shows\\demo.exe";
        config.PumpMessages = [] {
            MSG m;
            while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
        };
        config.ShowLoadFailure = [this](HWND owner, const std::string& text, const std::string& caption) {
            failure_.owner = owner;
            failure_.text = text;
            failure_.caption = caption;
            ++failure_.shown;
        };
        return config;
    }

    harness::ScratchDir scratch_{"qhook"};
    std::string runDir_;
    HWND runnerWnd_ = nullptr;
    TProjectSettings settings_;
    LoadFailure failure_;
};

// Where the hook library got into a program started afresh: the first of the events a
// system-wide hook of the session sees after which the program has the library loaded,
// or "" when none brought it in. A hook still set loads its library into the program
// whose thread it runs in; a removed one reaches none. (Under Wine a removed hook's
// handle can stay valid while another process is inside that hook chain, so a second
// unhook proves nothing there: what counts is that no program runs the hook.)
struct LibraryReach {
    std::string failure;   // why the events could not all be made; "" when they were
    std::string loadedBy;  // the event after which the library was in the program
};

LibraryReach ReachOfTheHookLibrary(const std::string& reportPath) {
    harness::Program program =
        harness::Program::Start(harness::BinDir() + "standin.exe", "", {{"STANDIN_REPORT", reportPath}});
    if (!program.Started()) return {"the stand-in did not start", ""};
    const HWND window = harness::WaitForTopWindow("ShockwaveFlash", "", program.Pid());
    if (!window) return {"the stand-in showed no window", ""};
    const auto loaded = [&] { return harness::LoadedModule(program.Pid(), kHookLibFile).has_value(); };
    const auto reported = [&](const std::string& line) {
        return harness::WaitUntil([&] { return harness::ReadFile(reportPath).find(line) != std::string::npos; },
                                  harness::kInputStateWaitMs);
    };
    if (!harness::WaitForMessageLoop(window)) return {"the stand-in took no messages", ""};
    if (loaded()) return {"", "its window made and its messages taken"};

    ::SetWindowPos(window, HWND_TOPMOST, 100, 100, 400, 300, SWP_SHOWWINDOW);
    if (std::string state = harness::BringToForeground(window); !state.empty()) return {state, ""};
    RECT r{};
    ::GetWindowRect(window, &r);
    if (std::string state = harness::MovePointerTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, window);
        !state.empty())
        return {state, ""};
    harness::PressButtons({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    if (!reported("buttondown=left\n")) return {"the click never reached the stand-in", ""};
    if (loaded()) return {"", "the pointer moved and clicked over it"};

    harness::PressKey(VK_SHIFT);
    if (!reported("keydown=" + std::to_string(VK_SHIFT) + "\n")) return {"the key never reached the stand-in", ""};
    if (loaded()) return {"", "a key pressed to it"};
    return {"", ""};
}

struct SetupCase {
    const char* name;
    std::function<void(TProjectSettings&)> configure;
    bool mouseHook;
    bool messageHook;
    std::map<size_t, uint8_t> bytes;
};

TEST_F(HookSessionTest, BlockAfterSetUpFollowsTheSettings) {
    const SetupCase cases[] = {
        {"friendly",
         [](TProjectSettings&) {},
         false,
         false,
         {{62, 0},
          {63, 0},
          {68, 1},
          {73, 0},
          {74, 0},
          {80, 0},
          {81, 0},
          {82, 0},
          {84, 0},
          {97, 0},
          {98, 0},
          {1142, 1}}},
        {"windows keys", [](TProjectSettings& s) { s.BlockWindowsKeys.Checked = true; }, false, true, {{73, 1}}},
        {"no right-click menu", [](TProjectSettings& s) { s.RightClickMenu.Checked = false; }, true, false, {{63, 1}}},
        {"no mouse interaction",
         [](TProjectSettings& s) { s.MouseInteraction.Checked = false; },
         true,
         false,
         {{62, 1}}},
        {"draggable", [](TProjectSettings& s) { s.Draggable.Checked = true; }, true, false, {{84, 1}}},
        {"items, escape, cursor, screen saver",
         [](TProjectSettings& s) {
             s.MenuHasClose.Checked = s.MenuHasSetup.Checked = s.MenuHasMinimize.Checked = true;
             s.EscapeEndsShow.Checked = s.BlockScreenSaver.Checked = true;
             s.HideCursor = true;
             s.ProjectorVersion = 6;
             s.RemovedMenuItems[0] = 5;
         },
         false,
         false,
         {{74, 1}, {80, 1}, {81, 1}, {82, 1}, {97, 1}, {98, 1}, {1144, 5}, {1344, 6}}},
    };
    TRunnerControlBlock expectedBrowser{};
    LookUpBrowserAssociation(expectedBrowser);
    for (const SetupCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TProjectSettings saved = settings_;
        c.configure(settings_);
        {
            THookSession session(Config());
            ASSERT_TRUE(session.SetUp());
            const TRunnerControlBlock* block = session.Block();
            ASSERT_NE(block, nullptr);
            EXPECT_TRUE(harness::MappingExists("NimbrelRunnerMapping_QGL_RT1"));
            for (const auto& [offset, value] : c.bytes) EXPECT_EQ(Byte(block, offset), value) << "offset " << offset;

            EXPECT_NE(session.Hook(THookKind::Keyboard), nullptr);
            EXPECT_NE(session.Hook(THookKind::Cbt), nullptr);
            EXPECT_EQ(session.Hook(THookKind::Mouse) != nullptr, c.mouseHook);
            EXPECT_EQ(session.Hook(THookKind::Message) != nullptr, c.messageHook);
            EXPECT_EQ(Word(block, 0), AsBlockValue(session.Hook(THookKind::Mouse)));
            EXPECT_EQ(Word(block, 4), AsBlockValue(session.Hook(THookKind::Keyboard)));
            EXPECT_EQ(Word(block, 8), AsBlockValue(session.Hook(THookKind::Cbt)));
            EXPECT_EQ(Word(block, 12), AsBlockValue(session.Hook(THookKind::Message)));
            EXPECT_EQ(Word(block, 24), 0u);
            EXPECT_EQ(Word(block, 48), 0u);
            EXPECT_EQ(Word(block, 52), AsBlockValue(runnerWnd_));
            EXPECT_EQ(Word(block, 56), AsBlockValue(runnerWnd_));
            EXPECT_EQ(Word(block, 76), ::GetCurrentThreadId());
            EXPECT_EQ(Word(block, 88), 1u);
            EXPECT_EQ(Word(block, 104), ::GetCurrentProcessId());
            EXPECT_EQ(Word(block, 1344), static_cast<uint32_t>(settings_.ProjectorVersion));
            EXPECT_EQ(ReadBlockText(block->BrowserCommand), ReadBlockText(expectedBrowser.BrowserCommand));
            EXPECT_EQ(ReadBlockText(block->DdeApplication), ReadBlockText(expectedBrowser.DdeApplication));

            EXPECT_EQ(session.RunnerMsg(), ::RegisterWindowMessageA("NimbrelRunnerMessage_QGL_RT1"));
            EXPECT_EQ(session.QueryMessage(), ::RegisterWindowMessageA("NimbrelRunnerSvrMessage"));
            EXPECT_EQ(session.HookLibPath(), runDir_ + kHookLibFile);
            EXPECT_EQ(failure_.shown, 0);
        }
        settings_ = saved;
    }
}

TEST_F(HookSessionTest, RemovalUnhooksFreesAndUnmaps) {
    settings_.BlockWindowsKeys.Checked = true;
    settings_.Draggable.Checked = true;
    THookSession session(Config());
    ASSERT_TRUE(session.SetUp());
    for (THookKind kind : {THookKind::Keyboard, THookKind::Message, THookKind::Cbt, THookKind::Mouse})
        ASSERT_NE(session.Hook(kind), nullptr);
    const LibraryReach whileSet = ReachOfTheHookLibrary(scratch_.Path() + "set.txt");
    ASSERT_EQ(whileSet.failure, "");
    EXPECT_NE(whileSet.loadedBy, "") << "the set hooks never brought the library into a program";

    session.RemoveHooks();
    EXPECT_FALSE(session.LibraryLoaded());
    const LibraryReach removed = ReachOfTheHookLibrary(scratch_.Path() + "removed.txt");
    ASSERT_EQ(removed.failure, "");
    EXPECT_EQ(removed.loadedBy, "") << "a hook is still set";
    ASSERT_NE(session.Block(), nullptr);
    session.ReleaseBlock();
    EXPECT_EQ(session.Block(), nullptr);
    const std::string mappingName = MappingName(Config().InstanceTag);
    EXPECT_TRUE(harness::MappingExists(mappingName)) << "the view is gone, the mapping stays until it is closed";
    session.CloseMapping();
    EXPECT_FALSE(harness::MappingExists(mappingName)) << "closed while its creator still runs";
    session.Remove();  // a second removal finds nothing to do
}

// A CBT hook that does not go at once makes the removal pump between attempts; a pump
// that throws there cuts nothing short, and its error comes out once all is removed.
TEST_F(HookSessionTest, AFailingPumpLeavesNoStepOfTheRemovalUndone) {
    THookSessionConfig config = Config();
    int attempts = 0;
    config.UnhookCbt = [&attempts](HHOOK hook) {
        if (++attempts < 3) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return ::UnhookWindowsHookEx(hook);
    };
    int pumps = 0;
    config.PumpMessages = [&pumps] { throw std::runtime_error("pump " + std::to_string(++pumps)); };
    const std::string mappingName = MappingName(config.InstanceTag);
    try {
        THookSession session(config);
        ASSERT_TRUE(session.SetUp());
        try {
            session.Remove();
            ADD_FAILURE() << "the pump's error was lost";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "pump 1") << "the first error is the one reported";
        }
        EXPECT_EQ(attempts, 3);
        EXPECT_FALSE(session.LibraryLoaded());
        const LibraryReach reach = ReachOfTheHookLibrary(scratch_.Path() + "report.txt");
        ASSERT_EQ(reach.failure, "");
        EXPECT_EQ(reach.loadedBy, "") << "left hooked";
        EXPECT_EQ(session.Block(), nullptr);
        EXPECT_FALSE(harness::MappingExists(mappingName));
        attempts = 0;
        throw std::logic_error("unwinding");  // the destructor runs during unwinding
    } catch (const std::logic_error&) {}
}

using harness::ProjectorProcess;

TEST_F(HookSessionTest, ProjectorProcessPostsReadyOnceItsWindowIsShown) {
    THookSession session(Config());
    ASSERT_TRUE(session.SetUp());
    TRunnerControlBlock* block = session.Block();
    const DWORD runnerWnd = AsBlockValue(runnerWnd_);
    ApplyEnvironment(RunnerEnvironment({"C:\\Shows\\demo.exe", "demo.exe", ::GetCurrentProcessId(), runnerWnd}));
    ApplyEnvironment(ProjectorPathsEnvironment({harness::BinDir() + "standin.exe", runDir_, scratch_.Path()}));

    const std::string reportPath = scratch_.Path() + "report.txt";
    {
        ProjectorProcess projector(block, reportPath);
        ASSERT_TRUE(projector.Started());
        const HWND window = projector.FindWindow();
        ASSERT_NE(window, nullptr);
        // Window up and animating, hooks live, but not yet named in the block: no notice.
        ASSERT_TRUE(
            harness::WaitUntil([&] { return harness::ReadFile(reportPath).find("window=") != std::string::npos; }));
        EXPECT_EQ(readyNotices.load(), 0);

        block->ProjectorWnd = AsBlockValue(window);
        EXPECT_TRUE(harness::WaitUntil([] { return readyNotices.load() > 0; }, 10000));

        ::PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(harness::WaitUntil([&] { return projector.Ended(); }));
        EXPECT_EQ(readyNotices.load(), 1) << "posted once";
    }
    session.Remove();

    const std::string report = harness::ReadFile(reportPath);
    const std::string expected[] = {
        "env.QuindleLocalDir_Engine=C:\\Shows\\demo.exe\n",
        "env.QuindleEngine_ID=" + std::to_string(::GetCurrentProcessId()) + "\n",
        "env.QuindleEngine_WH=" + std::to_string(static_cast<int32_t>(runnerWnd)) + "\n",
        "env.demo.exe=" + std::to_string(static_cast<int32_t>(runnerWnd)) + "\n",
        "env.QuindleLocalDir_Projector=" + harness::BinDir() + "standin.exe\n",
        "env.QuindleLocalDir_RootDir=" + runDir_ + "\n",
        "env.QuindleLocalDir_InitialDir=" + scratch_.Path() + "\n",
    };
    for (const std::string& line : expected) EXPECT_NE(report.find(line), std::string::npos) << line;

    // The runner's own reference is gone. (Wine never unloads a hook library from the
    // other processes it was loaded into, such as its explorer, so the file itself stays
    // in use there until the wineserver ends.)
    EXPECT_EQ(::GetModuleHandleA((runDir_ + kHookLibFile).c_str()), nullptr);
}

// A library whose folder names another session finds no block of its own and stays
// silent, even in the process the runner's block names as its projector.
TEST_F(HookSessionTest, LibraryFromAnotherRunDirectoryStaysSilent) {
    const std::string otherDir = scratch_.Path() + "Qgl_Rt2\\";
    ASSERT_TRUE(::CreateDirectoryA(otherDir.c_str(), nullptr));
    ASSERT_TRUE(
        ::CopyFileA((harness::BinDir() + "zanticrun.dll").c_str(), (otherDir + kHookLibFile).c_str(), FALSE));
    THookSessionConfig config = Config();
    config.RunDir = otherDir;  // the block stays "_QGL_RT1"; the library looks for "_QGL_RT2"
    THookSession session(config);
    ASSERT_TRUE(session.SetUp());
    const std::string reportPath = scratch_.Path() + "report2.txt";
    {
        ProjectorProcess projector(session.Block(), reportPath);
        ASSERT_TRUE(projector.Started());
        const HWND window = projector.FindWindow();
        ASSERT_NE(window, nullptr);
        session.Block()->ProjectorWnd = AsBlockValue(window);
        // Let the projector run a while with its window named in the block.
        ASSERT_TRUE(
            harness::WaitUntil([&] { return harness::ReadFile(reportPath).find("window=") != std::string::npos; }));
        ::SendMessageA(window, WM_COMMAND, 0, 0);  // one round trip through its queue and hooks
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(harness::WaitUntil([&] { return projector.Ended(); }));
    }
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
    EXPECT_EQ(readyNotices.load(), 0);
}

TEST_F(HookSessionTest, LoadFailureTextTellsWhetherTheFileExists) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> prepare;
        const char* start;
    };
    const Case cases[] = {
        {"missing", [](const std::string& path) { ::DeleteFileA(path.c_str()); }, "zanticrun.dll not loaded: "},
        {"not a library", [](const std::string& path) { harness::WriteFile(path, "not a library"); },
         "zanticrun.dll exists but have not loaded: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        failure_ = {};
        c.prepare(runDir_ + kHookLibFile);
        THookSession session(Config());
        EXPECT_FALSE(session.SetUp());
        EXPECT_EQ(failure_.shown, 1);
        EXPECT_EQ(failure_.text.rfind(c.start, 0), 0u) << failure_.text;
        EXPECT_GT(failure_.text.size(), std::strlen(c.start)) << "the system's text follows";
        EXPECT_EQ(failure_.caption, "C:\\Shows\\demo.exe");
        EXPECT_EQ(failure_.owner, runnerWnd_);
        EXPECT_FALSE(session.LibraryLoaded());
        EXPECT_EQ(session.Hook(THookKind::Keyboard), nullptr);
        EXPECT_NE(session.Block(), nullptr) << "the mapping comes first";
    }
}

TEST_F(HookSessionTest, LoadFailureShowsAMessageBox) {
    ::DeleteFileA((runDir_ + kHookLibFile).c_str());
    THookSessionConfig config = Config();
    config.ShowLoadFailure = nullptr;
    config.RunnerWnd = nullptr;  // the box's owner would be a window of another thread here
    bool result = true;
    std::thread worker([&] {
        THookSession session(config);
        result = session.SetUp();
    });
    const auto dialog = harness::WaitForDialog(::GetCurrentProcessId());
    ASSERT_TRUE(dialog.has_value());
    EXPECT_EQ(dialog->Caption, "C:\\Shows\\demo.exe");
    EXPECT_EQ(dialog->Text.rfind("zanticrun.dll not loaded: ", 0), 0u) << dialog->Text;
    EXPECT_TRUE(harness::PressButton(*dialog, "OK"));
    worker.join();
    EXPECT_FALSE(result);
}

TEST_F(HookSessionTest, LibraryLackingAnExportEndsWithoutMessage) {
    InstallLibrary("nosproc.dll");
    THookSession session(Config());
    EXPECT_FALSE(session.SetUp());
    EXPECT_EQ(failure_.shown, 0);
    EXPECT_TRUE(session.LibraryLoaded());
    EXPECT_EQ(session.Hook(THookKind::Keyboard), nullptr);
    EXPECT_EQ(session.Hook(THookKind::Cbt), nullptr);
    EXPECT_EQ(session.RunnerMsg(), 0u);
    session.Remove();
    EXPECT_FALSE(session.LibraryLoaded());
}

// The HTML association, read from a classes key of our own so the prefix's own
// registrations do not interfere.
class BrowserAssociationTest : public ::testing::Test {
public:
    static constexpr char kRoot[] = "Software\\QuindleTest\\Classes";
    void SetUp() override {
        harness::RegDeleteTree(kRoot);
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        ::RegCloseKey(root_);
        harness::RegDeleteTree(kRoot);
    }
    void SetDefault(const std::string& subkey, const std::string& value) {
        ASSERT_TRUE(harness::RegSetString(std::string(kRoot) + "\\" + subkey, "", value));
    }
    void CreateKey(const std::string& subkey) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(root_, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
    void Handler(const std::string& type, const std::string& command, const std::string& app,
                 const std::string& topic) {
        SetDefault(type + "\\shell\\open\\command", command);
        if (!app.empty()) SetDefault(type + "\\shell\\open\\ddeexec\\Application", app);
        if (!topic.empty()) SetDefault(type + "\\shell\\open\\ddeexec\\Topic", topic);
    }
    HKEY root_ = nullptr;
};

TEST_F(BrowserAssociationTest, FillsTheThreeFieldsFromTheHtmlFileType) {
    const std::string longValue(300, 'x');
    struct Case {
        const char* name;
        std::function<void(BrowserAssociationTest&)> registry;
        std::string command, app, topic;
    };
    const Case cases[] = {
        {"nothing registered", [](BrowserAssociationTest&) {}, "", "", ""},
        {".htm only",
         [](BrowserAssociationTest& t) {
             t.SetDefault(".htm", "htmfile");
             t.Handler("htmfile", "htm.exe \"%1\"", "HtmApp", "HtmTopic");
         },
         "htm.exe \"%1\"", "HtmApp", "HtmTopic"},
        {"both, .html wins",
         [](BrowserAssociationTest& t) {
             t.SetDefault(".htm", "htmfile");
             t.SetDefault(".html", "htmlfile");
             t.Handler("htmfile", "htm.exe", "HtmApp", "HtmTopic");
             t.Handler("htmlfile", "html.exe", "HtmlApp", "HtmlTopic");
         },
         "html.exe", "HtmlApp", "HtmlTopic"},
        {".html without default value",
         [](BrowserAssociationTest& t) {
             t.SetDefault(".htm", "htmfile");
             t.CreateKey(".html");
             t.Handler("htmfile", "htm.exe", "HtmApp", "HtmTopic");
         },
         "htm.exe", "HtmApp", "HtmTopic"},
        {"no ddeexec",
         [](BrowserAssociationTest& t) {
             t.SetDefault(".html", "htmlfile");
             t.Handler("htmlfile", "html.exe", "", "");
         },
         "html.exe", "", ""},
        {"300 characters cut to 255",
         [&](BrowserAssociationTest& t) {
             t.SetDefault(".html", "htmlfile");
             t.Handler("htmlfile", longValue, longValue, "T");
         },
         longValue.substr(0, 255), longValue.substr(0, 255), "T"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.registry(*this);
        TRunnerControlBlock block{};
        WriteBlockText(block.DdeApplication, "stale");
        WriteBlockText(block.DdeTopic, "stale");
        LookUpBrowserAssociation(block, root_);
        EXPECT_EQ(ReadBlockText(block.BrowserCommand), c.command);
        EXPECT_EQ(ReadBlockText(block.DdeApplication), c.app);
        EXPECT_EQ(ReadBlockText(block.DdeTopic), c.topic);
        EXPECT_EQ(block.BrowserCommand[0], c.command.size());
    }
}

TEST_F(BrowserAssociationTest, ExpandableStringsAreTakenAsStored) {
    SetDefault(".html", "htmlfile");
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(root_, "htmlfile\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    const char value[] = "%ProgramFiles%\\browser.exe";
    ::RegSetValueExA(key, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
    ::RegCloseKey(key);
    TRunnerControlBlock block{};
    LookUpBrowserAssociation(block, root_);
    EXPECT_EQ(ReadBlockText(block.BrowserCommand), value);
}

TEST_F(BrowserAssociationTest, DefaultValueOfAnotherTypeIsAnError) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(root_, ".html", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    const DWORD number = 7;
    ::RegSetValueExA(key, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    ::RegCloseKey(key);
    TRunnerControlBlock block{};
    try {
        LookUpBrowserAssociation(block, root_);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for ''");
    }
}

}  // namespace
}  // namespace quindle
