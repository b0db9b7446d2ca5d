#pragma once
// CSearchCriteriaBar: the strip above the Search pane's list: the name box, the "Regular
// expression" check box, the least size, modified after and before, and below them the
// status line (what was found, why nothing is asked, or how far a search has come, with a
// Stop button while it runs). It sits at the top of the pane's own frame, the list
// beneath it.
//
// It tells its owner when the criteria changed and typing has paused (kPauseMs; a change
// meanwhile starts the pause again), when Stop is pressed, and every kTickMs while it is
// asked to tick.

#include <functional>
#include <string>

#include "search_input.h"
#include "strip_bar.h"

struct SearchCriteriaEvents {
    std::function<void()> onChanged; // the criteria changed and typing paused
    std::function<void()> onStop;    // Stop was pressed
    std::function<void()> onTick;    // every kTickMs while ticking
};

class CSearchCriteriaBar : public CStripBar {
    DECLARE_DYNAMIC(CSearchCriteriaBar)
public:
    static constexpr UINT kPauseMs = 250;

    bool Create(CWnd* pParentWnd, SearchCriteriaEvents events, UINT nID);

    // What the boxes hold.
    SearchInput Input() const;
    // The status line; a problem shows in red. The Stop button shows with `bStoppable`.
    void SetStatus(const std::string& text, bool bProblem, bool bStoppable);
    // The caret in the name box, its text selected.
    void FocusPattern();

    HWND PatternBox() const { return m_hWndPattern; }
    HWND RegexBox() const { return m_hWndRegex; }
    HWND MinSizeBox() const { return m_hWndMinSize; }
    HWND AfterBox() const { return m_hWndAfter; }
    HWND BeforeBox() const { return m_hWndBefore; }

    bool PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    bool CreateControls() override;
    void Measure() override;
    void LayOut() override;
    int RowCount() const override { return 5; } // name, regular expression, size, dates, status
    bool OnControlCommand(HWND hFrom, UINT nCode) override;
    void OnStop() override;
    void OnTick() override;

private:
    HWND MakeBox(const wchar_t* lpszCue);
    // The boxes and buttons Tab moves through, in order.
    void MoveFocus(HWND hFrom, bool bBack);

    SearchCriteriaEvents m_events;
    int m_nLabelWidth = 60;
    HWND m_hWndPattern = nullptr;
    HWND m_hWndRegex = nullptr;
    HWND m_hWndMinSize = nullptr;
    HWND m_hWndAfter = nullptr;
    HWND m_hWndBefore = nullptr;
    HWND m_hWndNameLabel = nullptr;
    HWND m_hWndSizeLabel = nullptr;
    HWND m_hWndAfterLabel = nullptr;
    HWND m_hWndBeforeLabel = nullptr;
    bool m_bProblem = false;
};
