#pragma once
// CDuplicatesStrip: the strip above the Duplicates pane's list: the Find Duplicates button
// with the folder the list was found beneath beside it, and below them the status line (what
// was found and what it wastes, or how far a search has come, with a Stop button while it
// runs). It sits at the top of the pane's own frame, the list beneath it, and tells its
// owner through the callbacks it is given.

#include <functional>
#include <string>

#include "control_bar.h"
#include "owners.h"

struct DuplicatesStripEvents {
    std::function<void()> onFind; // Find Duplicates was pressed
    std::function<void()> onStop; // Stop was pressed
    std::function<void()> onTick; // every kTickMs while ticking
};

class CDuplicatesStrip : public CControlBar {
    DECLARE_DYNAMIC(CDuplicatesStrip)
    DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT kTickMs = 150;

    bool Create(CWnd* pParentWnd, DuplicatesStripEvents events, UINT nID);

    // The folder the list shows the duplicates beneath ("" before any search).
    void SetFolder(const std::string& folder);
    // The status line; the Stop button shows with `bStoppable`.
    void SetStatus(const std::string& text, bool bStoppable);
    const std::string& Status() const { return m_strStatus; }
    bool IsStopShown() const;
    void EnableFind(bool bEnable);
    void StartTicking();
    void StopTicking();

    HWND FindButton() const { return m_hWndFind; }
    HWND StopButton() const { return m_hWndStop; }

    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);

private:
    HWND MakeControl(const char* lpszClass, const char* lpszText, DWORD dwStyle);
    void LayOut();

    DuplicatesStripEvents m_events;
    UniqueGdiObject m_font;
    int m_nLineHeight = 16;
    int m_nFindWidth = 120;
    HWND m_hWndFind = nullptr;
    HWND m_hWndFolder = nullptr;
    HWND m_hWndStatus = nullptr;
    HWND m_hWndStop = nullptr;
    std::string m_strStatus;
};
