#include "shell_item_menu.h"

#include <cstdlib>
#include <cstring>

#include "menu.h"
#include "wnd.h"

namespace {

// The first command identifier handed to the shell, and the last.
constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 10000;

USHORT ItemSize(LPCITEMIDLIST pidl) {
    USHORT cb = 0;
    std::memcpy(&cb, pidl, sizeof(cb)); // items need not be aligned
    return cb;
}

LPCITEMIDLIST NextItem(LPCITEMIDLIST pidl) {
    return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(pidl) + ItemSize(pidl));
}

std::wstring Widen(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.c_str(), -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

} // namespace

int CountIDListItems(LPCITEMIDLIST pidl) {
    int n = 0;
    for (; pidl && ItemSize(pidl) != 0; pidl = NextItem(pidl))
        ++n;
    return n;
}

UINT GetIDListSize(LPCITEMIDLIST pidl) {
    UINT cb = 0;
    for (; pidl && ItemSize(pidl) != 0; pidl = NextItem(pidl))
        cb += ItemSize(pidl);
    return cb;
}

LPCITEMIDLIST GetIDListItem(LPCITEMIDLIST pidl, int nIndex) {
    if (!pidl || nIndex < 0)
        return nullptr;
    for (int i = 0; i < nIndex; ++i) {
        if (ItemSize(pidl) == 0)
            return nullptr; // beyond the terminator
        pidl = NextItem(pidl);
    }
    return pidl;
}

LPITEMIDLIST CopyIDList(LPCITEMIDLIST pidl, int cb) {
    if (!pidl)
        return nullptr;
    const UINT nBytes = cb < 0 ? GetIDListSize(pidl) : static_cast<UINT>(cb);
    auto* pCopy = static_cast<BYTE*>(std::calloc(nBytes + sizeof(USHORT), 1));
    if (pCopy && nBytes)
        std::memcpy(pCopy, pidl, nBytes);
    return reinterpret_cast<LPITEMIDLIST>(pCopy);
}

HRESULT BindToParentFolder(LPCITEMIDLIST pidl, REFIID riid, void** ppv, LPITEMIDLIST* ppidlLast) {
    if (ppidlLast)
        *ppidlLast = nullptr;
    if (!pidl || !ppv)
        return E_POINTER;
    *ppv = nullptr;
    const int nCount = CountIDListItems(pidl);
    if (nCount == 0)
        return E_POINTER;
    IShellFolder* psfDesktop = nullptr;
    HRESULT hr = SHGetDesktopFolder(&psfDesktop);
    if (FAILED(hr))
        return hr;
    if (nCount == 1) {
        hr = psfDesktop->QueryInterface(riid, ppv);
        if (SUCCEEDED(hr) && ppidlLast)
            *ppidlLast = CopyIDList(pidl);
        psfDesktop->Release();
        return hr;
    }
    LPCITEMIDLIST pidlLast = GetIDListItem(pidl, nCount - 1);
    const int cbParent = static_cast<int>(reinterpret_cast<const BYTE*>(pidlLast) -
                                          reinterpret_cast<const BYTE*>(pidl));
    LPITEMIDLIST pidlParent = CopyIDList(pidl, cbParent);
    IShellFolder* psfParent = nullptr;
    hr = pidlParent ? psfDesktop->BindToObject(pidlParent, nullptr, IID_IShellFolder,
                                               reinterpret_cast<void**>(&psfParent))
                    : E_OUTOFMEMORY;
    if (FAILED(hr) || !psfParent) {
        std::free(pidlParent);
        psfDesktop->Release();
        return FAILED(hr) ? hr : E_FAIL;
    }
    hr = psfParent->QueryInterface(riid, ppv);
    if (SUCCEEDED(hr) && ppidlLast)
        *ppidlLast = CopyIDList(pidlLast);
    std::free(pidlParent);
    psfParent->Release();
    psfDesktop->Release();
    return hr;
}

CShellItemMenu::~CShellItemMenu() {
    Release();
    delete m_pMenu;
}

void CShellItemMenu::Release() {
    if (m_bHaveFolder && m_psfParent)
        m_psfParent->Release();
    m_psfParent = nullptr;
    m_bHaveFolder = FALSE;
    for (LPITEMIDLIST pidl : m_pidlItems)
        std::free(pidl);
    m_pidlItems.clear();
    m_nItems = 0;
}

