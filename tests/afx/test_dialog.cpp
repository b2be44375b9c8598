#include "tests/afx/test_dialog.h"

namespace afxtest {

BOOL RecordingEdit::PreTranslateMessage(MSG* /*msg*/) {
    if (log) {
        log->push_back("edit");
    }
    return FALSE;
}

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_BN_CLICKED(kButton, OnButton)
ON_BN_CLICKED(kCheck, OnCheckClicked)
ON_CBN_SELCHANGE(kCombo, OnCombo)
ON_MESSAGE(WM_APP + 7, OnPing)
ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL TestDialog::PreTranslateMessage(MSG* msg) {
    log.push_back("dialog");
    keys.emplace_back(msg->message, msg->wParam);
    return CDialog::PreTranslateMessage(msg);
}

void TestDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, kMulti, m_multi);
    DDX_Text(dx, kLine, m_line);
    DDX_Check(dx, kCheck, m_check);
    DDX_Text(dx, kNumber, m_number);
    DDV_MinMaxInt(dx, m_number, 1, 60000);
}

LRESULT TestDialog::OnPing(WPARAM wParam, LPARAM lParam) {
    log.push_back("ping");
    return static_cast<LRESULT>(wParam) + lParam;
}

void TestDialog::OnTimer(UINT_PTR id) {
    timers.push_back(id);
    CDialog::OnTimer(id);
}

}  // namespace afxtest
