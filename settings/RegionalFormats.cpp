// Fixed regional conventions for builds without a system locale (native tests, tools).
#include "settings/RegionalFormats.h"

namespace quindle {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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
    bool SameText(const std::string& a, const std::string& b) const override {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
        }
        return true;
    }
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
