// The user's regional conventions on Windows: CompareString ignoring case, and the short
// date, long time and decimal formats of the user's locale. Used by TMemIniFile.
#include "settings/win32/Win32RegionalFormats.h"

#include <windows.h>

namespace quindle {
namespace {

std::string LocaleText(LCTYPE type, const char* fallback) {
    char buffer[128];
    const int got = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return got > 1 ? std::string(buffer, got - 1) : std::string(fallback);
}

class TWin32RegionalFormats final : public IRegionalFormats {
public:
    TWin32RegionalFormats() {
        formats_.ShortDateFormat = LocaleText(LOCALE_SSHORTDATE, "M/d/yyyy");
        formats_.DateSeparator = LocaleText(LOCALE_SDATE, "/")[0];
        formats_.LongTimeFormat = LocaleText(LOCALE_STIMEFORMAT, "h:mm:ss tt");
        formats_.TimeSeparator = LocaleText(LOCALE_STIME, ":")[0];
        formats_.DecimalSeparator = LocaleText(LOCALE_SDECIMAL, ".")[0];
        formats_.TimeAMString = LocaleText(LOCALE_S1159, "AM");
        formats_.TimePMString = LocaleText(LOCALE_S2359, "PM");
    }
    bool SameText(const std::string& a, const std::string& b) const override {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size())) == CSTR_EQUAL;
    }
    const TFormatSettings& Formats() const override { return formats_; }

private:
    TFormatSettings formats_;
};

}  // namespace

const IRegionalFormats& SystemRegionalFormats() {
    static const TWin32RegionalFormats system;
    return system;
}

}  // namespace quindle
