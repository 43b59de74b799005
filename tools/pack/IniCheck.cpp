// The project ini check: the runner's ini rules (first-column comments, first section
// and first key of a name win, untrimmed key names, the integer rule) replayed with line
// numbers, then each value against the key table.
#include "tools/pack/IniCheck.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "settings/IniFile.h"
#include "settings/ProjectKeys.h"
#include "tools/pack/CodePage.h"

namespace quindle::pack {

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

size_t Distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}

// " (did you mean X?)" for the closest of the candidates, when one is close enough.
std::string Suggestion(const std::string& name, const std::vector<std::string>& candidates) {
    const std::string lower = Lower(name);
    const std::string* best = nullptr;
    size_t bestDistance = std::max<size_t>(2, lower.size() / 3) + 1;
    for (const std::string& c : candidates) {
        const size_t d = Distance(lower, Lower(c));
        if (d < bestDistance) bestDistance = d, best = &c;
    }
    return best ? " (did you mean " + *best + "?)" : "";
}

std::vector<std::string> KnownSections() {
    std::vector<std::string> sections;
    for (const TProjectKey& k : ProjectKeys())
        if (std::find(sections.begin(), sections.end(), k.Section) == sections.end()) sections.push_back(k.Section);
    return sections;
}

// "0" to "49" as the runner spells the item keys; -1 for any other name.
int ItemIndex(const std::string& key) {
    if (key.empty() || key.size() > 2 || (key.size() == 2 && key[0] == '0')) return -1;
    for (char c : key)
        if (c < '0' || c > '9') return -1;
    return std::stoi(key);
}

struct TWritten {
    int line;
    std::string value;
};

// 0 when the text is not UTF-8, 1 when it is ASCII, 2 when it is UTF-8 beyond ASCII.
int Utf8Kind(const std::string& text) {
    bool beyond = false;
    for (size_t i = 0; i < text.size();) {
        const size_t n = Utf8CharacterLength(text, i);
        if (n == 0) return 0;
        beyond = beyond || n > 1;
        i += n;
    }
    return beyond ? 2 : 1;
}

// UTF-16 without a mark: text of mostly ASCII characters has a zero in every other byte.
const char* Utf16Order(const std::string& bytes) {
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return "little-endian, with a byte order mark";
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return "big-endian, with a byte order mark";
    size_t zeroEven = 0, zeroOdd = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        zeroEven += bytes[i] == 0;
        zeroOdd += bytes[i + 1] == 0;
    }
    const size_t pairs = bytes.size() / 2;
    if (pairs == 0) return nullptr;
    if (zeroOdd * 2 > pairs && zeroEven * 4 < pairs) return "little-endian, without a byte order mark";
    if (zeroEven * 2 > pairs && zeroOdd * 4 < pairs) return "big-endian, without a byte order mark";
    return nullptr;
}

class TIniChecker {
public:
    explicit TIniChecker(const TIniCheckOptions& options) : options_(options) {}

    std::vector<TIniFinding> Run(const std::string& bytes) {
        ReadLines(bytes);
        for (const auto& [key, written] : written_) CheckValue(*key, written);
        CheckItems();
        CheckCombinations();
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const TIniFinding& a, const TIniFinding& b) { return a.line < b.line; });
        return findings_;
    }

