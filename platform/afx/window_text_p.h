// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Window texts as the system keeps them, on top of the widgets that show them: statics keep
// their "&&" (shown as "&"), multi-line edits their CR LF (the widget holds LF). A text view
// shows the member that data exchange binds to it, without a copy. User-interface thread
// only, except ExchangeViewText.
#pragma once

#include "platform/afx/window_table_p.h"

namespace afx_detail {

// The window text as the system keeps it.
QString WindowText(const Window& window);
// Sets the window text (and the accessible name of buttons, statics and tab controls); a
// text view takes it as a text of its own.
void SetWindowTextOf(Window& window, const QString& text);

// Data exchange of a text view with a member: the view shows the member itself from then on,
// so reading it into the member has nothing to do, and showing the member lays it out anew.
// A view that showed a text of its own gives it to the member when read. False, doing
// nothing, for any other window.
bool ExchangeViewText(HWND control, CString& member, bool save);

}  // namespace afx_detail
