// Dates, times and numbers as text in given regional formats. Used by the ini component.
#include "settings/DateTimeText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "base/Calendar.h"

namespace quindle {
namespace {

constexpr int64_t kDaysFrom1970To1899 = 25569;  // 1899-12-30 is day 0
constexpr double kMsPerDay = 86400000.0;

// Hours, minutes, seconds and milliseconds of the time of day in value.
void DecodeTime(TDateTime value, int& h, int& m, int& s, int& ms) {
    double frac = std::fabs(value - std::trunc(value));
    int64_t total = static_cast<int64_t>(std::llround(frac * kMsPerDay));
    if (total >= 86400000) total = 86399999;
    ms = static_cast<int>(total % 1000);
    total /= 1000;
    s = static_cast<int>(total % 60);
    total /= 60;
    m = static_cast<int>(total % 60);
    h = static_cast<int>(total / 60);
}

std::string Number(int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    return buf;
}

// Renders a picture string. Runs of one letter are one field; '...' is literal text;
// '/' and ':' stand for the locale's separators.
template <typename Field>
std::string RenderPicture(const std::string& picture, const TFormatSettings& fs, Field field) {
    std::string out;
    for (size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') {
            const size_t end = picture.find('\'', i + 1);
            if (end == i + 1)
                out += '\'';
            else
                out += picture.substr(i + 1, (end == std::string::npos ? picture.size() : end) - i - 1);
            i = end == std::string::npos ? picture.size() : end + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        if (!field(c, run, out)) {
            for (size_t k = 0; k < run; ++k) {
                out += c == '/' ? fs.DateSeparator : c == ':' ? fs.TimeSeparator : c;
            }
        }
        i += run;
    }
    return out;
}

class TScanner {
public:
    explicit TScanner(const std::string& text) : text_(text) {}
    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    bool Number(int& value, size_t& digits) {
        digits = 0;
        value = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            if (digits == 9) return false;
            value = value * 10 + (text_[pos_++] - '0');
            ++digits;
        }
        return digits > 0;
    }
    bool Char(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Word(const std::string& word) {
        if (word.empty() || text_.size() - pos_ < word.size()) return false;
        for (size_t i = 0; i < word.size(); ++i) {
            char a = text_[pos_ + i], b = word[i];
            if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
            if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
            if (a != b) return false;
        }
        pos_ += word.size();
        return true;
    }
    bool AtEnd() const { return pos_ == text_.size(); }

private:
    const std::string& text_;
    size_t pos_ = 0;
};

// Order of day, month and year in the short date picture, e.g. "dMy".
std::string DateOrder(const std::string& picture) {
    std::string order;
    bool quoted = false;
    for (char c : picture) {
        if (c == '\'') quoted = !quoted;
        if (quoted) continue;
        const char f = c == 'D' ? 'd' : c == 'm' ? 'M' : c == 'Y' ? 'y' : c;
        if ((f == 'd' || f == 'M' || f == 'y') && order.find(f) == std::string::npos) order += f;
    }
    return order.size() == 3 ? order : std::string("Mdy");
}

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local ? local->tm_year + 1900 : 2000;
}

bool ScanDate(TScanner& scan, const TFormatSettings& fs, TDateTime& result) {
    int parts[3] = {0, 0, 0};
    size_t digits[3] = {0, 0, 0};
    scan.SkipBlanks();
    int count = 0;
    while (count < 3) {
        if (count > 0 && !scan.Char(fs.DateSeparator)) break;
        if (!scan.Number(parts[count], digits[count])) return false;
        ++count;
    }
    if (count < 2) return false;
    std::string order = DateOrder(fs.ShortDateFormat);
    int year = 0, month = 0, day = 0;
    if (count == 2) {
        order.erase(order.find('y'), 1);
        year = CurrentYear();
    }
    for (int i = 0; i < count; ++i) {
        if (order[i] == 'd') day = parts[i];
        if (order[i] == 'M') month = parts[i];
        if (order[i] == 'y') {
            year = parts[i];
            // Two-digit years: 00-49 are 20xx, 50-99 are 19xx.
            if (digits[i] <= 2) year += year < 50 ? 2000 : 1900;
        }
    }
    return EncodeDate(year, month, day, result);
}

bool ScanTime(TScanner& scan, const TFormatSettings& fs, TDateTime& result) {
    int h = 0, m = 0, s = 0, ms = 0;
    size_t digits = 0;
    scan.SkipBlanks();
    if (!scan.Number(h, digits)) return false;
    if (!scan.Char(fs.TimeSeparator) || !scan.Number(m, digits)) return false;
    if (scan.Char(fs.TimeSeparator)) {
        if (!scan.Number(s, digits)) return false;
        if (scan.Char(fs.DecimalSeparator) && !scan.Number(ms, digits)) return false;
    }
    scan.SkipBlanks();
    int halfDay = -1;  // -1: 24-hour clock, 0: AM, 1: PM
    if (scan.Word(fs.TimeAMString) || scan.Word("AM"))
        halfDay = 0;
    else if (scan.Word(fs.TimePMString) || scan.Word("PM"))
        halfDay = 1;
    if (halfDay >= 0) {
        if (h < 1 || h > 12) return false;
        h = h % 12 + 12 * halfDay;
    }
    if (h > 23 || m > 59 || s > 59 || ms > 999) return false;
    result = ((h * 60.0 + m) * 60.0 + s) * 1000.0 + ms;
    result /= kMsPerDay;
    return true;
}

// Adds a time of day to a date, away from zero for dates before day 0.
TDateTime Combine(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

}  // namespace

bool EncodeDate(int year, int month, int day, TDateTime& result) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        return false;
    }
    result = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                                 kDaysFrom1970To1899);
    return true;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    int64_t y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(static_cast<int64_t>(std::trunc(value)) - kDaysFrom1970To1899, y, m, d);
    year = static_cast<int>(y);
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

