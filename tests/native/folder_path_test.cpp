// The current folder as the tree's selected path gives it, and which node texts name
// drives (the computer is found by them at start).
#include <gtest/gtest.h>

#include "folder_path.h"

TEST(FolderPath, TrailingBackslashesAndWhiteSpaceGo) {
    EXPECT_EQ(TrimFolderPath("C:\\"), "C:");
    EXPECT_EQ(TrimFolderPath("C:\\data\\"), "C:\\data");
    EXPECT_EQ(TrimFolderPath("C:\\data\\\\ \t"), "C:\\data");
    EXPECT_EQ(TrimFolderPath("C:\\data"), "C:\\data");
    EXPECT_EQ(TrimFolderPath("\\\\server\\share\\"), "\\\\server\\share");
    EXPECT_EQ(TrimFolderPath(""), "");               // a virtual folder: the drive overview
    EXPECT_EQ(TrimFolderPath("\\\\\\"), "");         // nothing but separators
    EXPECT_EQ(TrimFolderPath("C:\\a b"), "C:\\a b"); // inner blanks stay
}

TEST(FolderPath, ADriveTextHasAColonAfterItsFirstCharacter) {
    EXPECT_TRUE(IsDriveNodeText("(C:)"));
    EXPECT_TRUE(IsDriveNodeText("Local Disk (C:)"));
    EXPECT_TRUE(IsDriveNodeText("share (\\\\server) (Z:)"));
    EXPECT_FALSE(IsDriveNodeText(":"));
    EXPECT_FALSE(IsDriveNodeText(":x"));
    EXPECT_FALSE(IsDriveNodeText("Documents"));
    EXPECT_FALSE(IsDriveNodeText(""));
}

// A typed path: the drive and the names the tree is walked by; what the tree cannot reach
// has no steps.
TEST(FolderPath, ATypedPathSplitsIntoTheTreesSteps) {
    const auto steps = [](const std::string& typed) {
        const std::optional<FolderSteps> s = SplitTypedPath(typed);
        return s ? JoinFolderSteps(*s) + "|" + std::to_string(s->names.size()) : "none";
    };
    EXPECT_EQ(steps("C:\\data\\photos"), "C:\\data\\photos|2");
    EXPECT_EQ(steps("  \"d:/data//photos/\"  "), "D:\\data\\photos|2");
    EXPECT_EQ(steps("c:"), "C:|0");
    EXPECT_EQ(steps("C:\\"), "C:|0");
    EXPECT_EQ(steps("C:\\a\\.\\b\\..\\c"), "C:\\a\\c|2");
    EXPECT_EQ(steps("C:\\..\\.."), "C:|0");
    EXPECT_EQ(steps("C:\\my folder\\x y"), "C:\\my folder\\x y|2");
    EXPECT_EQ(steps("data\\photos"), "none"); // relative
    EXPECT_EQ(steps("C:data"), "none");       // relative to the drive's current folder
    EXPECT_EQ(steps("\\\\server\\share"), "none");
    EXPECT_EQ(steps("C:\\a\\b?"), "none");
    EXPECT_EQ(steps(""), "none");
    EXPECT_EQ(steps("1:\\x"), "none");
}
