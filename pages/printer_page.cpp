#include "pages/printer_page.h"

BEGIN_MESSAGE_MAP(CPrinterPage, CDialog)
END_MESSAGE_MAP()

CPrinterPage::CPrinterPage() : CDialog(IDD_PRINTER) {}

void CPrinterPage::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_RECV, m_recvEdit);
    DDX_Text(dx, IDC_RECV, m_recvText);
    DDX_Check(dx, IDC_RECV_HEX, m_recvHex);
}

void CPrinterPage::StopAutoSend() {
    CString caption;
    if (CWnd* button = GetDlgItem(IDC_AUTO_SEND)) {
        button->GetWindowText(caption);
    }
    if (caption == _T("Stop")) {
        PostMessage(WM_COMMAND, IDC_AUTO_SEND, 0);
    }
}
