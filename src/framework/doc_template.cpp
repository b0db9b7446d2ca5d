#include "doc_template.h"

#include <memory>

#include "document.h"
#include "frame_wnd.h"
#include "view.h"
#include "win_app.h"

IMPLEMENT_DYNAMIC(CSingleDocTemplate, CCmdTarget)

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                       const CRuntimeClass* pFrameClass,
                                       const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass) {
    AfxLoadString(nIDResource, m_strDocStrings);
}

CSingleDocTemplate::~CSingleDocTemplate() {
    CloseAllDocuments();
}

bool CSingleDocTemplate::GetDocString(std::string& rString, DocStringIndex index) const {
    rString = GetSubstring(m_strDocStrings, index);
    return !rString.empty();
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
    if (pDoc)
        pDoc->m_pDocTemplate = nullptr;
}

CDocument* CSingleDocTemplate::CreateNewDocument() {
    std::unique_ptr<CObject> pObject(m_pDocClass->CreateObject());
    auto* pDoc = dynamic_cast<CDocument*>(pObject.get());
    if (!pDoc)
        return nullptr;
    pObject.release(); // the template's until the document deletes itself
    pDoc->m_pDocTemplate = this;
    m_pOnlyDoc = pDoc;
    return pDoc;
}

CFrameWnd* CSingleDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    std::unique_ptr<CObject> pObject(m_pFrameClass->CreateObject());
    auto* pFrame = dynamic_cast<CFrameWnd*>(pObject.get());
    if (!pFrame)
        return nullptr;
    pObject.release(); // a frame that fails to load deletes itself
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return pFrame;
}

void CSingleDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, bool bMakeVisible) {
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument) {
    std::string title;
    if (!GetDocString(title, kDocName))
        title = "Untitled";
    pDocument->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* lpszPathName, bool bMakeVisible) {
    CDocument* pDoc = m_pOnlyDoc;
    CFrameWnd* pFrame = nullptr;
    bool bCreated = false;
    if (pDoc) {
        // One document only: it is reused, once it may be.
        if (!pDoc->SaveModified())
            return nullptr;
        if (!pDoc->GetViews().empty())
            pFrame = pDoc->GetViews().front()->GetParentFrame();
    } else {
        pDoc = CreateNewDocument();
        if (!pDoc)
            return nullptr;
        bCreated = true;
    }
    if (!pFrame) {
        // The document must survive a frame that fails half-way.
        const bool bAutoDelete = pDoc->m_bAutoDelete;
        pDoc->m_bAutoDelete = false;
        pFrame = CreateNewFrame(pDoc, nullptr);
        pDoc->m_bAutoDelete = bAutoDelete;
        if (!pFrame) {
            if (bCreated)
                delete pDoc;
            return nullptr;
        }
    }

    if (!lpszPathName) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument()) {
            if (bCreated)
                pFrame->DestroyWindow(); // takes the view and the document with it
            return nullptr;
        }
    } else {
        if (!pDoc->OnOpenDocument(lpszPathName)) {
            if (bCreated)
                pFrame->DestroyWindow();
            return nullptr;
        }
        pDoc->SetPathName(lpszPathName);
    }

    CWinApp* pApp = AfxGetApp();
    if (bCreated && pApp && !pApp->GetMainWnd())
        pApp->SetMainWnd(pFrame);
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

void CSingleDocTemplate::CloseAllDocuments() {
    if (m_pOnlyDoc)
        m_pOnlyDoc->OnCloseDocument();
    if (m_pOnlyDoc) {
        // A document that does not delete itself stays, but not with us.
        m_pOnlyDoc->m_pDocTemplate = nullptr;
        m_pOnlyDoc = nullptr;
    }
}

bool CSingleDocTemplate::SaveAllModified() {
    return !m_pOnlyDoc || m_pOnlyDoc->SaveModified();
}
