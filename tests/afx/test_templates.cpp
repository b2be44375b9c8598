#include "tests/afx/test_templates.h"

namespace afxtest {

namespace {

constexpr AfxControlTemplate kControls[] = {
    {kEditClass, u"", kLine, 5, 5, 100, 12, 0x50810080, 0},
    {kEditClass, u"", kMulti, 5, 20, 100, 40, 0x50A11004, 0},
    {kEditClass, u"", kView, 5, 62, 100, 40, 0x50A11804, 0},
    {kButtonClass, u"Check", kCheck, 5, 104, 40, 10, 0x50010003, 0},
    {kButtonClass, u"Push", kButton, 50, 104, 40, 14, 0x50010000, 0},
    {kStaticClass, u"A && B", kLabel, 5, 120, 60, 8, 0x50020000, 0},
    {kComboBoxClass, u"", kCombo, 5, 130, 80, 60, 0x50210003, 0},
    {kEditClass, u"", kNumber, 70, 120, 40, 12, 0x50810080, 0},
};

constexpr AfxDialogTemplate kDialogs[] = {
    {kDialogId, 0x90C800C0, 0, 0, 0, 120, 150, u"Test", u"System", 10, kControls},
    {kPageId, 0x40000040, 0, 0, 0, 120, 150, u"", u"System", 10, kControls},
};

constexpr AfxControlInitData kInit[] = {
    {kDialogId, kCombo, kInitComboAddString, u"one"},
    {kDialogId, kCombo, kInitComboAddString, u"two"},
};

const AfxResourceTable kTable = {kDialogs, kInit, {}};

}  // namespace

void RegisterTestResources() {
    AfxRegisterResources(&kTable);
}

}  // namespace afxtest
