// Packed presentations for end-to-end tests: the runner with a session of the stand-in
// projector, the hook library, an ini and extras, made by the real quindle-pack, and
// run with a private temporary folder so that every trace it leaves can be seen.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "contract/ControlBlock.h"
#include "tests/harness/Harness.h"

namespace harness {

// A project ini that asks for no password, with settingsLines after it in [Settings].
inline std::string IniWith(const std::string& settingsLines) { return "[Settings]\r\nPassword=0\r\n" + settingsLines; }

struct PresentationSpec {
    std::string Name = "Show";  // the packed file is Name + ".exe"; its registry section is Name
    std::string Ini = IniWith("");
    std::string IniName = "show.ini";
    std::string Projector = "standin.exe";  // from the bin folder; empty for none
    std::string HookLib = "zanticrun.dll";  // from the bin folder; empty for none
    // Further entries: name -> bytes (written to the work folder and packed untagged).
    std::map<std::string, std::string> Extras;
    // Entries packed under a tag: {tag, name, bytes}.
    struct Tagged {
        std::string Tag, Name, Bytes;
    };
    std::vector<Tagged> TaggedExtras;
    // Further options for "quindle-pack pack", quoted as a command line holds them, in the
    // system's ANSI code page (the tool reads its wide command line), e.g. --password "x".
    std::string PackOptions;
};

// A work folder with a packed presentation and a private temporary folder.
class Presentation {
public:
    explicit Presentation(const PresentationSpec& spec);
    ~Presentation();
    Presentation(const Presentation&) = delete;
    Presentation& operator=(const Presentation&) = delete;

    bool Packed() const { return packed_; }
    const std::string& PackOutput() const { return packOutput_; }
    const std::string& ExePath() const { return exePath_; }
    const std::string& Folder() const { return work_.Path(); }
    // The runner's temporary folder (TMP and TEMP point here), with its trailing backslash.
    const std::string& Temp() const { return temp_.Path(); }
    std::string RunDir(int number = 0) const;  // Temp + "Qgl_Rt" (+ number), without backslash
    // A file the stand-in projector appends its facts to (STANDIN_REPORT).
    const std::string& ReportPath() const { return reportPath_; }

    // Starts the packed runner with TMP/TEMP, STANDIN_REPORT and extra variables.
    Program Start(const std::map<std::string, std::string>& env = {}, const std::string& arguments = "") const;
    // The same for another copy of the packaged file (its folder is the working folder).
    Program StartCopy(const std::string& exePath, const std::map<std::string, std::string>& env = {}) const;
    // A copy of the packaged file in the work folder under name (e.g. "Copy1.exe"); its path.
    std::string MakeCopy(const std::string& name) const;
    // The stand-in's report as key=value lines, in order.
    std::vector<std::pair<std::string, std::string>> Report() const;
    std::string ReportValue(const std::string& key) const;  // the last value of key, or ""

private:
    Program StartFile(const std::string& exePath, const std::map<std::string, std::string>& env,
                      const std::string& arguments) const;

    PresentationSpec spec_;
    ScratchDir work_;
    ScratchDir temp_;
    std::string exePath_;
    std::string reportPath_;
    std::string packOutput_;
    bool packed_ = false;
};

// A copy of a session's control block ("NimbrelRunnerMapping" + tag), read the way the
// hook library reads it; nullopt while there is no such mapping.
std::optional<quindle::TRunnerControlBlock> ReadControlBlock(const std::string& instanceTag);
// Returns once the runner of the session instanceTag supervises its shown projector in
// full: it has taken the projector's ready notice in (the block's Ready byte) and made
// two supervision passes since, so the first pass after the notice, which settles the
// window order and from its end on takes the runner message, is complete. Each pass
// writes the block's NoKeyInteraction byte anew: the byte is turned over here and
// waited for to come back. No keys may be typed meanwhile. False on time-out.
bool WaitForSupervisedShow(const std::string& instanceTag, DWORD timeoutMs = kDefaultWaitMs);
// Returns once the runner of the session instanceTag has taken in every message posted
// to runnerWnd before the call, such as the hook library's notices. A thread takes posted
// messages in order, so a ready notice posted now shows it: the notice's one effect is the
// block's Ready byte, cleared here first. False on time-out.
bool WaitForRunnerNotices(HWND runnerWnd, const std::string& instanceTag, DWORD timeoutMs = kDefaultWaitMs);
// A kernel file mapping of that full name exists.
bool MappingExists(const std::string& name);

// The runner window of a process, once visible (or only once created with visible false).
HWND WaitForRunnerWindow(DWORD pid, bool visible = true, DWORD timeoutMs = kDefaultWaitMs);
// The stand-in projector's window ("ShockwaveFlash") of any process once it is a child of parent.
HWND WaitForEmbeddedProjector(HWND parent, DWORD timeoutMs = kDefaultWaitMs);
// The runner window of a started runner once it is shown with its projector inside; nullptr otherwise.
HWND WaitForShow(const Program& runner);
// Posts the runner window the close notice (WM_USER+12) and waits for the runner's exit code.
std::optional<DWORD> CloseShow(HWND runnerWnd, Program& runner);

// The projector of a killed runner; ended on destruction, so a failed test leaves none.
class OrphanedProjector {
public:
    explicit OrphanedProjector(HWND window);
    ~OrphanedProjector();
    OrphanedProjector(const OrphanedProjector&) = delete;
    OrphanedProjector& operator=(const OrphanedProjector&) = delete;
    bool Known() const { return process_ != nullptr; }
    bool Running() const;
    // Ends it and waits for its end; true once it has ended.
    bool End();

private:
    HANDLE process_ = nullptr;
};

}  // namespace harness
