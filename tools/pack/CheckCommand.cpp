// quindle-pack check: reports what in a project ini would behave unlike what is written.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/pack/CodePage.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/IniCheck.h"
#include "tools/pack/Json.h"

namespace quindle::pack {

namespace {

const char* const kCheckHelp =
    "usage: quindle-pack check SHOW.ini [--json] [--codepage N]\n"
    "Reads the ini as the runner would and reports, with line numbers: unknown sections and\n"
    "keys, values the runner would read as their default or otherwise unlike they read, keys\n"
    "given twice, a password that can never be entered, and more.\n"
    "  --codepage N  the Windows code page of the ini's texts (default 1252)\n"
    "Exit 0 when clean, 1 with findings, 2 on bad use.\n";

}  // namespace

std::string ReadIniFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EUsageError("cannot read " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string FindingLine(const std::string& file, const TIniFinding& finding) {
    return file + (finding.line ? ":" + std::to_string(finding.line) : std::string()) + ": " + finding.message;
}

void PrintFindings(FILE* to, const std::string& prefix, const std::string& file,
                   const std::vector<TIniFinding>& findings) {
    for (const TIniFinding& f : findings) std::fprintf(to, "%s%s\n", prefix.c_str(), FindingLine(file, f).c_str());
}

int RunCheck(TArgumentList& args) {
    const TInspectArguments parsed = ParseInspectArguments(args, "SHOW.ini");
    if (parsed.help) {
        std::fputs(kCheckHelp, stdout);
        return 0;
    }
    const std::string& ini = parsed.file;
    TIniCheckOptions options;
    options.codePage = parsed.codePage;
    const std::vector<TIniFinding> findings = CheckProjectIni(ReadIniFile(ini), options);
    if (parsed.json) {
        TJsonWriter out;
        out.BeginObject().Member("file", ini).Member("codepage", options.codePage).Key("findings").BeginArray();
        for (const TIniFinding& f : findings) {
            out.BeginObject().Member("line", f.line);
            out.Key("section");
            f.section.empty() ? out.Null() : out.String(f.section);
            out.Key("key");
            f.key.empty() ? out.Null() : out.String(f.key);
            out.Member("message", f.message).EndObject();
        }
        out.EndArray().Member("clean", findings.empty()).EndObject();
        std::fputs(out.Text().c_str(), stdout);
    } else {
        // Findings go to stdout here: they are what the command was asked for.
        PrintFindings(stdout, "", ini, findings);
        if (findings.empty()) std::printf("%s: clean\n", ini.c_str());
    }
    return findings.empty() ? 0 : 1;
}

}  // namespace quindle::pack
