// quindle-pack list: every session from last to first with its entries, as text or JSON.
#include <cstdio>
#include <stdexcept>

#include "package/ArchiveCursor.h"
#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "tools/pack/CodePage.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/FileTimeText.h"
#include "tools/pack/HostFiles.h"
#include "tools/pack/Json.h"

namespace quindle::pack {

namespace {

const char* const kListHelp =
    "usage: quindle-pack list SHOW.exe [--json] [--codepage N]\n"
    "Lists every session from the last to the first: name, entry count, session total,\n"
    "and each entry's name, tag, size, stored size, last-write time (UTC) and source directory.\n"
    "  --codepage N  the presentation's Windows code page, for its names (default 1252)\n";

struct TListedSession {
    TSessionTrailerInfo trailer;
    std::vector<TEntryHeaderInfo> entries;
};

std::vector<TListedSession> ReadSessions(const std::string& path) {
    auto files = MakeHostFileSystem();
    auto archive = files->OpenArchive(path);
    std::vector<TListedSession> sessions;
    for (const TFoundTrailer& found : ListSessions(*archive)) {
        TListedSession session{found.Info, {}};
        TArchiveCursor cursor(*archive, found.Info.SessionStart);
        for (int32_t i = 0; i < found.Info.EntryCount; ++i) {
            TEntryHeaderInfo entry = ReadEntryHeader(cursor, path, *files);
            cursor.Seek(cursor.Position() + entry.StoredSize);
            session.entries.push_back(std::move(entry));
        }
        sessions.push_back(std::move(session));
    }
    if (sessions.empty()) throw std::runtime_error(SessionNotFoundMessage(*archive, path));
    return sessions;
}

void PrintJson(const std::vector<TListedSession>& sessions, int codePage) {
    auto text = [codePage](const std::string& bytes) { return DecodeFromCodePage(bytes, codePage); };
    TJsonWriter json;
    json.BeginObject().Key("sessions").BeginArray();
    for (const TListedSession& session : sessions) {
        json.BeginObject()
            .Member("name", text(session.trailer.SessionName))
            .Member("entryCount", session.trailer.EntryCount)
            .Member("sessionTotal", session.trailer.SessionTotal)
            .Member("toolVersion", text(session.trailer.ToolVersion))
            .Key("entries")
            .BeginArray();
        for (const TEntryHeaderInfo& entry : session.entries) {
            json.BeginObject()
                .Member("name", text(entry.FileName))
                .Member("tag", text(entry.Tag))
                .Member("size", entry.Size)
                .Member("storedSize", entry.StoredSize)
                .Member("lastWriteTime", FileTimeToIso8601(entry.LastWriteTime))
                .Member("sourceDir", text(entry.SourceDir))
                .EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
    std::fputs(json.Text().c_str(), stdout);
}

void PrintText(const std::vector<TListedSession>& sessions, int codePage) {
    auto text = [codePage](const std::string& bytes) { return DecodeFromCodePage(bytes, codePage); };
    for (const TListedSession& session : sessions) {
        std::printf("session \"%s\": %d entries, %u bytes\n", text(session.trailer.SessionName).c_str(),
                    session.trailer.EntryCount, session.trailer.SessionTotal);
        for (const TEntryHeaderInfo& entry : session.entries)
            std::printf("  %-32s tag=%-16s size=%-10u stored=%-10u %s  %s\n", text(entry.FileName).c_str(),
                        entry.Tag.empty() ? "-" : text(entry.Tag).c_str(), entry.Size, entry.StoredSize,
                        FileTimeToIso8601(entry.LastWriteTime).c_str(), text(entry.SourceDir).c_str());
    }
}

}  // namespace

int RunList(TArgumentList& args) {
    const TInspectArguments parsed = ParseInspectArguments(args, "SHOW.exe");
    if (parsed.help) {
        std::fputs(kListHelp, stdout);
        return 0;
    }
    const std::vector<TListedSession> sessions = ReadSessions(parsed.file);
    if (parsed.json)
        PrintJson(sessions, parsed.codePage);
    else
        PrintText(sessions, parsed.codePage);
    return 0;
}

}  // namespace quindle::pack
