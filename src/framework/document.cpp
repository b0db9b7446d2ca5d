#include "document.h"

#include "owners.h"

#include <algorithm>

#include "doc_template.h"
#include "frame_wnd.h"
#include "view.h"
#include "win_app.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
END_MESSAGE_MAP()

CDocument::~CDocument() {
    for (CView* pView : m_viewList)
        pView->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const std::string& title) {
    m_strTitle = title;
    for (CView* pView : m_viewList)
        if (CFrameWnd* pFrame = pView->GetParentFrame())
            pFrame->DelayUpdateFrameTitle();
}

void CDocument::SetPathName(const std::string& pathName, bool bAddToMRU) {
    char full[MAX_PATH * 4] = {};
    char* pFilePart = nullptr;
    const DWORD n = GetFullPathNameA(pathName.c_str(), sizeof(full), full, &pFilePart);
    m_strPathName = (n > 0 && n < sizeof(full)) ? full : pathName;
    const size_t slash = m_strPathName.find_last_of("\\/");
    SetTitle(slash == std::string::npos ? m_strPathName : m_strPathName.substr(slash + 1));
    if (bAddToMRU)
        if (CWinApp* pApp = AfxGetApp())
            pApp->AddToRecentFileList(m_strPathName.c_str());
}

void CDocument::AddView(CView* pView) {
    if (std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView) {
    m_viewList.erase(std::remove(m_viewList.begin(), m_viewList.end(), pView), m_viewList.end());
    pView->m_pDocument = nullptr;
    if (m_viewList.empty() && m_bAutoDelete)
        OnCloseDocument();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
    for (CView* pView : std::vector<CView*>(m_viewList))
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const char* lpszPathName) {
    // The document has no contents to read; the file must exist and be readable.
    const UniqueFile file(CreateFileA(lpszPathName, GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const std::string text = std::string("Cannot open the document ") + lpszPathName + ".";
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    DeleteContents();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const char*) {
    // Nothing to write: the file stays exactly as it was.
    SetModifiedFlag(false);
    return true;
}

bool CDocument::DoFileSave() {
    return OnSaveDocument(m_strPathName.c_str());
}

void CDocument::OnFileSave() {
    DoFileSave();
}

bool CDocument::SaveModified() {
    if (!IsModified())
        return true;
    const std::string name = m_strPathName.empty() ? m_strTitle : m_strPathName;
    const std::string text = "Save changes to " + name + "?";
    switch (AfxMessageBox(text.c_str(), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
        return false;
    case IDYES:
        return DoFileSave();
    default:
        return true;
    }
}

bool CDocument::CanCloseFrame(CFrameWnd*) {
    return SaveModified();
}

void CDocument::OnCloseDocument() {
    // Closing the frames removes the views; the document must outlive that.
    const bool bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = false;
    while (!m_viewList.empty()) {
        CView* pView = m_viewList.front();
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame && pFrame->m_hWnd)
            pFrame->DestroyWindow();
        else if (pView->m_hWnd)
            pView->DestroyWindow();
        // A view whose window is already gone only leaves the list.
        if (!m_viewList.empty() && m_viewList.front() == pView)
            RemoveView(pView);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}
