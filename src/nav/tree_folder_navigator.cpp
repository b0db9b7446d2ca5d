#include "tree_folder_navigator.h"

#include <algorithm>

#include "computer_node.h"
#include "dirscope_doc.h"
#include "path_text.h"
#include "tree_ctrl.h"

CTreeCtrl* CTreeFolderNavigator::LiveTree() const {
    return m_pTree && m_pTree->m_hWnd ? m_pTree : nullptr;
}

void CTreeFolderNavigator::OpenFolder(const std::string& folder) {
    CTreeCtrl* pTree = LiveTree();
    if (!pTree || !m_pDoc)
        return;
    HTREEITEM hItem = nullptr;
    std::string rest;
    const std::string& shown = m_pDoc->Folder();
    const std::string shownPrefix = JoinPath(shown, "");
    if (!shown.empty() && folder.compare(0, shownPrefix.size(), shownPrefix) == 0) {
        hItem = pTree->GetSelectedItem();
        rest = folder.substr(shownPrefix.size());
    } else if (folder.size() >= 2 && folder[1] == ':') {
        hItem = FindDriveItem(folder.substr(0, 2));
        rest = folder.size() > 3 ? folder.substr(3) : std::string();
    }
    size_t start = 0;
    while (hItem && start < rest.size()) {
        const size_t end = std::min(rest.find('\\', start), rest.size());
        if (end > start) {
            pTree->Expand(hItem, TVE_EXPAND);
            hItem = pTree->FindChildItem(hItem, rest.substr(start, end - start));
        }
        start = end + 1;
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
