#include "pages/card_page.h"

BEGIN_MESSAGE_MAP(CCardPage, CDialog)
END_MESSAGE_MAP()

CCardPage::CCardPage() : CDialog(IDD_CARD) {}

void CCardPage::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_RECV, m_recvEdit);
    DDX_Text(dx, IDC_RECV, m_recvText);
    DDX_Check(dx, IDC_CARD_HEX, m_recvHex);
}
