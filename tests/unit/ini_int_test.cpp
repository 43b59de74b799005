// The integer rule of the ini component's GetInt.
#include "settings/IniFile.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(IniInt, ParseTable) {
    const struct {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"0", true, 0},
        {"12", true, 12},
        {"+12", true, 12},
        {"-12", true, -12},
        {"   7", true, 7},
        {"7 ", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {"$", false, 0},
        {"$ff", true, 255},
        {"$FFFFFFFF", true, -1},
        {"$100000000", false, 0},
        {"$000000001", true, 1},
        {"0xff", true, 255},
        {"0XFF", true, 255},
        {"0x", false, 0},
        {"-$10", false, 0},
        {"+$10", false, 0},
        {"$-1", false, 0},
        {"2147483647", true, 2147483647},
        {"2147483648", false, 0},
        {"-2147483648", false, 0},
        {"-2147483647", true, -2147483647},
        {"99999999999999999999", false, 0},
        {"12a", false, 0},
        {"1 2", false, 0},
        {"0x 1", false, 0},
        {" 0x10", false, 0},
        {" $10", true, 16},
        {"00012", true, 12},
        {"$0x10", false, 0},
        {"\t1", false, 0},
    };
    for (const auto& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(ParseIniInt(c.text, value), c.ok) << c.text;
        if (c.ok) EXPECT_EQ(value, c.value) << c.text;
    }
}

}  // namespace
}  // namespace quindle
