#include "runner/SessionNames.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(SessionNames, RunDirectoryCarriesTheNumberUnlessZero) {
    EXPECT_EQ(RunDirFor("C:\\Temp\\", 0), "C:\\Temp\\Qgl_Rt");
    EXPECT_EQ(RunDirFor("C:\\Temp\\", 1), "C:\\Temp\\Qgl_Rt1");
    EXPECT_EQ(RunDirFor("", 12), "Qgl_Rt12");
}

}  // namespace
}  // namespace quindle
