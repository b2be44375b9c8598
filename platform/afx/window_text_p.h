// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Window texts as the system keeps them, on top of the widgets that show them: statics keep
// their "&&" (shown as "&"), multi-line edits their CR LF (the widget holds LF). A text view
// shows one growing text (CString::Lineage): a text that extends what it shows is appended,
// not set whole. User-interface thread only, except ShowsText.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/afx/window_table_p.h"

namespace afx_detail {

// WM_SETTEXT with a CString (lParam: const CString*), so text views can append.
constexpr UINT WM_AFX_SETCSTRING = 0x0363;

// The window text as the system keeps it.
QString WindowText(const Window& window);
// Sets the window text (and the accessible name of buttons, statics and tab controls); a
// text view shows it whole.
void SetWindowTextOf(Window& window, const QString& text);
// WM_AFX_SETCSTRING on a text view: only what the view lacks of the text's lineage is added.
void SetViewText(Window& window, const CString& text);

// Text views: appends tail when the view shows the first base characters of the text of
// that lineage; false, changing nothing, when it does not.
bool AppendViewText(Window& window, std::uint64_t lineage, int base, std::u16string_view tail);
// A text that a worker queued (a copy, so the lineage of the original comes with it): a text
// view takes only what it lacks.
void SetQueuedText(Window& window, const CString& text, std::uint64_t lineage);

// Whether the control shows exactly this text (as a text view fed with it does). Any thread.
bool ShowsText(HWND control, const CString& text);

}  // namespace afx_detail
