// The system's regional conventions that the ini component depends on: how names are
// compared ignoring case, and how dates, times and numbers are written. Windows answers
// from the user's locale (settings/win32/); everywhere else a fixed set applies.
#pragma once

#include <string>

namespace quindle {

// Picture strings use the Windows notation: d dd M MM yy yyyy for dates,
// h hh (12-hour) H HH (24-hour) m mm s ss t tt for times, '...' for literal text.
struct TFormatSettings {
    std::string ShortDateFormat;
    char DateSeparator = '/';
    std::string LongTimeFormat;
    char TimeSeparator = ':';
    char DecimalSeparator = '.';
    std::string TimeAMString;
    std::string TimePMString;
};

class IRegionalFormats {
public:
    virtual ~IRegionalFormats() = default;
    // Equal ignoring case, by the locale's own rules.
    virtual bool SameText(const std::string& a, const std::string& b) const = 0;
    virtual const TFormatSettings& Formats() const = 0;
};

// The fixed conventions of the portable build: ASCII case folding, yyyy-MM-dd,
// HH:mm:ss and a decimal point.
const IRegionalFormats& FixedRegionalFormats();

}  // namespace quindle
