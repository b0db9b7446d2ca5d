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

#include "control_bar.h"
#include "owners.h"
#include "search_input.h"

struct SearchCriteriaEvents {
    std::function<void()> onChanged; // the criteria changed and typing paused
    std::function<void()> onStop;    // Stop was pressed
    std::function<void()> onTick;    // every kTickMs while ticking
};

class CSearchCriteriaBar : public CControlBar {
    DECLARE_DYNAMIC(CSearchCriteriaBar)
    DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT kPauseMs = 250;
    static constexpr UINT kTickMs = 150;

    bool Create(CWnd* pParentWnd, SearchCriteriaEvents events, UINT nID);

    // What the boxes hold.
    SearchInput Input() const;
    // The status line; a problem shows in red. The Stop button shows with `bStoppable`.
    void SetStatus(const std::string& text, bool bProblem, bool bStoppable);
    const std::string& Status() const { return m_strStatus; }
    bool IsStopShown() const;
    void StartTicking();
    void StopTicking();
    // The caret in the name box, its text selected.
    void FocusPattern();

    HWND PatternBox() const { return m_hWndPattern; }
    HWND RegexBox() const { return m_hWndRegex; }
    HWND MinSizeBox() const { return m_hWndMinSize; }
    HWND AfterBox() const { return m_hWndAfter; }
    HWND BeforeBox() const { return m_hWndBefore; }
    HWND StopButton() const { return m_hWndStop; }

    bool PreTranslateMessage(MSG* pMsg) override;
    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);

private:
    HWND MakeControl(const char* lpszClass, const char* lpszText, DWORD dwStyle,
                     DWORD dwExStyle = 0);
    HWND MakeBox(const wchar_t* lpszCue);
    void LayOut();
    // The boxes and buttons Tab moves through, in order.
    void MoveFocus(HWND hFrom, bool bBack);

    SearchCriteriaEvents m_events;
    UniqueGdiObject m_font;
    int m_nLineHeight = 16;
    int m_nLabelWidth = 60;
    HWND m_hWndPattern = nullptr;
    HWND m_hWndRegex = nullptr;
    HWND m_hWndMinSize = nullptr;
    HWND m_hWndAfter = nullptr;
    HWND m_hWndBefore = nullptr;
    HWND m_hWndStop = nullptr;
    HWND m_hWndStatus = nullptr;
    HWND m_hWndNameLabel = nullptr;
    HWND m_hWndSizeLabel = nullptr;
    HWND m_hWndAfterLabel = nullptr;
    HWND m_hWndBeforeLabel = nullptr;
    std::string m_strStatus;
    bool m_bProblem = false;
};
