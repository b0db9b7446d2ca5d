#pragma once
// CDuplicatesStrip: the strip above the Duplicates pane's list: the Find Duplicates button
// with the folder the list was found beneath beside it, and below them the status line (what
// was found and what it wastes, or how far a search has come, with a Stop button while it
// runs). It sits at the top of the pane's own frame, the list beneath it, and tells its
// owner through the callbacks it is given.

#include <functional>
#include <string>

#include "strip_bar.h"

struct DuplicatesStripEvents {
    std::function<void()> onFind; // Find Duplicates was pressed
    std::function<void()> onStop; // Stop was pressed
    std::function<void()> onTick; // every kTickMs while ticking
};

class CDuplicatesStrip : public CStripBar {
    DECLARE_DYNAMIC(CDuplicatesStrip)
public:
    bool Create(CWnd* pParentWnd, DuplicatesStripEvents events, UINT nID);

    // The folder the list shows the duplicates beneath ("" before any search).
    void SetFolder(const std::string& folder);
    void EnableFind(bool bEnable);

    HWND FindButton() const { return m_hWndFind; }

protected:
    bool CreateControls() override;
    void Measure() override;
    void LayOut() override;
    int RowCount() const override { return 2; } // the button and folder, the status
    bool OnControlCommand(HWND hFrom, UINT nCode) override;
    void OnStop() override;
    void OnTick() override;

private:
    DuplicatesStripEvents m_events;
    int m_nFindWidth = 120;
    HWND m_hWndFind = nullptr;
    HWND m_hWndFolder = nullptr;
};
