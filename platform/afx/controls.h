// The control classes: thin CWnd wrappers that send the controls' own messages.
#pragma once

#include "platform/afx/wnd.h"

class CEdit : public CWnd {
public:
    // Selects start..end (start -1: no selection; 0, -1: everything) and scrolls to the caret.
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
};

class CButton : public CWnd {};

class CComboBox : public CWnd {
public:
    int GetCurSel() const;
    // index -1 sets the height of the selection field, any other the list items', in pixels
    // (1 to 255); 0 when set, CB_ERR for a height outside that range.
    int SetItemHeight(int index, UINT height);
};

class CStatic : public CWnd {};

class CTabCtrl : public CWnd {
public:
    LONG InsertItem(UINT mask, int item, LPCWSTR text, int image, LPARAM param);
    int GetCurSel() const;
    BOOL GetItemRect(int item, LPRECT rect) const;
};
