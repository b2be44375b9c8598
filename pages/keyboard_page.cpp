#include "pages/keyboard_page.h"

CKeyboardPage::CKeyboardPage() : CDialog(IDD_KEYBOARD) {}
