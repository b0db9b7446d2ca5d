#include "shell_tree_ctrl.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "plain_folder.h"
#include "system_image_list.h"
#include "window_dpi.h"


IMPLEMENT_DYNAMIC(CShellTreeCtrl, CTreeCtrl)

BEGIN_MESSAGE_MAP(CShellTreeCtrl, CTreeCtrl)
    ON_NOTIFY_REFLECT_EX(TVN_ITEMEXPANDINGA, OnItemExpanding)
    ON_NOTIFY_REFLECT_EX(TVN_ITEMEXPANDINGW, OnItemExpanding)
    ON_NOTIFY_REFLECT_EX(TVN_DELETEITEMA, OnDeleteItem)
    ON_NOTIFY_REFLECT_EX(TVN_DELETEITEMW, OnDeleteItem)
    ON_NOTIFY_REFLECT(TVN_GETDISPINFOA, OnGetDispInfo)
    ON_NOTIFY_REFLECT(TVN_GETDISPINFOW, OnGetDispInfo)
END_MESSAGE_MAP()

namespace {

constexpr UINT kExpandActions = 0x0003; // TVE_EXPAND, TVE_COLLAPSE, TVE_TOGGLE

// Text in the process code page (the "A" functions' one).
std::string FromWide(const wchar_t* text) {
    if (!text || !*text)
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string result(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), n, nullptr, nullptr);
    result.resize(static_cast<size_t>(n - 1));
    return result;
}

// Text the shell allocated with the task allocator.
struct TaskText {
    using Handle = wchar_t*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CoTaskMemFree(h); }
};
using UniqueTaskText = UniqueHandle<TaskText>;

std::string DisplayName(IShellFolder* pFolder, LPCITEMIDLIST pidl, SHGDNF flags) {
    STRRET name{};
    if (FAILED(pFolder->GetDisplayNameOf(pidl, flags, &name)))
        return {};
    UniqueTaskText text;
    if (FAILED(StrRetToStrW(&name, pidl, text.Put()))) {
        text.Release(); // what a failed call leaves is not ours to free
        return {};
    }
    return FromWide(text.Get());
}

// The shell folder of an absolute id list (the desktop for the empty list).
ComPtr<IShellFolder> BindFolder(LPCITEMIDLIST pidl) {
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Put())))
        return {};
    if (!pidl || pidl->mkid.cb == 0)
        return desktop;
    ComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(pidl, nullptr, IID_IShellFolder, folder.PutVoid())))
        folder.Reset();
    return folder;
}

// A node's "has children" button, from the shell's own answer, without listing.
bool HasSubfolders(LPCITEMIDLIST pidl) {
    if (pidl->mkid.cb == 0)
        return true; // the desktop
    ComPtr<IShellFolder> parent;
    LPCITEMIDLIST pidlLast = nullptr;
    if (FAILED(SHBindToParent(pidl, IID_IShellFolder, parent.PutVoid(), &pidlLast)))
        return false;
    SFGAOF attributes = SFGAO_HASSUBFOLDER;
    return SUCCEEDED(parent->GetAttributesOf(1, &pidlLast, &attributes)) &&
           (attributes & SFGAO_HASSUBFOLDER);
}

int ShellIconIndex(LPCITEMIDLIST pidl, bool bOpen) {
    SHFILEINFOA info{};
    UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    if (bOpen)
        flags |= SHGFI_OPENICON;
    if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidl), 0, &info, sizeof info, flags))
        return 0;
    return info.iIcon;
}

// True for a folder whose icon can only be the plain folder icon (HasPlainFolderLook).
bool HasGenericFolderIcon(LPCITEMIDLIST pidl) {
    char path[MAX_PATH] = {};
    return pidl->mkid.cb != 0 && SHGetPathFromIDListA(pidl, path) && HasPlainFolderLook(path);
}

} // namespace

int CShellTreeCtrl::SystemIconIndex(LPCITEMIDLIST pidl, bool bOpen) {
    if (HasGenericFolderIcon(pidl)) {
        // The shell's answer for the first plain folder serves every other one.
        int& cached = bOpen ? m_nGenericOpenIcon : m_nGenericIcon;
        if (cached < 0)
            cached = ShellIconIndex(pidl, bOpen);
        return cached;
    }
    return ShellIconIndex(pidl, bOpen);
}

