#include "duplicates_strip.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char kFindText[] = "Find Duplicates";

void Tell(const std::function<void()>& event) {
    if (event)
        event();
}

} // namespace

IMPLEMENT_DYNAMIC(CDuplicatesStrip, CStripBar)

bool CDuplicatesStrip::Create(CWnd* pParentWnd, DuplicatesStripEvents events, UINT nID) {
    m_events = std::move(events);
    SetBorders(4, 4, 4, 2);
    return CreateStrip(pParentWnd, "DscpDuplicatesStrip", nID);
}

void CDuplicatesStrip::Measure() {
    m_nFindWidth = TextWidth(kFindText) + 2 * LineHeight();
}

bool CDuplicatesStrip::CreateControls() {
    m_hWndFind = MakeControl("BUTTON", kFindText, WS_TABSTOP | BS_PUSHBUTTON);
    m_hWndFolder =
        MakeControl("STATIC", "", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_PATHELLIPSIS);
    return MakeStatusLine() && m_hWndFind && m_hWndFolder;
}

void CDuplicatesStrip::LayOut() {
    if (!StopButton())
        return;
    const CRect rc = GetClientRect();
    const int nRow = RowHeight();
    ::MoveWindow(m_hWndFind, rc.left, rc.top, m_nFindWidth, nRow, TRUE);
    const int xFolder = rc.left + m_nFindWidth + 2 * kGap;
    ::MoveWindow(m_hWndFolder, xFolder, rc.top, std::max(0, static_cast<int>(rc.right) - xFolder),
                 nRow, TRUE);
    PlaceStatusLine(rc, rc.top + nRow + kGap);
}

void CDuplicatesStrip::SetFolder(const std::string& folder) {
    ::SetWindowTextA(m_hWndFolder, folder.c_str());
}

void CDuplicatesStrip::EnableFind(bool bEnable) {
    if ((::IsWindowEnabled(m_hWndFind) != FALSE) != bEnable)
        ::EnableWindow(m_hWndFind, bEnable);
}

bool CDuplicatesStrip::OnControlCommand(HWND hFrom, UINT nCode) {
    if (hFrom != m_hWndFind || nCode != BN_CLICKED)
        return false;
    Tell(m_events.onFind);
    return true;
}

void CDuplicatesStrip::OnStop() {
    Tell(m_events.onStop);
}

void CDuplicatesStrip::OnTick() {
    Tell(m_events.onTick);
}
