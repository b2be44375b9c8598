#include "platform/afx/edit_proc_p.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

#include "platform/afx/text_view_p.h"
#include "platform/afx/window_text_p.h"

namespace afx_detail {

namespace {

// Positions of the system's text (CR LF = 2) to the widget's (LF = 1), and back.
int ToWidgetPosition(const QString& systemText, int position) {
    int widget = 0;
    for (int i = 0; i < position && i < systemText.size(); ++i) {
        if (!(systemText[i] == u'\r' && i + 1 < systemText.size() && systemText[i + 1] == u'\n')) {
            ++widget;
        }
    }
    return widget;
}

int FromWidgetPosition(const QString& widgetText, int position) {
    return position + static_cast<int>(std::count(
                          widgetText.begin(),
                          widgetText.begin() + std::min<qsizetype>(position, widgetText.size()),
                          QChar(u'\n')));
}

// EM_SETSEL's rules: start -1 removes the selection, end -1 means the end of the text.
bool SelectionRange(int length, WPARAM wParam, LPARAM lParam, int& start, int& end) {
    start = static_cast<int>(static_cast<LONG_PTR>(wParam));
    end = static_cast<int>(lParam);
    if (start == -1) {
        return false;
    }
    if (end == -1 || end > length) {
        end = length;
    }
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    return true;
}

LRESULT PackSelection(int start, int end, WPARAM wParam, LPARAM lParam) {
    if (wParam) {
        *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
    }
    if (lParam) {
        *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
    }
    return static_cast<LRESULT>(MAKELPARAM(static_cast<WORD>(start), static_cast<WORD>(end)));
}

}  // namespace

LRESULT EditProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    int start = 0;
    int end = 0;
    switch (w.kind) {
        case Kind::TextView: {
            auto* view = static_cast<TextView*>(w.widget.data());
            if (message == EM_SETSEL) {
                view->SetSelection(static_cast<int>(static_cast<LONG_PTR>(wParam)),
                                   static_cast<int>(lParam));
            } else if (message == EM_SCROLLCARET) {
                view->ScrollToCaret();
            } else if (message == EM_GETSEL) {
                const auto [from, to] = view->Selection();
                return PackSelection(from, to, wParam, lParam);
            }
            return 0;
        }
        case Kind::LineEdit: {
            auto* edit = static_cast<QLineEdit*>(w.widget.data());
            if (message == EM_SETSEL) {
                if (SelectionRange(static_cast<int>(edit->text().size()), wParam, lParam, start,
                                   end)) {
                    edit->setSelection(start, end - start);
                } else {
                    edit->deselect();
                }
            } else if (message == EM_GETSEL) {
                const int from =
                    edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
                return PackSelection(from, from + static_cast<int>(edit->selectedText().size()),
                                     wParam, lParam);
            }
            return 0;
        }
        case Kind::TextEdit: {
            auto* edit = static_cast<QPlainTextEdit*>(w.widget.data());
            QTextCursor cursor = edit->textCursor();
            if (message == EM_SETSEL) {
                const QString text = WindowText(w);
                if (SelectionRange(static_cast<int>(text.size()), wParam, lParam, start, end)) {
                    cursor.setPosition(ToWidgetPosition(text, start));
                    cursor.setPosition(ToWidgetPosition(text, end), QTextCursor::KeepAnchor);
                } else {
                    cursor.clearSelection();
                }
                edit->setTextCursor(cursor);
            } else if (message == EM_SCROLLCARET) {
                edit->ensureCursorVisible();
            } else if (message == EM_GETSEL) {
                const QString plain = edit->toPlainText();
                return PackSelection(FromWidgetPosition(plain, cursor.selectionStart()),
                                     FromWidgetPosition(plain, cursor.selectionEnd()), wParam,
                                     lParam);
            }
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace afx_detail
