// Dates, times and numbers as text in given regional formats: what the ini component's
// typed date, time and float operations read and write.
#pragma once

#include "settings/RegionalFormats.h"

#include <string>

namespace quindle {

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

// A calendar date as a day count; false for an impossible date.
bool EncodeDate(int year, int month, int day, TDateTime& result);
void DecodeDate(TDateTime value, int& year, int& month, int& day);

std::string DateToText(TDateTime value, const TFormatSettings& fs);
std::string TimeToText(TDateTime value, const TFormatSettings& fs);
// Date, then a blank and the time unless the time of day is exactly midnight.
std::string DateTimeToText(TDateTime value, const TFormatSettings& fs);
// General form, 15 significant digits, the locale's decimal separator.
std::string FloatToText(double value, const TFormatSettings& fs);

// Each returns false when the text is not in the format; result is then untouched.
bool TextToDate(const std::string& text, const TFormatSettings& fs, TDateTime& result);
bool TextToTime(const std::string& text, const TFormatSettings& fs, TDateTime& result);
bool TextToDateTime(const std::string& text, const TFormatSettings& fs, TDateTime& result);
bool TextToFloat(const std::string& text, const TFormatSettings& fs, double& result);

}  // namespace quindle
