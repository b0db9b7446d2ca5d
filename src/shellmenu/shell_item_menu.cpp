#include "shell_item_menu.h"

#include <cstdlib>
#include <cstring>

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
    ComPtr<IShellFolder> desktop;
    HRESULT hr = SHGetDesktopFolder(desktop.Put());
    if (FAILED(hr))
        return hr;
    LPCITEMIDLIST pidlLast = pidl;
    ComPtr<IShellFolder> parent;
    if (nCount == 1) {
        parent = desktop;
    } else {
        pidlLast = GetIDListItem(pidl, nCount - 1);
        const int cbParent = static_cast<int>(reinterpret_cast<const BYTE*>(pidlLast) -
                                              reinterpret_cast<const BYTE*>(pidl));
        const UniqueIdList pidlParent(CopyIDList(pidl, cbParent));
        if (!pidlParent)
            return E_OUTOFMEMORY;
        hr = desktop->BindToObject(pidlParent.Get(), nullptr, IID_IShellFolder, parent.PutVoid());
        if (FAILED(hr) || !parent)
            return FAILED(hr) ? hr : E_FAIL;
    }
    hr = parent->QueryInterface(riid, ppv);
    if (SUCCEEDED(hr) && ppidlLast)
        *ppidlLast = CopyIDList(pidlLast);
    return hr;
}

void CShellItemMenu::SetPaths(const std::vector<std::string>& paths) {
    m_parent.Reset();
    m_items.clear();
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Put())) || !desktop)
        return;
    for (const std::string& path : paths) {
        // A path the shell cannot parse (deleted since the list was filled) is left out.
        std::wstring wide = Widen(path);
        if (wide.empty())
            continue;
        UniqueShellIdList pidlAbsolute;
        if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr,
                                             pidlAbsolute.Put(), nullptr))) {
            pidlAbsolute.Release(); // what a failed call leaves is not ours to free
            continue;
        }
        if (!pidlAbsolute)
            continue;
        ComPtr<IShellFolder> folder;
        UniqueIdList pidlLast;
        if (FAILED(BindToParentFolder(pidlAbsolute.Get(), IID_IShellFolder, folder.PutVoid(),
                                      pidlLast.Put())) ||
            !folder || !pidlLast)
            continue;
        // The items are taken to lie in the folder of the first one stored.
        if (!m_parent)
            m_parent = folder;
        m_items.push_back(std::move(pidlLast));
    }
}

ComPtr<IContextMenu> CShellItemMenu::GetContextMenu(int* pVersion) const {
    ComPtr<IContextMenu> menu;
    if (!m_parent || m_items.empty())
        return menu;
    std::vector<LPCITEMIDLIST> items;
    for (const UniqueIdList& item : m_items)
        items.push_back(item.Get());
    m_parent->GetUIObjectOf(nullptr, static_cast<UINT>(items.size()), items.data(),
                            IID_IContextMenu, nullptr, menu.PutVoid());
    if (!menu)
        return menu;
    // The newest interface the menu offers, in its place.
    ComPtr<IContextMenu> newer;
    if (SUCCEEDED(menu->QueryInterface(IID_IContextMenu3, newer.PutVoid())) && newer) {
        *pVersion = 3;
    } else if (SUCCEEDED(menu->QueryInterface(IID_IContextMenu2, newer.PutVoid())) && newer) {
        *pVersion = 2;
    } else {
        *pVersion = 1;
        return menu;
    }
    return newer;
}

void CShellItemMenu::RunCommand(IContextMenu* pcm, UINT nOffset) {
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.lpVerb = MAKEINTRESOURCEA(LOWORD(nOffset));
    info.nShow = SW_SHOWNORMAL;
    pcm->InvokeCommand(&info);
}

UINT CShellItemMenu::TrackMenu(CWnd* pOwner, int x, int y) {
    int nVersion = 1;
    if (!pOwner)
        return 0;
    const ComPtr<IContextMenu> menu = GetContextMenu(&nVersion);
    if (!menu)
        return 0;
    const UniqueMenu popup(::CreatePopupMenu());
    if (!popup)
        return 0;
    menu->QueryContextMenu(popup.Get(), 0, kFirstCommand, kLastCommand, CMF_EXPLORE);

    // The owner hands this object the messages a menu of version 2 or 3 draws its items
    // and submenus with (HandleOwnerMessage) while it is open; the owner's window
    // procedure is never replaced.
    if (nVersion == 3)
        menu->QueryInterface(IID_IContextMenu3, m_openMenu3.PutVoid());
    if (nVersion >= 2)
        menu->QueryInterface(IID_IContextMenu2, m_openMenu2.PutVoid());
    UINT nResult = static_cast<UINT>(
        ::TrackPopupMenu(popup.Get(), TPM_RETURNCMD, x, y, 0, pOwner->m_hWnd, nullptr));
    // Commands run with the menu closed; a dialog they show sees the owner as it is.
    m_openMenu2.Reset();
    m_openMenu3.Reset();

    if (nResult >= kFirstCommand && nResult <= kLastCommand) {
        RunCommand(menu.Get(), nResult - kFirstCommand);
        nResult = 0;
    }
    return nResult;
}

bool CShellItemMenu::HandleOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT* pResult) {
    if (!m_openMenu2)
        return false;
    switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        if (wParam != 0)
            return false; // from a control, not from the menu
        m_openMenu2->HandleMenuMsg(message, wParam, lParam);
        *pResult = TRUE;
        return true;
    case WM_INITMENUPOPUP:
        m_openMenu2->HandleMenuMsg(message, wParam, lParam);
        *pResult = 0;
        return true;
    case WM_MENUCHAR:
        if (!m_openMenu3)
            return false;
        *pResult = 0;
        m_openMenu3->HandleMenuMsg2(message, wParam, lParam, pResult);
        return true;
    default:
        return false;
    }
}
