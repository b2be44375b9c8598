#include "platform/afx/window_text_p.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/afx/qt_text_p.h"
#include "platform/afx/text_view_p.h"

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

}  // namespace

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
            return static_cast<TextView*>(widget)->Text().toString();
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
    if (w.kind != Kind::TextView) {  // a view's own text is the only copy
        w.text = text;
    }
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

bool ExchangeViewText(HWND control, CString& member, bool save) {
    return OnWindow(control, false, [&](Window& w) {
        auto* view = w.kind == Kind::TextView ? static_cast<TextView*>(w.widget.data()) : nullptr;
        if (!view) {
            return false;
        }
        if (save && !view->Shows(member)) {
            member = FromQString(view->Text().toString());
        }
        if (!save || !view->Shows(member)) {
            view->Bind(member);
        }
        return true;
    });
}

}  // namespace afx_detail
