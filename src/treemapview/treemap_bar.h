#pragma once
// CTreemapBar: the treemap pane, a sizing control bar with a caption and close button
// that holds the treemap's view of the document over its client area.

#include "caption_bar.h"
#include "treemap_wnd.h"

class CTreemapBar : public CSizingControlBarCF {
    DECLARE_DYNAMIC(CTreemapBar)
    DECLARE_MESSAGE_MAP()
public:
    using CSizingControlBarCF::Create;
    // The document the treemap joins, given before the bar is created.
    void SetDocument(CDocument* pDoc) { m_pDocument = pDoc; }
    CTreemapWnd& Treemap() { return m_wndTreemap; }

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);

private:
    CDocument* m_pDocument = nullptr;
    CTreemapWnd m_wndTreemap;
};
