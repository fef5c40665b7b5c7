#include "SplitLst.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Split(const std::string& text, int* count = nullptr)
{
    TSplitStringList list;
    const int n = list.SplitString(',', text);
    if (count)
        *count = n;
    return list.Strings();
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(SplitString, PiecesAndDelimiterCount)
{
    int count = -1;
    EXPECT_EQ(Split("exe,dll,sys,cpl,com", &count), (Lines{"exe", "dll", "sys", "cpl", "com"}));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(Split("", &count), Lines{});
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Split("single", &count), Lines{"single"});
    EXPECT_EQ(count, 0);
}

TEST(SplitString, DropsOneLeadingBlankOfEachPiece)
{
    EXPECT_EQ(Split("a, b, c"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(Split("a,  b"), (Lines{"a", " b"}));
    EXPECT_EQ(Split(" a ,b "), (Lines{"a ", "b "}));
}

TEST(SplitString, EmptyPiecesExceptAfterTheLastDelimiter)
{
    int count = -1;
    EXPECT_EQ(Split("a,,b"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Split(",a"), (Lines{"", "a"}));
    EXPECT_EQ(Split("a,", &count), Lines{"a"});
    EXPECT_EQ(count, 1);
    EXPECT_EQ(Split(",,", &count), (Lines{"", ""}));
    EXPECT_EQ(count, 2);
    // A blank after the last delimiter is a piece, which loses that blank.
    EXPECT_EQ(Split("a, "), (Lines{"a", ""}));
}

TEST(SplitString, AppendsToWhatTheListHolds)
{
    TSplitStringList list;
    list.Add("first");
    EXPECT_EQ(list.SplitString(';', "x;y"), 1);
    EXPECT_EQ(list.Strings(), (Lines{"first", "x", "y"}));
}

TEST(SplitString, SortedListRulesApplyToEachPiece)
{
    TSplitStringList list;
    list.SetSorted(true);
    list.Duplicates = TDuplicates::dupIgnore;
    EXPECT_EQ(list.SplitString(',', "dll,EXE,exe,com"), 3);
    EXPECT_EQ(list.Strings(), (Lines{"com", "dll", "EXE"}));
}

TEST(SplitString, RefusedPieceStopsSplittingAndGivesZero)
{
    TSplitStringList list;
    list.SetSorted(true);
    list.Duplicates = TDuplicates::dupError;
    EXPECT_EQ(list.SplitString(',', "b,a,B,c"), 0);
    EXPECT_EQ(list.Strings(), (Lines{"a", "b"}));
}

TEST(StringList, UnsortedKeepsOrderAndFindsIgnoringCase)
{
    TStringList list({"Q2", "q1"});
    EXPECT_EQ(list.Add("Q1"), 2);
    EXPECT_EQ(list.IndexOf("q2"), 0);
    EXPECT_EQ(list.IndexOf("Q1"), 1);
    EXPECT_EQ(list.IndexOf("Q3"), -1);
    list.Insert(0, "top");
    list.Delete(2);
    EXPECT_EQ(list.Strings(), (Lines{"top", "Q2", "Q1"}));
}

TEST(StringList, SortingOrdersCaseInsensitivelyAndKeepsDuplicates)
{
    TStringList list({"b", "C", "a", "B"});
    list.SetSorted(true);
    EXPECT_EQ(list.Strings(), (Lines{"a", "b", "B", "C"}));
    EXPECT_EQ(list.Add("bb"), 3);
    EXPECT_EQ(list.Add("A"), 1);   // accepted by default, after its equal
    EXPECT_EQ(list.IndexOf("c"), 5);
    EXPECT_EQ(list.IndexOf("b"), 2);
}

TEST(StringList, DuplicateRulesOfSortedLists)
{
    TStringList list;
    list.SetSorted(true);
    list.Duplicates = TDuplicates::dupIgnore;
    EXPECT_EQ(list.Add("x"), 0);
    EXPECT_EQ(list.Add("X"), -1);
    list.Duplicates = TDuplicates::dupError;
    EXPECT_THROW(list.Add("x"), EStringListError);
    EXPECT_EQ(list.Count(), 1);
}

TEST(StringList, BadIndexesAndSortedInsertAreErrors)
{
    TStringList list({"a"});
    EXPECT_THROW(list.Delete(1), EStringListError);
    EXPECT_THROW(list.Delete(-1), EStringListError);
    EXPECT_THROW(list.Insert(2, "x"), EStringListError);
    list.SetSorted(true);
    EXPECT_THROW(list.Insert(0, "x"), EStringListError);
    EXPECT_EQ(list.Strings(), Lines{"a"});
}
