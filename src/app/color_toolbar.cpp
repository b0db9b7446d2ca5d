#include "color_toolbar.h"

BEGIN_MESSAGE_MAP(CColorToolBar, CToolBar)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CColorToolBar::~CColorToolBar() {
    DestroyImageLists();
}

bool CColorToolBar::LoadImageLists(int nButtonWidth, UINT nNormalBitmap, UINT nHotBitmap,
                                   UINT nDisabledBitmap) {
    if (!SetImageListFromBitmap(TB_SETIMAGELIST, nNormalBitmap, nButtonWidth))
        return false;
    if (nHotBitmap && !SetImageListFromBitmap(TB_SETHOTIMAGELIST, nHotBitmap, nButtonWidth))
        return false;
    if (nDisabledBitmap &&
        !SetImageListFromBitmap(TB_SETDISABLEDIMAGELIST, nDisabledBitmap, nButtonWidth))
        return false;
    return true;
}

bool CColorToolBar::SetImageListFromBitmap(UINT message, UINT nBitmapID, int nButtonWidth) {
    if (nButtonWidth <= 0)
        return false;
    auto hBitmap =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nBitmapID),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
    if (!hBitmap)
        return false;
    DIBSECTION dib{};
    if (GetObjectA(hBitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits ||
        dib.dsBm.bmBitsPixel < 24) {
        DeleteObject(hBitmap);
        return false;
    }
    // The strips are stored bottom-up: the first pixel in memory is the bottom-left one,
    // and its blue, green and red bytes give the transparent colour.
    const auto* pPixel = static_cast<const BYTE*>(dib.dsBm.bmBits);
    const COLORREF crMask = RGB(pPixel[2], pPixel[1], pPixel[0]);

    HIMAGELIST hImageList =
        ImageList_Create(nButtonWidth, dib.dsBm.bmHeight, ILC_COLOR24 | ILC_MASK,
                         dib.dsBm.bmWidth / nButtonWidth, 0);
    if (!hImageList) {
        DeleteObject(hBitmap);
        return false;
    }
    if (ImageList_AddMasked(hImageList, hBitmap, crMask) == -1) {
        ImageList_Destroy(hImageList);
        DeleteObject(hBitmap);
        return false;
    }
    // The toolbar shows the list from now on; it is destroyed with the toolbar, and so is
    // one made here before it.
    SendMessage(message, 0, reinterpret_cast<LPARAM>(hImageList));
    const int slot = message == TB_SETIMAGELIST ? 0 : message == TB_SETHOTIMAGELIST ? 1 : 2;
    if (m_hImageLists[slot])
        ImageList_Destroy(m_hImageLists[slot]);
    m_hImageLists[slot] = hImageList;
    DeleteObject(hBitmap);
    return true;
}

void CColorToolBar::DestroyImageLists() {
    static const UINT kSetMessages[3] = {TB_SETIMAGELIST, TB_SETHOTIMAGELIST,
                                         TB_SETDISABLEDIMAGELIST};
    for (int i = 0; i < 3; ++i) {
        if (!m_hImageLists[i])
            continue;
        if (m_hWnd)
            SendMessage(kSetMessages[i], 0, 0);
        ImageList_Destroy(m_hImageLists[i]);
        m_hImageLists[i] = nullptr;
    }
}

void CColorToolBar::OnDestroy() {
    DestroyImageLists();
    CToolBar::OnDestroy();
}
