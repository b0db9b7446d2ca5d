#pragma once
// CColorToolBar: a toolbar whose buttons show 24-bit images, normal, hot and disabled,
// each from a strip bitmap whose first pixel in memory gives the transparent colour.

#include "owners.h"
#include "tool_bar.h"

class CColorToolBar : public CToolBar {
    DECLARE_MESSAGE_MAP()
public:
    ~CColorToolBar() override;
    // True when every requested list was set; stops at the first that fails. A bitmap
    // id of 0 skips the hot or the disabled list.
    bool LoadImageLists(int nButtonWidth, UINT nNormalBitmap, UINT nHotBitmap,
                        UINT nDisabledBitmap);

protected:
    bool SetImageListFromBitmap(UINT message, UINT nBitmapID, int nButtonWidth);
    void DestroyImageLists();
    void OnDestroy();

    UniqueImageList m_imageLists[3]; // the lists made here: normal, hot, disabled
};
