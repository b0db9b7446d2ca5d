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
