#pragma once
// CDocument: what the views show, with its title, file name and views. The framework
// knows no file format: opening a document checks that the file can be read, and
// saving one succeeds without touching the disk, so a document never truncates or
// overwrites the file it was opened from.

#include <string>
#include <vector>

#include "cmd_target.h"

class CFrameWnd;
class CSingleDocTemplate;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
    DECLARE_MESSAGE_MAP()
public:
    ~CDocument() override;

    const std::string& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const std::string& title);
    const std::string& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(const std::string& pathName, bool bAddToMRU = true);
    CSingleDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool bModified = true) { m_bModified = bModified; }

    const std::vector<CView*>& GetViews() const { return m_viewList; }
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const char* lpszPathName);
    virtual bool OnSaveDocument(const char* lpszPathName);
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    virtual bool SaveModified();
    virtual bool CanCloseFrame(CFrameWnd* pFrame);
    virtual bool DoFileSave();

protected:
    bool m_bAutoDelete = true; // delete the document when its last view goes
    std::string m_strTitle;
    std::string m_strPathName;
    CSingleDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_viewList;
    bool m_bModified = false;
    friend class CSingleDocTemplate;

    void OnFileSave();
};