CShellTreeCtrl::~CShellTreeCtrl() {
    RemoveAll();
}

CShellTreeCtrl::ShellNode* CShellTreeCtrl::NodeOf(HTREEITEM hItem) const {
    if (!hItem || hItem == TVI_ROOT)
        return nullptr;
    auto* pNode = reinterpret_cast<ShellNode*>(GetItemData(hItem));
    return m_nodes.count(pNode) ? pNode : nullptr;
}

const ITEMIDLIST* CShellTreeCtrl::GetItemIDList(HTREEITEM hItem) const {
    const ShellNode* pNode = NodeOf(hItem);
    return pNode ? pNode->pidl.Get() : nullptr;
}

void CShellTreeCtrl::FreeNode(ShellNode* pNode) {
    m_nodes.erase(pNode); // nothing for a node not ours, or freed already
}

void CShellTreeCtrl::RemoveAll() {
    if (m_hWnd)
        DeleteAllItems(); // each item's data goes with its TVN_DELETEITEM
    // Whatever no notification freed (the items are gone in any case).
    m_nodes.clear();
}

HTREEITEM CShellTreeCtrl::InsertNode(HTREEITEM hParent, const std::string& text,
                                     UniqueTaskIdList pidl, int nChildren) {
    auto node = std::make_unique<ShellNode>(ShellNode{std::move(pidl), false});
    ShellNode* pNode = node.get();
    m_nodes.emplace(pNode, std::move(node));
    TVINSERTSTRUCTA insert{};
    insert.hParent = hParent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = I_IMAGECALLBACK;
    insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = nChildren;
    insert.item.lParam = reinterpret_cast<LPARAM>(pNode);
    HTREEITEM hItem = InsertItem(insert);
    if (!hItem)
        FreeNode(pNode);
    return hItem;
}

void CShellTreeCtrl::AddRootFolderContent(const ITEMIDLIST* pidlRoot, UINT nFlags) {
    RemoveAll();
    // The shell's icons at the window's scale, shared with every other user in the process:
    // the tree never destroys an image list it was given.
    if (const HIMAGELIST hImages = SystemImageListAt(WindowDpi(m_hWnd)))
        SetImageList(hImages, TVSIL_NORMAL);

    UniqueTaskIdList pidl;
    if (pidlRoot)
        pidl.Reset(ILClone(pidlRoot));
    else if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, pidl.Put())))
        pidl.Reset();
    if (!pidl)
        return;

    if (nFlags & kRootNode) {
        std::string text;
        if (const ComPtr<IShellFolder> desktop = BindFolder(nullptr))
            text = DisplayName(desktop.Get(), pidl.Get(), SHGDN_NORMAL);
        InsertNode(TVI_ROOT, text, std::move(pidl), I_CHILDRENCALLBACK);
    } else {
        FillChildren(TVI_ROOT, pidl.Get());
    }
}

bool CShellTreeCtrl::FillItem(HTREEITEM hItem) {
    ShellNode* pNode = NodeOf(hItem);
    if (!pNode)
        return false;
    if (pNode->bFilled)
        return true;
    pNode->bFilled = true;
    const bool bRead = FillChildren(hItem, pNode->pidl.Get());
    // The button now tells the truth: none when the folder has no child folders.
    TVITEMA item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = hItem;
    item.cChildren = GetChildItem(hItem) ? 1 : 0;
    SetItem(item);
    return bRead;
}

