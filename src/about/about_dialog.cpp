#include "about_dialog.h"

#include "resource.h"

IMPLEMENT_DYNAMIC(CAboutDialog, CDialog)

BEGIN_MESSAGE_MAP(CAboutDialog, CDialog)
END_MESSAGE_MAP()

CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUTBOX) {}

void CAboutDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HOMEPAGE, m_link);
}

bool CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog(); // binds m_link to its control, so its tooltip is the text
    m_link.SetTarget(DSCP_HOME_PAGE);
    return true;
}
