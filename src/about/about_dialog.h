#pragma once
// CAboutDialog: the About box, with the program's icon, name and version, and its
// home page as a web link.

#include "dialog.h"
#include "web_link_static.h"

class CAboutDialog : public CDialog {
    DECLARE_DYNAMIC(CAboutDialog)
    DECLARE_MESSAGE_MAP()
public:
    CAboutDialog();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    const CWebLinkStatic& Link() const { return m_link; }

private:
    CWebLinkStatic m_link;
};
