// The dialog templates and the track list's initialisation data, as the resource compiler
// would have laid them out. Sizes and positions in dialog units; styles as numbers.
#include "platform/afx/resource.h"
#include "res/resource.h"
#include "res/resources.h"

namespace {

constexpr LPCWSTR kFont = u"System";
constexpr WORD kFontSize = 10;
constexpr DWORD kPageStyle = 0x40000040;  // child, no caption, no border; shown by the tab control

constexpr AfxControlTemplate kMainControls[] = {
    {kTabControlClass, u"Tab1", IDC_TAB, 0, 0, 137, 155, 0x50000000, 0},
};

constexpr AfxControlTemplate kPrinterControls[] = {
    {kEditClass, u"", 1001, 7, 4, 121, 42, 0x50A11804, 0},
    {kEditClass, u"", 1003, 7, 77, 121, 48, 0x50A11004, 0},
    {kButtonClass, u"Hex", 1004, 7, 130, 28, 10, 0x50010003, 0},
    {kButtonClass, u"Send", 1005, 36, 128, 44, 14, 0x50010000, 0},
    {kButtonClass, u"SendFile", 1006, 80, 128, 44, 14, 0x50010000, 0},
    {kButtonClass, u"Clear Recv", 1007, 36, 47, 44, 14, 0x50010000, 0},
    {kButtonClass, u"Clear Send", 1008, 80, 47, 44, 14, 0x50010000, 0},
    {kButtonClass, u"Hex", 1009, 7, 49, 28, 10, 0x50010003, 0},
    {kButtonClass, u"Auto Send", 1010, 80, 62, 44, 14, 0x50010000, 0},
    {kStaticClass, u"Time:", -1, 11, 65, 20, 8, 0x50020002, 0},
    {kEditClass, u"", 1016, 36, 61, 44, 14, 0x50810080, 0},
};

constexpr AfxControlTemplate kCardControls[] = {
    {kEditClass, u"", 1001, 7, 49, 121, 94, 0x50A11804, 0},
    {kStaticClass, u"Swipe && Select:", -1, 1, 5, 53, 8, 0x50020002, 0},
    {kComboBoxClass, u"", 1008, 56, 3, 72, 126, 0x50210003, 0},
    {kButtonClass, u"Hex", 1012, 7, 19, 44, 10, 0x50010003, 0},
    {kButtonClass, u"Auto Recv Switch", 1018, 7, 31, 121, 14, 0x50010000, 0},
};

constexpr AfxControlTemplate kBarcodeControls[] = {
    {kEditClass, u"", 1001, 7, 7, 121, 114, 0x50A11904, 0},
    {kButtonClass, u"Scan", 1010, 12, 125, 35, 14, 0x50010000, 0},
    {kButtonClass, u"Clear", 1011, 86, 125, 35, 14, 0x50010000, 0},
    {kButtonClass, u"Cancel", 1012, 49, 125, 35, 14, 0x50010000, 0},
};

constexpr AfxControlTemplate kKeyboardControls[] = {
    {kEditClass, u"", 1013, 7, 7, 121, 117, 0x50A11004, 0},
    {kButtonClass, u"Clear", 1011, 78, 128, 50, 14, 0x50010000, 0},
    {kStaticClass, u"", 1015, 7, 129, 68, 10, 0x50020000, 0},
};

constexpr AfxControlTemplate kOtherControls[] = {
    {kButtonClass, u"Camera", 1017, 41, 20, 50, 14, 0x50010000, 0},
    {kButtonClass, u"Power Gauge", 1019, 41, 41, 50, 14, 0x50010000, 0},
    {kButtonClass, u"Back Light", 1020, 41, 62, 50, 14, 0x50010000, 0},
    {kButtonClass, u"Link Config", 1021, 41, 83, 50, 14, 0x50010000, 0},
    {kButtonClass, u"Radio Probe", 1022, 41, 104, 50, 14, 0x50010000, 0},
};

constexpr AfxDialogTemplate kDialogs[] = {
    // pop-up, visible, caption, system menu, modal frame; an application window with the OK
    // button in its caption
    {IDD_RV4417TEST_DIALOG, 0x90C800C0, 0x80040000, 0, 0, 138, 155, u"RV4417Test", kFont, kFontSize,
     kMainControls},
    {IDD_PRINTER, kPageStyle, 0, 0, 0, 135, 150, u"", kFont, kFontSize, kPrinterControls},
    {IDD_OTHER, kPageStyle, 0, 0, 0, 135, 150, u"", kFont, kFontSize, kOtherControls},
    {IDD_BARCODE, kPageStyle, 0, 0, 0, 135, 150, u"", kFont, kFontSize, kBarcodeControls},
    {IDD_CARD, kPageStyle, 0, 0, 0, 135, 150, u"", kFont, kFontSize, kCardControls},
    {IDD_KEYBOARD, kPageStyle, 0, 0, 0, 135, 150, u"", kFont, kFontSize, kKeyboardControls},
};

constexpr AfxControlInitData kInitData[] = {
    {IDD_CARD, IDC_TRACK, kInitComboAddString, u"Track1"},
    {IDD_CARD, IDC_TRACK, kInitComboAddString, u"Track2"},
    {IDD_CARD, IDC_TRACK, kInitComboAddString, u"Track1,2"},
    {IDD_CARD, IDC_TRACK, kInitComboAddString, u"Track3"},
    {IDD_CARD, IDC_TRACK, kInitComboAddString, u"Track2,3"},
};

const AfxIconResource kIcons[] = {
    {IDR_MAINFRAME, rv_res::MainIconImages()},
};

const AfxResourceTable kTable = {kDialogs, kInitData, kIcons};

// Linked in as objects, so this runs whenever the program or a test contains the resources.
const bool kRegistered = (AfxRegisterResources(&kTable), true);

}  // namespace
