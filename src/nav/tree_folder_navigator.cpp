#include "tree_folder_navigator.h"

#include <cstring>

#include "computer_node.h"
#include "scan_tree_ctrl.h"
#include "shell_tree_ctrl.h"

CTreeCtrl* CTreeFolderNavigator::LiveTree() const {
    return m_pTree && m_pTree->m_hWnd ? m_pTree : nullptr;
}

namespace {

std::string WithSeparator(std::string path) {
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path;
}

// `path` begins with the folder `prefix` (both ending in a separator), whatever the case.
bool IsWithin(const std::string& path, const std::string& prefix) {
    return !prefix.empty() && path.size() >= prefix.size() &&
           _strnicmp(path.c_str(), prefix.c_str(), prefix.size()) == 0;
}

} // namespace

void CTreeFolderNavigator::OpenFolder(const std::string& folder) {
    // While a saved scan shows, its folders open within it; any other is this computer's.
    if (m_pScanTree && m_pScanTree->m_hWnd && m_pScanTree->IsWindowVisible() &&
        m_pScanTree->SelectPath(folder))
        return;
    auto* pTree = dynamic_cast<CShellTreeCtrl*>(LiveTree());
    if (!pTree || folder.size() < 2 || folder[1] != ':')
        return;
    const std::string target = WithSeparator(folder);
    // From the tree's selection when the folder lies beneath it, else from its drive; then
    // down through the nodes whose folders hold it. The nodes' own paths lead, not their
    // names, which the shell may show otherwise.
    HTREEITEM hItem = pTree->GetSelectedItem();
    if (hItem && !IsWithin(target, WithSeparator(pTree->GetItemPath(hItem))))
        hItem = nullptr;
    if (!hItem)
        hItem = FindDriveItem(folder.substr(0, 2));
    while (hItem &&
           _stricmp(WithSeparator(pTree->GetItemPath(hItem)).c_str(), target.c_str()) != 0) {
        pTree->Expand(hItem, TVE_EXPAND);
        HTREEITEM hNext = nullptr;
        for (HTREEITEM h = pTree->GetChildItem(hItem); h && !hNext;
             h = pTree->GetNextSiblingItem(h))
            if (IsWithin(target, WithSeparator(pTree->GetItemPath(h))))
                hNext = h;
        hItem = hNext;
    }
    if (hItem)
        pTree->SelectItem(hItem);
}

void CTreeFolderNavigator::OpenDrive(const std::string& name) {
    if (const HTREEITEM hDrive = FindDriveItem(name))
        m_pTree->SelectItem(hDrive);
}

HTREEITEM CTreeFolderNavigator::FindDriveItem(const std::string& name) const {
    CTreeCtrl* pTree = LiveTree();
    const HTREEITEM hComputer = pTree ? FindComputerItem(*pTree) : nullptr;
    if (!hComputer)
        return nullptr;
    pTree->Expand(hComputer, TVE_EXPAND);
    for (HTREEITEM hDrive = pTree->GetChildItem(hComputer); hDrive;
         hDrive = pTree->GetNextSiblingItem(hDrive))
        if (pTree->GetItemText(hDrive).find(name) != std::string::npos)
            return hDrive;
    return nullptr;
}
