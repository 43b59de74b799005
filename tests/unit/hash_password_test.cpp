// HashPassword: known values and the trimming that makes the cancel marker and
// padded passwords hash like their bare letters.
#include <gtest/gtest.h>

#include "window/HashPassword.h"

namespace quindle {
namespace {

TEST(HashPassword, GivesTheKnownValues) {
    // Values worked out independently from the generator's definition.
    const struct {
        std::string text;
        uint32_t hash;
    } cases[] = {{"", 293035742u},
                 {"CanCel", 96356331u},
                 {"secret", 218417575u},
                 {"Secret", 54733645u},
                 {"\xff\x80"
                  "abc",
                  136353327u}};
    for (const auto& c : cases) EXPECT_EQ(HashPassword(c.text), c.hash) << c.text;
}

TEST(HashPassword, CancelMarkerHashesLikeItsLetters) {
    EXPECT_EQ(HashPassword("\x01"
                           "CanCel"
                           "\x0E"),
              HashPassword("CanCel"));
}

TEST(HashPassword, BlanksAroundThePasswordDoNotCountButCaseDoes) {
    EXPECT_EQ(HashPassword("  secret\t"), HashPassword("secret"));
    EXPECT_EQ(HashPassword(std::string("\0 secret \r\n", 11)), HashPassword("secret"));
    EXPECT_NE(HashPassword("SECRET"), HashPassword("secret"));
    EXPECT_NE(HashPassword("sec ret"), HashPassword("secret"));
}

TEST(HashPassword, StaysBelowTheLimit) {
    for (int i = 0; i < 256; ++i) EXPECT_LT(HashPassword(std::string(1, char(i)) + "x"), 429496729u);
}

}  // namespace
}  // namespace quindle
