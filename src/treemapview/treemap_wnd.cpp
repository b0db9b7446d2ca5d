#include "treemap_wnd.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "folder_navigator.h"
#include "path_text.h"
#include "size_text.h"
#include "window_dpi.h"

namespace {

constexpr UINT_PTR kRecomputeTimer = 1;
constexpr UINT_PTR kTipId = 1;

// A pixel of a tile not of the lit type: washed out towards a pale grey, so the lit tiles
// stand out in their colours whatever those are.
uint32_t DimmedPixel(uint32_t px) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = (px >> shift) & 0xFF;
        out |= ((c + 3 * 0xD8) / 4) << shift;
    }
    return out;
}

} // namespace

IMPLEMENT_DYNAMIC(CTreemapWnd, CView)

BEGIN_MESSAGE_MAP(CTreemapWnd, CView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(WM_RBUTTONUP, OnRButtonUp)
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(WM_TREEMAP_READY, OnPictureReady)
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CTreemapWnd::CTreemapWnd()
    : m_worker([this] {
          // Posted, never sent: the worker never waits for this thread.
          if (const HWND hWnd = m_hWndReady.load())
              ::PostMessageA(hWnd, WM_TREEMAP_READY, 0, 0);
      }) {}

CTreemapWnd::~CTreemapWnd() = default;

bool CTreemapWnd::Create(CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    return CView::Create(nullptr, "Treemap", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                         CRect(0, 0, 0, 0), pParentWnd, nID, pContext);
}

int CTreemapWnd::OnMouseActivate(HWND, UINT, UINT) {
    return MA_ACTIVATE;
}

int CTreemapWnd::OnCreate(LPCREATESTRUCTA) {
    m_hWndReady = m_hWnd;
    m_canvas.SetDpi(WindowDpi(m_hWnd));
    if (m_tip.Create(this, TTS_NOPREFIX | TTS_ALWAYSTIP)) {
        TOOLINFOA info{};
        info.cbSize = sizeof(info);
        info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        info.hwnd = m_hWnd;
        info.uId = kTipId;
        info.lpszText = const_cast<char*>("");
        m_tip.SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
        m_tip.SendMessage(TTM_SETMAXTIPWIDTH, 0, 800); // lines break at "\n"
    }
    return 0;
}

void CTreemapWnd::OnDestroy() {
    m_hWndReady = nullptr;
    // The worker lets go of the document's snapshot before the view leaves the document.
    m_worker.Cancel();
    m_scene.SnapshotChanging();
    CView::OnDestroy();
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

// ---- what to draw ----

void CTreemapWnd::OnUpdate(CView*, LPARAM lHint, CObject*) {
    switch (static_cast<ModelHint>(lHint)) {
    case ModelHint::Cleared:
        ForgetPicture();
        break;
    case ModelHint::Shown:
    case ModelHint::Finished:
    case ModelHint::Comparison:
    case ModelHint::Measure:
        Recompute();
        break;
    case ModelHint::ComparisonRead:
        break;
    case ModelHint::Totals:
        if (!m_bRecomputeDue)
            RecomputeAfter(kScanPeriodMs);
        break;
    case ModelHint::Selection:
        UpdateSelection();
        break;
    case ModelHint::SnapshotChanging:
        OnSnapshotChanging();
        break;
    case ModelHint::TypeSelection:
        LightType();
        Compose();
        Invalidate(false);
        break;
    case ModelHint::ScanOpened:
    case ModelHint::LevelEdited: // the Totals that follows tells
    case ModelHint::Removed:     // the fresh listing that follows tells
        break;
    }
}

void CTreemapWnd::ForgetPicture() {
    // Nothing of the last folder stays: its picture would name the new folder's entries.
    m_worker.Cancel();
    m_scene.NewShow();
    m_picture.reset();
    m_litPixels.clear();
    m_nClicked = m_nSelected = Tile::kNone;
    m_labels.clear();
    m_canvas.Clear();
    HideTip();
    Invalidate();
}

void CTreemapWnd::LightType() {
    m_litPixels.clear();
    const CDirscopeDoc* pDoc = GetDocument();
    if (!m_picture || !pDoc || !pDoc->TypeSelection().bAny || !pDoc->TypeSelection().bLit)
        return;
    const TreemapLayout& layout = m_picture->layout;
    uint32_t lit = Tile::kNone;
    for (uint32_t id = 0; id < layout.extensions.size(); ++id)
        if (layout.extensions[id].name == pDoc->TypeSelection().key)
            lit = id;
    // Every tile drawn that is not a file of the type is dimmed: the type's files keep
    // their colours.
    m_litPixels = m_picture->pixels;
    for (uint32_t t = 1; t < layout.tiles.size(); ++t) {
        const Tile& tile = layout.tiles[t];
        if (tile.childCount > 0 || (tile.kind == TileKind::File && tile.extension == lit))
            continue;
        const TileRect r = tile.PixelRect();
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, layout.height); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, layout.width); ++x) {
                uint32_t& px = m_litPixels[static_cast<size_t>(y) * layout.width + x];
                px = DimmedPixel(px);
            }
    }
}

