#include "tool_bar.h"

#include "dock_context.h"

#include <algorithm>
#include <vector>

#include "frame_wnd.h"
#include "resource_text.h"

namespace {

constexpr WORD kToolbarResourceType = 241;

// Enables and checks one button.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(bool bOn) override {
        m_bEnableChanged = true;
        auto* pBar = static_cast<CToolBar*>(m_pOther);
        const LRESULT state = pBar->SendMessage(TB_GETSTATE, m_nID);
        if (state == -1)
            return;
        if (((state & TBSTATE_ENABLED) != 0) != bOn)
            pBar->SendMessage(TB_ENABLEBUTTON, m_nID, MAKELPARAM(bOn ? TRUE : FALSE, 0));
    }
    void SetCheck(int nCheck) override {
        auto* pBar = static_cast<CToolBar*>(m_pOther);
        const LRESULT state = pBar->SendMessage(TB_GETSTATE, m_nID);
        if (state == -1)
            return;
        const bool bChecked = nCheck == 1;
        const bool bIndeterminate = nCheck == 2;
        if (((state & TBSTATE_CHECKED) != 0) != bChecked)
            pBar->SendMessage(TB_CHECKBUTTON, m_nID, MAKELPARAM(bChecked ? TRUE : FALSE, 0));
        if (((state & TBSTATE_INDETERMINATE) != 0) != bIndeterminate)
            pBar->SendMessage(TB_INDETERMINATE, m_nID,
                              MAKELPARAM(bIndeterminate ? TRUE : FALSE, 0));
    }
    void SetText(const char*) override {} // buttons show images only
};

} // namespace

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_NCHITTEST()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

CToolBar::CToolBar() : m_sizeButton(23, 22), m_sizeImage(16, 15) {}

bool CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    const DWORD dwCtrlStyle = (dwStyle & CBRS_TOOLTIPS) ? TBSTYLE_TOOLTIPS : 0;
    if (!CreateBar(TOOLBARCLASSNAMEA, dwStyle, dwCtrlStyle, pParentWnd, nID))
        return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
    m_sizeButton = CSize(sizeButton);
    m_sizeImage = CSize(sizeImage);
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
}

bool CToolBar::LoadToolBar(UINT nIDResource) {
    HINSTANCE hInst = GetModuleHandleA(nullptr);
    HRSRC hRsrc =
        FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), MAKEINTRESOURCEA(kToolbarResourceType));
    if (!hRsrc)
        return false;
    HGLOBAL hGlobal = LoadResource(hInst, hRsrc);
    const void* pData = hGlobal ? LockResource(hGlobal) : nullptr;
    ToolbarResource resource;
    if (!pData || !ParseToolbarResource(pData, SizeofResource(hInst, hRsrc), resource))
        return false;

    SetSizes(CSize(resource.nWidth + 7, resource.nHeight + 7),
             CSize(resource.nWidth, resource.nHeight));
    int nImages = 0;
    std::vector<UINT> ids;
    for (const ToolbarButtonSpec& button : resource.buttons) {
        ids.push_back(button.nID);
        if (button.nID)
            ++nImages;
    }
    TBADDBITMAP bitmap{hInst, nIDResource};
    if (SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(nImages),
                    reinterpret_cast<LPARAM>(&bitmap)) == -1)
        return false;
    return SetButtons(ids.data(), static_cast<int>(ids.size()));
}

bool CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    std::vector<TBBUTTON> buttons;
    int iImage = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON button{};
        button.idCommand = static_cast<int>(lpIDArray[i]);
        if (lpIDArray[i] == ID_SEPARATOR) {
            button.fsStyle = BTNS_SEP;
            button.iBitmap = 6; // the separator's width
        } else {
            button.fsStyle = BTNS_BUTTON;
            button.fsState = TBSTATE_ENABLED;
            button.iBitmap = iImage++;
        }
        buttons.push_back(button);
    }
    if (buttons.empty())
        return true;
    return SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) !=
           FALSE;
}

int CToolBar::GetCount() const {
    return static_cast<int>(SendMessage(TB_BUTTONCOUNT));
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
    return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nIDFind));
}

UINT CToolBar::GetItemID(int nIndex) const {
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button)))
        return 0;
    return (button.fsStyle & BTNS_SEP) ? ID_SEPARATOR : static_cast<UINT>(button.idCommand);
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button)))
        return 0;
    return button.fsStyle | (static_cast<UINT>(button.fsState) << 8);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
    TBBUTTONINFOA info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE;
    info.fsStyle = static_cast<BYTE>(nStyle & 0xFF);
    info.fsState = static_cast<BYTE>((nStyle >> 8) & 0xFF);
    SendMessage(TB_SETBUTTONINFOA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
    // A drop-down arrow widens the button: the frame lays its bars out again.
    SendMessage(TB_AUTOSIZE);
    if (GetDockSite())
        GetDockSite()->DelayRecalcLayout();
}

