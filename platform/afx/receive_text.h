// Receive texts: how a read-only box shows a text that a worker keeps appending to, at the
// speed of a flooded serial line, for as long as the box lives, without ever copying the
// whole text on the way and without keeping the user waiting.
//
// The principles
//  1. A text knows its story. Every CString carries a lineage (cstring.h): it stays while the
//     text only grows at its end and is renewed by every other change (assignment, clearing,
//     formatting, editing a character, the buffer handed out, a copy). Two texts of one
//     lineage are one text at two moments, the longer extending the shorter. CString itself
//     does no locking: the owner's lock guards a shared text.
//  2. A box remembers the lineage and length of what it shows. Handed a text of the same
//     lineage that is longer, it takes only the new tail; any other text replaces what it
//     shows. This holds for a text set from the user-interface thread and for one set from a
//     worker, whose window texts are queued without waiting and carry only the tail.
//  3. Data exchange does not read back a box that shows exactly its member's text: the member
//     is already what the box holds, and reading it would copy it and renew its lineage.
//  4. A shared text grows before it is appended to, in slices, with the lock held for one
//     slice at a time (AfxGrowSharedText): appending to a long text reallocates and copies it
//     whole, which at hundreds of millions of characters takes seconds, and a click whose data
//     exchange waits for the lock would wait as long.
//  5. The step of a reader is one call (AfxAppendAndShow): append the chunk to the target's
//     text, show the text, select its last character, scroll to it; the caller holds the lock
//     that guards the text, so the box and the text never disagree.
//
// What relies on it
//  - CString's lineage and AdoptRoom (platform/win/cstring.h, .cpp; format.cpp renews it).
//  - The queued window texts of workers (queued_text_p.h, QueueWindowText): the tail only, in
//    order with the worker's other window calls.
//  - The text view's append (window_text_p.h: ShowInView, AppendViewText; text_view_p.h:
//    TextView::AppendText) and its wrap index (text_wrap_p.h), which grows with the text
//    instead of being rebuilt.
//  - DDX_Text's check that a box shows its member's text (data_exchange.cpp, ShowsText).
//  - The COM0 reader (app/test_dlg.cpp, RecvLoop) and the COM2 reader (pages/barcode_page.cpp,
//    ShowReceived), and every data exchange of the Printer and Card pages, which take the
//    receive lock only around the shared members.
#pragma once

#include <functional>

#include "platform/afx/controls.h"
#include "platform/afx/sync.h"
#include "platform/win/cstring.h"

// Makes room for `room` more characters in the text that target() names, so that the next
// append does not copy it. target() is called with `lock` held and returns the shared text
// now (nullptr when there is none); the text is copied into a larger buffer `slice`
// characters per hold of the lock, then takes that buffer in place of its own. Nothing is done
// when the room is there or the text fits one slice; when the text is replaced, re-routed or
// changed other than by appending meanwhile, the growth is given up and left to the append.
void AfxGrowSharedText(CCriticalSection& lock, const std::function<CString*()>& target, int room,
                       int slice = 1 << 22);

// Appends chunk to text, shows text in box, selects its last character and scrolls to it.
// The caller holds the lock that guards text.
void AfxAppendAndShow(CString& text, const CString& chunk, CEdit& box);
