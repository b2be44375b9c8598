// The "KeyBoard" page: names every special key of the keypad as it goes down.
//
// Typed characters land in the edit box as usual; the name of each key that goes down while
// the focus is on this page (empty for keys without one) shows in the label under it. The
// page never consumes a key: after naming it, the dialog's own handling goes on.
#pragma once

#include "platform/afx/afx.h"
#include "res/resource.h"

class CKeyboardPage : public CDialog {
public:
    CKeyboardPage();
    ~CKeyboardPage() override = default;

    BOOL PreTranslateMessage(MSG* msg) override;

    CStatic m_keyNameStatic;
    CString m_typedText;
    CString m_keyName;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnClear();

    DECLARE_MESSAGE_MAP()
};