void CTreemapWnd::OnSnapshotChanging() {
    m_worker.Cancel();
    m_scene.SnapshotChanging();
}

void CTreemapWnd::RecomputeAfter(UINT nMs) {
    m_bRecomputeDue = true;
    SetTimer(kRecomputeTimer, nMs);
}

void CTreemapWnd::OnPaneShown() {
    if (m_bStale)
        Recompute();
}

void CTreemapWnd::Recompute() {
    KillTimer(kRecomputeTimer);
    m_bRecomputeDue = false;
    // A hidden pane (its bar hidden, docked or floating) makes no pictures.
    m_bStale = !(::GetWindowLongA(GetParent(), GWL_STYLE) & WS_VISIBLE);
    if (m_bStale) {
        m_worker.Cancel();
        return;
    }
    const CRect rc = GetClientRect();
    m_size = CSize(rc.Width(), rc.Height());
    TreemapRequest request;
    if (!GetDocument() || rc.Width() <= 0 || rc.Height() <= 0 ||
        !m_scene.MakeRequest(*GetDocument(), rc.Width(), rc.Height(), ++m_nGeneration, request)) {
        m_worker.Cancel();
        m_picture.reset();
        m_litPixels.clear();
        m_labels.clear();
        m_canvas.Clear();
        Invalidate();
        return;
    }
    m_worker.Submit(std::move(request));
}

bool CTreemapWnd::IsPictureCurrent() const {
    return !m_bRecomputeDue && m_picture && m_picture->generation == m_nGeneration;
}

LRESULT CTreemapWnd::OnPictureReady(WPARAM, LPARAM) {
    std::optional<TreemapPicture> picture = m_worker.Take();
    if (!picture || picture->generation != m_nGeneration)
        return 0; // made for a request since replaced
    m_scene.Adopt(*picture);
    m_picture = std::move(picture);
    m_nClicked = Tile::kNone;
    m_nTipTile = Tile::kNone;
    NameBlocks();
    LightType();
    m_nSelected = Tile::kNone;
    UpdateSelection();
    Compose();
    Invalidate(false);
    return 0;
}

void CTreemapWnd::OnSize(UINT, int cx, int cy) {
    Default();
    if ((cx != m_size.cx || cy != m_size.cy) && cx > 0 && cy > 0)
        RecomputeAfter(kSettleMs);
}

void CTreemapWnd::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kRecomputeTimer)
        Recompute();
}

void CTreemapWnd::UpdateSelection() {
    const uint32_t was = m_nSelected, wasClicked = m_nClicked;
    const CDirscopeDoc* pDoc = GetDocument();
    m_nSelected = pDoc ? TileOfSelection(pDoc->Selection()) : Tile::kNone;
    // The clicked tile stays outlined only inside the selected block: another row selected,
    // or none, takes it away.
    if (m_nSelected == Tile::kNone ||
        (m_picture && m_picture->layout.ChildOfShown(m_nClicked) != m_nSelected))
        m_nClicked = Tile::kNone;
    if (m_nSelected != was || m_nClicked != wasClicked) {
        Compose();
        Invalidate(false);
    }
}

uint32_t CTreemapWnd::TileOfSelection(const ModelEntry& entry) const {
    if (!m_picture || !m_scene.CanName() || entry.IsNone())
        return Tile::kNone;
    // The drives are named as they are; an entry elsewhere only when the folder drawn
    // holds it.
    if (m_scene.IsDriveOverview())
        return m_scene.TileOfEntry(m_picture->layout, entry.path, false);
    return m_scene.TileOfPath(m_picture->layout, GetDocument()->ListedFolderPath(), entry.path,
                              entry.bFolder);
}

ModelEntry CTreemapWnd::EntryOfTile(uint32_t tile) const {
    ModelEntry entry;
    std::string name;
    bool bFolder = false;
    if (!m_picture || !GetDocument() || !m_scene.EntryOf(m_picture->layout, tile, name, bFolder))
        return entry;
    if (m_scene.IsDriveOverview()) {
        entry.path = name;
        entry.bFolder = true; // a drive is the folder at its root
    } else {
        entry.path = JoinPath(GetDocument()->ListedFolderPath(), name.c_str());
        entry.bFolder = bFolder;
    }
    return entry;
}

