#include "pages/barcode_page.h"

#include "app/app_dir.h"
#include "io/port.h"
#include "io/scanner.h"
#include "platform/afx/receive_text.h"
#include "platform/afx/worker.h"

namespace {

constexpr DWORD kReadSize = 4;
constexpr DWORD kIdlePauseMs = 50;
constexpr LPCWSTR kSoundFile = _T("LaserScanOk.wav");

}  // namespace

BEGIN_MESSAGE_MAP(CBarcodePage, CDialog)
ON_BN_CLICKED(IDC_SCAN, OnScan)
ON_BN_CLICKED(IDC_CANCEL_SCAN, OnCancelScan)
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_CLEAR, OnClear)
ON_WM_TIMER()
END_MESSAGE_MAP()

CBarcodePage::CBarcodePage() : CDialog(IDD_BARCODE) {}

CBarcodePage::~CBarcodePage() {
    if (m_hWnd) {
        DestroyWindow();  // the destroy handling ends the reader while the page is whole
    }
}

void CBarcodePage::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_RECV, m_recvEdit);
    DDX_Text(dx, IDC_RECV, m_recvText);
}

BOOL CBarcodePage::OnInitDialog() {
    CDialog::OnInitDialog();
    m_port = OpenPort(_T("COM2:"));
    if (!IsPortOpen(m_port)) {
        AfxMessageBox(_T("Open COM2: Filed!"), MB_OK, 0);
    } else {
        ConfigurePort(m_port, kCom2Profile);
        AfxStartWorker(m_recvThread, ScannerRecvThread, this);
    }
    ScannerStop();
    ScannerEnable();
    return TRUE;
}

void CBarcodePage::OnScan() {
    ScannerTrigger();
    SetTimer(kScanTimer, kScanTimeoutMs, nullptr);
}

void CBarcodePage::OnTimer(UINT_PTR id) {
    if (id == kScanTimer) {
        KillTimer(kScanTimer);
        ScannerStop();
    }
    CDialog::OnTimer(id);
}

void CBarcodePage::OnCancelScan() {
    ScannerStop();
}

void CBarcodePage::OnClear() {
    m_recvText.Empty();
    UpdateData(FALSE);
}

void CBarcodePage::OnDestroy() {
    CDialog::OnDestroy();
    ScannerStop();
    ScannerDisable();
    // Closing ends a read in progress at once; a sound in progress plays to its end.
    AfxStopWorker(m_recvThread, m_stopRecv, [this] {
        Sleep(kIdlePauseMs);
        CloseHandle(m_port);
    });
}

void CBarcodePage::ShowReceived(const CString& batch) {
    AfxAppendAndShow(m_recvText, batch, m_recvEdit);
}

UINT CBarcodePage::ScannerRecvThread(LPVOID param) {
    SetThreadDescription(GetCurrentThread(), _T("com2-reader"));  // its name in the trace
    auto* page = static_cast<CBarcodePage*>(param);
    const CString sound = g_strAppDir + kSoundFile;
    CString current;
    bool afterCr = false;  // a CR LF pair gives one line break, across reads too
    while (page->m_stopRecv == 0) {
        const HANDLE port = page->m_port;
        if (port == nullptr) {
            break;
        }
        BYTE buffer[kReadSize] = {};
        DWORD got = 0;
        if (!ReadFile(port, buffer, kReadSize, &got, nullptr) || got == 0) {
            Sleep(kIdlePauseMs);
            continue;
        }
        CString batch;
        for (DWORD i = 0; i < got; ++i) {
            page->KillTimer(kScanTimer);  // any byte ends the scan's time-out
            const unsigned char byte = buffer[i];
            current.Format(_T("%c"), byte);
            if (byte == '\r' || byte == '\n') {
                // A code ended by LF alone gets its line break too, so codes never run
                // together; the LF of a CR LF adds nothing.
                current = byte == '\n' && afterCr ? _T("") : _T("\r\n");
                ScannerStop();
                sndPlaySoundW(sound, SND_NODEFAULT);
            }
            afterCr = byte == '\r';
            batch += current;
        }
        page->ShowReceived(batch);
    }
    page->m_recvThread = nullptr;
    return 0;
}
