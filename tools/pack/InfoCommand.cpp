// quindle-pack info: what a packaged presentation will do, found by running the
// runner's own settings pass and replaying its routing over the session, without running it.
#include <cstdio>

#include <map>

#include "base/Text.h"
#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "runner/Lifecycle.h"
#include "runner/SettingsPass.h"
#include "settings/ProjectKeys.h"
#include "settings/ProjectSettingsLoader.h"
#include "tools/pack/CodePage.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/HostFiles.h"
#include "tools/pack/Json.h"
#include "tools/pack/SessionRouting.h"
#include "tools/pack/Signature.h"

namespace quindle::pack {

namespace {

const char* const kInfoHelp =
    "usage: quindle-pack info SHOW.exe [--json] [--codepage N]\n"
    "Shows what the packaged presentation will do: its projector, hook library, music,\n"
    "tool folders and tagged folders, and its settings as the runner will read them\n"
    "(defaults filled in; options left to the user name the registry value that decides);\n"
    "and whether the show is signed, and by whom (the signature itself is not checked).\n"
    "  --codepage N  the presentation's Windows code page for names and texts (default 1252)\n";

// Reads the archive; every file written is kept in memory under its path.
class TMemoryFiles : public IArchiveFileSystem {
public:
    explicit TMemoryFiles(IArchiveFileSystem& host) : host_(host) {}
    std::map<std::string, std::string> written;

    std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) override { return host_.OpenArchive(path); }
    std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string& path) override {
        return std::make_unique<TMemoryWriter>(written[path]);
    }
    bool RemoveFile(const std::string& path) override { return written.erase(path) > 0; }
    std::string OwnExecutablePath() override { return {}; }
    bool IsLeadByte(unsigned char c) const override { return host_.IsLeadByte(c); }

private:
    class TMemoryWriter : public IArchiveWriter {
    public:
        explicit TMemoryWriter(std::string& data) : data_(data) {}
        void Write(const void* data, size_t count) override { data_.append(static_cast<const char*>(data), count); }
        bool SetLastWriteTime(uint64_t) override { return true; }

    private:
        std::string& data_;
    };
    IArchiveFileSystem& host_;
};

struct TShowInfo {
    std::vector<TSessionEntry> entries;
    int iniIndex = -1;
    TProjectSettings settings;
    TRoutedSession routed;
};

// Every entry of the runner's session, in order; nothing is written.
std::vector<TSessionEntry> ListEntries(TSessionExtractor& extractor) {
    std::vector<TSessionEntry> entries;
    extractor.OnFile = [&entries](TSessionExtractor& sender, std::string& fileName, std::string&, bool& skip) {
        entries.push_back({fileName, sender.EntryTag});
        skip = true;
    };
    extractor.Extract(kRunnerSessionName);
    extractor.OnFile = nullptr;
    return entries;
}

TShowInfo ReadShow(const std::string& show) {
    auto host = MakeHostFileSystem();
    TMemoryFiles files(*host);
    TSessionExtractor extractor(files);
    extractor.UseOwnExecutable = false;
    extractor.ArchiveFileName = show;
    TShowInfo info;
    info.entries = ListEntries(extractor);
    info.iniIndex = ProjectIniIndex(info.entries);
    // The runner's own settings pass, for a user who made no choices, with the ini kept
    // in memory.
    TEmptyRunDir folders;
    TMemRegistryStore noChoices;
    TSettingsSources sources{
        extractor, folders, noChoices, "", ExeBaseNameOf(FileNamePart(show)), [&files](const std::string& path) {
            auto ini = std::make_unique<TMemIniFile>("");
            ini->ParseLines(SplitIniText(files.written[path]));
            return ini;
        }};
    LoadProjectSettings(sources, info.settings);
    info.routed = RouteSession(info.entries, info.settings.MidiMuted.Checked);
    return info;
}

// A key's effective value as ini text; for an option left open, empty.
std::string EffectiveValue(const TProjectKey& k, const TProjectSettings& s, int codePage) {
    return std::visit(
        [&](auto field) -> std::string {
            const auto& v = s.*field;
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>)
                return DecodeFromCodePage(v, codePage);
            else if constexpr (std::is_same_v<T, TOptionState>) {
                if (k.Kind == TKeyKind::ThreeWay && v.Visible) return {};
                if (k.Kind == TKeyKind::ThreeWay) return v.Checked == k.CheckedFor1 ? "1" : "0";
                return v.Checked ? "1" : "0";
            } else if constexpr (std::is_same_v<T, std::array<int32_t, kRightMenuDeleteItemCount>>) {
                std::string items;
                for (int32_t item : v)
                    if (item) items += (items.empty() ? "" : ",") + std::to_string(item);
                return items;
            } else {
                return std::to_string(v);
            }
        },
        k.Field);
}

std::string Decoded(const std::string& text, int codePage) { return DecodeFromCodePage(text, codePage); }

