// A small dialog template for the framework's tests, with one control of every kind.
#pragma once

#include "platform/afx/afx.h"

namespace afxtest {

enum : int {
    kDialogId = 500,
    kPageId = 501,
    kLine = 600,   // single-line edit
    kMulti = 601,  // editable multi-line edit, wants Return
    kView = 602,   // read-only multi-line edit
    kCheck = 603,
    kButton = 604,
    kLabel = 605,
    kCombo = 606,
    kNumber = 607,  // single-line edit for an int
};

// Registers the test templates as the program's resources.
void RegisterTestResources();

}  // namespace afxtest
