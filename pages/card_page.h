// The "Card" page: the magnetic card reader on COM0.
//
// A track choice empties the receive box and tells the reader which tracks to deliver;
// "Auto Recv Switch" turns its automatic receiving on or off after asking. What the reader
// sends is shown by the main dialog's reader in this page's box while the Card tab is
// selected. The hex flag is shared with that reader under m_pRecvLock; the receive text is
// the user-interface thread's (platform/afx/receive_text.h).
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
    CComboBox m_trackCombo;
    CString m_recvText;
    int m_recvHex = 0;
    // The main dialog's lock over the receive target and flags, shared with its COM0 reader.
    CCriticalSection* m_pRecvLock = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnSelchangeTrack();
    void OnHex();
    void OnAutoRecvSwitch();

    DECLARE_MESSAGE_MAP()

private:
    void Write(const BYTE* bytes, int length);
};
