#include "treemap_wnd.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "folder_navigator.h"
#include "path_text.h"
#include "size_text.h"

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
    ON_MESSAGE(WM_RBUTTONUP, OnRButtonUp)
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(WM_TREEMAP_READY, OnPictureReady)
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITMENUPOPUP, OnMenuInitPopup)
    ON_MESSAGE(WM_DRAWITEM, OnMenuDrawItem)
    ON_MESSAGE(WM_MEASUREITEM, OnMenuMeasureItem)
    ON_MESSAGE(WM_MENUCHAR, OnMenuChar)
END_MESSAGE_MAP()

CTreemapWnd::CTreemapWnd()
    : m_worker([this] {
          // Posted, never sent: the worker never waits for this thread.
          if (const HWND hWnd = m_hWndReady.load())
              ::PostMessageA(hWnd, WM_TREEMAP_READY, 0, 0);
      }) {}

CTreemapWnd::~CTreemapWnd() = default;

bool CTreemapWnd::Create(CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    return CView::Create(nullptr, "Treemap", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                         CRect(0, 0, 0, 0), pParentWnd, nID, pContext);
}

int CTreemapWnd::OnMouseActivate(HWND, UINT, UINT) {
    return MA_ACTIVATE;
}

int CTreemapWnd::OnCreate(LPCREATESTRUCTA) {
    m_hWndReady = m_hWnd;
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
        Recompute();
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
        Invalidate(false);
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
    const CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc || rc.Width() <= 0 || rc.Height() <= 0 ||
        !m_scene.MakeRequest(*pDoc, rc.Width(), rc.Height(), ++m_nGeneration, request)) {
        m_worker.Cancel();
        m_picture.reset();
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
    LightType();
    UpdateSelection();
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
    const uint32_t was = m_nSelected;
    const CDirscopeDoc* pDoc = GetDocument();
    m_nSelected = pDoc ? TileOfSelection(pDoc->Selection()) : Tile::kNone;
    if (m_nSelected != was)
        Invalidate(false);
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

// ---- drawing ----

bool CTreemapWnd::OnEraseBkgnd(HDC) {
    return true; // the paint covers everything
}

void CTreemapWnd::OnPaint() {
    PAINTSTRUCT ps;
    const HDC hDC = ::BeginPaint(m_hWnd, &ps);
    const CRect rc = GetClientRect();
    if (!m_picture || m_picture->layout.width <= 0 || m_picture->layout.height <= 0) {
        ::FillRect(hDC, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
        ::EndPaint(m_hWnd, &ps);
        return;
    }
    const int w = m_picture->layout.width, h = m_picture->layout.height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // rows top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const std::vector<uint32_t>& pixels = m_litPixels.empty() ? m_picture->pixels : m_litPixels;
    if (rc.Width() == w && rc.Height() == h) {
        ::SetDIBitsToDevice(hDC, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                            static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
    } else {
        // Resizing: the last picture stretched until the new one is made.
        ::SetStretchBltMode(hDC, COLORONCOLOR);
        ::StretchDIBits(hDC, 0, 0, rc.Width(), rc.Height(), 0, 0, w, h, pixels.data(), &info,
                        DIB_RGB_COLORS, SRCCOPY);
    }
    if (rc.Width() == w && rc.Height() == h) {
        DrawOutline(hDC, m_nSelected, 2);
        DrawOutline(hDC, m_nClicked, 1);
    }
    ::EndPaint(m_hWnd, &ps);
}

void CTreemapWnd::DrawOutline(HDC hDC, uint32_t tile, int nWidth) const {
    if (!m_picture || tile >= m_picture->layout.tiles.size())
        return;
    const TileRect r = m_picture->layout.tiles[tile].PixelRect();
    RECT outer{r.left, r.top, r.right, r.bottom};
    for (int i = 0; i < nWidth; ++i) {
        ::FrameRect(hDC, &outer, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::InflateRect(&outer, -1, -1);
    }
    ::FrameRect(hDC, &outer, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
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
    m_nClicked = tile;
    Invalidate(false);
    // A file's tile selects its type too (in the list of types; nothing is lit for it).
    const Tile& clicked = m_picture->layout.tiles[tile];
    if (clicked.kind == TileKind::File && clicked.extension < m_picture->layout.extensions.size()) {
        ModelType type;
        type.bAny = true;
        type.key = m_picture->layout.extensions[clicked.extension].name;
        pDoc->SelectType(nullptr, type);
    }
    std::string name;
    bool bFolder = false;
    // The shown folder's entry that holds the tile becomes the model's selection, which
    // outlines its area here and selects it in every other view.
    if (!m_scene.EntryOf(m_picture->layout, m_picture->layout.ChildOfShown(tile), name, bFolder))
        return;
    ModelEntry entry;
    if (m_scene.IsDriveOverview()) {
        entry.path = name;
        entry.bFolder = true;
    } else {
        entry.path = JoinPath(pDoc->ListedFolderPath(), name.c_str());
        entry.bFolder = bFolder;
    }
    pDoc->Select(nullptr, entry);
}

void CTreemapWnd::OnLButtonDblClk(UINT, POINT pt) {
    const uint32_t tile = TileAt(pt);
    const CDirscopeDoc* pDoc = GetDocument();
    CFolderNavigator* pNavigator = AfxGetNavigator();
    if (tile == Tile::kNone || !pDoc || !pNavigator)
        return;
    const uint32_t child = m_picture->layout.ChildOfShown(tile);
    std::string name;
    bool bFolder = false;
    // Only a subfolder (or a drive) opens; a file is never started from here.
    if (!m_scene.EntryOf(m_picture->layout, child, name, bFolder))
        return;
    if (m_scene.IsDriveOverview())
        pNavigator->OpenDrive(name);
    else if (bFolder)
        pNavigator->OpenFolder(JoinPath(pDoc->ListedFolderPath(), name.c_str()));
}

LRESULT CTreemapWnd::OnRButtonUp(WPARAM, LPARAM lParam) {
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const uint32_t tile = TileAt(pt);
    const CDirscopeDoc* pDoc = GetDocument();
    if (tile == Tile::kNone || tile == 0 || !pDoc || m_scene.IsDriveOverview() || pDoc->IsFilling())
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

LRESULT CTreemapWnd::ForwardToOpenMenu(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (m_shellMenu.Forward(message, wParam, lParam, &lResult))
        return lResult;
    return Default();
}

LRESULT CTreemapWnd::OnMenuInitPopup(WPARAM wParam, LPARAM lParam) {
    return ForwardToOpenMenu(WM_INITMENUPOPUP, wParam, lParam);
}

LRESULT CTreemapWnd::OnMenuDrawItem(WPARAM wParam, LPARAM lParam) {
    return ForwardToOpenMenu(WM_DRAWITEM, wParam, lParam);
}

LRESULT CTreemapWnd::OnMenuMeasureItem(WPARAM wParam, LPARAM lParam) {
    return ForwardToOpenMenu(WM_MEASUREITEM, wParam, lParam);
}

LRESULT CTreemapWnd::OnMenuChar(WPARAM wParam, LPARAM lParam) {
    return ForwardToOpenMenu(WM_MENUCHAR, wParam, lParam);
}
