#pragma once
// CToolBar: a row of command buttons over the common toolbar control, made from a
// toolbar resource (image size and command ids) and its bitmap. Button states follow
// the commands' update handlers at idle time; a button whose command nobody handles is
// disabled. Clicks arrive at the frame as commands; drop-down arrows send TBN_DROPDOWN
// to the frame.

#include "control_bar.h"

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
    DECLARE_MESSAGE_MAP()
public:
    CToolBar();

    bool Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    // Buttons and images from the toolbar resource and the bitmap of the same id.
    bool LoadToolBar(UINT nIDResource);
    // Buttons for the ids (0 makes a separator); images are taken in order.
    bool SetButtons(const UINT* lpIDArray, int nIDCount);
    void SetSizes(SIZE sizeButton, SIZE sizeImage);

    int GetCount() const;
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    // The button's style bits (TBSTYLE_*) in the low byte, its state bits above them.
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    CRect GetItemRect(int nIndex) const;

    // Docked at the top or bottom the buttons stand in one row, at the left or right in
    // one column; floating they wrap to the frame's width.
    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, bool bDisableIfNoHandler) override;

    CSize m_sizeButton;
    CSize m_sizeImage;
    int m_nMRUWidth = 32767; // the width it last floated with

protected:
    // Wraps the buttons into rows no wider than nWidth (0: one button per row).
    void WrapButtons(int nWidth);
    CSize ButtonsExtent() const;
    // The gripper and the face between buttons drag the bar; a double-click there
    // docks or floats it.
    LRESULT OnNcHitTest(POINT pt);
    void OnLButtonDown(UINT nFlags, POINT pt);
    void OnLButtonDblClk(UINT nFlags, POINT pt);
    bool IsOnButton(POINT ptClient) const;
};
