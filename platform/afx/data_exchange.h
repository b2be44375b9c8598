// Dialog data exchange: moving values between the controls of a window and its members.
//
// CWnd::UpdateData makes a CDataExchange and runs DoDataExchange with it, on the
// user-interface thread whichever thread calls it. DDX_ functions move one value between a
// control and a member, in the direction of the exchange; DDV_ functions check a value read.
// A failure tells the user with the framework's message, puts the focus on the control (its
// text selected) and ends the exchange: UpdateData then returns FALSE.
#pragma once

#include "platform/afx/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // The control with the id, remembered as the one a failure puts the focus on.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Puts the focus on the last control prepared (an edit gets its text selected) and ends
    // the exchange.
    [[noreturn]] void Fail();

    struct Failure {};

private:
    HWND m_lastControl = nullptr;
    bool m_lastWasEdit = false;
};

// Binds the member object to the control (on the first exchange only).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
// Reads a decimal integer (blanks before and after allowed): otherwise "Please enter an
// integer." and the member keeps its value.
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// On reading: outside [min, max] gives "Please enter an integer between %1 and %2." (the
// value has been taken already).
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max);
