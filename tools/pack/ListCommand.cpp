// quindle-pack list: every session from last to first with its entries, as text or JSON.
#include <cstdio>
#include <stdexcept>

#include "package/ArchiveCursor.h"
#include "package/SessionArchive.h"
#include "package/VexExeApp.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/FileTimeText.h"
#include "tools/pack/HostFiles.h"

namespace quindle::pack {

namespace {

const char* const kListHelp =
    "usage: quindle-pack list SHOW.exe [--json]\n"
    "Lists every session from the last to the first: name, entry count, session total,\n"
    "and each entry's name, tag, size, stored size, last-write time (UTC) and source directory.\n";

struct ListedSession {
    SessionTrailerInfo trailer;
    std::vector<EntryHeaderInfo> entries;
};

std::vector<ListedSession> ReadSessions(const std::string& path) {
    auto files = MakeHostFileSystem();
    auto archive = files->OpenArchive(path);
    std::vector<ListedSession> sessions;
    for (const FoundTrailer& found : ListSessions(*archive)) {
        ListedSession session{found.Info, {}};
        ArchiveCursor cursor(*archive, found.Info.SessionStart);
        for (int32_t i = 0; i < found.Info.EntryCount; ++i) {
            EntryHeaderInfo entry = ReadEntryHeader(cursor, path);
            cursor.Seek(cursor.Position() + entry.StoredSize);
            session.entries.push_back(std::move(entry));
        }
        sessions.push_back(std::move(session));
    }
    if (sessions.empty()) throw std::runtime_error("Session not found on extract from " + path);
    return sessions;
}

// Archive texts are single-byte ANSI; bytes above 127 are shown as their Latin-1 code points.
std::string Json(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

void PrintJson(const std::vector<ListedSession>& sessions) {
    std::printf("{\"sessions\": [");
    for (size_t s = 0; s < sessions.size(); ++s) {
        const ListedSession& session = sessions[s];
        std::printf("%s\n  {\"name\": %s, \"entryCount\": %d, \"sessionTotal\": %u, \"toolVersion\": %s, \"entries\": [",
                    s ? "," : "", Json(session.trailer.SessionName).c_str(), session.trailer.EntryCount,
                    session.trailer.SessionTotal, Json(session.trailer.ToolVersion).c_str());
        for (size_t e = 0; e < session.entries.size(); ++e) {
            const EntryHeaderInfo& entry = session.entries[e];
            std::printf("%s\n    {\"name\": %s, \"tag\": %s, \"size\": %u, \"storedSize\": %u, "
                        "\"lastWriteTime\": \"%s\", \"sourceDir\": %s}",
                        e ? "," : "", Json(entry.FileName).c_str(), Json(entry.Tag).c_str(), entry.Size,
                        entry.StoredSize, FileTimeToIso8601(entry.LastWriteTime).c_str(),
                        Json(entry.SourceDir).c_str());
        }
        std::printf("]}");
    }
    std::printf("\n]}\n");
}

void PrintText(const std::vector<ListedSession>& sessions) {
    for (const ListedSession& session : sessions) {
        std::printf("session \"%s\": %d entries, %u bytes\n", session.trailer.SessionName.c_str(),
                    session.trailer.EntryCount, session.trailer.SessionTotal);
        for (const EntryHeaderInfo& entry : session.entries)
            std::printf("  %-32s tag=%-16s size=%-10u stored=%-10u %s  %s\n", entry.FileName.c_str(),
                        entry.Tag.empty() ? "-" : entry.Tag.c_str(), entry.Size, entry.StoredSize,
                        FileTimeToIso8601(entry.LastWriteTime).c_str(), entry.SourceDir.c_str());
    }
}

}  // namespace

int RunList(ArgumentList& args) {
    if (args.AskedForHelp()) {
        std::fputs(kListHelp, stdout);
        return 0;
    }
    std::string show;
    bool json = false;
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (arg == "--json") json = true;
        else if (arg.compare(0, 2, "--") == 0 || !show.empty()) throw UsageError("unexpected argument " + arg);
        else show = arg;
    }
    if (show.empty()) throw UsageError("missing SHOW.exe");
    const std::vector<ListedSession> sessions = ReadSessions(show);
    if (json) PrintJson(sessions);
    else PrintText(sessions);
    return 0;
}

}  // namespace quindle::pack
