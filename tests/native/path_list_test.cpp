// The path lists handed to the shell's file operation, and which paths may go in one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "path_list.h"

using namespace std::string_literals;

TEST(PathList, EveryPathEndsInAZeroAndTheListInAnother) {
    EXPECT_EQ(BuildPathList({"C:\\a\\x.txt", "C:\\a\\y"}), "C:\\a\\x.txt\0C:\\a\\y\0\0"s);
    EXPECT_EQ(BuildPathList({}), "\0\0"s);
    // Paths far longer than 260 characters are kept whole; nothing is cut or overlaps.
    const std::string longPath = "C:\\" + std::string(700, 'd') + "\\f.txt";
    const std::string list = BuildPathList({longPath, longPath + "2", "C:\\z"});
    EXPECT_EQ(list, longPath + '\0' + longPath + "2" + '\0' + "C:\\z" + '\0' + '\0');
}

TEST(PathList, WildcardsAreNeverHandedToTheShell) {
    EXPECT_TRUE(HasWildcard("C:\\a\\*.txt"));
    EXPECT_TRUE(HasWildcard("C:\\a\\file?"));
    EXPECT_FALSE(HasWildcard("C:\\a\\[x] ~y.txt"));

    EXPECT_EQ(DeleteSources("C:\\a", {"x.txt", "*", "y?z", "sub"}),
              (std::vector<std::string>{"C:\\a\\x.txt", "C:\\a\\sub"}));
    EXPECT_TRUE(DeleteSources("C:\\a", {"*"}).empty());
    EXPECT_TRUE(DeleteSources("C:\\a", {""}).empty()); // never the folder itself
}

TEST(PathList, PasteGoesToTheFinalNameInTheShownFolder) {
    const PastePlan plan = PlanPaste("D:\\to", {"C:\\from\\a.txt", "C:\\from\\*.txt", "C:\\dir\\",
                                                "C:\\from\\sub", "E:\\weird?name", "", "plain"});
    EXPECT_EQ(plan.sources,
              (std::vector<std::string>{"C:\\from\\a.txt", "C:\\from\\sub", "plain"}));
    EXPECT_EQ(plan.destinations,
              (std::vector<std::string>{"D:\\to\\a.txt", "D:\\to\\sub", "D:\\to\\plain"}));
    EXPECT_EQ(FinalNameComponent("C:\\x\\y.z"), "y.z");
}

TEST(PathList, TheDropEffectMovesOnlyWithTheMoveBitInFourBytes) {
    const unsigned char move[4] = {2, 0, 0, 0};
    const unsigned char copyAndMove[4] = {3, 0, 0, 0};
    const unsigned char copy[4] = {1, 0, 0, 0};
    const unsigned char link[4] = {4, 0, 0, 0};
    const unsigned char shortMove[2] = {2, 0};
    EXPECT_EQ(PasteEffectOf(move, 4), 2);
    EXPECT_EQ(PasteEffectOf(copyAndMove, 4), 2);
    EXPECT_EQ(PasteEffectOf(copy, 4), 1);
    EXPECT_EQ(PasteEffectOf(link, 4), 1);
    EXPECT_EQ(PasteEffectOf(shortMove, 2), 1); // too short to hold a value
    EXPECT_EQ(PasteEffectOf(nullptr, 0), 1);
}

TEST(PathList, ABareDriveIsStartedInItsRoot) {
    EXPECT_EQ(WorkingFolderOf("C:"), "C:\\");
    EXPECT_EQ(WorkingFolderOf("C:\\work"), "C:\\work");
    EXPECT_EQ(WorkingFolderOf(""), "");
}

namespace {

// A dropped-file list block: the 20-byte header, then `list` as it stands.
std::vector<unsigned char> FileListBlock(const std::string& list, bool bWide = false,
                                         unsigned char offset = 20) {
    std::vector<unsigned char> block(20 + list.size(), 0);
    block[0] = offset;
    block[16] = bWide ? 1 : 0;
    std::copy(list.begin(), list.end(), block.begin() + 20);
    return block;
}

bool IsWhole(const std::vector<unsigned char>& block) {
    return IsWholeFileList(block.data(), block.size());
}

} // namespace

TEST(PathList, AFileListIsWalkedOnlyWhenItEndsInsideItsBlock) {
    EXPECT_TRUE(IsWhole(FileListBlock(std::string("a\0b\0\0", 5))));
    EXPECT_TRUE(IsWhole(FileListBlock(std::string("\0\0", 2)))); // no names
    EXPECT_TRUE(IsWhole(FileListBlock(std::string("a\0\0\0b\0\0\0\0\0", 10), true)));

    // The shell would read past the block for each of these.
    EXPECT_FALSE(IsWhole(FileListBlock(std::string("\0", 1))));
    EXPECT_FALSE(IsWhole(FileListBlock(std::string("a\0", 2))));
    EXPECT_FALSE(IsWhole(FileListBlock("abc")));
    EXPECT_FALSE(IsWhole(FileListBlock(std::string("a\0\0", 3), true))); // half a unit
    EXPECT_FALSE(IsWhole(FileListBlock(std::string("\0\0", 2), false, 200)));
    EXPECT_FALSE(IsWhole(FileListBlock(std::string("\0\0", 2), false, 4))); // inside the header
    EXPECT_FALSE(IsWholeFileList(nullptr, 0));
    EXPECT_FALSE(IsWhole(std::vector<unsigned char>(12, 0)));
}
