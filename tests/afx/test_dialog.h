// A dialog for the framework's tests: records what reaches its handlers.
#pragma once

#include <string>
#include <vector>

#include "tests/afx/test_templates.h"

namespace afxtest {

// An edit control object that notes the keys offered to it.
class RecordingEdit : public CEdit {
public:
    std::vector<std::string>* log = nullptr;
    BOOL PreTranslateMessage(MSG* msg) override;
};

class TestDialog : public CDialog {
public:
    explicit TestDialog(UINT id = kDialogId) : CDialog(id) {}

    CString m_line;
    int m_check = 0;
    int m_number = 5;
    RecordingEdit m_multi;
    std::vector<std::string> log;
    std::vector<UINT_PTR> timers;
    std::vector<std::pair<UINT, WPARAM>> keys;  // offered to the dialog

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override { log.push_back("ok"); }
    void OnCancel() override { log.push_back("cancel"); }
    void OnButton() { log.push_back("button"); }
    void OnCheckClicked() { log.push_back("check"); }
    void OnCombo() { log.push_back("combo"); }
    LRESULT OnPing(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()
};

}  // namespace afxtest
