// The shell folder tree in a real window over Wine's shell: the desktop root, the
// computer and its drives, real folders listed on expansion, paths of nodes, the
// selection change reaching the parent, history moves over the real tree, and a folder of
// 10,000 subfolders.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell_tree_ctrl.h"
#include "temp_tree.h"
#include "tree_navigator_win32.h"

namespace {

constexpr UINT kTreeID = 1000;

// The parent: a plain window of the framework that watches the selection change.
class CTreeHost : public CWnd {
    DECLARE_MESSAGE_MAP()
public:
    CShellTreeCtrl m_tree;
    std::vector<HTREEITEM> m_selections;
    std::vector<std::string> m_paths; // GetSelectedPath at each change
    void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult) {
        m_selections.push_back(reinterpret_cast<NMTREEVIEWA*>(pNMHDR)->itemNew.hItem);
        m_paths.push_back(m_tree.GetSelectedPath());
        *pResult = 0;
    }
};

BEGIN_MESSAGE_MAP(CTreeHost, CWnd)
    ON_NOTIFY(TVN_SELCHANGEDA, kTreeID, OnSelChanged)
    ON_NOTIFY(TVN_SELCHANGEDW, kTreeID, OnSelChanged)
END_MESSAGE_MAP()

bool EqualNoCase(const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

class ShellTree : public ::testing::Test {
protected:
    CTreeHost m_host;
    CShellTreeCtrl& m_tree = m_host.m_tree;

    void SetUp() override {
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "Shell tree", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                    40, 420, 560, nullptr, nullptr));
        ASSERT_TRUE(m_tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS |
                                      TVS_HASLINES | TVS_SHOWSELALWAYS,
                                  CRect(0, 0, 400, 520), &m_host, kTreeID));
    }
    void TearDown() override {
        if (m_host.m_hWnd)
            m_host.DestroyWindow();
    }

    std::vector<HTREEITEM> Children(HTREEITEM hItem) const {
        std::vector<HTREEITEM> children;
        for (HTREEITEM h = m_tree.GetChildItem(hItem); h; h = m_tree.GetNextSiblingItem(h))
            children.push_back(h);
        return children;
    }
    std::vector<std::string> ChildTexts(HTREEITEM hItem) const {
        std::vector<std::string> texts;
        for (HTREEITEM h : Children(hItem))
            texts.push_back(m_tree.GetItemText(h));
        return texts;
    }
    // The computer, found as the tree pane finds it: the root's child with a child whose
    // text has a colon after its first character.
    HTREEITEM FindComputer() const {
        HTREEITEM hRoot = m_tree.GetRootItem();
        m_tree.Expand(hRoot, TVE_EXPAND);
        for (HTREEITEM hChild : Children(hRoot)) {
            m_tree.Expand(hChild, TVE_EXPAND);
            for (HTREEITEM hGrand : Children(hChild)) {
                const std::string text = m_tree.GetItemText(hGrand);
                const size_t colon = text.find(':');
                if (colon != std::string::npos && colon > 0)
                    return hChild;
            }
            m_tree.Expand(hChild, TVE_COLLAPSE);
        }
        return nullptr;
    }
    // The node of a file-system folder, reached from the computer by expanding each level.
    HTREEITEM FindFolderNode(const std::string& folder) const {
        HTREEITEM hNode = FindComputer();
        const std::string target = WithSlash(folder);
        while (hNode) {
            if (EqualNoCase(WithSlash(m_tree.GetItemPath(hNode)), target))
                return hNode;
            m_tree.Expand(hNode, TVE_EXPAND);
            HTREEITEM hNext = nullptr;
            for (HTREEITEM hChild : Children(hNode)) {
                const std::string path = WithSlash(m_tree.GetItemPath(hChild));
                if (!path.empty() && _strnicmp(target.c_str(), path.c_str(), path.size()) == 0) {
                    hNext = hChild;
                    break;
                }
            }
            hNode = hNext;
        }
        return nullptr;
    }
    // A tree whose root node is `folder`.
    void ShowFolderAsRoot(const std::string& folder) {
        LPITEMIDLIST pidl = ILCreateFromPathA(folder.c_str());
        ASSERT_NE(pidl, nullptr) << folder;
        m_tree.AddRootFolderContent(pidl, CShellTreeCtrl::kRootNode);
        ILFree(pidl);
    }
};

