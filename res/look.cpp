// The tool's look: the dialog font and the style of the tab row. Applied before main(), so
// every program and test that links the resources builds its dialogs with them.
#include "platform/afx/look.h"

namespace {

// The terminal's screen is small and dense; on a desktop the dialogs keep their proportions
// at twice the template's size in pixels, so that every page fits below the tab row with its
// bottom row of buttons whole.
constexpr LPCWSTR kDialogFontFamily = u"DejaVu Sans";
constexpr int kPixelsPerPoint = 2;

// Tabs as narrow as the system's, so that the five pages' titles fit the dialog's width.
constexpr LPCWSTR kTabStyleSheet =
    u"QTabBar::tab { padding: 1px 3px; border: 1px solid palette(mid);"
    u" border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
    u" background: palette(window); }"
    u"QTabBar::tab:!selected { background: palette(button); margin-top: 2px; }";

const bool kLookApplied = [] {
    AfxSetDialogFont(kDialogFontFamily, kPixelsPerPoint);
    AfxSetTabStyleSheet(kTabStyleSheet);
    return true;
}();

}  // namespace