private:
    enum class TState { BeforeSections, Known, Skipped };

    void Report(int line, const TProjectKey* key, const std::string& message) {
        findings_.push_back({line, key ? key->Section : "", key ? key->Key : "", message});
    }
    std::string Quote(const std::string& bytes) const {
        return "'" + DecodeFromCodePage(bytes, options_.codePage) + "'";
    }
    const TWritten* Find(const char* section, const char* key) const {
        const auto it = written_.find(FindProjectKey(section, key));
        return it == written_.end() ? nullptr : &it->second;
    }
    bool PasswordChecked(const TProjectKey& k) const {
        return !(options_.passwordFromTool && k.Section == std::string("Settings") &&
                 (k.Key == std::string("Password") || k.Key == std::string("AlignmentX")));
    }

    void ReadLines(const std::string& bytes) {
        const TStringList lines = SplitIniText(bytes);
        const size_t zero = bytes.find('\0');
        if (zero != std::string::npos && zero + 1 < bytes.size())
            Report(int(lines.size()), nullptr, "a zero byte ends the text here: the runner reads nothing after it");
        TState state = TState::BeforeSections;
        std::string section;
        for (size_t i = 0; i < lines.size(); ++i) {
            const int n = int(i) + 1;
            const std::string& line = lines[i];
            if (line.empty() || line[0] == ';') continue;
            if (line[0] == '[' && line.back() == ']') {
                section = line.substr(1, line.size() - 2);
                state = SectionHeader(n, section);
                continue;
            }
            if (n == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
                Report(n, nullptr, IniEncodingProblem(bytes, options_.codePage));
                continue;
            }
            const size_t first = line.find_first_not_of(" \t");
            if (first != std::string::npos && first > 0 && (line[first] == '[' || line[first] == ';')) {
                Report(n, nullptr,
                       std::string("blank before '") + line[first] + "': the runner reads " +
                           (line[first] == '[' ? "section headers" : "comments") + " only in the first column");
                continue;
            }
            if (state == TState::BeforeSections) {
                Report(n, nullptr, "line before any section: the runner ignores it");
                continue;
            }
            if (state == TState::Skipped) continue;
            const size_t equals = line.find('=');
            if (equals == std::string::npos) {
                Report(n, nullptr, "no '=' in this line: the runner ignores it");
                continue;
            }
            KeyLine(n, section, line.substr(0, equals), line.substr(equals + 1));
        }
    }

    TState SectionHeader(int n, const std::string& name) {
        const auto seen = sectionLines_.find(Lower(name));
        if (seen != sectionLines_.end()) {
            Report(n, nullptr,
                   "section [" + name + "] given again (first on line " + std::to_string(seen->second) +
                       "): the runner reads only the first, so every key here is ignored");
            return TState::Skipped;
        }
        sectionLines_[Lower(name)] = n;
        const std::vector<std::string> known = KnownSections();
        for (const std::string& s : known)
            if (Lower(s) == Lower(name)) return TState::Known;
        Report(n, nullptr,
               "unknown section [" + name + "]: the runner reads nothing from it" + Suggestion(name, known));
        return TState::Skipped;
    }

    void KeyLine(int n, const std::string& section, const std::string& key, const std::string& value) {
        const size_t begin = key.find_first_not_of(" \t"), end = key.find_last_not_of(" \t");
        const std::string trimmed = begin == std::string::npos ? "" : key.substr(begin, end - begin + 1);
        const bool isItems = Lower(section) == "rightmenudeleteitems";
        if (trimmed != key && (FindProjectKey(section, trimmed) || (isItems && ItemIndex(trimmed) >= 0))) {
            Report(n, nullptr, "blanks around the key name: the runner does not read this line as " + trimmed);
            return;
        }
        if (isItems && ItemIndex(key) >= 0) {
            if (!items_.count(ItemIndex(key)))
                items_[ItemIndex(key)] = n;
            else
                Report(n, nullptr,
                       "item " + key + " given again (first on line " + std::to_string(items_[ItemIndex(key)]) +
                           "): the runner reads the first");
            return;
        }
        const TProjectKey* k = FindProjectKey(section, key);
        if (!k) return UnknownKey(n, section, key);
        const auto seen = written_.find(k);
        if (seen != written_.end()) {
            Report(n, k,
                   std::string(k->Key) + " given again (first on line " + std::to_string(seen->second.line) + ", " +
                       Quote(seen->second.value) + "): the runner reads the first, this one is ignored");
            return;
        }
        written_[k] = {n, value};
    }

    void UnknownKey(int n, const std::string& section, const std::string& key) {
        std::vector<std::string> candidates;
        for (const TProjectKey& k : ProjectKeys()) {
            if (Lower(k.Key) == Lower(key)) {
                Report(n, nullptr, "unknown key " + key + " in [" + section + "]: it belongs in [" + k.Section + "]");
                return;
            }
            if (Lower(k.Section) == Lower(section)) candidates.push_back(k.Key);
        }
        Report(n, nullptr,
               "unknown key " + key + " in [" + section + "]: the runner ignores it" + Suggestion(key, candidates));
    }

    void CheckValue(const TProjectKey& k, const TWritten& w) {
        if (!PasswordChecked(k)) return;
        if (k.Kind == TKeyKind::Text) return CheckText(k, w);
        int32_t v = 0;
        if (!ParseIniInt(w.value, v)) {
            const bool trailing = !w.value.empty() && (w.value.back() == ' ' || w.value.back() == '\t');
            Report(w.line, &k,
                   std::string(k.Key) + "=" + Quote(w.value) +
                       (w.value.empty() ? " is empty"
                        : trailing      ? " has blanks after the number"
                                        : " is not a number") +
                       ": the runner reads the default " + std::to_string(k.Default));
            return;
        }
        if (v >= k.Low && v <= k.High) return;
        const std::string written = std::string(k.Key) + "=" + std::to_string(v);
        switch (k.Kind) {
            case TKeyKind::Hash:
                Report(w.line, &k, written + " can never match: password hashes are below 429496729");
                break;
            case TKeyKind::OnWhenOne:
                Report(w.line, &k, written + " turns the password off: only 1 asks for it");
                break;
            case TKeyKind::OnWhenSet:
                Report(w.line, &k, written + " acts like 1");
                break;
            case TKeyKind::Flag:
                Report(w.line, &k,
                       written + " is neither 0 nor 1: the runner leaves " + k.Key + " off" +
                           (k.Default == 1 ? " (its default is on)" : ""));
                break;
            case TKeyKind::ThreeWay:
                Report(w.line, &k,
                       written +
                           (UserChoiceFor(k.Key) ? " leaves the choice to the user, like 2" : " plays once, like 0"));
                break;
            case TKeyKind::MenuItems:
                Report(w.line, &k, written + (v < 0 ? ": no item is read" : ": only the items 0 to 49 are read"));
                break;
            case TKeyKind::Number:
            case TKeyKind::Text:
                Report(w.line, &k,
                       written + " is outside " + std::to_string(k.Low) + ".." + std::to_string(k.High) + " (" +
                           k.Accepted + ")");
                break;
        }
    }

    // Texts reach the screen as code page bytes; UTF-8 written by an editor shows as mojibake.
    void CheckText(const TProjectKey& k, const TWritten& w) {
        if (Utf8Kind(w.value) == 2)
            Report(w.line, &k,
                   std::string(k.Key) + " is written in UTF-8: the runner shows " + Quote(w.value) +
                       "; save the file in code page " + std::to_string(options_.codePage));
    }

    void CheckItems() {
        const TWritten* count = Find("RightMenuDeleteItems", "Count");
        int32_t c = 0;
        if (count) ParseIniInt(count->value, c);
        const int32_t read = std::min<int32_t>(std::max<int32_t>(c, 0), kRightMenuDeleteItemCount);
        for (const auto& [index, line] : items_)
            if (index >= read)
                findings_.push_back({line, "RightMenuDeleteItems", std::to_string(index),
                                     "item " + std::to_string(index) + " is not read: Count is " +
                                         (count ? std::to_string(c) : "not given") +
                                         (index >= kRightMenuDeleteItemCount ? " and only 0 to 49 are read" : "")});
    }

    // What the runner makes of a number key: its value when it parses, else the default.
    static int32_t Effective(const TProjectKey& k, const TWritten* w) {
        int32_t v = k.Default;
        if (w && !ParseIniInt(w->value, v)) v = k.Default;
        return v;
    }

    void CheckCombinations() {
        const TProjectKey& password = *FindProjectKey("Settings", "Password");
        const TWritten* p = Find("Settings", "Password");
        const TWritten* h = Find("Settings", "AlignmentX");
        int32_t unused = 0;
        if (!options_.passwordFromTool && Effective(password, p) == 1 && !(h && ParseIniInt(h->value, unused))) {
            Report(p ? p->line : 0, &password,
                   std::string(p ? "Password=1" : "no Password key, so a password is asked for,") +
                       " but AlignmentX holds no hash: every password will be refused "
                       "(write Password=0, or pack with --password)");
        }
        const TWritten* times = Find("Settings", "MidiLoopTimes");
        if (times && Effective(*FindProjectKey("Settings", "MidiLoop"), Find("Settings", "MidiLoop")) != 1)
            Report(times->line, FindProjectKey("Settings", "MidiLoopTimes"),
                   "MidiLoopTimes has no effect: MidiLoop is not 1");
    }

    TIniCheckOptions options_;
    std::vector<TIniFinding> findings_;
    std::map<std::string, int> sectionLines_;  // lower-case name -> line of its first header
    std::map<const TProjectKey*, TWritten> written_;
    std::map<int, int> items_;  // RightMenuDeleteItems index -> line
};

}  // namespace

std::vector<TIniFinding> CheckProjectIni(const std::string& bytes, const TIniCheckOptions& options) {
    // The runner sees nothing of a UTF-16 file but its first character: nothing else to say.
    if (Utf16Order(bytes)) return {{0, "", "", IniEncodingProblem(bytes, options.codePage)}};
    return TIniChecker(options).Run(bytes);
}

std::string IniEncodingProblem(const std::string& bytes, int codePage) {
    const std::string fix = "save it as code page " + std::to_string(codePage) + " text";
    if (const char* order = Utf16Order(bytes))
        return std::string("the file is UTF-16 text (") + order +
               "): the runner reads it as bytes and stops at its first zero byte, so it sees no setting; " + fix;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return "the file begins with a UTF-8 byte order mark, so the runner does not see a section header on its "
               "first line: " +
               fix + " (without the mark)";
    return {};
}

bool IsUtf8BeyondAscii(const std::string& bytes) { return Utf8Kind(bytes) == 2; }

}  // namespace quindle::pack
