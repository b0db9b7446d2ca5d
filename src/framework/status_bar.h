#pragma once
// CStatusBar: the message pane and indicator panes over the common status bar control.
// Pane 0 (id 0) stretches; each indicator pane is as wide as its string (the
// indicator's id names the string) and shows it while the indicator's update handler
// enables it, and nothing while it disables it.

#include <string>
#include <vector>

#include "control_bar.h"

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
    DECLARE_MESSAGE_MAP()
public:
    bool Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; 0 is the stretching message pane. False when an indicator's
    // string is missing.
    bool SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return static_cast<int>(m_panes.size()); }
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    bool SetPaneText(int nIndex, const char* lpszNewText, bool bUpdate = true);
    std::string GetPaneText(int nIndex) const;
    int GetPaneWidth(int nIndex) const;

    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, bool bDisableIfNoHandler) override;

protected:
    struct Pane {
        UINT nID = 0;
        int cxText = 0;           // room for the text
        std::string strText;      // what the pane shows
        std::string strIndicator; // an indicator's text while it is on
        bool bOn = true;
    };
    std::vector<Pane> m_panes;

    friend class CStatusCmdUI;
    void UpdateParts();
    void ShowPaneText(int nIndex);
    int MeasureText(const std::string& text) const;
    void OnSize(UINT nType, int cx, int cy);
};
