// Calendar arithmetic on days since 1970-01-01 (proleptic Gregorian), independent of
// the C library's time range. Used by the ini component's dates and by quindle-pack's
// file times.
#pragma once

#include <cstdint>

namespace quindle {

int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day);
void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day);
bool IsLeapYear(int64_t year);
int DaysInMonth(int64_t year, int month);

}  // namespace quindle