bool CShellTreeCtrl::FillChildren(HTREEITEM hParent, LPCITEMIDLIST pidlFolder) {
    const ComPtr<IShellFolder> folder = BindFolder(pidlFolder);
    if (!folder)
        return false;
    IShellFolder* pFolder = folder.Get();
    ComPtr<IEnumIDList> enumerator;
    // No owner window: the shell asks nothing (no "insert a disk" prompt).
    const HRESULT hr = pFolder->EnumObjects(nullptr, SHCONTF_FOLDERS, enumerator.Put());
    if (FAILED(hr) || !enumerator)
        return hr == S_FALSE; // S_FALSE: nothing to list
    struct Child {
        UniqueTaskIdList pidl; // relative to the folder
        std::string text;
    };
    std::vector<Child> children;
    UniqueTaskIdList pidlChild;
    ULONG nFetched = 0;
    while (enumerator->Next(1, pidlChild.Put(), &nFetched) == S_OK && nFetched == 1) {
        std::string text = DisplayName(pFolder, pidlChild.Get(), SHGDN_INFOLDER);
        children.push_back({std::move(pidlChild), std::move(text)});
    }

    // The shell's own order (folders by name, the computer's drives by letter).
    std::stable_sort(children.begin(), children.end(), [pFolder](const Child& a, const Child& b) {
        const HRESULT r = pFolder->CompareIDs(0, a.pidl.Get(), b.pidl.Get());
        return SUCCEEDED(r) && static_cast<short>(HRESULT_CODE(r)) < 0;
    });

    SendMessage(WM_SETREDRAW, FALSE);
    for (const Child& child : children)
        if (UniqueTaskIdList pidlAbsolute{ILCombine(pidlFolder, child.pidl.Get())})
            InsertNode(hParent, child.text, std::move(pidlAbsolute), I_CHILDRENCALLBACK);
    SendMessage(WM_SETREDRAW, TRUE);
    return true;
}

std::string CShellTreeCtrl::GetItemPath(HTREEITEM hItem) const {
    const ITEMIDLIST* pidl = GetItemIDList(hItem);
    if (!pidl)
        return {};
    // Any length: a folder deeper than MAX_PATH still has its path.
    UniqueTaskText path;
    if (FAILED(SHGetNameFromIDList(pidl, SIGDN_FILESYSPATH, path.Put()))) {
        path.Release(); // a failed call may leave a string it freed itself (Wine does)
        return {};
    }
    return FromWide(path.Get());
}

std::string CShellTreeCtrl::GetSelectedPath() const {
    return GetItemPath(GetSelectedItem());
}

LRESULT CShellTreeCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TVM_EXPAND:
        // Children are there when TVM_EXPAND returns, whether or not the control
        // notifies (it does not for a node expanded once before).
        if ((wParam & kExpandActions) == TVE_EXPAND || (wParam & kExpandActions) == TVE_TOGGLE)
            FillItem(reinterpret_cast<HTREEITEM>(lParam));
        break;
    case WM_DESTROY:
        RemoveAll();
        break;
    default:
        break;
    }
    return CTreeCtrl::WindowProc(message, wParam, lParam);
}

bool CShellTreeCtrl::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult) {
    const auto* pTree = reinterpret_cast<NMTREEVIEWA*>(pNMHDR);
    if ((pTree->action & kExpandActions) == TVE_EXPAND)
        FillItem(pTree->itemNew.hItem);
    *pResult = 0;
    return false; // the parent may watch it too
}

bool CShellTreeCtrl::OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult) {
    const auto* pTree = reinterpret_cast<NMTREEVIEWA*>(pNMHDR);
    FreeNode(reinterpret_cast<ShellNode*>(pTree->itemOld.lParam));
    *pResult = 0;
    return false;
}

void CShellTreeCtrl::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
    // The A and W forms differ only in the text pointer, which is not asked for.
    auto* pInfo = reinterpret_cast<NMTVDISPINFOA*>(pNMHDR);
    TVITEMA& item = pInfo->item;
    *pResult = 0;
    auto* pNode = reinterpret_cast<ShellNode*>(item.lParam);
    if (!m_nodes.count(pNode))
        return;
    if (item.mask & TVIF_IMAGE)
        item.iImage = SystemIconIndex(pNode->pidl.Get(), false);
    if (item.mask & TVIF_SELECTEDIMAGE)
        item.iSelectedImage = SystemIconIndex(pNode->pidl.Get(), true);
    if (item.mask & TVIF_CHILDREN)
        item.cChildren = HasSubfolders(pNode->pidl.Get()) ? 1 : 0;
    item.mask |= TVIF_DI_SETITEM; // asked once per node
}
