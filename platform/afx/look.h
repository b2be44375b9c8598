// The look of the dialogs: the font a template's font stands for, and the style of the tab
// rows. Both belong to the program, not to the framework: a program sets them before its
// first dialog is built (the tool does it from res/, before main), on one thread. Without
// them a dialog takes its template's font as it is, and tab rows look as the style draws them.
#pragma once

#include "platform/win/types.h"

// Dialogs are built with the font family (nullptr: the template's font name) at pixelsPerPoint
// pixels per point of the template's size (0: the size in points, as the screen takes them).
// Sizes under 8 points count as 8 either way. Dialog units follow the font.
void AfxSetDialogFont(LPCWSTR family, int pixelsPerPoint);

// A Qt style sheet for the tab rows of the tab controls made from now on; nullptr or empty:
// none. The text is copied.
void AfxSetTabStyleSheet(LPCWSTR styleSheet);