void CTreemapWnd::NameBlocks() {
    m_labels.clear();
    if (!m_picture || !m_scene.CanName())
        return;
    const TreemapLayout& layout = m_picture->layout;
    for (const TreemapLabel& label : PlaceTreemapLabels(layout, m_canvas.LabelMetrics())) {
        CTreemapCanvas::LabelText text;
        bool bFolder = false;
        if (!m_scene.EntryOf(layout, label.tile, text.name, bFolder))
            continue;
        const Tile& t = layout.tiles[label.tile];
        // A folder still being scanned has no size yet worth reading.
        if (t.kind != TileKind::Placeholder)
            text.size = FormatSize(t.bytes) + (m_scene.IsDriveOverview() ? " used" : "");
        text.label = label;
        m_labels.push_back(std::move(text));
    }
}

void CTreemapWnd::Compose() {
    if (!m_picture) {
        m_canvas.Clear();
        return;
    }
    CTreemapCanvas::Marks marks;
    marks.selected = m_nSelected;
    marks.clicked = m_nClicked;
    marks.bFocus = m_bFocus;
    if (!m_litPixels.empty())
        marks.pPixels = &m_litPixels;
    m_canvas.Compose(*m_picture, m_labels, marks);
}

// ---- drawing ----

bool CTreemapWnd::OnEraseBkgnd(HDC) {
    return true; // the paint covers everything
}

void CTreemapWnd::OnPaint() {
    PAINTSTRUCT ps;
    const HDC hDC = ::BeginPaint(m_hWnd, &ps);
    const CRect rc = GetClientRect();
    if (m_canvas.IsEmpty())
        ::FillRect(hDC, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    else
        m_canvas.Paint(hDC, rc.Width(), rc.Height()); // stretched while a resize settles
    ::EndPaint(m_hWnd, &ps);
}

// ---- the mouse ----

uint32_t CTreemapWnd::TileAt(POINT pt) const {
    if (!m_picture)
        return Tile::kNone;
    const CRect rc = GetClientRect();
    if (rc.Width() != m_picture->layout.width || rc.Height() != m_picture->layout.height)
        return Tile::kNone; // the picture is stretched until it is made for this size
    return m_picture->layout.HitTest(pt.x, pt.y);
}

std::string CTreemapWnd::TipText(uint32_t tile) const {
    if (!m_picture || tile >= m_picture->layout.tiles.size() || !m_scene.CanName())
        return std::string();
    const std::string path = m_scene.PathOf(m_picture->layout, tile);
    if (path.empty())
        return std::string();
    const Tile& t = m_picture->layout.tiles[tile];
    switch (t.kind) {
    case TileKind::Placeholder:
        return path + "\n" + FormatSize(t.bytes) + " so far, still being scanned";
    case TileKind::FilesNotHeld:
        return path + "\n" + FormatSize(t.bytes) + " in its files";
    default:
        return path + "\n" + FormatSize(t.bytes);
    }
}

void CTreemapWnd::OnMouseMove(UINT, POINT pt) {
    if (!m_bTrackingLeave) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        m_bTrackingLeave = ::TrackMouseEvent(&track) != FALSE;
    }
    ShowTip(TileAt(pt), pt);
}

LRESULT CTreemapWnd::OnMouseLeave(WPARAM, LPARAM) {
    m_bTrackingLeave = false;
    HideTip();
    return 0;
}

