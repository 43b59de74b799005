// The checks behind "What pack refuses" in the README, in the order they run.
#include "tools/pack/PackChecks.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include "base/Text.h"
#include "package/SessionArchive.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/HostFiles.h"
#include "tools/pack/IniCheck.h"
#include "tools/pack/PasswordIni.h"
#include "tools/pack/SessionRouting.h"
#include "tools/pack/Signature.h"
#include "window/HashPassword.h"
#include "window/PasswordCheck.h"

namespace quindle::pack {

namespace fs = std::filesystem;

namespace {

class TPackChecker {
public:
    explicit TPackChecker(TPackRequest& request)
        : r_(request), host_(MakeHostFileSystem()), leadBytes_(CodePageLeadBytes(request.codePage)) {}

    uint32_t Run() {
        if (r_.inputs.Inputs().empty()) throw EUsageError("no input files");
        CheckOutput();
        CheckStub();
        for (TPackInput& input : r_.inputs.Inputs()) CheckInput(input);
        CheckSession();
        const uint32_t hash = PrepareProjectIni();
        ReportWarnings();
        return hash;
    }

private:
    // pack never writes over what it reads: neither the output nor its temporary file
    // may be the stub or an input, however their paths are spelled.
    void CheckOutput() {
        const TPackOptions& o = r_.options;
        std::error_code ec;
        if (fs::is_directory(o.out, ec)) throw EUsageError("--out " + o.out + " is a folder: name the file to write");
        std::vector<std::pair<std::string, std::optional<TFileIdentity>>> read = {
            {"the stub " + o.stub, FileIdentity(o.stub)}};
        for (const TPackInput& input : r_.inputs.Inputs())
            read.push_back({"the input " + input.path, FileIdentity(input.path)});
        for (const std::string& written : {o.out, o.out + ".partial"}) {
            const std::optional<TFileIdentity> identity = FileIdentity(written);
            for (const auto& [what, readIdentity] : read)
                if (identity && identity == readIdentity)
                    throw EUsageError("--out " + o.out + (written == o.out ? "" : " (through its temporary file)") +
                                      " would write over " + what + ": pack never overwrites what it reads");
        }
    }

    void CheckStub() {
        const std::string& stub = r_.options.stub;
        if (!fs::is_regular_file(stub)) throw EUsageError("stub not found: " + stub);
        r_.options.stubImage = StubImageForPack(stub, r_.stripSignature);
        const std::vector<TFoundTrailer> sessions = ListSessions(*host_->OpenArchive(stub));
        if (sessions.empty() || r_.addSession) return;
        std::string names;
        for (const TFoundTrailer& s : sessions)
            names += (names.empty() ? "\"" : ", \"") + DecodeFromCodePage(s.Info.SessionName, r_.codePage) + "\"";
        throw EUsageError("the stub " + stub + " already holds " +
                          (sessions.size() == 1 ? "a session" : std::to_string(sessions.size()) + " sessions") + " (" +
                          names + "): pack onto a clean runner, or give --add-session to add one more");
    }

    // The name and tag as the show stores them: in its code page, as Windows can create them.
    void CheckInput(TPackInput& input) {
        const int cp = r_.codePage;
        input.name = EncodeForCodePage(input.hostName, cp, "file name of " + input.path);
        if (input.name.size() > kMaxEntryTextLength) throw EUsageError("file name over 255 characters: " + input.path);
        const std::string nameProblem = EntryNameProblem(input.name, *leadBytes_);
        if (!nameProblem.empty())
            throw EUsageError("file name \"" + input.hostName + "\" " + nameProblem + ": " + input.path);
        input.tag = EncodeForCodePage(input.hostTag, cp, "tag \"" + input.hostTag + "\"");
        if (input.tag.size() > kMaxEntryTextLength) throw EUsageError("tag over 255 characters: " + input.hostTag);
        const std::string tagProblem = EntryTagProblem(input.tag, *leadBytes_);
        if (!tagProblem.empty())
            throw EUsageError("tag \"" + input.hostTag + "\" of " + input.path + ": " + tagProblem);
        RecordSourceDir(input);
        if (input.inFolder && FindLastTrailer(*host_->OpenArchive(input.path), false))
            throw EUsageError(
                input.path + " is a packaged show (an earlier output?): pack takes no show from a folder; move it out");
    }

    // Only informative (the runner extracts into its run directory): left empty when the
    // code page cannot hold it or it is too long.
    void RecordSourceDir(TPackInput& input) const {
        try {
            input.sourceDir = EncodeForCodePage(input.sourceDir, r_.codePage);
        } catch (const EUsageError&) {
            input.sourceDir.clear();
        }
        if (input.sourceDir.size() > kMaxEntryTextLength) {
            std::fprintf(stderr, "quindle-pack: source directory of %s too long to record; left empty\n",
                         input.path.c_str());
            input.sourceDir.clear();
        }
    }

