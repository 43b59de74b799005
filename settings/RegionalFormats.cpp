// Fixed regional conventions for builds without a system locale (native tests, tools).
#include "settings/RegionalFormats.h"

#include "base/Text.h"

namespace quindle {
namespace {

class TFixedRegionalFormats final : public IRegionalFormats {
public:
    TFixedRegionalFormats() {
        formats_.ShortDateFormat = "yyyy-MM-dd";
        formats_.DateSeparator = '-';
        formats_.LongTimeFormat = "HH:mm:ss";
        formats_.TimeSeparator = ':';
        formats_.DecimalSeparator = '.';
        formats_.TimeAMString = "AM";
        formats_.TimePMString = "PM";
    }
    bool SameText(const std::string& a, const std::string& b) const override { return SameTextAscii(a, b); }
    const TFormatSettings& Formats() const override { return formats_; }

private:
    TFormatSettings formats_;
};

}  // namespace

const IRegionalFormats& FixedRegionalFormats() {
    static const TFixedRegionalFormats fixed;
    return fixed;
}

}  // namespace quindle
