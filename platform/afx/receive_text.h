// Receive texts: what a reader shows of a port, held once and bounded.
//
// The page's receive text (a CString member) is the only copy: data exchange binds it to the
// page's receive box, a text view that reads it in place (text_view_p.h), and the text and
// the box belong to the user-interface thread. A reader formats what it read on its own
// thread and hands the rest of its step over: on the user-interface thread, in order with the
// reader's other window calls, the chunk is appended to the text, the text shown, its last
// character selected and scrolled to. No lock guards the text, and nothing tells the box
// which part is new: the step itself does. An edit box's own append (select the end, replace
// the selection) would make the box hold the text and the member a second copy, which every
// data exchange of the page (the auto send's, each cycle) would read back whole.
//
// The bound keeps the newest kAfxReceiveTextLimit characters (3 Mi). What it costs, at most:
// the text 2 bytes a character, twice over while its buffer has room to grow into (4 bytes),
// and its box 4 more for the start of every visual line (a line can be one character: a
// flood of line breaks, or a box one character wide): 8 bytes a character, 24 MiB a box,
// 72 MiB for the three receive boxes, which leaves room for Qt's own within the 128 MB the
// tool may grow by on a terminal of 256 MB, on any architecture (the sizes do not depend on
// the pointer's). A box of hex at its usual width takes about 8 MiB. 3 Mi characters are the
// last 18 minutes of a device that talks without a pause at COM0's 9600 baud shown as hex
// (55 minutes as characters); a whole hour of hex, 10.4 M characters, could take 80 MiB a box.
#pragma once

#include "platform/afx/controls.h"
#include "platform/win/cstring.h"

// The most characters a receive text holds. Passing it, the text drops its oldest part down
// to seven eighths of it, so that moving the rest down comes once per 384 Ki characters, not
// with every chunk.
constexpr int kAfxReceiveTextLimit = 3 << 20;

// The readers' step: appends chunk to text; when the text passes the limit, its oldest part
// goes, in whole characters (in hex, whole "XX " groups); shows the text in box, selects its
// last character and scrolls to it. From a worker the step is queued for the user-interface
// thread and the call returns at once: text must live as long as box's window (a page's
// member does). Nothing happens once the box has gone.
void AfxAppendAndShow(CString& text, const CString& chunk, CEdit& box);
