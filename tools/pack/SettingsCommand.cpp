// quindle-pack settings: every key the runner reads from a project ini, printed from
// the loader's own key table.
#include <cstdio>

#include "settings/ProjectKeys.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/Json.h"

namespace quindle::pack {

namespace {

const char* const kSettingsHelp =
    "usage: quindle-pack settings [--json]\n"
    "Lists every key the runner reads from a project ini, in the runner's reading order:\n"
    "section, key, type, default, the values it accepts, its meaning, and for options the\n"
    "author may leave open, the registry value that then decides.\n";

const char* KindName(TKeyKind kind) {
    switch (kind) {
        case TKeyKind::Number:
            return "number";
        case TKeyKind::Hash:
            return "password hash";
        case TKeyKind::OnWhenOne:
        case TKeyKind::OnWhenSet:
            return "switch";
        case TKeyKind::Flag:
            return "flag";
        case TKeyKind::ThreeWay:
            return "three-way";
        case TKeyKind::Text:
            return "text";
        case TKeyKind::MenuItems:
            return "item count";
    }
    return "";
}

std::string DefaultText(const TProjectKey& k) {
    if (k.Kind != TKeyKind::Text) return std::to_string(k.Default);
    if (!k.DefaultText) return "the runner's file name without .exe";
    return *k.DefaultText ? "\"" + std::string(k.DefaultText) + "\"" : "empty";
}

void PrintJson() {
    TJsonWriter json;
    json.BeginObject().Key("keys").BeginArray();
    for (const TProjectKey& k : ProjectKeys()) {
        json.BeginObject()
            .Member("section", std::string(k.Section))
            .Member("key", std::string(k.Key))
            .Member("type", std::string(KindName(k.Kind)));
        json.Key("default");
        if (k.Kind != TKeyKind::Text)
            json.Number(k.Default);
        else if (k.DefaultText)
            json.String(k.DefaultText);
        else
            json.Null();
        json.Member("accepts", std::string(k.Accepted)).Member("meaning", std::string(k.Meaning));
        json.Key("userChoice");
        if (const TUserChoice* c = UserChoiceFor(k.Key)) {
            json.BeginObject()
                .Member("registryValue", std::string(c->RegistryValue))
                .Member("whenAbsent", c->Default)
                .Member("inverted", c->Inverted)
                .EndObject();
        } else {
            json.Null();
        }
        json.EndObject();
    }
    json.EndArray().EndObject();
    std::fputs(json.Text().c_str(), stdout);
}

void PrintText() {
    const char* section = "";
    for (const TProjectKey& k : ProjectKeys()) {
        if (std::string(section) != k.Section) {
            std::printf("%s[%s]\n", *section ? "\n" : "", k.Section);
            section = k.Section;
        }
        std::printf("%s  (%s, default %s)\n    %s\n    accepts: %s\n", k.Key, KindName(k.Kind), DefaultText(k).c_str(),
                    k.Meaning, k.Accepted);
        if (const TUserChoice* c = UserChoiceFor(k.Key))
            std::printf(
                "    left to the user: the registry value \"%s\" decides (\"0\" or \"1\"; absent counts as \"%d\")\n",
                c->RegistryValue, int(c->Default));
    }
}

}  // namespace

int RunSettings(TArgumentList& args) {
    bool json = false;
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (IsHelpRequest(arg)) {
            std::fputs(kSettingsHelp, stdout);
            return 0;
        }
        if (arg == "--json")
            json = true;
        else
            throw EUsageError("unexpected argument " + arg);
    }
    if (json)
        PrintJson();
    else
        PrintText();
    return 0;
}

}  // namespace quindle::pack
