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
    const UniqueGdiObject bitmap(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nBitmapID),
                                            IMAGE_BITMAP, 0, 0,
                                            LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
    if (!bitmap)
        return false;
    DIBSECTION dib{};
    if (GetObjectA(bitmap.Get(), sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits ||
        dib.dsBm.bmBitsPixel < 24)
        return false;
    // The strips are stored bottom-up: the first pixel in memory is the bottom-left one,
    // and its blue, green and red bytes give the transparent colour.
    const auto* pPixel = static_cast<const BYTE*>(dib.dsBm.bmBits);
    const COLORREF crMask = RGB(pPixel[2], pPixel[1], pPixel[0]);

    UniqueImageList imageList(ImageList_Create(nButtonWidth, dib.dsBm.bmHeight,
                                               ILC_COLOR24 | ILC_MASK,
                                               dib.dsBm.bmWidth / nButtonWidth, 0));
    if (!imageList ||
        ImageList_AddMasked(imageList.Get(), static_cast<HBITMAP>(bitmap.Get()), crMask) == -1)
        return false;
    // The toolbar shows the list from now on; it is destroyed with the toolbar, and so is
    // one made here before it.
    SendMessage(message, 0, reinterpret_cast<LPARAM>(imageList.Get()));
    const int slot = message == TB_SETIMAGELIST ? 0 : message == TB_SETHOTIMAGELIST ? 1 : 2;
    m_imageLists[slot] = std::move(imageList);
    return true;
}

void CColorToolBar::DestroyImageLists() {
    static const UINT kSetMessages[3] = {TB_SETIMAGELIST, TB_SETHOTIMAGELIST,
                                         TB_SETDISABLEDIMAGELIST};
    for (int i = 0; i < 3; ++i) {
        if (!m_imageLists[i])
            continue;
        if (m_hWnd)
            SendMessage(kSetMessages[i], 0, 0);
        m_imageLists[i].Reset();
    }
}

void CColorToolBar::OnDestroy() {
    DestroyImageLists();
    CToolBar::OnDestroy();
}