    std::vector<TSessionEntry> Entries() const {
        std::vector<TSessionEntry> entries;
        for (const TPackInput& input : r_.inputs.Inputs()) entries.push_back({input.name, input.tag});
        return entries;
    }

    // What the runner makes of the session: the program it starts (only its own session
    // is ever run), and no entry that overwrites another where Windows, blind to the
    // letter case, sees one file.
    void CheckSession() {
        const std::vector<TPackInput>& inputs = r_.inputs.Inputs();
        const std::vector<TSessionEntry> entries = Entries();
        if (r_.options.session == kRunnerSessionName) CheckProgram(entries);
        const std::vector<std::string> destinations = EntryDestinations(entries);
        std::map<std::string, size_t> seen;
        for (size_t i = 0; i < destinations.size(); ++i) {
            if (destinations[i].empty()) continue;
            const auto [first, fresh] = seen.emplace(LowerAscii(destinations[i], *leadBytes_), i);
            if (!fresh)
                throw EUsageError(inputs[first->second].path + " and " + inputs[i].path + " would both be written to " +
                                  DecodeFromCodePage(destinations[i], r_.codePage) +
                                  ": the same name twice in one folder, where Windows ignores the letter case");
        }
    }

    void CheckProgram(const std::vector<TSessionEntry>& entries) {
        const std::vector<TPackInput>& inputs = r_.inputs.Inputs();
        const std::vector<int> programs = ProgramIndices(entries);
        if (programs.empty())
            throw EUsageError(
                "no program among the inputs: the runner starts the untagged .exe and ends at once "
                "without one");
        if (programs.size() < 2) return;
        std::string names;
        for (int i : programs) names += (names.empty() ? "" : ", ") + inputs[size_t(i)].path;
        warnings_.push_back(std::to_string(programs.size()) + " programs among the inputs (" + names +
                            "): the runner starts only the last, " + inputs[size_t(programs.back())].path);
    }

    // The ini the runner takes: in a form the runner reads, checked, carrying the hash.
    uint32_t PrepareProjectIni() {
        const int index = ProjectIniIndex(Entries());
        if (index < 0) {
            if (r_.password.given) throw EUsageError("--password needs a project ini among the inputs");
            return 0;
        }
        const std::string& path = r_.inputs.Inputs()[size_t(index)].path;
        std::string bytes = ReadIniFile(path);
        const std::string encoding = IniEncodingProblem(bytes, r_.codePage);
        if (!encoding.empty()) throw EUsageError(path + ": " + encoding);
        bool changed = false;
        if (IsUtf8BeyondAscii(bytes)) {
            bytes = EncodeForCodePage(bytes, r_.codePage, path + " (UTF-8 text)");
            std::fprintf(stderr, "quindle-pack: note: %s is UTF-8 text: packed converted to code page %d\n",
                         path.c_str(), r_.codePage);
            changed = true;
        }
        TIniCheckOptions options;
        options.codePage = r_.codePage;
        options.passwordFromTool = r_.password.given;
        for (const TIniFinding& finding : CheckProjectIni(bytes, options))
            warnings_.push_back(FindingLine(path, finding));
        uint32_t hash = 0;
        if (r_.password.given) {
            hash = PasswordHash();
            bytes = SetPasswordHash(bytes, hash);
            changed = true;
        }
        if (changed) r_.inputs.Replace(size_t(index), bytes);
        return hash;
    }

    // A password someone can type into the runner's dialog, and only that one.
    uint32_t PasswordHash() const {
        const TPasswordRequest& p = r_.password;
        const std::string what = p.source == "--password" ? "the password" : "the password in " + p.source;
        const std::string typed = TrimPassword(EncodeForCodePage(p.text, r_.codePage, what));
        if (typed.empty()) throw EUsageError(what + " is empty or blank: any empty entry would open the show");
        if (typed.size() > kMaxPasswordLength)
            throw EUsageError(what + " is " + std::to_string(typed.size()) + " bytes long in code page " +
                              std::to_string(r_.codePage) + ": the password dialog takes at most " +
                              std::to_string(kMaxPasswordLength));
        const uint32_t hash = HashPassword(typed);
        if (hash == HashPassword(kPasswordCancelMarker))
            throw EUsageError(what + " hashes like the dialog's Cancel: pressing Cancel would open the show");
        return hash;
    }

    void ReportWarnings() const {
        const char* prefix = r_.strict ? "quindle-pack: error: " : "quindle-pack: warning: ";
        for (const std::string& w : warnings_) std::fprintf(stderr, "%s%s\n", prefix, w.c_str());
        if (r_.strict && !warnings_.empty())
            throw std::runtime_error(std::to_string(warnings_.size()) + " problem(s) (--strict): nothing written");
    }

    TPackRequest& r_;
    std::unique_ptr<IArchiveFileSystem> host_;
    std::unique_ptr<ILeadBytes> leadBytes_;
    std::vector<std::string> warnings_;
};

}  // namespace

uint32_t CheckPackRequest(TPackRequest& request) { return TPackChecker(request).Run(); }

}  // namespace quindle::pack
