// The "KeyBoard" page: the keypad's special keys.
#pragma once

#include "platform/afx/afx.h"
#include "res/resource.h"

class CKeyboardPage : public CDialog {
public:
    CKeyboardPage();
    ~CKeyboardPage() override = default;
};
