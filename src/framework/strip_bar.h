#pragma once
// CStripBar: a bar of the system's own controls (boxes, buttons, check boxes, a status line)
// across the top of a frame, written in the system's message font at its window's scale.
// When the window moves to a display of another scale the font is made again, every control
// takes it, and the bar measures and lays itself out anew.
//
// A strip may end in a status line with a Stop button that shows while something runs, and
// may tick every kTickMs while asked to; the strip says so through OnStop and OnTick.

#include <string>
#include <vector>

#include "control_bar.h"
#include "owners.h"

class CStripBar : public CControlBar {
    DECLARE_DYNAMIC(CStripBar)
    DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT kTickMs = 150;
    static constexpr int kGap = 4; // between controls

    void StartTicking();
    void StopTicking();

    // The status line's text, and the Stop button beside it with `bStoppable`.
    void SetStatus(const std::string& text, bool bStoppable);
    const std::string& Status() const { return m_strStatus; }
    bool IsStopShown() const;
    HWND StopButton() const { return m_hWndStop; }

    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Creates the bar as a window of the framework class `lpszClass` (borders set before).
    bool CreateStrip(CWnd* pParentWnd, const char* lpszClass, UINT nID);

    // Makes the strip's controls (MakeControl, MakeStatusLine); false fails the creation.
    virtual bool CreateControls() = 0;
    // Measures what depends on the font (called once it is made, and again at a new scale).
    virtual void Measure() {}
    // Places the controls in the client area.
    virtual void LayOut() = 0;
    // How many rows of line height the strip is.
    virtual int RowCount() const = 0;
    // A command from one of its controls other than Stop; true when handled.
    virtual bool OnControlCommand(HWND hFrom, UINT nCode) {
        (void)hFrom;
        (void)nCode;
        return false;
    }
    virtual void OnStop() {}
    virtual void OnTick() {}

    // A control of the system class `lpszClass`, in the strip's font.
    HWND MakeControl(const char* lpszClass, const char* lpszText, DWORD dwStyle,
                     DWORD dwExStyle = 0);
    // The status line and its Stop button (hidden); false when either failed.
    bool MakeStatusLine();
    // The status line across `rc` at `y`, with the Stop button at its end while shown.
    void PlaceStatusLine(const CRect& rc, int y) const;
    HWND StatusLine() const { return m_hWndStatus; }

    HGDIOBJ Font() const;
    int LineHeight() const { return m_nLineHeight; }
    // A row: the height of a one-line edit box in the font.
    int RowHeight() const;
    int TextWidth(const char* lpszText) const;

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);

private:
    // Makes the font at the window's scale and measures a line of it.
    void MakeFont();
    // The window now shows at another scale: the font again, for every control.
    void Refont();

    UniqueGdiObject m_font;
    int m_nFontDpi = 0;
    int m_nLineHeight = 16;
    std::vector<HWND> m_controls;
    HWND m_hWndStatus = nullptr;
    HWND m_hWndStop = nullptr;
    std::string m_strStatus;
};
