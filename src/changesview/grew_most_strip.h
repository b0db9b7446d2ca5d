#pragma once
// CGrewMostStrip: the strip above the Changes pane's list: one check box, "Grew the most in
// the last minute", that tells its owner each time it is turned.

#include <functional>

#include "control_bar.h"
#include "owners.h"

class CGrewMostStrip : public CControlBar {
    DECLARE_DYNAMIC(CGrewMostStrip)
    DECLARE_MESSAGE_MAP()
public:
    // `onTurned` hears the box's new state.
    bool Create(CWnd* pParentWnd, std::function<void(bool)> onTurned, UINT nID);
    bool IsChecked() const;
    // Turns the box as a click does, telling the owner.
    void Turn(bool bChecked);
    HWND CheckBox() const { return m_hWndCheck; }

    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);

private:
    std::function<void(bool)> m_onTurned;
    UniqueGdiObject m_font;
    int m_nLineHeight = 16;
    HWND m_hWndCheck = nullptr;
};
