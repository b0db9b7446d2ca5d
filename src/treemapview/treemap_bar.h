#pragma once
// CTreemapBar: the treemap pane, a sizing control bar with a caption and close button
// that holds the treemap's window over its client area.

#include "caption_bar.h"
#include "treemap_wnd.h"

class CTreemapBar : public CSizingControlBarCF {
    DECLARE_DYNAMIC(CTreemapBar)
    DECLARE_MESSAGE_MAP()
public:
    using CSizingControlBarCF::Create;
    CTreemapWnd& Treemap() { return m_wndTreemap; }

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);

private:
    CTreemapWnd m_wndTreemap;
};
