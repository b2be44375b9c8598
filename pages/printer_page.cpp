#include "pages/printer_page.h"

#include <algorithm>

#include "io/port.h"
#include "io/write.h"
#include "pages/hex_send.h"
#include "pages/send_file.h"
#include "platform/afx/worker.h"

namespace {

constexpr int kMinAutoInterval = 20;
constexpr UINT kAutoSendExitCode = 11102801;
constexpr LPCWSTR kFileFilter =
    _T("BIN (*.bin)|*.bin|TXT (*.txt)|*.txt|SQL Script(*.sql)|*.sql|INI (*.ini)|*.ini|")
    _T("LNG (*.lng)|*.lng|CFG (*.cfg)|*.cfg|LOG (*.log)|*.log|All File (*.*)|*.*||");

}  // namespace

BEGIN_MESSAGE_MAP(CPrinterPage, CDialog)
ON_BN_CLICKED(IDC_SEND, OnSend)
ON_BN_CLICKED(IDC_SEND_FILE, OnSendFile)
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_CLEAR_RECV, OnClearRecv)
ON_BN_CLICKED(IDC_CLEAR_SEND, OnClearSend)
ON_BN_CLICKED(IDC_RECV_HEX, OnHexRecv)
ON_BN_CLICKED(IDC_SEND_HEX, OnHexSend)
ON_BN_CLICKED(IDC_AUTO_SEND, OnAutoSend)
END_MESSAGE_MAP()

CPrinterPage::CPrinterPage()
    : CDialog(IDD_PRINTER),
      m_sendText(_T("This is a sample!\r\n")),
      m_destroyed(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CPrinterPage::~CPrinterPage() {
    if (m_hWnd) {
        DestroyWindow();  // the destroy handling ends the auto send while the page is whole
    }
    CloseHandle(m_destroyed);
}

void CPrinterPage::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_AUTO_SEND, m_autoSendButton);
    DDX_Control(dx, IDC_SEND_FILE, m_sendFileButton);
    DDX_Control(dx, IDC_SEND, m_sendButton);
    DDX_Control(dx, IDC_SEND_TEXT, m_sendEdit);
    DDX_Control(dx, IDC_RECV, m_recvEdit);
    {
        CSingleLock lock(m_pRecvLock, TRUE);
        DDX_Check(dx, IDC_SEND_HEX, m_sendHex);
        DDX_Text(dx, IDC_RECV, m_recvText);
        DDX_Text(dx, IDC_SEND_TEXT, m_sendText);
        DDX_Check(dx, IDC_RECV_HEX, m_recvHex);
    }
    // The interval's messages wait for the user: the COM0 reader must not wait with them, so
    // the lock is held only to take and to store the value.
    int interval = 0;
    {
        CSingleLock lock(m_pRecvLock, TRUE);
        interval = m_interval;
    }
    DDX_Text(dx, IDC_INTERVAL, interval);
    {
        CSingleLock lock(m_pRecvLock, TRUE);
        m_interval = interval;
    }
    DDV_MinMaxInt(dx, interval, 1, 60000);
}

BOOL CPrinterPage::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}

int CPrinterPage::SendOnce() {
    UpdateData(TRUE);  // a failed range test has told the user; the values read still count
    CString text;
    int hex = 0;
    int interval = 0;
    {
        CSingleLock lock(m_pRecvLock, TRUE);
        text = m_sendText;
        hex = m_sendHex;
        interval = m_interval;
    }
    if (hex == 0) {
        WriteText(PortThrough(m_pPort), text, text.GetLength());
    } else {
        SendHexText(text, m_pPort);
    }
    return interval;
}

void CPrinterPage::OnSend() {
    SendOnce();
}

void CPrinterPage::OnSendFile() {
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFileFilter);
    dialog.m_ofn.lpstrInitialDir = _T("\\Nand");
    if (dialog.DoModal() != IDOK) {
        return;
    }
    CFile file;
    if (!file.Open(dialog.GetPathName(), CFile::modeRead | CFile::shareExclusive)) {
        return;
    }
    SendFile(file, m_pPort, this);
    file.Close();
}

void CPrinterPage::OnDestroy() {
    CDialog::OnDestroy();
    // Its pause ends at once; its last window calls are served while this waits.
    AfxStopWorker(m_autoSendThread, m_stopAutoSend, [this] { SetEvent(m_destroyed); });
}

void CPrinterPage::OnClearRecv() {
    // Only the receive box: what was typed into the send and interval boxes stays.
    CSingleLock lock(m_pRecvLock, TRUE);
    m_recvText.Empty();
    m_recvEdit.SetWindowText(m_recvText);
}

void CPrinterPage::OnClearSend() {
    CSingleLock lock(m_pRecvLock, TRUE);
    m_sendText.Empty();
    m_sendEdit.SetWindowText(m_sendText);
}

void CPrinterPage::OnHexRecv() {
    UpdateData(TRUE);
}

void CPrinterPage::OnHexSend() {
    UpdateData(TRUE);
}

void CPrinterPage::OnAutoSend() {
    UpdateData(TRUE);
    bool empty = false;
    {
        CSingleLock lock(m_pRecvLock, TRUE);
        if (m_interval < kMinAutoInterval) {
            m_interval = kMinAutoInterval;
        }
        empty = m_sendText.IsEmpty();
    }
    UpdateData(FALSE);
    CString caption;
    m_autoSendButton.GetWindowText(caption);
    if (caption != _T("Auto Send")) {
        m_stopAutoSend = 1;  // the thread restores the buttons when it ends
        return;
    }
    if (empty) {
        return;
    }
    m_sendButton.EnableWindow(FALSE);
    m_sendFileButton.EnableWindow(FALSE);
    m_autoSendButton.SetWindowText(_T("Stop"));
    while (m_autoSendThread != nullptr) {  // an old thread is still ending
        Sleep(10);
        m_stopAutoSend = 1;
    }
    m_stopAutoSend = 0;
    AfxStartWorker(m_autoSendThread, AutoSendThread, this);
}

UINT CPrinterPage::AutoSendThread(LPVOID param) {
    SetThreadDescription(GetCurrentThread(), _T("auto-send"));  // its name in the trace
    auto* page = static_cast<CPrinterPage*>(param);
    while (page->m_stopAutoSend == 0) {
        const int interval = page->SendOnce();
        // A value a failed range test left may be negative: no pause then, never an endless
        // one. The page's end interrupts the pause; a Stop does not.
        WaitForSingleObject(page->m_destroyed, static_cast<DWORD>(std::max(interval, 0)));
    }
    page->m_sendButton.EnableWindow(TRUE);
    page->m_sendFileButton.EnableWindow(TRUE);
    page->m_autoSendButton.SetWindowText(_T("Auto Send"));
    page->m_autoSendThread = nullptr;
    return kAutoSendExitCode;
}

void CPrinterPage::StopAutoSend() {
    CString caption;
    m_autoSendButton.GetWindowText(caption);
    if (caption == _T("Stop")) {
        PostMessage(WM_COMMAND, IDC_AUTO_SEND, 0);
    }
}