void PrintText(const std::string& show, const TShowInfo& info, int cp) {
    const TRoutedSession& r = info.routed;
    auto line = [cp](const char* label, const std::string& value) {
        std::printf("  %-14s %s\n", label, value.empty() ? "none" : Decoded(value, cp).c_str());
    };
    std::printf("%s: session \"%s\", %zu entries\n", show.c_str(), kRunnerSessionName, info.entries.size());
    std::printf("  %-14s %s\n", "signature", DescribeSignature(ReadSignature(show)).c_str());
    line("projector", r.projector);
    line("hook library", r.hookLibrary);
    line("music", r.music.empty() && info.settings.MidiMuted.Checked ? "none (Midi=1: not extracted)" : r.music);
    line("settings ini", info.iniIndex >= 0 ? info.entries[size_t(info.iniIndex)].name : "");
    for (const std::string& config : r.toolConfigs) line("tool", config);
    for (const TToolFile& f : r.toolFiles) line("tool file", f.Tag + ": " + f.Path);
    for (const std::string& folder : r.tagFolders) line("folder", std::string(kRunDirectory) + folder);
    for (const std::string& file : r.otherFiles) line("file", file);
    if (info.iniIndex < 0) {
        std::printf(
            "no project ini: the runner keeps its built-in state (no password, every option off, a window "
            "the size of the screen)\n");
        return;
    }
    std::printf("settings as the runner reads them:\n");
    for (const TProjectKey& k : ProjectKeys()) {
        const std::string value = EffectiveValue(k, info.settings, cp);
        const TUserChoice* choice = UserChoiceFor(k.Key);
        if (value.empty() && choice)
            std::printf("  %-24s left to the user: registry value \"%s\" (absent: \"%d\")\n", k.Key,
                        choice->RegistryValue, int(choice->Default));
        else
            std::printf("  %-24s %s\n", k.Key, value.empty() ? "(none)" : value.c_str());
    }
}

void PrintJson(const std::string& show, const TShowInfo& info, int cp) {
    const TRoutedSession& r = info.routed;
    TJsonWriter json;
    auto nameOrNull = [&json, cp](const std::string& key, const std::string& value) {
        json.Key(key);
        value.empty() ? json.Null() : json.String(Decoded(value, cp));
    };
    json.BeginObject().Member("file", show).Member("session", std::string(kRunnerSessionName)).Member("codepage", cp);
    const TSignatureFacts signature = ReadSignature(show);
    json.Key("signature");
    if (signature.Signed) {
        json.BeginObject().Member("description", DescribeSignature(signature)).Key("signer");
        signature.Signer ? json.String(*signature.Signer) : json.Null();
        json.EndObject();
    } else {
        json.Null();
    }
    nameOrNull("projector", r.projector);
    nameOrNull("hookLibrary", r.hookLibrary);
    nameOrNull("music", r.music);
    nameOrNull("settingsIni", info.iniIndex >= 0 ? info.entries[size_t(info.iniIndex)].name : "");
    json.Key("tools").BeginArray();
    for (const std::string& config : r.toolConfigs) json.String(Decoded(config, cp));
    json.EndArray().Key("toolFiles").BeginArray();
    for (const TToolFile& f : r.toolFiles)
        json.BeginObject().Member("tag", Decoded(f.Tag, cp)).Member("path", Decoded(f.Path, cp)).EndObject();
    json.EndArray().Key("tagFolders").BeginArray();
    for (const std::string& folder : r.tagFolders) json.String(Decoded(folder, cp));
    json.EndArray().Key("otherFiles").BeginArray();
    for (const std::string& file : r.otherFiles) json.String(Decoded(file, cp));
    json.EndArray().Key("settings");
    if (info.iniIndex < 0) {
        json.Null();
    } else {
        json.BeginArray();
        for (const TProjectKey& k : ProjectKeys()) {
            const std::string value = EffectiveValue(k, info.settings, cp);
            const TUserChoice* choice = UserChoiceFor(k.Key);
            json.BeginObject().Member("section", std::string(k.Section)).Member("key", std::string(k.Key));
            json.Key("value");
            value.empty() && choice ? json.Null() : json.String(value);
            json.Key("userChoice");
            value.empty() && choice ? json.String(choice->RegistryValue) : json.Null();
            json.EndObject();
        }
        json.EndArray();
    }
    json.EndObject();
    std::fputs(json.Text().c_str(), stdout);
}

}  // namespace

int RunInfo(TArgumentList& args) {
    const TInspectArguments parsed = ParseInspectArguments(args, "SHOW.exe");
    if (parsed.help) {
        std::fputs(kInfoHelp, stdout);
        return 0;
    }
    const TShowInfo info = ReadShow(parsed.file);
    if (parsed.json)
        PrintJson(parsed.file, info, parsed.codePage);
    else
        PrintText(parsed.file, info, parsed.codePage);
    return 0;
}

}  // namespace quindle::pack
