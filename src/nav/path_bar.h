#pragma once
// CPathBar: the bar across the frame, below the toolbar's row, that says which folder is
// shown and takes a typed one. It never docks or floats and is not part of the stored
// layout. Enter asks its host to show what was typed; when there is nothing there the bar
// says so and the shown folder stays. Escape puts the shown path back.

#include <string>

#include "control_bar.h"
#include "owners.h"

// What the path bar needs of the window it serves.
class CPathBarHost {
public:
    virtual ~CPathBarHost() = default;
    // Shows the folder typed (a file: its folder, the file selected) as any move does;
    // false when there is no such folder or file (nothing changes then).
    virtual bool ShowTypedPath(const std::string& path) = 0;
};

class CPathBar : public CControlBar {
    DECLARE_DYNAMIC(CPathBar)
    DECLARE_MESSAGE_MAP()
public:
    bool Create(CWnd* pParentWnd, CPathBarHost* pHost, UINT nID);

    // The path of what the list shows now ("" for the computer: `computerName` stands).
    void SetShownPath(const std::string& path);
    // The text in the box, and the bar's note beside it ("" for none).
    std::string Text() const;
    const std::string& Note() const { return m_strNote; }
    HWND EditWindow() const { return m_hWndEdit; }
    void SetComputerName(const std::string& name) { m_strComputer = name; }
    // Puts the shown path back in the box, the note gone.
    void Restore();

    bool PreTranslateMessage(MSG* pMsg) override;
    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}

    static constexpr char kNotFoundNote[] = "No such folder or file";

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);
    void OnPaint();

private:
    void Enter();
    void SetNote(const std::string& note);
    void LayOutBox();

    CPathBarHost* m_pHost = nullptr;
    HWND m_hWndEdit = nullptr;
    UniqueGdiObject m_font;
    int m_nLineHeight = 16;
    std::string m_strShown;
    std::string m_strComputer;
    std::string m_strNote;
};
