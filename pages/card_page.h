// The "Card" page: the magnetic card reader on COM0.
#pragma once

#include <atomic>

#include "platform/afx/afx.h"
#include "res/resource.h"

class CCardPage : public CDialog {
public:
    CCardPage();
    ~CCardPage() override = default;

    std::atomic<HANDLE>* m_pPort = nullptr;  // the main dialog's COM0 handle
    CEdit m_recvEdit;
    CString m_recvText;
    int m_recvHex = 0;
    // The main dialog's lock over the receive texts and flags, shared with its COM0 reader.
    CCriticalSection* m_pRecvLock = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;

    DECLARE_MESSAGE_MAP()
};
