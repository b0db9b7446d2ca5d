#pragma once
// CGrewMostStrip: the strip above the Changes pane's list: one check box, "Grew the most in
// the last minute", that tells its owner each time it is turned.

#include <functional>

#include "strip_bar.h"

class CGrewMostStrip : public CStripBar {
    DECLARE_DYNAMIC(CGrewMostStrip)
public:
    // `onTurned` hears the box's new state.
    bool Create(CWnd* pParentWnd, std::function<void(bool)> onTurned, UINT nID);
    bool IsChecked() const;
    // Turns the box as a click does, telling the owner.
    void Turn(bool bChecked);
    HWND CheckBox() const { return m_hWndCheck; }

protected:
    bool CreateControls() override;
    void LayOut() override;
    int RowCount() const override { return 1; }
    bool OnControlCommand(HWND hFrom, UINT nCode) override;

private:
    std::function<void(bool)> m_onTurned;
    HWND m_hWndCheck = nullptr;
};
