// The main dialog laid out whole, as a technician must see it on any screen: for the tests
// that fit it to screens, offscreen and on real display servers (inside the tool).
#pragma once

#include <QRect>
#include <string>
#include <vector>

#include "app/test_dlg.h"

class QAbstractButton;
class QWidget;

namespace rvtest {

// The OK button of the caption row the dialog draws itself where no window manager draws
// one; nullptr where it draws none.
QAbstractButton* OwnOk(QWidget* window);

// Where every page lies: the tab control's client area below its tab row.
QRect PageArea(const CTestDlg& dialog);

// What is not whole, a line each: the tab control spans the window below the dialog's own
// caption row (where it draws one), every page fills the page area, every control lies
// inside its page, and every tab, button and check box is wide enough for its text.
std::vector<std::string> LayoutFaults(const CTestDlg& dialog);

}  // namespace rvtest
