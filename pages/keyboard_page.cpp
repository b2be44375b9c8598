#include "pages/keyboard_page.h"

namespace {

struct KeyName {
    WPARAM key;
    LPCWSTR name;
};

// The names as the keypad's labels give them, uneven capitals included.
constexpr KeyName kKeyNames[] = {
    {VK_BACK, _T("BACKSPACE")}, {VK_RETURN, _T("RETURN")}, {VK_ESCAPE, _T("ESC")},
    {VK_PRIOR, _T("PageUp")},   {VK_NEXT, _T("PageDown")}, {VK_LEFT, _T("LEFT")},
    {VK_UP, _T("UP")},          {VK_RIGHT, _T("RIGHT")},   {VK_DOWN, _T("DOWN")},
    {VK_DELETE, _T("Del")},     {VK_F1, _T("F1")},         {VK_F2, _T("F2")},
    {VK_F3, _T("F3")},          {VK_F4, _T("F4")},
};

LPCWSTR NameOf(WPARAM key) {
    for (const KeyName& k : kKeyNames) {
        if (k.key == key) {
            return k.name;
        }
    }
    return _T("");
}

}  // namespace

BEGIN_MESSAGE_MAP(CKeyboardPage, CDialog)
ON_BN_CLICKED(IDC_CLEAR, OnClear)
END_MESSAGE_MAP()

CKeyboardPage::CKeyboardPage() : CDialog(IDD_KEYBOARD) {}

void CKeyboardPage::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_KEY_NAME, m_keyNameStatic);
    DDX_Text(dx, IDC_TYPED, m_typedText);
    DDX_Text(dx, IDC_KEY_NAME, m_keyName);
}

BOOL CKeyboardPage::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        m_keyName = NameOf(msg->wParam);
        m_keyNameStatic.SetWindowText(m_keyName);
    }
    return CDialog::PreTranslateMessage(msg);
}

void CKeyboardPage::OnClear() {
    UpdateData(TRUE);
    m_typedText.Empty();
    UpdateData(FALSE);
}