void CShellItemMenu::SetPaths(const std::vector<std::string>& paths) {
    Release();
    IShellFolder* psfDesktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&psfDesktop)) || !psfDesktop)
        return;
    IMalloc* pMalloc = nullptr;
    if (FAILED(SHGetMalloc(&pMalloc)) || !pMalloc) {
        psfDesktop->Release();
        return;
    }
    for (const std::string& path : paths) {
        // A path the shell cannot parse (deleted since the list was filled) is left out.
        std::wstring wide = Widen(path);
        if (wide.empty())
            continue;
        LPITEMIDLIST pidlAbsolute = nullptr;
        if (FAILED(psfDesktop->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr, &pidlAbsolute,
                                                nullptr)) ||
            !pidlAbsolute)
            continue;
        IShellFolder* psfFolder = nullptr;
        LPITEMIDLIST pidlLast = nullptr;
        if (SUCCEEDED(BindToParentFolder(pidlAbsolute, IID_IShellFolder,
                                         reinterpret_cast<void**>(&psfFolder), &pidlLast)) &&
            psfFolder && pidlLast) {
            // The items are taken to lie in the folder of the first one stored.
            if (!m_bHaveFolder) {
                m_psfParent = psfFolder;
                m_bHaveFolder = TRUE;
                psfFolder = nullptr;
            }
            m_pidlItems.push_back(pidlLast);
            pidlLast = nullptr;
        }
        std::free(pidlLast);
        if (psfFolder)
            psfFolder->Release();
        pMalloc->Free(pidlAbsolute);
    }
    m_nItems = static_cast<int>(m_pidlItems.size());
    pMalloc->Release();
    psfDesktop->Release();
}

BOOL CShellItemMenu::GetContextMenu(IContextMenu** ppcm, int* pVersion) {
    *ppcm = nullptr;
    if (!m_bHaveFolder || !m_psfParent || m_nItems <= 0)
        return FALSE;
    IContextMenu* pcm = nullptr;
    m_psfParent->GetUIObjectOf(
        nullptr, static_cast<UINT>(m_nItems),
        const_cast<LPCITEMIDLIST*>(reinterpret_cast<const LPCITEMIDLIST*>(m_pidlItems.data())),
        IID_IContextMenu, nullptr, reinterpret_cast<void**>(&pcm));
    if (!pcm)
        return FALSE;
    void* pNewer = nullptr;
    if (SUCCEEDED(pcm->QueryInterface(IID_IContextMenu3, &pNewer)) && pNewer) {
        *pVersion = 3;
    } else if (SUCCEEDED(pcm->QueryInterface(IID_IContextMenu2, &pNewer)) && pNewer) {
        *pVersion = 2;
    } else {
        *pVersion = 1;
        *ppcm = pcm;
        return TRUE;
    }
    pcm->Release();
    *ppcm = static_cast<IContextMenu*>(pNewer);
    return TRUE;
}

void CShellItemMenu::RunCommand(IContextMenu* pcm, UINT nOffset) {
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.lpVerb = MAKEINTRESOURCEA(LOWORD(nOffset));
    info.nShow = SW_SHOWNORMAL;
    pcm->InvokeCommand(&info);
}

UINT CShellItemMenu::TrackMenu(CWnd* pOwner, int x, int y) {
    IContextMenu* pcm = nullptr;
    int nVersion = 1;
    if (!pOwner || !GetContextMenu(&pcm, &nVersion))
        return 0;
    if (!m_pMenu) {
        m_pMenu = new CMenu;
        m_pMenu->CreatePopupMenu();
    }
    pcm->QueryContextMenu(*m_pMenu, static_cast<UINT>(m_pMenu->GetMenuItemCount()), kFirstCommand,
                          kLastCommand, CMF_EXPLORE);

    // The owner hands this object the messages a menu of version 2 or 3 draws its items
    // and submenus with (HandleOwnerMessage) while it is open; the owner's window
    // procedure is never replaced.
    if (nVersion == 3)
        m_pOpenMenu3 = static_cast<IContextMenu3*>(pcm);
    if (nVersion >= 2)
        m_pOpenMenu2 = static_cast<IContextMenu2*>(pcm);
    UINT nResult = m_pMenu->TrackPopupMenu(TPM_RETURNCMD, x, y, pOwner);
    // Commands run with the menu closed; a dialog they show sees the owner as it is.
    m_pOpenMenu2 = nullptr;
    m_pOpenMenu3 = nullptr;

    if (nResult >= kFirstCommand && nResult <= kLastCommand) {
        RunCommand(pcm, nResult - kFirstCommand);
        nResult = 0;
    }
    pcm->Release();
    return nResult;
}

bool CShellItemMenu::HandleOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT* pResult) {
    if (!m_pOpenMenu2)
        return false;
    switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        if (wParam != 0)
            return false; // from a control, not from the menu
        m_pOpenMenu2->HandleMenuMsg(message, wParam, lParam);
        *pResult = TRUE;
        return true;
    case WM_INITMENUPOPUP:
        m_pOpenMenu2->HandleMenuMsg(message, wParam, lParam);
        *pResult = 0;
        return true;
    case WM_MENUCHAR:
        if (!m_pOpenMenu3)
            return false;
        *pResult = 0;
        m_pOpenMenu3->HandleMenuMsg2(message, wParam, lParam, pResult);
        return true;
    default:
        return false;
    }
}
