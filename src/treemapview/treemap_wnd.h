#pragma once
// CTreemapWnd: the treemap pane's view of the document. It draws the folder shown as a
// treemap: the picture is made on the worker's thread (TreemapWorker, owned here) and
// blitted; the document's hints say when to make it again (another folder at once, the
// scan's totals at most every 300 ms, the scan's end at once, a new size once it has
// settled). The mouse names a tile in a tooltip, selects the shown folder's entry holding
// it (click), opens that subfolder through the navigator (double-click), and shows the
// shell's menu for it (right-click); the model's selection is outlined here, at any depth,
// and a file type chosen in the list of types is lit. The subfolders carry their names
// and sizes. The pane takes the keyboard focus (a click, or the frame's
// next-pane keys), shows it with a frame, and its arrow keys select the neighbouring block.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dirscope_doc.h"
#include "shell_menu_owner.h"
#include "tool_tip.h"
#include "treemap_canvas.h"
#include "treemap_scene.h"
#include "treemap_worker.h"
#include "view.h"

class CTreemapWnd : public CView {
    DECLARE_DYNAMIC(CTreemapWnd)
    DECLARE_MESSAGE_MAP()
public:
    CTreemapWnd();
    ~CTreemapWnd() override;

    // The view joins the context's document.
    bool Create(CWnd* pParentWnd, UINT nID, CCreateContext* pContext);
    CDirscopeDoc* GetDocument() const { return static_cast<CDirscopeDoc*>(m_pDocument); }
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(HDC) override {}
    // Owned by its bar, not by its window.
    void PostNcDestroy() override {}
    // The pane shows again: what changed while it was hidden is drawn now.
    void OnPaneShown();

    // The picture shown, or null.
    const TreemapLayout* Layout() const { return m_picture ? &m_picture->layout : nullptr; }
    // The newest request's picture is shown and no other is due.
    bool IsPictureCurrent() const;
    // The tile clicked last, and the area of the selected entry (Tile::kNone: none).
    uint32_t ClickedTile() const { return m_nClicked; }
    uint32_t SelectedTile() const { return m_nSelected; }
    // The pixels of the picture as lit: with a type lit, every other tile dimmed; else the
    // picture's own.
    const std::vector<uint32_t>* ShownPixels() const {
        return !m_litPixels.empty() ? &m_litPixels : m_picture ? &m_picture->pixels : nullptr;
    }
    // The tooltip's text for a tile: its full path and size.
    std::string TipText(uint32_t tile) const;
    // What the pane shows, as composed for the last paint.
    const CTreemapCanvas& Canvas() const { return m_canvas; }
    // The labels drawn: the blocks named, with their boxes.
    const std::vector<CTreemapCanvas::LabelText>& Labels() const { return m_labels; }
    // Selects the entry of the block next to the selected one (the first block when none
    // is selected); false when there is none that way.
    bool MoveSelection(TileDirection direction);
    // Opens the selected block as a double-click on it does: a subfolder or a drive.
    void OpenSelected();

    static constexpr UINT WM_TREEMAP_READY = WM_APP + 0x110;
    // While the scan runs, a new picture at most this often.
    static constexpr UINT kScanPeriodMs = 300;
    // After the last change of size, this long before the picture is made for it.
    static constexpr UINT kSettleMs = 150;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnPaint();
    bool OnEraseBkgnd(HDC hDC);
    void OnSize(UINT nType, int cx, int cy);
    void OnTimer(UINT_PTR nIDEvent);
    void OnMouseMove(UINT nFlags, POINT pt);
    void OnLButtonDown(UINT nFlags, POINT pt);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSetFocus(HWND hWndOld);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    void OnLButtonDblClk(UINT nFlags, POINT pt);
    LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnPictureReady(WPARAM wParam, LPARAM lParam);
    // A click leaves the main window's active view (the list) as it is.
    int OnMouseActivate(HWND hWndTop, UINT nHitTest, UINT message);

private:
    // Submits what the document shows now, for the pane's size.
    void Recompute();
    void RecomputeAfter(UINT nMs);
    // The document's snapshot is about to change: the worker lets go of it first.
    void OnSnapshotChanging();
    // The other folder is coming: nothing of the last one stays.
    void ForgetPicture();
    // The picture with every tile but the model's lit type's dimmed, when a type is lit.
    void LightType();
    // The model's selected entry's area.
    void UpdateSelection();
    // The tile of the model's entry `entry` at any depth, or Tile::kNone.
    uint32_t TileOfSelection(const ModelEntry& entry) const;
    // The model's entry of a tile at depth 1 (none for a tile that cannot be named).
    ModelEntry EntryOfTile(uint32_t tile) const;
    uint32_t TileAt(POINT pt) const;
    void ShowTip(uint32_t tile, POINT pt);
    void HideTip();
    // Opens the shown folder's entry of `tile` (at depth 1) if it is a subfolder or drive.
    void OpenTile(uint32_t tile);
    // The blocks' names and sizes for the picture shown.
    void NameBlocks();
    // The canvas again, from the picture and the marks over it.
    void Compose();

    CTreemapScene m_scene;
    std::optional<TreemapPicture> m_picture;
    std::vector<uint32_t> m_litPixels; // the picture as lit for a type; empty: none lit
    unsigned m_nGeneration = 0;        // of the last request
    bool m_bRecomputeDue = false;      // the timer runs for a new picture
    bool m_bStale = false;             // a picture was due while the pane was hidden
    CSize m_size;                      // the client size the last request was made for
    uint32_t m_nClicked = Tile::kNone;
    uint32_t m_nSelected = Tile::kNone;
    uint32_t m_nTipTile = Tile::kNone;
    std::string m_strTip;
    bool m_bTrackingLeave = false;
    bool m_bFocus = false; // the pane has the keyboard focus
    CToolTipCtrl m_tip;
    CShellMenuOwner m_shellMenu;
    std::vector<CTreemapCanvas::LabelText> m_labels;
    CTreemapCanvas m_canvas;
    std::atomic<HWND> m_hWndReady{nullptr}; // where the worker posts; null once destroyed
    TreemapWorker m_worker;                 // last: stopped before anything it reports into goes
};
