#pragma once
// CSingleDocTemplate: makes the one document together with its frame and view, from
// their class records, and runs the new-document and open-document sequences on it.
// Its resource id names the frame's menu, accelerators, icon and the document string
// ("window title\ndoc name\nnew-file name\nfilter name\nfilter ext\ntype id\ntype name").

#include <string>

#include "cmd_target.h"
#include "resource_text.h"

class CDocument;
class CFrameWnd;

class CSingleDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                       const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    bool GetDocString(std::string& rString, DocStringIndex index) const;
    // A new document (null path) or the named one: makes the document, frame and view the
    // first time, then sends the initial update to every view. Null when that fails.
    CDocument* OpenDocumentFile(const char* lpszPathName, bool bMakeVisible = true);
    CDocument* GetOnlyDocument() const { return m_pOnlyDoc; }
    void CloseAllDocuments();
    bool SaveAllModified();

    CDocument* CreateNewDocument();
    CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, bool bMakeVisible = true);
    void SetDefaultTitle(CDocument* pDocument);
    void RemoveDocument(CDocument* pDoc);

    const UINT m_nIDResource;

private:
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    std::string m_strDocStrings;
    CDocument* m_pOnlyDoc = nullptr;
};
