#include "platform/afx/receive_text.h"

#include <QChar>

#include "platform/afx/dispatch_p.h"
#include "platform/afx/qt_text_p.h"
#include "platform/afx/text_view_p.h"
#include "platform/afx/ui_thread_p.h"
#include "platform/afx/window_text_p.h"

namespace {

using afx_detail::Kind;
using afx_detail::TextView;

constexpr int kKeptWhenTrimmed = kAfxReceiveTextLimit - kAfxReceiveTextLimit / 8;

// How many of text's first characters go: none within the limit. In hex every third position
// follows a group's blank, so cutting at the first such position keeps the first group whole;
// where none comes within three, the cut is in text shown as characters, which stand alone
// but for the halves of a surrogate pair.
int OldestPart(const CString& whole) {
    const std::u16string& text = whole.str();
    const int length = static_cast<int>(text.size());
    if (length <= kAfxReceiveTextLimit) {
        return 0;
    }
    const auto at = [&](int pos) { return text[static_cast<size_t>(pos)]; };
    const int wanted = length - kKeptWhenTrimmed;
    for (int cut = wanted; cut < wanted + 3; ++cut) {
        if (at(cut - 1) == u' ') {
            return cut;
        }
    }
    const bool inPair = QChar::isHighSurrogate(at(wanted - 1)) && QChar::isLowSurrogate(at(wanted));
    return inPair ? wanted + 1 : wanted;
}

void AppendAndShow(HWND hwnd, CString& text, const CString& chunk) {
    afx_detail::Window* w = afx_detail::Find(hwnd);
    if (!w || !w->widget) {
        return;
    }
    auto* view = w->kind == Kind::TextView ? static_cast<TextView*>(w->widget.data()) : nullptr;
    // A view that shows the text as it is takes what changes; any other shows it whole.
    const bool follows = view && view->Shows(text) && view->Length() == text.GetLength();
    text += chunk;
    const int cut = OldestPart(text);
    if (follows) {
        view->DropFront(cut);
    }
    text.Delete(0, cut);
    if (follows) {
        view->Grown();
    } else if (view) {
        view->Bind(text);
    } else {
        afx_detail::SetWindowTextOf(*w, afx_detail::ToQString(text));
    }
    const int n = text.GetLength();
    afx_detail::Dispatch(hwnd, EM_SETSEL, static_cast<WPARAM>(n - 1), n);
    afx_detail::Dispatch(hwnd, EM_SCROLLCARET, 0, 0);
}

}  // namespace

void AfxAppendAndShow(CString& text, const CString& chunk, CEdit& box) {
    const HWND hwnd = box.m_hWnd;
    afx_detail::QueueOnUi([hwnd, &text, chunk] { AppendAndShow(hwnd, text, chunk); });
}