std::string DateToText(TDateTime value, const TFormatSettings& fs) {
    int y, mo, d;
    DecodeDate(value, y, mo, d);
    return RenderPicture(fs.ShortDateFormat, fs, [&](char c, size_t run, std::string& out) {
        switch (c) {
            case 'd':
                out += Number(d, run >= 2 ? 2 : 1);
                return true;
            case 'M':
                out += Number(mo, run >= 2 ? 2 : 1);
                return true;
            case 'y':
                out += run <= 2 ? Number(y % 100, 2) : Number(y, 4);
                return true;
            case 'g':
                return true;  // era: none shown
            default:
                return false;
        }
    });
}

std::string TimeToText(TDateTime value, const TFormatSettings& fs) {
    int h, m, s, ms;
    DecodeTime(value, h, m, s, ms);
    const std::string& halfDay = h < 12 ? fs.TimeAMString : fs.TimePMString;
    return RenderPicture(fs.LongTimeFormat, fs, [&](char c, size_t run, std::string& out) {
        switch (c) {
            case 'h':
                out += Number(h % 12 == 0 ? 12 : h % 12, run >= 2 ? 2 : 1);
                return true;
            case 'H':
                out += Number(h, run >= 2 ? 2 : 1);
                return true;
            case 'm':
                out += Number(m, run >= 2 ? 2 : 1);
                return true;
            case 's':
                out += Number(s, run >= 2 ? 2 : 1);
                return true;
            case 't':
                out += run == 1 ? halfDay.substr(0, 1) : halfDay;
                return true;
            default:
                return false;
        }
    });
}

std::string DateTimeToText(TDateTime value, const TFormatSettings& fs) {
    std::string text = DateToText(value, fs);
    if (value != std::trunc(value)) text += ' ' + TimeToText(value, fs);
    return text;
}

std::string FloatToText(double value, const TFormatSettings& fs) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string text = buf;
    // "1E+020" -> "1E20", "1E-05" -> "1E-5": no plus sign, no leading exponent zeros.
    const size_t e = text.find('E');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1);
        const bool negative = !exponent.empty() && exponent[0] == '-';
        if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.erase(0, 1);
        exponent.erase(0, exponent.find_first_not_of('0'));
        text = mantissa + 'E' + (negative ? "-" : "") + (exponent.empty() ? "0" : exponent);
    }
    for (char& c : text) {
        if (c == '.') c = fs.DecimalSeparator;
    }
    return text;
}

bool TextToDate(const std::string& text, const TFormatSettings& fs, TDateTime& result) {
    TScanner scan(text);
    TDateTime date;
    if (!ScanDate(scan, fs, date)) return false;
    scan.SkipBlanks();
    if (!scan.AtEnd()) return false;
    result = date;
    return true;
}

bool TextToTime(const std::string& text, const TFormatSettings& fs, TDateTime& result) {
    TScanner scan(text);
    TDateTime time;
    if (!ScanTime(scan, fs, time)) return false;
    scan.SkipBlanks();
    if (!scan.AtEnd()) return false;
    result = time;
    return true;
}

bool TextToDateTime(const std::string& text, const TFormatSettings& fs, TDateTime& result) {
    TScanner scan(text);
    TDateTime date, time = 0;
    if (!ScanDate(scan, fs, date)) return TextToTime(text, fs, result);
    scan.SkipBlanks();
    if (!scan.AtEnd() && !ScanTime(scan, fs, time)) return false;
    scan.SkipBlanks();
    if (!scan.AtEnd()) return false;
    result = Combine(date, time);
    return true;
}

bool TextToFloat(const std::string& text, const TFormatSettings& fs, double& result) {
    // Only sign, digits, one decimal separator and an exponent: no "inf", "nan" or hex.
    std::string plain;
    size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) return false;
    size_t end = text.find_last_not_of(' ') + 1;
    bool digits = false, point = false, exponent = false;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            plain += c;
        } else if ((c == '+' || c == '-') && (plain.empty() || plain.back() == 'E')) {
            plain += c;
        } else if (c == fs.DecimalSeparator && !point && !exponent) {
            point = true;
            plain += '.';
        } else if ((c == 'e' || c == 'E') && digits && !exponent) {
            exponent = true;
            digits = false;
            plain += 'E';
        } else {
            return false;
        }
    }
    if (!digits) return false;
    char* stop = nullptr;
    const double value = std::strtod(plain.c_str(), &stop);
    if (stop != plain.c_str() + plain.size() || !std::isfinite(value)) return false;
    result = value;
    return true;
}

}  // namespace quindle
