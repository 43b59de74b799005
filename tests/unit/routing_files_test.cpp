// ForceFolders, RunDirIdle and SameFileContents over a fake file system.
#include "package/RunDirFiles.h"

#include "FakeRunDirFiles.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(ForceFolders, CreatesEachMissingLevelInOrder) {
    const struct {
        const char* path;
        std::vector<std::string> existing;
        std::vector<std::string> created;
    } cases[] = {
        {"C:\\a\\b\\c\\", {"C:\\a"}, {"C:\\a\\b", "C:\\a\\b\\c"}},
        {"C:\\a\\b\\c", {"C:\\a"}, {"C:\\a\\b", "C:\\a\\b\\c"}},
        {"C:\\a\\b", {"C:\\a", "C:\\a\\b"}, {}},
        {"C:\\", {}, {}},
        {"C:", {}, {}},
        {"C:\\x", {}, {"C:\\x"}},
        {"", {}, {}},
    };
    for (const auto& c : cases) {
        FakeRunDirFiles files;
        files.Folders.insert(c.existing.begin(), c.existing.end());
        ForceFolders(files, c.path);
        EXPECT_EQ(files.Created, c.created) << c.path;
    }
}

TEST(ForceFolders, TrailByteThatLooksLikeABackslashIsNoSeparator) {
    FakeRunDirFiles files;
    files.LeadLow = 0x81;
    files.LeadHigh = 0x9F;
    files.Folders.insert("C:\\a");
    const std::string name = "C:\\a\\\x95\\";  // 0x95 0x5C is one double-byte character
    ForceFolders(files, name);
    EXPECT_EQ(files.Created, std::vector<std::string>{name});
    EXPECT_EQ(WithTrailingBackslash(name, files), name + "\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\a", files), "C:\\a\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\a\\", files), "C:\\a\\");
    EXPECT_EQ(WithTrailingBackslash("", files), "");
}

class RunDir : public ::testing::Test {
protected:
    FakeRunDirFiles files;
    void SetUp() override {
        files.Folders = {"C:\\T", "C:\\T\\Qgl_Rt", "C:\\T\\Qgl_Rt\\sub", "C:\\T\\Qgl_Rt\\sub\\deep"};
        files.FileTable["C:\\T\\Qgl_Rt\\a.exe"];
        files.FileTable["C:\\T\\Qgl_Rt\\sub\\deep\\b.swf"];
        files.FileTable["C:\\T\\Other\\c.txt"].Locked = true;
    }
};

TEST_F(RunDir, IdleWhenEveryFileOpensExclusively) {
    EXPECT_TRUE(RunDirIdle(files, "C:\\T\\Qgl_Rt"));
    EXPECT_TRUE(RunDirIdle(files, "C:\\T\\Missing"));
}

TEST_F(RunDir, FileInUseAnywhereBelowMakesItBusy) {
    const char* lockedFiles[] = {"C:\\T\\Qgl_Rt\\a.exe", "C:\\T\\Qgl_Rt\\sub\\deep\\b.swf"};
    for (const char* locked : lockedFiles) {
        SetUp();
        files.FileTable[locked].Locked = true;
        EXPECT_FALSE(RunDirIdle(files, "C:\\T\\Qgl_Rt")) << locked;
        EXPECT_FALSE(RunDirIdle(files, "C:\\T\\Qgl_Rt\\")) << locked;
    }
}

TEST_F(RunDir, EntriesStartingWithADotAreNotLookedAt) {
    files.FileTable["C:\\T\\Qgl_Rt\\.held"].Locked = true;
    EXPECT_TRUE(RunDirIdle(files, "C:\\T\\Qgl_Rt"));
}

TEST(SameFileContents, ByteForByteAndUnreadableReadsAsEmpty) {
    FakeRunDirFiles files;
    files.FileTable["A"].Bytes = std::string("x\0y", 3);
    files.FileTable["B"].Bytes = std::string("x\0y", 3);
    files.FileTable["C"].Bytes = std::string("x\0z", 3);
    files.FileTable["E"].Bytes = "";
    files.FileTable["L"] = {"data", true};
    EXPECT_TRUE(SameFileContents(files, "A", "B"));
    EXPECT_FALSE(SameFileContents(files, "A", "C"));
    EXPECT_TRUE(SameFileContents(files, "E", "Missing"));
    EXPECT_TRUE(SameFileContents(files, "L", "Missing"));
}

}  // namespace
}  // namespace quindle
