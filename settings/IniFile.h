// The runner's ini component: an abstract ini file with typed reads and writes built on
// two text primitives, and TMemIniFile, which holds the whole file in memory and writes
// it back only on Flush. The project settings loader reads the session's ini with it.
#pragma once

#include "settings/DateTimeText.h"
#include "settings/RegionalFormats.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quindle {

using TStringList = std::vector<std::string>;

class TCustomIniFile {
public:
    // regional: name comparison and date, time and float formats (the system's on Windows).
    explicit TCustomIniFile(std::string fileName, const IRegionalFormats& regional = FixedRegionalFormats());
    virtual ~TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    const std::string FileName;

    virtual std::string GetText(const std::string& section, const std::string& key, const std::string& def) = 0;
    virtual void SetText(const std::string& section, const std::string& key, const std::string& text) = 0;
    virtual int32_t GetInt(const std::string& section, const std::string& key, int32_t def);
    virtual void SetInt(const std::string& section, const std::string& key, int32_t value);
    virtual bool GetFlag(const std::string& section, const std::string& key, bool def);
    virtual void SetFlag(const std::string& section, const std::string& key, bool value);
    virtual TDateTime GetDate(const std::string& section, const std::string& key, TDateTime def);
    virtual TDateTime GetDateTime(const std::string& section, const std::string& key, TDateTime def);
    virtual double GetFloat(const std::string& section, const std::string& key, double def);
    virtual TDateTime GetTime(const std::string& section, const std::string& key, TDateTime def);
    virtual void SetDate(const std::string& section, const std::string& key, TDateTime value);
    virtual void SetDateTime(const std::string& section, const std::string& key, TDateTime value);
    virtual void SetFloat(const std::string& section, const std::string& key, double value);
    virtual void SetTime(const std::string& section, const std::string& key, TDateTime value);
    virtual void ListKeys(const std::string& section, TStringList& target) = 0;
    virtual void ListSections(TStringList& target) = 0;
    virtual void ListSectionLines(const std::string& section, TStringList& target) = 0;
    virtual void DropSection(const std::string& section) = 0;
    virtual void DropKey(const std::string& section, const std::string& key) = 0;
    virtual void Flush() = 0;

protected:
    const IRegionalFormats& Regional;
};

// The integer rule of GetInt: optional leading blanks, then a signed decimal in
// -2147483647..2147483647 or "$" with hexadecimal digits filling at most 32 bits;
// "0x"/"0X" counts as "$". False for anything else.
bool ParseIniInt(const std::string& text, int32_t& value);

class TMemIniFile : public TCustomIniFile {
public:
    struct TSection {
        std::string Name;
        TStringList Lines;  // raw lines, as they stood in the file
    };

    // Loads fileName at once; a missing file gives an empty ini. An unreadable file
    // throws std::runtime_error.
    explicit TMemIniFile(const std::string& fileName, const IRegionalFormats& regional = FixedRegionalFormats());
    ~TMemIniFile() override;

    std::string GetText(const std::string& section, const std::string& key, const std::string& def) override;
    void SetText(const std::string& section, const std::string& key, const std::string& text) override;
    void ListKeys(const std::string& section, TStringList& target) override;
    void ListSections(TStringList& target) override;
    void ListSectionLines(const std::string& section, TStringList& target) override;
    void DropSection(const std::string& section) override;
    void DropKey(const std::string& section, const std::string& key) override;
    // Writes GetLines to FileName with CR LF line ends; throws std::runtime_error on failure.
    void Flush() override;

    void Reload();
    void ParseLines(const TStringList& lines);
    void GetLines(TStringList& target) const;
    TStringList& AddSection(const std::string& name);
    void ClearSections();

    // Sections in file order; names may repeat, lookups take the first.
    std::vector<std::unique_ptr<TSection>> Sections;

private:
    TSection* FindSection(const std::string& name);
    // Index of the first line whose key is key, or -1.
    int FindKey(const TSection& section, const std::string& key) const;
};

// Splits bytes into lines at CR, LF or CR LF; a zero byte ends the text.
TStringList SplitIniText(const std::string& bytes);

}  // namespace quindle
