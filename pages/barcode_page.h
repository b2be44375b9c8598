// The "Barcode" page: the scanner on COM2, switched and triggered through GPR1.
//
// COM2 has a reader of its own for the page's whole life. "Scan" triggers the scanner and
// starts a ten-second time-out, which any received byte ends; every line end stops the
// scanner and plays the confirmation sound. The reader hands what it read to the
// user-interface thread, where the text and its box are changed (platform/afx/receive_text.h).
#pragma once

#include <atomic>

#include "platform/afx/afx.h"
#include "res/resource.h"

class CBarcodePage : public CDialog {
public:
    CBarcodePage();
    ~CBarcodePage() override;

    static constexpr UINT_PTR kScanTimer = 1;
    static constexpr UINT kScanTimeoutMs = 10000;

    std::atomic<int> m_stopRecv{0};
    std::atomic<CWinThread*> m_recvThread{nullptr};
    std::atomic<HANDLE> m_port{nullptr};
    CEdit m_recvEdit;
    CString m_recvText;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnScan();
    void OnCancelScan();
    void OnDestroy();
    void OnClear();
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()

private:
    static UINT ScannerRecvThread(LPVOID param);
    void ShowReceived(const CString& batch);
};
