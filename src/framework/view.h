#pragma once
// CView: a child window that shows a document. It joins its document when it is
// created and leaves it when it goes, gets its initial update once the document is
// ready (and again on File New), and passes the commands it does not handle on to its
// document.

#include "frame_wnd.h"

class CDocument;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
    DECLARE_MESSAGE_MAP()
public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    bool Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd, UINT nID,
                CCreateContext* pContext = nullptr) override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnDraw(HDC hDC) = 0;
    virtual void OnActivateView(bool bActivate, CView* pActivateView, CView* pDeactiveView);

    bool OnCmdMsg(CmdMsg& msg) override;
    void PostNcDestroy() override;

protected:
    CDocument* m_pDocument = nullptr;
    friend class CDocument;

    LRESULT OnInitialUpdateMessage(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    int OnMouseActivate(HWND hWndTop, UINT nHitTest, UINT message);
    void OnDestroy();
};
