// The main dialog: the tab control with the five pages, COM0 and its reader.
//
// Whatever COM0 delivers goes to the receive target: the Card page while its tab is selected,
// the Printer page otherwise. The reader formats each chunk by the target's hex flag under
// m_recvLock, which the pages' handlers take too, and hands it to the user-interface thread,
// which appends it to the target's text and shows it (platform/afx/receive_text.h).
#pragma once

#include <atomic>

#include "app/page_tab_ctrl.h"
#include "pages/barcode_page.h"
#include "pages/card_page.h"
#include "pages/keyboard_page.h"
#include "pages/other_page.h"
#include "pages/printer_page.h"

class CTestDlg : public CDialog {
public:
    explicit CTestDlg(CWnd* parent = nullptr);
    ~CTestDlg() override;

    std::atomic<CWinThread*> m_recvThread{nullptr};
    std::atomic<CString*> m_pRecvText{nullptr};
    std::atomic<CEdit*> m_pRecvEdit{nullptr};
    std::atomic<int*> m_pRecvHex{nullptr};
    std::atomic<int> m_stopRecv{0};
    std::atomic<HANDLE> m_port{nullptr};
    CKeyboardPage m_pageKeyboard;
    CPrinterPage m_pagePrinter;
    CCardPage m_pageCard;
    COtherPage m_pageOther;
    CBarcodePage m_pageBarcode;
    CPageTabCtrl m_tab;
    HICON m_icon = nullptr;
    // Guards the receive target and the targets' hex flags; their texts and boxes are the
    // user-interface thread's.
    CCriticalSection m_recvLock;

    static UINT RecvThreadProc(LPVOID param);
    void RecvLoop();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnDestroy();
    void OnSelchangeTab(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    // Points the receive target at a page's text, box and flag (under the lock).
    void RouteTo(CString* text, CEdit* edit, int* hex);
};
