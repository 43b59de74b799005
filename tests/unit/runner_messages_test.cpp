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

TEST(RunnerMessages, QueriesForIdentityAndCorners) {
    const struct {
        uintptr_t w;
        intptr_t l;
        TRunnerQuery::TKind kind;
        bool bottomRight;
    } cases[] = {
        {0, 0, TRunnerQuery::Identify, false}, {0, 77, TRunnerQuery::Identify, false},
        {1, 0, TRunnerQuery::CornerX, false},  {1, 1, TRunnerQuery::CornerX, true},
        {1, 2, TRunnerQuery::CornerY, false},  {1, 3, TRunnerQuery::CornerY, true},
        {1, 4, TRunnerQuery::Unknown, false},  {1, 0x102, TRunnerQuery::CornerY, false},
        {2, 0, TRunnerQuery::Unknown, false},
    };
    for (const auto& c : cases) {
        const TRunnerQuery q = ClassifyRunnerQuery(c.w, c.l);
        EXPECT_EQ(q.What, c.kind) << c.w << "/" << c.l;
        if (q.What == TRunnerQuery::CornerX || q.What == TRunnerQuery::CornerY) EXPECT_EQ(q.BottomRight, c.bottomRight);
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
