#include "path_bar.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr int kNoteGap = 6; // between the box and the note
constexpr COLORREF kNoteColour = RGB(160, 0, 0);

} // namespace

IMPLEMENT_DYNAMIC(CPathBar, CStripBar)

BEGIN_MESSAGE_MAP(CPathBar, CStripBar)
    ON_WM_PAINT()
END_MESSAGE_MAP()

bool CPathBar::Create(CWnd* pParentWnd, ShowTypedFn showTyped, UINT nID) {
    m_showTyped = std::move(showTyped);
    SetBorders(4, 3, 4, 3);
    return CreateStrip(pParentWnd, "DscpPathBar", nID);
}

bool CPathBar::CreateControls() {
    m_hWndEdit = MakeControl("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    return m_hWndEdit != nullptr;
}

void CPathBar::LayOut() {
    if (!m_hWndEdit)
        return;
    const CRect rc = GetClientRect();
    int noteWidth = 0;
    const std::string& note = Note();
    if (!note.empty())
        noteWidth = std::min(TextWidth(note.c_str()) + 2 * kNoteGap, rc.Width() / 2);
    ::MoveWindow(m_hWndEdit, rc.left, rc.top, std::max(0, rc.Width() - noteWidth), rc.Height(),
                 TRUE);
    Invalidate();
}

void CPathBar::OnPaint() {
    PAINTSTRUCT ps;
    const HDC hDC = ::BeginPaint(m_hWnd, &ps);
    const std::string& note = Note();
    if (!note.empty()) {
        CRect rc = GetClientRect();
        RECT box{};
        ::GetWindowRect(m_hWndEdit, &box);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&box), 2);
        rc.left = box.right + kNoteGap;
        const SelectedObject selected(hDC, Font());
        ::SetBkMode(hDC, TRANSPARENT);
        ::SetTextColor(hDC, m_strNote.empty() ? ::GetSysColor(COLOR_GRAYTEXT) : kNoteColour);
        ::DrawTextA(hDC, note.c_str(), static_cast<int>(note.size()), &rc,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::EndPaint(m_hWnd, &ps);
}

std::string CPathBar::Text() const {
    const int n = ::GetWindowTextLengthA(m_hWndEdit);
    std::vector<char> buffer(static_cast<size_t>(n) + 1, '\0');
    ::GetWindowTextA(m_hWndEdit, buffer.data(), n + 1);
    return std::string(buffer.data());
}

void CPathBar::SetShownPath(const std::string& path, const std::string& source) {
    m_strShown = path;
    if (source != m_strSource) {
        m_strSource = source;
        LayOut();
    }
    Restore();
}

void CPathBar::Restore() {
    SetNote("");
    const std::string& text = m_strShown.empty() ? m_strComputer : m_strShown;
    ::SetWindowTextA(m_hWndEdit, text.c_str());
    ::SendMessageA(m_hWndEdit, EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
}

void CPathBar::SetNote(const std::string& note) {
    if (note == m_strNote)
        return;
    m_strNote = note;
    LayOut();
}

void CPathBar::Enter() {
    const std::string typed = Text();
    // A move that succeeds sets the shown path again, which takes the note away.
    if (!m_showTyped || !m_showTyped(typed))
        SetNote(kNotFoundNote);
}

bool CPathBar::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd != m_hWndEdit || pMsg->message != WM_KEYDOWN)
        return CStripBar::PreTranslateMessage(pMsg);
    switch (pMsg->wParam) {
    case VK_RETURN:
        Enter();
        return true;
    case VK_ESCAPE:
        Restore();
        return true;
    default:
        return false;
    }
}
