#pragma once
// CViewBar: a docking pane that holds a view. The bar makes an inner frame window over
// its client area, and the frame makes the view of the given class as its client, so
// the view joins the main window's document and gets its initial update with the
// others.

#include "caption_bar.h"
#include "frame_wnd.h"

class CViewBar : public CSizingControlBarCF {
    DECLARE_DYNAMIC(CViewBar)
    DECLARE_MESSAGE_MAP()
public:
    CViewBar();
    ~CViewBar() override;

    using CSizingControlBarCF::Create;
    // pContext null: the application's main window is the view's frame, with no
    // document.
    virtual bool Create(CWnd* pParentWnd, const CRuntimeClass* pViewClass, CCreateContext* pContext,
                        const char* lpszWindowName, DWORD dwStyle, UINT nID);

    // The inner frame; its window deletes it when it goes.
    CFrameWnd* m_pFrameWnd;
    CCreateContext m_Context;

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);

private:
    bool m_bFrameCreateTried = false;
};
