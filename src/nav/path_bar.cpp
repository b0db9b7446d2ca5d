#include "path_bar.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "message_font.h"

namespace {

constexpr int kGap = 6; // between the box and the note
constexpr COLORREF kNoteColour = RGB(160, 0, 0);

} // namespace

IMPLEMENT_DYNAMIC(CPathBar, CControlBar)

BEGIN_MESSAGE_MAP(CPathBar, CControlBar)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
END_MESSAGE_MAP()

bool CPathBar::Create(CWnd* pParentWnd, ShowTypedFn showTyped, UINT nID) {
    m_showTyped = std::move(showTyped);
    SetBorders(4, 3, 4, 3);
    return CreateBar(RegisterFrameworkClass("DscpPathBar"),
                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CBRS_TOP, 0, pParentWnd, nID);
}

int CPathBar::OnCreate(LPCREATESTRUCTA) {
    m_font.Reset(CreateMessageFont(m_hWnd));
    const HFONT hFont = m_font ? static_cast<HFONT>(m_font.Get())
                               : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    m_nLineHeight = LineHeightOf(m_hWnd, hFont, m_nLineHeight);
    m_hWndEdit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                 m_hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!m_hWndEdit)
        return -1;
    ::SendMessageA(m_hWndEdit, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    return 0;
}

CSize CPathBar::CalcFixedLayout(bool bStretch, bool bHorz) {
    const CSize borders = CControlBar::CalcFixedLayout(false, bHorz);
    const int cy = EditBoxHeight(m_nLineHeight);
    return CSize(bStretch ? kStretchLength : borders.cx, cy + borders.cy);
}

void CPathBar::OnSize(UINT, int, int) {
    Default();
    LayOutBox();
}

void CPathBar::LayOutBox() {
    if (!m_hWndEdit)
        return;
    const CRect rc = GetClientRect();
    int noteWidth = 0;
    const std::string& note = Note();
    if (!note.empty()) {
        const WindowDC dc(m_hWnd);
        const SelectedObject selected(dc.Get(), m_font.Get());
        SIZE size{};
        GetTextExtentPoint32A(dc.Get(), note.c_str(), static_cast<int>(note.size()), &size);
        noteWidth = std::min(static_cast<int>(size.cx) + 2 * kGap, rc.Width() / 2);
    }
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
        rc.left = box.right + kGap;
        const SelectedObject selected(hDC, m_font.Get());
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
        LayOutBox();
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
    LayOutBox();
}

void CPathBar::Enter() {
    const std::string typed = Text();
    // A move that succeeds sets the shown path again, which takes the note away.
    if (!m_showTyped || !m_showTyped(typed))
        SetNote(kNotFoundNote);
}

bool CPathBar::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd != m_hWndEdit || pMsg->message != WM_KEYDOWN)
        return CControlBar::PreTranslateMessage(pMsg);
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
