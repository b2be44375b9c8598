#include "app/test_dlg.h"

#include "app/receive_format.h"
#include "io/port.h"
#include "platform/afx/receive_text.h"
#include "platform/afx/worker.h"

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_WM_DESTROY()
ON_NOTIFY(TCN_SELCHANGE, IDC_TAB, OnSelchangeTab)
END_MESSAGE_MAP()

CTestDlg::CTestDlg(CWnd* parent) : CDialog(IDD_RV4417TEST_DIALOG, parent) {
    m_icon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
}

// Gone without its window's destroy handling (an exception, an early return): that handling
// runs now, while the members the threads use are still there, so none outlives them.
CTestDlg::~CTestDlg() {
    if (m_hWnd) {
        DestroyWindow();
    }
}

void CTestDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TAB, m_tab);
}

BOOL CTestDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);
    SetWindowPos(nullptr, -1, -1, 0, 0, SWP_NOSIZE);

    m_tab.AddPage(_T("Printer"), &m_pagePrinter, IDD_PRINTER);
    m_tab.AddPage(_T("Card"), &m_pageCard, IDD_CARD);
    m_tab.AddPage(_T("KeyBoard"), &m_pageKeyboard, IDD_KEYBOARD);
    m_tab.AddPage(_T("Barcode"), &m_pageBarcode, IDD_BARCODE);
    m_tab.AddPage(_T("Other"), &m_pageOther, IDD_OTHER);
    m_tab.CreatePages();

    m_port = OpenPort(_T("COM0:"));
    if (IsPortOpen(m_port)) {
        ConfigurePort(m_port, kCom0Profile);
        AfxStartWorker(m_recvThread, RecvThreadProc, this);
    } else {
        AfxMessageBox(_T("Open COM0: Filed!"), MB_OK, 0);
    }

    m_pagePrinter.m_pPort = &m_port;
    m_pageCard.m_pPort = &m_port;
    m_pagePrinter.m_pRecvLock = &m_recvLock;
    m_pageCard.m_pRecvLock = &m_recvLock;
    RouteTo(&m_pagePrinter.m_recvText, &m_pagePrinter.m_recvEdit, &m_pagePrinter.m_recvHex);
    return TRUE;
}

void CTestDlg::RouteTo(CString* text, CEdit* edit, int* hex) {
    CSingleLock lock(&m_recvLock, TRUE);
    m_pRecvText = text;
    m_pRecvEdit = edit;
    m_pRecvHex = hex;
}

void CTestDlg::OnSelchangeTab(NMHDR* /*header*/, LRESULT* result) {
    if (m_tab.GetCurSel() == 1) {
        RouteTo(&m_pageCard.m_recvText, &m_pageCard.m_recvEdit, &m_pageCard.m_recvHex);
    } else {
        RouteTo(&m_pagePrinter.m_recvText, &m_pagePrinter.m_recvEdit, &m_pagePrinter.m_recvHex);
        m_pagePrinter.StopAutoSend();
    }
    *result = 0;
}

void CTestDlg::OnDestroy() {
    CDialog::OnDestroy();
    // Closing ends a read in progress at once; the reader then finds the stop flag. The join
    // serves the reader's last window calls.
    AfxStopWorker(m_recvThread, m_stopRecv, [this] {
        Sleep(50);
        CloseHandle(m_port);
    });
}

UINT CTestDlg::RecvThreadProc(LPVOID param) {
    SetThreadDescription(GetCurrentThread(), _T("com0-reader"));  // its name in the trace
    static_cast<CTestDlg*>(param)->RecvLoop();
    return 0;
}

void CTestDlg::RecvLoop() {
    BYTE buffer[256];
    memset(buffer, 0, sizeof buffer);
    while (m_stopRecv == 0) {
        const HANDLE port = m_port;
        if (port == nullptr) {
            break;
        }
        DWORD got = 0;
        if (!ReadFile(port, buffer, 50, &got, nullptr) || got == 0) {
            Sleep(50);
        } else {
            CString chunk;
            CString* text = nullptr;
            CEdit* edit = nullptr;
            {
                CSingleLock lock(&m_recvLock, TRUE);
                for (DWORD i = 0; i < got; ++i) {
                    const int* hex = m_pRecvHex;  // consulted anew for every byte
                    AppendReceivedByte(chunk, buffer[i], hex == nullptr || *hex != 0);
                }
                text = m_pRecvText;
                edit = m_pRecvEdit;
            }
            // Not under the lock: the step may wait for room on the user-interface thread.
            if (text != nullptr) {
                AfxAppendAndShow(*text, chunk, *edit);
            }
        }
    }
    m_recvThread = nullptr;
}
