#include "shell_tree_ctrl.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

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

std::string DisplayName(IShellFolder* pFolder, LPCITEMIDLIST pidl, SHGDNF flags) {
    STRRET name{};
    if (FAILED(pFolder->GetDisplayNameOf(pidl, flags, &name)))
        return {};
    wchar_t* pszName = nullptr;
    if (FAILED(StrRetToStrW(&name, pidl, &pszName)))
        return {};
    std::string text = FromWide(pszName);
    CoTaskMemFree(pszName);
    return text;
}

// The shell folder of an absolute id list (the desktop for the empty list).
IShellFolder* BindFolder(LPCITEMIDLIST pidl) {
    IShellFolder* pDesktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&pDesktop)))
        return nullptr;
    if (!pidl || pidl->mkid.cb == 0)
        return pDesktop;
    IShellFolder* pFolder = nullptr;
    if (FAILED(pDesktop->BindToObject(pidl, nullptr, IID_IShellFolder,
                                      reinterpret_cast<void**>(&pFolder))))
        pFolder = nullptr;
    pDesktop->Release();
    return pFolder;
}

// A node's "has children" button, from the shell's own answer, without listing.
bool HasSubfolders(LPCITEMIDLIST pidl) {
    if (pidl->mkid.cb == 0)
        return true; // the desktop
    IShellFolder* pParent = nullptr;
    LPCITEMIDLIST pidlLast = nullptr;
    if (FAILED(
            SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&pParent), &pidlLast)))
        return false;
    SFGAOF attributes = SFGAO_HASSUBFOLDER;
    const bool bHas = SUCCEEDED(pParent->GetAttributesOf(1, &pidlLast, &attributes)) &&
                      (attributes & SFGAO_HASSUBFOLDER);
    pParent->Release();
    return bHas;
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

// The folders the shell may give an icon of their own although nothing on disk marks
// them: the known folders (Documents, Pictures, Fonts, ...) and whatever sits directly in a
// user's profile or the public one (Downloads, Links, Saved Games, ...). Read once.
class KnownFolders {
public:
    KnownFolders() {
        const int known[] = {CSIDL_DESKTOPDIRECTORY,        CSIDL_PERSONAL,
                             CSIDL_MYPICTURES,              CSIDL_MYMUSIC,
                             CSIDL_MYVIDEO,                 CSIDL_FAVORITES,
                             CSIDL_TEMPLATES,               CSIDL_FONTS,
                             CSIDL_STARTMENU,               CSIDL_PROGRAMS,
                             CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS,
                             CSIDL_COMMON_PICTURES,         CSIDL_COMMON_MUSIC,
                             CSIDL_COMMON_VIDEO,            CSIDL_COMMON_FAVORITES,
                             CSIDL_COMMON_TEMPLATES,        CSIDL_COMMON_STARTMENU,
                             CSIDL_COMMON_PROGRAMS};
        for (int csidl : known)
            Add(m_folders, csidl);
        Add(m_profiles, CSIDL_PROFILE);
        char path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, 0, path)) &&
            PathRemoveFileSpecA(path))
            m_profiles.push_back(path); // the public profile holds the common documents
    }

    // True when `path` (a folder's full path, with or without a trailing backslash: the
    // desktop's Documents item has one) is one of them.
    bool MayHaveOwnIcon(const char* path) const {
        char folder[MAX_PATH] = {};
        lstrcpynA(folder, path, MAX_PATH);
        PathRemoveBackslashA(folder);
        if (Contains(m_folders, folder))
            return true;
        return PathRemoveFileSpecA(folder) && Contains(m_profiles, folder);
    }

private:
    static void Add(std::vector<std::string>& paths, int csidl) {
        char path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)))
            paths.push_back(path);
    }
    static bool Contains(const std::vector<std::string>& paths, const char* path) {
        return std::any_of(paths.begin(), paths.end(), [path](const std::string& known) {
            return lstrcmpiA(known.c_str(), path) == 0;
        });
    }

    std::vector<std::string> m_folders;  // the known folders themselves
    std::vector<std::string> m_profiles; // folders whose every child may be a known one
};

// True for a folder whose icon can only be the plain folder icon: a file-system folder that is
// not a drive's root nor a known folder, and has neither the read-only nor the system
// attribute (which let a folder pick its own icon) nor a reparse point's overlay. Asking the
// shell for each such node's icon costs tens of milliseconds under Wine and gives the same
// answer each time.
bool HasGenericFolderIcon(LPCITEMIDLIST pidl) {
    char path[MAX_PATH] = {};
    if (pidl->mkid.cb == 0 || !SHGetPathFromIDListA(pidl, path))
        return false;
    if (PathIsRootA(path) || PathIsUNCServerShareA(path))
        return false;
    static const KnownFolders knownFolders; // the tree lives on the user interface thread
    if (knownFolders.MayHaveOwnIcon(path))
        return false;
    const DWORD attributes = GetFileAttributesA(path);
    constexpr DWORD kOwnIcon =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & kOwnIcon);
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
    return pNode ? pNode->pidl : nullptr;
}

