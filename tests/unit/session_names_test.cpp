#include "runner/SessionNames.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(SessionNames, RunDirectoryCarriesTheNumberUnlessZero) {
    EXPECT_EQ(RunDirFor("C:\\Temp\\", 0), "C:\\Temp\\Qgl_Rt");
    EXPECT_EQ(RunDirFor("C:\\Temp\\", 1), "C:\\Temp\\Qgl_Rt1");
    EXPECT_EQ(RunDirFor("", 12), "Qgl_Rt12");
}

TEST(SessionNames, TempBaseGetsOneTrailingBackslash) {
    const std::string noSlash = "C:\\Temp", withSlash = "D:\\Shows\\", empty;
    EXPECT_EQ(TempBaseFrom(&noSlash, "C:\\Sys\\"), "C:\\Temp\\");
    EXPECT_EQ(TempBaseFrom(&withSlash, "C:\\Sys\\"), "D:\\Shows\\");
    EXPECT_EQ(TempBaseFrom(&empty, "C:\\Sys\\"), "");  // relative to the runner's folder
    EXPECT_EQ(TempBaseFrom(nullptr, "C:\\Sys"), "C:\\Sys\\");
}

TEST(SessionNames, FolderPartKeepsItsSeparator) {
    EXPECT_EQ(FolderPart("C:\\Shows\\Tour.exe"), "C:\\Shows\\");
    EXPECT_EQ(FolderPart("C:Tour.exe"), "C:");
    EXPECT_EQ(FolderPart("Tour.exe"), "");
}

}  // namespace
}  // namespace quindle
