// The default window procedures: what each kind of window does with the messages sent to it.
#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <algorithm>

#include "platform/afx/controls_qt.h"
#include "platform/afx/queued_text.h"
#include "platform/afx/resources_qt.h"
#include "platform/afx/text_view.h"
#include "platform/afx/ui_thread.h"

namespace afx_detail {

namespace {

// A multi-line edit keeps CR LF line ends in its text; the widget keeps bare LF.
QString ToWidgetLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n'));
    return text;
}

QString FromWidgetLines(QString text) {
    text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    return text;
}

// "&&" shows as "&"; a single "&" marks a mnemonic and does not show.
QString WithoutPrefixes(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

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
            } else if (message == EM_SETREADONLY) {
                edit->setReadOnly(wParam != 0);
                return TRUE;
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
            } else if (message == EM_SETREADONLY) {
                edit->setReadOnly(wParam != 0);
                return TRUE;
            }
            return 0;
        }
        default:
            return 0;
    }
}

LRESULT ButtonProc(Window& w, UINT message, WPARAM wParam) {
    auto* button = static_cast<QAbstractButton*>(w.widget.data());
    switch (message) {
        case BM_GETCHECK:
            return button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            if (button->isCheckable()) {
                button->setChecked(wParam == BST_CHECKED);
            }
            return 0;
        case BM_CLICK:
            button->click();
            return 0;
        default:
            return 0;
    }
}

class ItemHeight : public QStyledItemDelegate {
public:
    ItemHeight(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_height);
        return size;
    }

private:
    int m_height;
};

LRESULT ComboProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* combo = static_cast<QComboBox*>(w.widget.data());
    switch (message) {
        case CB_ADDSTRING: {
            const QSignalBlocker quiet(combo);
            const int current = combo->currentIndex();
            combo->addItem(ToQString(reinterpret_cast<LPCWSTR>(lParam)));
            combo->setCurrentIndex(current);  // adding selects nothing
            return combo->count() - 1;
        }
        case CB_GETCOUNT:
            return combo->count();
        case CB_GETCURSEL:
            return combo->currentIndex();
        case CB_SETCURSEL: {
            const QSignalBlocker quiet(combo);
            const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
            combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
            return index >= 0 && index < combo->count() ? index : CB_ERR;
        }
        case CB_GETLBTEXTLEN: {
            const int index = static_cast<int>(wParam);
            return index >= 0 && index < combo->count() ? combo->itemText(index).size() : CB_ERR;
        }
        case CB_GETLBTEXT: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= combo->count() || !lParam) {
                return CB_ERR;
            }
            const QString item = combo->itemText(index);
            auto* out = reinterpret_cast<char16_t*>(lParam);
            std::copy_n(reinterpret_cast<const char16_t*>(item.utf16()), item.size(), out);
            out[item.size()] = 0;
            return item.size();
        }
        case CB_SETITEMHEIGHT: {
            const int height = static_cast<int>(lParam);
            if (height <= 0 || height > 255) {
                return CB_ERR;
            }
            if (static_cast<int>(static_cast<LONG_PTR>(wParam)) == -1) {
                combo->setFixedHeight(height + 6);  // the field plus the box's frame
            } else {
                combo->setItemDelegate(new ItemHeight(height, combo));
            }
            return 0;
        }
        default:
            return 0;
    }
}

LRESULT TabProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tab = static_cast<TabControl*>(w.widget.data());
    TabRow* row = tab->Row();
    switch (message) {
        case TCM_GETITEMCOUNT:
            return row->count();
        case TCM_INSERTITEMW: {
            const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
            tab->quiet = true;
            const int index = row->insertTab(
                static_cast<int>(wParam),
                item && (item->mask & TCIF_TEXT) ? ToQString(item->pszText) : QString());
            tab->quiet = false;
            return index;
        }
        case TCM_GETCURSEL:
        case TCM_GETCURFOCUS:
            return row->currentIndex();
        case TCM_SETCURSEL: {
            const int previous = row->currentIndex();
            tab->quiet = true;
            row->setCurrentIndex(static_cast<int>(wParam));
            tab->quiet = false;
            return previous;
        }
        case TCM_GETITEMRECT: {
            const int index = static_cast<int>(wParam);
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (index < 0 || index >= row->count() || !rect) {
                return FALSE;
            }
            const QRect r = row->tabRect(index).translated(row->pos());
            *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
            return TRUE;
        }
        case WM_LBUTTONDOWN:
            if (auto* press = dynamic_cast<QMouseEvent*>(QtEventScope::Current())) {
                row->DefaultPress(press);
            }
            return 0;
        default:
            return 0;
    }
}

// A text view shows one growing text: when the text offered extends what it shows, only
// the new tail is handed over.
void ShowInView(Window& w, const CString& text, std::uint64_t lineage) {
    auto* view = static_cast<TextView*>(w.widget.data());
    const int shown = view->Length();
    if (w.textLineage == lineage && text.GetLength() >= shown) {
        view->AppendText(QStringView(text.str().data() + shown, text.GetLength() - shown));
    } else {
        view->SetText(ToQString(text));
    }
    w.textLineage = lineage;
}

void SetViewText(Window& w, const CString& text) {
    ForgetQueuedText(w.hwnd);
    ShowInView(w, text, text.Lineage());
}

}  // namespace