void CShellTreeCtrl::FreeNode(ShellNode* pNode) {
    if (m_nodes.erase(pNode) == 0)
        return; // not ours, or freed already
    CoTaskMemFree(pNode->pidl);
    delete pNode;
}

void CShellTreeCtrl::RemoveAll() {
    if (m_hWnd)
        DeleteAllItems(); // each item's data goes with its TVN_DELETEITEM
    // Whatever no notification freed (the items are gone in any case).
    for (ShellNode* pNode : m_nodes) {
        CoTaskMemFree(pNode->pidl);
        delete pNode;
    }
    m_nodes.clear();
}

HTREEITEM CShellTreeCtrl::InsertNode(HTREEITEM hParent, const std::string& text, LPITEMIDLIST pidl,
                                     int nChildren) {
    auto* pNode = new ShellNode{pidl, false};
    m_nodes.insert(pNode);
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
    // The shell's small icons, shared with every other user in the process: the tree
    // never destroys an image list it was given.
    SHFILEINFOA info{};
    const auto hImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (hImages)
        SetImageList(hImages, TVSIL_NORMAL);

    LPITEMIDLIST pidl = nullptr;
    if (pidlRoot)
        pidl = ILClone(pidlRoot);
    else if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &pidl)))
        pidl = nullptr;
    if (!pidl)
        return;

    if (nFlags & kRootNode) {
        std::string text;
        if (IShellFolder* pDesktop = BindFolder(nullptr)) {
            text = DisplayName(pDesktop, pidl, SHGDN_NORMAL);
            pDesktop->Release();
        }
        InsertNode(TVI_ROOT, text, pidl, I_CHILDRENCALLBACK);
    } else {
        FillChildren(TVI_ROOT, pidl);
        CoTaskMemFree(pidl);
    }
}

bool CShellTreeCtrl::FillItem(HTREEITEM hItem) {
    ShellNode* pNode = NodeOf(hItem);
    if (!pNode)
        return false;
    if (pNode->bFilled)
        return true;
    pNode->bFilled = true;
    const bool bRead = FillChildren(hItem, pNode->pidl);
    // The button now tells the truth: none when the folder has no child folders.
    TVITEMA item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = hItem;
    item.cChildren = GetChildItem(hItem) ? 1 : 0;
    SetItem(item);
    return bRead;
}

bool CShellTreeCtrl::FillChildren(HTREEITEM hParent, LPCITEMIDLIST pidlFolder) {
    IShellFolder* pFolder = BindFolder(pidlFolder);
    if (!pFolder)
        return false;
    IEnumIDList* pEnum = nullptr;
    // No owner window: the shell asks nothing (no "insert a disk" prompt).
    const HRESULT hr = pFolder->EnumObjects(nullptr, SHCONTF_FOLDERS, &pEnum);
    if (FAILED(hr) || !pEnum) {
        pFolder->Release();
        return hr == S_FALSE; // S_FALSE: nothing to list
    }
    struct Child {
        LPITEMIDLIST pidl; // relative to the folder
        std::string text;
    };
    std::vector<Child> children;
    LPITEMIDLIST pidlChild = nullptr;
    ULONG nFetched = 0;
    while (pEnum->Next(1, &pidlChild, &nFetched) == S_OK && nFetched == 1) {
        children.push_back({pidlChild, DisplayName(pFolder, pidlChild, SHGDN_INFOLDER)});
        pidlChild = nullptr;
    }
    pEnum->Release();

    // The shell's own order (folders by name, the computer's drives by letter).
    std::stable_sort(children.begin(), children.end(), [pFolder](const Child& a, const Child& b) {
        const HRESULT r = pFolder->CompareIDs(0, a.pidl, b.pidl);
        return SUCCEEDED(r) && static_cast<short>(HRESULT_CODE(r)) < 0;
    });

    SendMessage(WM_SETREDRAW, FALSE);
    for (Child& child : children) {
        LPITEMIDLIST pidlAbsolute = ILCombine(pidlFolder, child.pidl);
        CoTaskMemFree(child.pidl);
        if (pidlAbsolute)
            InsertNode(hParent, child.text, pidlAbsolute, I_CHILDRENCALLBACK);
    }
    SendMessage(WM_SETREDRAW, TRUE);
    pFolder->Release();
    return true;
}

std::string CShellTreeCtrl::GetItemPath(HTREEITEM hItem) const {
    const ITEMIDLIST* pidl = GetItemIDList(hItem);
    if (!pidl)
        return {};
    // Any length: a folder deeper than MAX_PATH still has its path.
    wchar_t* pszPath = nullptr;
    if (FAILED(SHGetNameFromIDList(pidl, SIGDN_FILESYSPATH, &pszPath)))
        return {};
    std::string path = FromWide(pszPath);
    CoTaskMemFree(pszPath);
    return path;
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
        item.iImage = SystemIconIndex(pNode->pidl, false);
    if (item.mask & TVIF_SELECTEDIMAGE)
        item.iSelectedImage = SystemIconIndex(pNode->pidl, true);
    if (item.mask & TVIF_CHILDREN)
        item.cChildren = HasSubfolders(pNode->pidl) ? 1 : 0;
    item.mask |= TVIF_DI_SETITEM; // asked once per node
}
