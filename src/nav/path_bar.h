#pragma once
// CPathBar: the bar across the frame, below the toolbar's row, that says which folder is
// shown and takes a typed one. It never docks or floats and is not part of the stored
// layout. Enter has the window it serves show what was typed; when there is nothing there
// the bar says so and the shown folder stays. Escape puts the shown path back.

#include <functional>
#include <string>

#include "strip_bar.h"

class CPathBar : public CStripBar {
    DECLARE_DYNAMIC(CPathBar)
    DECLARE_MESSAGE_MAP()
public:
    // Shows the folder typed (a file: its folder, the file selected) as any move does;
    // false when there is no such folder or file (nothing changes then).
    using ShowTypedFn = std::function<bool(const std::string& path)>;

    bool Create(CWnd* pParentWnd, ShowTypedFn showTyped, UINT nID);

    // The path of what the list shows now ("" for the computer: `computerName` stands), and
    // where it comes from when not from this computer (beside the box: "Saved scan, taken
    // ..."; "" for none).
    void SetShownPath(const std::string& path, const std::string& source = std::string());
    // The text in the box, and the bar's note beside it ("" for none): what went wrong with
    // the typed path, else where the shown path comes from.
    std::string Text() const;
    const std::string& Note() const { return m_strNote.empty() ? m_strSource : m_strNote; }
    HWND EditWindow() const { return m_hWndEdit; }
    void SetComputerName(const std::string& name) { m_strComputer = name; }
    // Puts the shown path back in the box, the note gone.
    void Restore();

    bool PreTranslateMessage(MSG* pMsg) override;

    static constexpr char kNotFoundNote[] = "No such folder or file";

protected:
    bool CreateControls() override;
    // The box, the note's room beside it.
    void LayOut() override;
    int RowCount() const override { return 1; }
    void OnPaint();

private:
    void Enter();
    void SetNote(const std::string& note);

    ShowTypedFn m_showTyped;
    HWND m_hWndEdit = nullptr;
    std::string m_strShown;
    std::string m_strComputer;
    std::string m_strNote;
    std::string m_strSource;
};
