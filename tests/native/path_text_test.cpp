#include <gtest/gtest.h>

#include <cstring>

#include "path_text.h"

TEST(CompareNoCase, FoldsOnlyAsciiLettersToLowerCase) {
    EXPECT_EQ(CompareNoCase("abc", "ABC"), 0);
    EXPECT_LT(CompareNoCase("A.txt", "b.txt"), 0);
    EXPECT_LT(CompareNoCase("c", "D"), 0);
    // Folding to lower case puts '_' (0x5F) before letters; folding to upper would not.
    EXPECT_LT(CompareNoCase("_x", "Ax"), 0);
    // Bytes compare unsigned: a UTF-8 lead byte sorts after every ASCII letter.
    EXPECT_GT(CompareNoCase("\xC3\xA9", "z"), 0);
    EXPECT_LT(CompareNoCase("ab", "abc"), 0);
}

TEST(JoinPath, InsertsExactlyOneSeparator) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(JoinPath("base", "name"), "base" + sep + "name");
    EXPECT_EQ(JoinPath("base" + sep, "name"), "base" + sep + "name");
#ifdef _WIN32
    EXPECT_EQ(JoinPath("C:", "Windows"), "C:\\Windows");
#else
    EXPECT_EQ(JoinPath("/", "usr"), "/usr");
#endif
}

TEST(IsDotEntry, OnlyTheTwoPseudoEntries) {
    EXPECT_TRUE(IsDotEntry("."));
    EXPECT_TRUE(IsDotEntry(".."));
    EXPECT_FALSE(IsDotEntry("..."));
    EXPECT_FALSE(IsDotEntry(".profile"));
    EXPECT_FALSE(IsDotEntry("..x"));
}

TEST(CopyToField, RefusesWhatDoesNotFitRatherThanCutting) {
    char field[8];
    std::memset(field, '#', sizeof field);
    EXPECT_TRUE(CopyToField(field, sizeof field, "1234567"));
    EXPECT_STREQ(field, "1234567");
    EXPECT_FALSE(CopyToField(field, sizeof field, "12345678"));
    EXPECT_STREQ(field, "");
}

TEST(TrimTrailingSeparators, KeepsRoots) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(TrimTrailingSeparators("a" + sep + sep), "a");
    EXPECT_EQ(TrimTrailingSeparators(sep), sep);
#ifdef _WIN32
    EXPECT_EQ(TrimTrailingSeparators("C:\\"), "C:");
#endif
}

TEST(SplitPath, RootAndNamesWithoutEmptyOnes) {
#ifdef _WIN32
    const std::string drivePath = "c:/Users\\\\me\\";
    const SplitPath drive(drivePath);
    EXPECT_EQ(drive.root, "C:\\");
    ASSERT_EQ(drive.names.size(), 2u);
    EXPECT_EQ(drive.names[1], "me");
    const std::string sharePath = "\\\\server\\share\\docs";
    const SplitPath share(sharePath);
    EXPECT_EQ(share.root, "\\\\server\\share\\");
    ASSERT_EQ(share.names.size(), 1u);
    EXPECT_EQ(share.names[0], "docs");
#else
    const std::string absolutePath = "//usr///lib/";
    const SplitPath absolute(absolutePath);
    EXPECT_EQ(absolute.root, "/");
    ASSERT_EQ(absolute.names.size(), 2u);
    EXPECT_EQ(absolute.names[0], "usr");
    EXPECT_EQ(absolute.names[1], "lib");
    const std::string relativePath = "a/b";
    const SplitPath relative(relativePath);
    EXPECT_EQ(relative.root, "");
    EXPECT_EQ(relative.names.size(), 2u);
#endif
}