CRect CToolBar::GetItemRect(int nIndex) const {
    CRect rect;
    SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void CToolBar::WrapButtons(int nWidth) {
    const int nCount = GetCount();
    int x = 0;
    for (int i = 0; i < nCount; ++i) {
        TBBUTTON button{};
        if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button)))
            continue;
        const int cx = (button.fsStyle & BTNS_SEP) ? button.iBitmap : GetItemRect(i).Width();
        BYTE state = button.fsState & ~TBSTATE_WRAP;
        bool bWrap = i + 1 < nCount && nWidth == 0;
        if (nWidth > 0 && i + 1 < nCount) {
            // Wrap after this button when the next one would not fit.
            TBBUTTON next{};
            SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i + 1), reinterpret_cast<LPARAM>(&next));
            const int cxNext =
                (next.fsStyle & BTNS_SEP) ? next.iBitmap : GetItemRect(i + 1).Width();
            x += cx;
            if (x + cxNext > nWidth) {
                bWrap = true;
                x = 0;
            }
        }
        if (bWrap)
            state |= TBSTATE_WRAP;
        if (state != button.fsState) {
            TBBUTTONINFOA info{};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_BYINDEX | TBIF_STATE;
            info.fsState = state;
            SendMessage(TB_SETBUTTONINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        }
    }
    SendMessage(TB_AUTOSIZE);
}

CSize CToolBar::ButtonsExtent() const {
    CSize content(0, m_sizeButton.cy);
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i) {
        const CRect rect = GetItemRect(i);
        content.cx = std::max<LONG>(content.cx, rect.right);
        content.cy = std::max<LONG>(content.cy, rect.bottom);
    }
    return content;
}

CSize CToolBar::CalcFixedLayout(bool bStretch, bool bHorz) {
    WrapButtons(bHorz ? kStretchLength : 0);
    const CSize extra = CControlBar::CalcFixedLayout(false, bHorz);
    const CSize content = ButtonsExtent();
    CSize size(content.cx + extra.cx, content.cy + extra.cy);
    if (bStretch) {
        if (bHorz)
            size.cx = kStretchLength;
        else
            size.cy = kStretchLength;
    }
    return size;
}

CSize CToolBar::CalcDynamicLayout(int nLength, DWORD dwMode) {
    if (dwMode & (LM_HORZDOCK | LM_VERTDOCK))
        return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZ) != 0);
    // Floating: as wide as asked, or as it last was.
    if (!(dwMode & (LM_MRUWIDTH | LM_LENGTHY)) && nLength > 0)
        m_nMRUWidth = nLength;
    WrapButtons(std::max(m_sizeButton.cx, static_cast<LONG>(m_nMRUWidth)));
    // Floating it has no gripper and no borders, whatever side it is docked on now.
    const DWORD dwDocked = m_dwStyle;
    m_dwStyle = (m_dwStyle & ~(CBRS_BORDER_ANY | CBRS_ALIGN_ANY)) | CBRS_FLOATING | CBRS_ALIGN_TOP;
    const CSize extra = CControlBar::CalcFixedLayout(false, true);
    m_dwStyle = dwDocked;
    const CSize content = ButtonsExtent();
    return CSize(content.cx + extra.cx, content.cy + extra.cy);
}

LRESULT CToolBar::OnNcHitTest(POINT) {
    return HTCLIENT; // the gripper and borders are handles, not frame
}

bool CToolBar::IsOnButton(POINT ptClient) const {
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i)
        if (GetItemID(i) != ID_SEPARATOR && GetItemRect(i).PtInRect(ptClient))
            return true;
    return false;
}

void CToolBar::OnLButtonDown(UINT, POINT pt) {
    if (GetDockContext() && !IsOnButton(pt)) {
        ::ClientToScreen(m_hWnd, &pt);
        GetDockContext()->StartDrag(pt);
        return;
    }
    Default();
}

void CToolBar::OnLButtonDblClk(UINT, POINT pt) {
    if (GetDockContext() && !IsOnButton(pt)) {
        GetDockContext()->ToggleDocking();
        return;
    }
    Default();
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, bool bDisableIfNoHandler) {
    CToolCmdUI state;
    state.m_pOther = this;
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i) {
        const UINT nID = GetItemID(i);
        if (nID == ID_SEPARATOR)
            continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = nID;
        state.DoUpdate(pTarget, bDisableIfNoHandler);
    }
}
