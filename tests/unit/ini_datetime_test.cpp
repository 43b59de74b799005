// Dates, times and floats in the ini component, in the fixed formats and in others.
#include "settings/DateTimeText.h"
#include "settings/IniFile.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TFormatSettings German() {
    TFormatSettings fs;
    fs.ShortDateFormat = "dd.MM.yyyy";
    fs.DateSeparator = '.';
    fs.LongTimeFormat = "HH:mm:ss";
    fs.TimeSeparator = ':';
    fs.DecimalSeparator = ',';
    return fs;
}

TFormatSettings UnitedStates() {
    TFormatSettings fs;
    fs.ShortDateFormat = "M/d/yyyy";
    fs.DateSeparator = '/';
    fs.LongTimeFormat = "h:mm:ss tt";
    fs.TimeSeparator = ':';
    fs.DecimalSeparator = '.';
    fs.TimeAMString = "AM";
    fs.TimePMString = "PM";
    return fs;
}

TEST(DateSerial, KnownDays) {
    const struct {
        int y, m, d;
        double serial;
    } cases[] = {
        {1899, 12, 30, 0},    {1900, 1, 1, 2},    {2000, 1, 1, 36526},     {1899, 12, 29, -1},
        {2024, 2, 29, 45351}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases) {
        TDateTime v = 0;
        ASSERT_TRUE(EncodeDate(c.y, c.m, c.d, v));
        EXPECT_EQ(v, c.serial);
        int y, m, d;
        DecodeDate(v, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
    }
    TDateTime v = 0;
    EXPECT_FALSE(EncodeDate(2023, 2, 29, v));
    EXPECT_FALSE(EncodeDate(2023, 13, 1, v));
    EXPECT_FALSE(EncodeDate(0, 1, 1, v));
}

TEST(DateTimeText, RoundTripsInEachFormat) {
    const TDateTime moment = 45351 + (13 * 3600 + 5 * 60 + 9) / 86400.0;  // 2024-02-29 13:05:09
    const struct {
        TFormatSettings fs;
        const char* date;
        const char* time;
        const char* both;
    } cases[] = {
        {FixedRegionalFormats().Formats(), "2024-02-29", "13:05:09", "2024-02-29 13:05:09"},
        {German(), "29.02.2024", "13:05:09", "29.02.2024 13:05:09"},
        {UnitedStates(), "2/29/2024", "1:05:09 PM", "2/29/2024 1:05:09 PM"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateToText(moment, c.fs), c.date);
        EXPECT_EQ(TimeToText(moment, c.fs), c.time);
        EXPECT_EQ(DateTimeToText(moment, c.fs), c.both);
        EXPECT_EQ(DateTimeToText(45351, c.fs), c.date);
        TDateTime back = 0;
        ASSERT_TRUE(TextToDateTime(c.both, c.fs, back)) << c.both;
        EXPECT_NEAR(back, moment, 1e-9);
        ASSERT_TRUE(TextToDate(c.date, c.fs, back));
        EXPECT_EQ(back, 45351);
        ASSERT_TRUE(TextToTime(c.time, c.fs, back));
        EXPECT_NEAR(back, moment - 45351, 1e-9);
    }
}

TEST(DateTimeText, RefusesWhatIsNotADateOrTime) {
    const TFormatSettings& fs = FixedRegionalFormats().Formats();
    const char* notDates[] = {"", "2024", "2024-02-30", "2024/02/01", "x", "2024-02-01x", "2024--1"};
    for (const char* text : notDates) {
        TDateTime v = -5;
        EXPECT_FALSE(TextToDate(text, fs, v)) << text;
        EXPECT_EQ(v, -5);
    }
    const char* notTimes[] = {"", "24:00", "12:60", "12", "1:00 XM", "13:00 PM", "12:00:61"};
    for (const char* text : notTimes) {
        TDateTime v = -5;
        EXPECT_FALSE(TextToTime(text, fs, v)) << text;
    }
    TDateTime v = 0;
    ASSERT_TRUE(TextToDate("50-1-2", fs, v));
    EXPECT_EQ(DateToText(v, fs), "1950-01-02");
    ASSERT_TRUE(TextToTime("12:30 am", fs, v));
    EXPECT_NEAR(v, 30 / 1440.0, 1e-12);
}

TEST(FloatText, GeneralFormWithFifteenDigits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.1, "0.1"},
        {-2.5, "-2.5"},
        {1.0 / 3, "0.333333333333333"},
        {1e20, "1E20"},
        {1e-5, "1E-5"},
        {0, "0"},
        {123456789012345678.0, "1.23456789012346E17"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToText(c.value, FixedRegionalFormats().Formats()), c.text);
    EXPECT_EQ(FloatToText(2.5, German()), "2,5");
}

TEST(FloatText, ParseTable) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"2.5", true, 2.5}, {" 2.5 ", true, 2.5}, {"-1e3", true, -1000}, {"1E-2", true, 0.01},
        {"+.5", true, 0.5}, {"5.", true, 5},      {"", false, 0},        {".", false, 0},
        {"1e", false, 0},   {"inf", false, 0},    {"nan", false, 0},     {"0x10", false, 0},
        {"1,5", false, 0},  {"1.5.2", false, 0},  {"1e999", false, 0},   {"--1", false, 0},
    };
    for (const auto& c : cases) {
        double v = 0;
        EXPECT_EQ(TextToFloat(c.text, FixedRegionalFormats().Formats(), v), c.ok) << c.text;
        if (c.ok) EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
    double v = 0;
    EXPECT_TRUE(TextToFloat("1,5", German(), v));
    EXPECT_DOUBLE_EQ(v, 1.5);
}

TEST(IniTypedReads, DefaultForEmptyOrMalformedText) {
    TMemIniFile ini("");
    ini.ParseLines(
        {"[S]", "d=2024-02-29", "bad=29/02/2024", "empty=", "f=2.5", "t=01:00:00", "dt=2024-02-29 06:00:00"});
    EXPECT_EQ(ini.GetDate("S", "d", -1), 45351);
    EXPECT_EQ(ini.GetDate("S", "bad", -1), -1);
    EXPECT_EQ(ini.GetDate("S", "empty", -1), -1);
    EXPECT_EQ(ini.GetDate("S", "missing", -1), -1);
    EXPECT_EQ(ini.GetFloat("S", "f", -1), 2.5);
    EXPECT_EQ(ini.GetFloat("S", "d", -1), -1);
    EXPECT_NEAR(ini.GetTime("S", "t", -1), 1 / 24.0, 1e-12);
    EXPECT_NEAR(ini.GetDateTime("S", "dt", -1), 45351.25, 1e-9);
    ini.SetDate("S", "w", 45351.75);
    ini.SetTime("S", "wt", 0.75);
    ini.SetDateTime("S", "wdt", 45351.75);
    EXPECT_EQ(ini.GetText("S", "w", ""), "2024-02-29");
    EXPECT_EQ(ini.GetText("S", "wt", ""), "18:00:00");
    EXPECT_EQ(ini.GetText("S", "wdt", ""), "2024-02-29 18:00:00");
}

}  // namespace
}  // namespace quindle