TEST_F(ShellTree, OneDesktopRootWithTheComputerAndItsDrives) {
    m_tree.AddRootFolderContent(nullptr, 2);
    HTREEITEM hRoot = m_tree.GetRootItem();
    ASSERT_NE(hRoot, nullptr);
    EXPECT_EQ(m_tree.GetNextSiblingItem(hRoot), nullptr);
    EXPECT_EQ(m_tree.GetChildItem(hRoot), nullptr) << "nothing is listed before it is expanded";
    EXPECT_FALSE(m_tree.GetItemText(hRoot).empty());

    HTREEITEM hComputer = FindComputer();
    ASSERT_NE(hComputer, nullptr) << "no node with drives beneath the desktop";
    EXPECT_EQ(m_tree.GetItemPath(hComputer), "");
    // Wine shows the Unix root as a folder on the desktop, and the drives as "(C:)".
    bool bDriveC = false;
    for (HTREEITEM hDrive : Children(hComputer)) {
        const std::string text = m_tree.GetItemText(hDrive);
        if (text.find("C:") == std::string::npos)
            continue;
        bDriveC = true;
        EXPECT_GT(text.find("C:"), 0u);
        EXPECT_EQ(m_tree.GetItemPath(hDrive), "C:\\");
    }
    EXPECT_TRUE(bDriveC);
    std::vector<std::string> desktop = ChildTexts(hRoot);
    EXPECT_GE(desktop.size(), 2u);

    // Collapsing keeps the nodes; a second fill leaves one root again.
    const size_t nDrives = Children(hComputer).size();
    m_tree.Expand(hComputer, TVE_COLLAPSE);
    m_tree.Expand(hRoot, TVE_COLLAPSE);
    EXPECT_EQ(Children(hComputer).size(), nDrives);
    m_tree.Expand(hComputer, TVE_EXPAND);
    EXPECT_EQ(Children(hComputer).size(), nDrives) << "a second expansion adds nothing";
    m_tree.AddRootFolderContent(nullptr, 2);
    ASSERT_NE(m_tree.GetRootItem(), nullptr);
    EXPECT_EQ(m_tree.GetNextSiblingItem(m_tree.GetRootItem()), nullptr);
    EXPECT_EQ(m_tree.GetCount(), 1u);

    // Without the root node flag the desktop's content is the top level.
    m_tree.AddRootFolderContent(nullptr, 0);
    std::vector<std::string> top;
    for (HTREEITEM h = m_tree.GetRootItem(); h; h = m_tree.GetNextSiblingItem(h))
        top.push_back(m_tree.GetItemText(h));
    EXPECT_EQ(top, desktop);
}