void CTreemapWnd::ShowTip(uint32_t tile, POINT pt) {
    if (!m_tip.m_hWnd)
        return;
    if (tile != m_nTipTile) {
        m_nTipTile = tile;
        m_strTip = TipText(tile);
        TOOLINFOA info{};
        info.cbSize = sizeof(info);
        info.hwnd = m_hWnd;
        info.uId = kTipId;
        info.lpszText = const_cast<char*>(m_strTip.c_str());
        m_tip.SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
    }
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.hwnd = m_hWnd;
    info.uId = kTipId;
    if (m_strTip.empty()) {
        m_tip.SendMessage(TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
        return;
    }
    POINT screen = pt;
    ::ClientToScreen(m_hWnd, &screen);
    m_tip.SendMessage(TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x + 16, screen.y + 20));
    m_tip.SendMessage(TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
}

void CTreemapWnd::HideTip() {
    m_nTipTile = Tile::kNone;
    m_strTip.clear();
    if (!m_tip.m_hWnd)
        return;
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.hwnd = m_hWnd;
    info.uId = kTipId;
    m_tip.SendMessage(TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

void CTreemapWnd::OnLButtonDown(UINT, POINT pt) {
    const uint32_t tile = TileAt(pt);
    CDirscopeDoc* pDoc = GetDocument();
    if (tile == Tile::kNone || !pDoc)
        return;
    ::SetFocus(m_hWnd);
    // A file's tile selects its type too (in the list of types; nothing is lit for it).
    const Tile& clicked = m_picture->layout.tiles[tile];
    if (clicked.kind == TileKind::File && clicked.extension < m_picture->layout.extensions.size()) {
        ModelType type;
        type.bAny = true;
        type.key = m_picture->layout.extensions[clicked.extension].name;
        pDoc->SelectType(nullptr, type);
    }
    // The shown folder's entry that holds the tile becomes the model's selection, which
    // outlines its area here (UpdateSelection) and selects it in every other view; the
    // tile itself is outlined inside it.
    const ModelEntry entry = EntryOfTile(m_picture->layout.ChildOfShown(tile));
    if (!entry.IsNone())
        pDoc->Select(nullptr, entry);
    m_nClicked = tile;
    Compose();
    Invalidate(false);
}

void CTreemapWnd::OnLButtonDblClk(UINT, POINT pt) {
    const uint32_t tile = TileAt(pt);
    if (tile != Tile::kNone)
        OpenTile(tile);
}

void CTreemapWnd::OpenSelected() {
    if (m_nSelected != Tile::kNone)
        OpenTile(m_nSelected);
}

void CTreemapWnd::OpenTile(uint32_t tile) {
    CFolderNavigator* pNavigator = AfxGetNavigator();
    if (!pNavigator || !m_picture)
        return;
    // Only a subfolder (or a drive) opens, through the navigator; a file is never started
    // from here.
    const ModelEntry entry = EntryOfTile(m_picture->layout.ChildOfShown(tile));
    if (entry.IsNone() || !entry.bFolder)
        return;
    if (m_scene.IsDriveOverview())
        pNavigator->OpenDrive(entry.path);
    else
        pNavigator->OpenFolder(entry.path);
}

LRESULT CTreemapWnd::OnRButtonUp(WPARAM, LPARAM lParam) {
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const uint32_t tile = TileAt(pt);
    const CDirscopeDoc* pDoc = GetDocument();
    // The shell's menu acts on the disk: none for a saved scan's entries.
    if (tile == Tile::kNone || tile == 0 || !pDoc || m_scene.IsDriveOverview() ||
        pDoc->IsFilling() || pDoc->IsSavedScan())
        return 0;
    const std::string path = m_scene.PathOf(m_picture->layout, tile);
    if (path.empty() || m_picture->layout.tiles[tile].kind == TileKind::FilesNotHeld)
        return 0;
    HideTip();
    POINT screen = pt;
    ::ClientToScreen(m_hWnd, &screen);
    m_shellMenu.Track(this, {path}, screen);
    return 0;
}

LRESULT CTreemapWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // While the shell's menu is open, the messages it draws with are its own.
    LRESULT lResult = 0;
    if (m_shellMenu.Forward(message, wParam, lParam, &lResult))
        return lResult;
    // Shown at another scale: the names in the new font, placed anew.
    if (message == WM_DPICHANGED_AFTERPARENT) {
        if (m_canvas.SetDpi(WindowDpi(m_hWnd))) {
            NameBlocks();
            Compose();
            Invalidate(false);
        }
        return 0;
    }
    return CView::WindowProc(message, wParam, lParam);
}

// ---- the keyboard ----

bool CTreemapWnd::MoveSelection(TileDirection direction) {
    CDirscopeDoc* pDoc = GetDocument();
    if (!m_picture || !pDoc || !m_scene.CanName())
        return false;
    const TreemapLayout& layout = m_picture->layout;
    uint32_t next = Tile::kNone;
    // From the shown folder's entry holding the selection (which may lie deeper).
    if (m_nSelected != Tile::kNone)
        next = layout.NeighbourOf(layout.ChildOfShown(m_nSelected), direction);
    else if (!layout.tiles.empty() && layout.tiles[0].childCount > 0)
        next = layout.tiles[0].firstChild; // the largest block, at the upper left
    const ModelEntry entry = next == Tile::kNone ? ModelEntry() : EntryOfTile(next);
    if (entry.IsNone())
        return false;
    pDoc->Select(nullptr, entry); // outlined here, and its row selected in the list
    return true;
}

void CTreemapWnd::OnKeyDown(UINT nChar, UINT, UINT) {
    switch (nChar) {
    case VK_LEFT:
        MoveSelection(TileDirection::Left);
        break;
    case VK_RIGHT:
        MoveSelection(TileDirection::Right);
        break;
    case VK_UP:
        MoveSelection(TileDirection::Up);
        break;
    case VK_DOWN:
        MoveSelection(TileDirection::Down);
        break;
    default:
        Default();
    }
}

LRESULT CTreemapWnd::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_WANTARROWS;
}

void CTreemapWnd::OnSetFocus(HWND) {
    m_bFocus = true;
    Compose();
    Invalidate(false);
}

LRESULT CTreemapWnd::OnKillFocus(WPARAM, LPARAM) {
    m_bFocus = false;
    Compose();
    Invalidate(false);
    return Default();
}
