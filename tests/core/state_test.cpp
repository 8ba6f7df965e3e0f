// Installer state: the bitness probe, the skip list, the empty candidate list.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "core/state.h"
#include "tests/support/testing.h"

TEST(RunningOnWow64, MatchesThePrefixBitness)
{
    EXPECT_EQ(InWin64Prefix(), RunningOnWow64() != 0);
    // Looked up afresh each time: a second call agrees.
    EXPECT_EQ(RunningOnWow64(), RunningOnWow64());
}

TEST(CandidateList, StartsEmptyWithInitialFlags)
{
    for (const CandidateFolder &f : CandidateList) {
        EXPECT_STREQ("", f.path);
        EXPECT_EQ(1, f.addVendorFolder);
        EXPECT_EQ(0, f.foundIn64BitView);
    }
}

TEST(AddToSkipList, KeepsTwentyNamesInOrderAndDropsTheRest)
{
    memset(SkipList, 0, sizeof SkipList);
    for (int i = 0; i < 21; i++)
        AddToSkipList(("name" + std::to_string(i)).c_str());
    for (int i = 0; i < 20; i++)
        EXPECT_EQ("name" + std::to_string(i), SkipList[i].path);
    memset(SkipList, 0, sizeof SkipList);
}

TEST(AddToSkipList, CutsANameThatIsTooLong)
{
    memset(SkipList, 0, sizeof SkipList);
    std::string longName(100, 'x');
    AddToSkipList(longName.c_str());
    EXPECT_EQ(std::string(39, 'x'), SkipList[0].path);
    memset(SkipList, 0, sizeof SkipList);
}