TEST_F(ShellTree, ExpandingAFolderListsItsSubfoldersByName) {
    TempTree tree;
    tree.Folder("Beta/Inner");
    tree.Folder("alpha");
    tree.Folder("Gamma (old)");
    tree.Folder("empty");
    tree.File("notes.txt", 10);
    tree.File("Beta/file.bin", 10);
    ShowFolderAsRoot(tree.Root());
    HTREEITEM hRoot = m_tree.GetRootItem();
    ASSERT_TRUE(m_tree.Expand(hRoot, TVE_EXPAND));
    EXPECT_EQ(ChildTexts(hRoot),
              (std::vector<std::string>{"alpha", "Beta", "empty", "Gamma (old)"}));

    std::vector<HTREEITEM> children = Children(hRoot);
    EXPECT_TRUE(EqualNoCase(m_tree.GetItemPath(children[1]), tree.Path("Beta")));
    m_tree.Expand(children[1], TVE_EXPAND);
    EXPECT_EQ(ChildTexts(children[1]), std::vector<std::string>{"Inner"});
    // A folder without subfolders loses its button once it was opened.
    m_tree.Expand(children[2], TVE_EXPAND);
    EXPECT_EQ(m_tree.GetChildItem(children[2]), nullptr);
    TVITEMA item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = children[2];
    ASSERT_TRUE(m_tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.cChildren, 0);
    // Icons come from the system image list.
    item.mask = TVIF_IMAGE;
    item.hItem = children[0];
    ASSERT_TRUE(m_tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_GE(item.iImage, 0);
    EXPECT_NE(m_tree.GetImageList(TVSIL_NORMAL), nullptr);

    // The same folder reached from the desktop, level by level.
    m_tree.AddRootFolderContent(nullptr, 2);
    HTREEITEM hFolder = FindFolderNode(tree.Root());
    ASSERT_NE(hFolder, nullptr) << tree.Root();
    m_tree.Expand(hFolder, TVE_EXPAND);
    EXPECT_EQ(ChildTexts(hFolder).size(), 4u);
}

TEST_F(ShellTree, SelectionReachesTheParentWithThePath) {
    TempTree tree;
    tree.Folder("Inside");
    m_tree.AddRootFolderContent(nullptr, 2);
    HTREEITEM hFolder = FindFolderNode(tree.Path("Inside"));
    ASSERT_NE(hFolder, nullptr);
    HTREEITEM hComputer = FindComputer();
    ASSERT_NE(hComputer, nullptr);

    ASSERT_TRUE(m_tree.SelectItem(hFolder));
    ASSERT_EQ(m_host.m_selections.size(), 1u);
    EXPECT_EQ(m_host.m_selections[0], hFolder);
    EXPECT_TRUE(EqualNoCase(m_host.m_paths[0], tree.Path("Inside")));
    EXPECT_TRUE(EqualNoCase(m_tree.GetSelectedPath(), tree.Path("Inside")));

    ASSERT_TRUE(m_tree.SelectItem(hComputer));
    ASSERT_EQ(m_host.m_selections.size(), 2u);
    EXPECT_EQ(m_host.m_paths[1], "") << "the computer has no folder of its own";

    // A key press opens a node through the control's own notification, not TVM_EXPAND.
    tree.Folder("Inside/Deeper");
    ShowFolderAsRoot(tree.Root());
    HTREEITEM hRoot = m_tree.GetRootItem();
    m_tree.Expand(hRoot, TVE_EXPAND);
    HTREEITEM hInside = m_tree.GetChildItem(hRoot);
    ASSERT_NE(hInside, nullptr);
    m_tree.SelectItem(hInside);
    EXPECT_EQ(m_tree.GetChildItem(hInside), nullptr);
    m_tree.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(ChildTexts(hInside), std::vector<std::string>{"Deeper"});
    EXPECT_TRUE(m_tree.GetItemState(hInside, TVIS_EXPANDED) & TVIS_EXPANDED);
}

TEST_F(ShellTree, HistoryMovesFindNodesOfTheRealTree) {
    TempTree tree;
    tree.Folder("One/Two");
    m_tree.AddRootFolderContent(nullptr, 2);
    HTREEITEM hTwo = FindFolderNode(tree.Path("One/Two"));
    ASSERT_NE(hTwo, nullptr);
    HTREEITEM hComputer = FindComputer();

    CTreeCtrlNavigator nav(m_tree);
    FolderHistory history;
    bool bRecord = true;
    m_tree.SelectItem(hComputer);
    history.RecordVisit(*MakeVisitEntry(nav));
    m_tree.SelectItem(hTwo);
    history.RecordVisit(*MakeVisitEntry(nav));
    EXPECT_STREQ(history.m_arrBack[0].szLabel, "Two");
    EXPECT_EQ(std::string(history.m_arrBack[1].szTreePath), "\\" + m_tree.GetItemText(hComputer));

    // Back and Forward select the nodes, with the selection change reaching the parent.
    m_tree.Expand(m_tree.GetRootItem(), TVE_COLLAPSE);
    const size_t nChanges = m_host.m_selections.size();
    ASSERT_TRUE(GoBack(history, nav, 0, bRecord));
    EXPECT_EQ(m_tree.GetSelectedItem(), hComputer);
    ASSERT_TRUE(GoForward(history, nav, 0, bRecord));
    EXPECT_EQ(m_tree.GetSelectedItem(), hTwo);
    EXPECT_EQ(m_host.m_selections.size(), nChanges + 2);
    EXPECT_TRUE(EqualNoCase(m_host.m_paths.back(), tree.Path("One/Two")));
    // Up: the parent folder.
    EXPECT_EQ(UpTarget(nav), CTreeCtrlNavigator::ToNode(m_tree.GetParentItem(hTwo)));
    m_tree.SelectItem(m_tree.GetRootItem());
    EXPECT_EQ(UpTarget(nav), 0u);

    // A folder that is gone from the tree is not found: nothing moves.
    m_tree.DeleteItem(hTwo);
    ASSERT_TRUE(GoBack(history, nav, 0, bRecord));
    EXPECT_FALSE(GoForward(history, nav, 0, bRecord));
    EXPECT_EQ(m_tree.GetSelectedItem(), hComputer);
    EXPECT_EQ(history.m_arrForward.size(), 1u);
}

TEST_F(ShellTree, PlainFoldersShowTheIconTheShellGivesThem) {
    // The tree answers plain folders' icons without asking the shell: the answer must be
    // the shell's own, closed and open, and a folder that may carry its own icon (the
    // read-only attribute, a known folder that nothing on disk marks) or a drive still goes
    // to the shell. Documents comes first, as the desktop's item it is in the tree: the
    // shell gives it an icon of its own, which must never serve plain folders.
    TempTree tree;
    tree.Folder("plain");
    tree.Folder("own");
    SetFileAttributesA(tree.Path("own").c_str(),
                       FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    std::vector<LPITEMIDLIST> pidls(1);
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &pidls[0])));
    for (const std::string& path : {tree.Path("plain"), tree.Path("own"), std::string("C:\\")})
        pidls.push_back(ILCreateFromPathA(path.c_str()));
    for (LPITEMIDLIST pidl : pidls) {
        ASSERT_NE(pidl, nullptr);
        char path[MAX_PATH] = {};
        SHGetPathFromIDListA(pidl, path);
        for (bool bOpen : {false, true}) {
            SHFILEINFOA info{};
            UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
            if (bOpen)
                flags |= SHGFI_OPENICON;
            SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidl), 0, &info, sizeof info, flags);
            EXPECT_EQ(m_tree.SystemIconIndex(pidl, bOpen), info.iIcon) << path << bOpen;
        }
    }
    for (LPITEMIDLIST pidl : pidls)
        ILFree(pidl);
    SetFileAttributesA(tree.Path("own").c_str(), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(ShellTree, TenThousandSubfoldersAreAllListedOnce) {
    const char* wide = std::getenv("DSCP_WIDE_FOLDER");
    if (!wide)
        GTEST_SKIP() << "needs the folder run_with_wide_folder.sh makes";
    ShowFolderAsRoot(wide);
    HTREEITEM hRoot = m_tree.GetRootItem();
    m_tree.Expand(hRoot, TVE_EXPAND);
    m_tree.UpdateWindow(); // the first screen of subfolders with their icons and buttons
    EXPECT_EQ(m_tree.GetCount(), 10001u);
    EXPECT_EQ(m_tree.GetItemText(m_tree.GetChildItem(hRoot)), "folder00000");
    // Collapsing and expanding again lists nothing new.
    m_tree.Expand(hRoot, TVE_COLLAPSE);
    m_tree.Expand(hRoot, TVE_EXPAND);
    EXPECT_EQ(m_tree.GetCount(), 10001u);
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
