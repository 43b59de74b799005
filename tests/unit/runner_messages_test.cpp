#include "window/RunnerMessages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quindle {
namespace {

TEST(RunnerMessages, IdentificationIsQGLEInMemoryOrder) {
    char bytes[4];
    const uint32_t value = kRunnerIdentification;
    std::memcpy(bytes, &value, 4);
    EXPECT_EQ(std::string(bytes, 4), "QGLE");
}

TEST(RunnerMessages, SvrQueries) {
    const struct {
        uintptr_t w;
        intptr_t l;
        TSvrQuery::Kind kind;
        bool bottomRight;
    } cases[] = {
        {0, 0, TSvrQuery::Identify, false}, {0, 77, TSvrQuery::Identify, false},   {1, 0, TSvrQuery::CornerX, false},
        {1, 1, TSvrQuery::CornerX, true},   {1, 2, TSvrQuery::CornerY, false},     {1, 3, TSvrQuery::CornerY, true},
        {1, 4, TSvrQuery::Unknown, false},  {1, 0x102, TSvrQuery::CornerY, false}, {2, 0, TSvrQuery::Unknown, false},
    };
    for (const auto& c : cases) {
        const TSvrQuery q = ClassifySvrQuery(c.w, c.l);
        EXPECT_EQ(q.What, c.kind) << c.w << "/" << c.l;
        if (q.What == TSvrQuery::CornerX || q.What == TSvrQuery::CornerY) EXPECT_EQ(q.BottomRight, c.bottomRight);
    }
}

TEST(RunnerMessages, SenderAncestorNeedsACompleteDecimalEqualToTheHandle) {
    EXPECT_TRUE(IsSenderAncestor("65772", 65772));
    EXPECT_TRUE(IsSenderAncestor("-5", static_cast<uintptr_t>(static_cast<uint32_t>(-5))));
    EXPECT_FALSE(IsSenderAncestor("", 0));
    EXPECT_FALSE(IsSenderAncestor("65772x", 65772));
    EXPECT_FALSE(IsSenderAncestor("65773", 65772));
    EXPECT_FALSE(IsSenderAncestor("99999999999", 65772));
}

TEST(RunnerMessages, ExeFileNamesCompareWithoutPathOrCase) {
    EXPECT_TRUE(SameExeFileName("C:\\Shows\\TOUR.EXE", "D:\\x\\tour.exe"));
    EXPECT_TRUE(SameExeFileName("tour.exe", "C:\\Tour.exe"));
    EXPECT_FALSE(SameExeFileName("other.exe", "C:\\Tour.exe"));
}

}  // namespace
}  // namespace quindle
