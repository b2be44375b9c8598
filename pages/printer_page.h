// The "Printer" page: a small serial terminal on COM0.
//
// Sends the send box's text (code page 936, or typed hexadecimal), a chosen file, or the text
// again and again at an interval ("Auto Send", which reads "Stop" while it runs). What COM0
// receives is shown by the main dialog's reader in the receive box, as characters or hex.
//
// The page's values are shared with the reader and with the auto-send thread; every access
// holds the main dialog's receive lock (m_pRecvLock), never while a message box or anything
// else waits for the user. The receive text is the user-interface thread's
// (platform/afx/receive_text.h): data exchange on another thread reaches it there.
#pragma once

#include <atomic>

#include "platform/afx/afx.h"
#include "res/resource.h"

class CPrinterPage : public CDialog {
public:
    CPrinterPage();
    ~CPrinterPage() override;

    // Ends a running automatic send (the main dialog calls it on tab changes).
    void StopAutoSend();
    // One send step: reads the page's values and sends the text.
    void OnSend();

    std::atomic<CWinThread*> m_autoSendThread{nullptr};
    std::atomic<int> m_stopAutoSend{0};
    std::atomic<HANDLE>* m_pPort = nullptr;  // the main dialog's COM0 handle
    CButton m_autoSendButton;
    CButton m_sendFileButton;
    CButton m_sendButton;
    CEdit m_sendEdit;
    CEdit m_recvEdit;
    int m_sendHex = 0;
    CString m_recvText;
    CString m_sendText;
    int m_recvHex = 0;
    int m_interval = 120;
    // The main dialog's lock over the receive target and flags, shared with its COM0 reader.
    CCriticalSection* m_pRecvLock = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnSendFile();
    void OnDestroy();
    void OnClearRecv();
    void OnClearSend();
    void OnHexRecv();
    void OnHexSend();
    void OnAutoSend();

    DECLARE_MESSAGE_MAP()

private:
    static UINT AutoSendThread(LPVOID param);
    // The send step; returns the interval it read, for the auto-send thread's pause.
    int SendOnce();

    HANDLE m_destroyed;  // set when the window goes: ends an auto-send pause at once
};