bool AppendViewText(Window& w, std::uint64_t lineage, int base, std::u16string_view tail) {
    auto* view = w.kind == Kind::TextView ? static_cast<TextView*>(w.widget.data()) : nullptr;
    if (!view || w.textLineage != lineage || view->Length() != base) {
        return false;
    }
    view->AppendText(QStringView(tail.data(), static_cast<qsizetype>(tail.size())));
    return true;
}

void SetQueuedText(Window& w, const CString& text, std::uint64_t lineage) {
    if (w.kind == Kind::TextView && w.widget) {
        ShowInView(w, text, lineage);
    } else {
        Dispatch(w.hwnd, WM_AFX_SETCSTRING, 0, reinterpret_cast<LPARAM>(&text));
    }
}

QString WindowText(const Window& w) {
    QWidget* widget = w.widget;
    if (!widget) {
        return {};
    }
    switch (w.kind) {
        case Kind::Dialog:
            return widget->windowTitle();
        case Kind::PushButton:
        case Kind::CheckBox:
            return static_cast<QAbstractButton*>(widget)->text();
        case Kind::LineEdit:
            return static_cast<QLineEdit*>(widget)->text();
        case Kind::TextEdit:
            return FromWidgetLines(static_cast<QPlainTextEdit*>(widget)->toPlainText());
        case Kind::TextView:
            return static_cast<TextView*>(widget)->Text();
        case Kind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(widget);
            return combo->isEditable()
                       ? combo->currentText()
                       : (combo->currentIndex() >= 0 ? combo->currentText() : QString());
        }
        default:
            return w.text;
    }
}

void SetWindowTextOf(Window& w, const QString& text) {
    QWidget* widget = w.widget;
    ForgetQueuedText(w.hwnd);
    w.text = text;
    w.textLineage = 0;
    if (!widget) {
        return;
    }
    switch (w.kind) {
        case Kind::Dialog:
            widget->setWindowTitle(text);
            break;
        case Kind::PushButton:
        case Kind::CheckBox:
            static_cast<QAbstractButton*>(widget)->setText(text);
            widget->setAccessibleName(WithoutPrefixes(text));
            break;
        case Kind::LineEdit:
            static_cast<QLineEdit*>(widget)->setText(text);
            break;
        case Kind::TextEdit:
            static_cast<QPlainTextEdit*>(widget)->setPlainText(ToWidgetLines(text));
            break;
        case Kind::TextView:
            static_cast<TextView*>(widget)->SetText(text);
            break;
        case Kind::Static: {
            const QString shown = (w.style & SS_NOPREFIX) ? text : WithoutPrefixes(text);
            static_cast<QLabel*>(widget)->setText(shown);
            widget->setAccessibleName(shown);
            break;
        }
        case Kind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(widget);
            if (combo->isEditable()) {
                combo->setEditText(text);
            } else {
                combo->setPlaceholderText(text);  // shown while nothing is selected
            }
            break;
        }
        case Kind::TabControl:
            widget->setAccessibleName(text);
            break;
    }
}

LRESULT DefaultProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            SetWindowTextOf(w, ToQString(reinterpret_cast<LPCWSTR>(lParam)));
            return TRUE;
        case WM_AFX_SETCSTRING: {
            const auto& text = *reinterpret_cast<const CString*>(lParam);
            if (w.kind == Kind::TextView) {
                SetViewText(w, text);
            } else {
                SetWindowTextOf(w, ToQString(text));
            }
            return TRUE;
        }
        case WM_GETTEXT: {
            const QString text = WindowText(w);
            const int size = static_cast<int>(wParam);
            auto* out = reinterpret_cast<char16_t*>(lParam);
            if (!out || size <= 0) {
                return 0;
            }
            const int n = std::min(static_cast<int>(text.size()), size - 1);
            std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, out);
            out[n] = 0;
            return n;
        }
        case WM_GETTEXTLENGTH:
            return WindowText(w).size();
        case WM_SETICON:
            return reinterpret_cast<LRESULT>(
                SetWindowIcon(w, wParam, reinterpret_cast<HICON>(lParam)));
        case WM_INITDIALOG:
            return TRUE;
        default:
            break;
    }
    switch (w.kind) {
        case Kind::TextView:
        case Kind::LineEdit:
        case Kind::TextEdit:
            return EditProc(w, message, wParam, lParam);
        case Kind::PushButton:
        case Kind::CheckBox:
            return ButtonProc(w, message, wParam);
        case Kind::ComboBox:
            return ComboProc(w, message, wParam, lParam);
        case Kind::TabControl:
            return TabProc(w, message, wParam, lParam);
        default:
            return 0;
    }
}

}  // namespace afx_detail

namespace afx_detail {

bool IsEditWindow(HWND hwnd) {
    return OnUi([&] {
        const Window* w = Find(hwnd);
        return w && (w->kind == Kind::LineEdit || w->kind == Kind::TextEdit ||
                     w->kind == Kind::TextView);
    });
}

bool IsPushButton(HWND hwnd) {
    return OnUi([&] {
        const Window* w = Find(hwnd);
        return w && w->kind == Kind::PushButton;
    });
}

bool ShowsText(HWND control, const CString& text) {
    return OnUi([&] {
        const Window* w = Find(control);
        return w && w->kind == Kind::TextView && w->textLineage == text.Lineage() &&
               static_cast<TextView*>(w->widget.data())->Length() == text.GetLength();
    });
}

}  // namespace afx_detail
