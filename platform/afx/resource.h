// The program's resources: dialog templates, their initialisation data and icons, as data.
//
// The program registers one table at start-up (res/ does it when it is linked in); the
// framework builds dialogs from its templates and loads icons from it. Positions and sizes
// are in dialog units; the framework turns them into pixels with the dialog font's metrics.
#pragma once

#include <cstddef>
#include <span>

#include "platform/afx/gui_types.h"

// Window classes of template controls.
inline constexpr LPCWSTR kButtonClass = u"BUTTON";
inline constexpr LPCWSTR kEditClass = u"EDIT";
inline constexpr LPCWSTR kStaticClass = u"STATIC";
inline constexpr LPCWSTR kComboBoxClass = u"COMBOBOX";
inline constexpr LPCWSTR kTabControlClass = u"SysTabControl32";

struct AfxControlTemplate {
    LPCWSTR windowClass;
    LPCWSTR caption;  // may hold "&&" for a shown "&"
    int id;           // IDC_STATIC (-1) for controls nobody addresses
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

struct AfxDialogTemplate {
    UINT id;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    LPCWSTR caption;
    LPCWSTR fontName;
    WORD pointSize;
    std::span<const AfxControlTemplate> controls;
};

// A message sent to a control while its dialog is built, before OnInitDialog (the list
// items of a combo box). 0x0403 stands for CB_ADDSTRING, as in compiled resources.
constexpr UINT kInitComboAddString = 0x0403;
struct AfxControlInitData {
    UINT dialogId;
    int controlId;
    UINT message;
    LPCWSTR text;
};

// One picture of an icon, as a PNG file's bytes.
struct AfxIconImage {
    int size;  // pixels, square
    std::span<const unsigned char> png;
};
struct AfxIconResource {
    UINT id;
    std::span<const AfxIconImage> images;
};

struct AfxResourceTable {
    std::span<const AfxDialogTemplate> dialogs;
    std::span<const AfxControlInitData> initData;
    std::span<const AfxIconResource> icons;
};

// Makes the table the program's resources (a later call replaces an earlier one).
void AfxRegisterResources(const AfxResourceTable* table);

const AfxDialogTemplate* AfxFindDialogTemplate(UINT id);
const AfxIconResource* AfxFindIcon(UINT id);
std::span<const AfxControlInitData> AfxInitData();
