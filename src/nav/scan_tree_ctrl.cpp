#include "scan_tree_ctrl.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "path_text.h"
#include "system_image_list.h"
#include "window_dpi.h"

IMPLEMENT_DYNAMIC(CScanTreeCtrl, CTreeCtrl)

void CScanTreeCtrl::Fill(const FolderSnapshot& snapshot, FolderSnapshot::Index root,
                         const std::string& rootText) {
    Empty();
    m_pSnapshot = &snapshot;
    m_root = root;
    if (root == FolderSnapshot::kNone)
        return;
    // The shell's own folder picture, from its icons at the window's scale (shared, never
    // destroyed).
    SHFILEINFOA info{};
    if (::SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                         SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        m_nFolderImage = info.iIcon;
    if (const HIMAGELIST hImages = SystemImageListAt(WindowDpi(m_hWnd)))
        SetImageList(hImages, TVSIL_NORMAL);
    const HTREEITEM hRoot = AddNode(TVI_ROOT, root, rootText.c_str());
    Expand(hRoot, TVE_EXPAND);
}

void CScanTreeCtrl::Empty() {
    DeleteAllItems();
    m_pSnapshot = nullptr;
    m_root = FolderSnapshot::kNone;
}

HTREEITEM CScanTreeCtrl::AddNode(HTREEITEM hParent, FolderSnapshot::Index folder,
                                 const char* text) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = hParent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.lParam = static_cast<LPARAM>(folder);
    insert.item.cChildren = m_pSnapshot->FirstSubfolder(folder) != FolderSnapshot::kNone ? 1 : 0;
    insert.item.iImage = insert.item.iSelectedImage = m_nFolderImage;
    return InsertItem(insert);
}

void CScanTreeCtrl::OnExpanding(HTREEITEM hItem) {
    if (!m_pSnapshot || !hItem || GetChildItem(hItem))
        return;
    const FolderSnapshot::Index folder = FolderOf(hItem);
    std::vector<FolderSnapshot::Index> subfolders;
    for (FolderSnapshot::Index sub = m_pSnapshot->FirstSubfolder(folder);
         sub != FolderSnapshot::kNone; sub = m_pSnapshot->NextSubfolder(sub))
        subfolders.push_back(sub);
    // By name, as the folder list and the shell's tree order them.
    std::stable_sort(subfolders.begin(), subfolders.end(),
                     [this](FolderSnapshot::Index a, FolderSnapshot::Index b) {
                         return CompareNoCase(m_pSnapshot->Name(a), m_pSnapshot->Name(b)) < 0;
                     });
    for (FolderSnapshot::Index sub : subfolders)
        AddNode(hItem, sub, m_pSnapshot->Name(sub));
}

std::string CScanTreeCtrl::PathOf(HTREEITEM hItem) const {
    return m_pSnapshot && hItem ? m_pSnapshot->PathOf(FolderOf(hItem)) : std::string();
}

bool CScanTreeCtrl::SelectPath(const std::string& path) {
    if (!m_pSnapshot)
        return false;
    // The folders from the root down to it.
    std::vector<FolderSnapshot::Index> chain;
    for (FolderSnapshot::Index folder = m_pSnapshot->Find(path); folder != FolderSnapshot::kNone;
         folder = m_pSnapshot->Parent(folder)) {
        chain.push_back(folder);
        if (folder == m_root)
            break;
    }
    if (chain.empty() || chain.back() != m_root)
        return false;
    HTREEITEM hItem = GetRootItem();
    chain.pop_back();
    while (hItem && !chain.empty()) {
        OnExpanding(hItem);
        Expand(hItem, TVE_EXPAND);
        HTREEITEM hChild = GetChildItem(hItem);
        while (hChild && FolderOf(hChild) != chain.back())
            hChild = GetNextSiblingItem(hChild);
        hItem = hChild;
        chain.pop_back();
    }
    return hItem && SelectItem(hItem);
}
