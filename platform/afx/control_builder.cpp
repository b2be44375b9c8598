#include "platform/afx/control_builder_p.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string_view>

#include "platform/afx/dispatch_p.h"
#include "platform/afx/placement_p.h"
#include "platform/afx/qt_text_p.h"
#include "platform/afx/text_view_p.h"
#include "platform/afx/touch_scroll_p.h"
#include "platform/afx/widgets_p.h"
#include "platform/afx/window_text_p.h"

namespace afx_detail {

namespace {

bool Is(const AfxControlTemplate& c, LPCWSTR windowClass) {
    return std::u16string_view(c.windowClass) == std::u16string_view(windowClass);
}

// Tells the control's parent dialog, as a control's notification does.
void Notify(HWND control, WORD code) {
    Window* w = Find(control);
    if (w) {
        Dispatch(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), code),
                 reinterpret_cast<LPARAM>(control));
    }
}

QWidget* MakeButton(QWidget* parent, const AfxControlTemplate& c, Kind& kind) {
    const DWORD type = c.style & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX) {
        kind = Kind::CheckBox;
        return new QCheckBox(parent);
    }
    kind = Kind::PushButton;
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);  // Return is the dialog's business (PreTranslateMessage)
    button->setDefault(type == BS_DEFPUSHBUTTON);
    return button;
}

// An edit control takes characters as they are typed: an input method (an on-screen
// keyboard) must neither predict words nor capitalise on its own.
constexpr Qt::InputMethodHints kEditHints = Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase;

QWidget* MakeEdit(QWidget* parent, const AfxControlTemplate& c, Kind& kind) {
    if (!(c.style & ES_MULTILINE)) {
        kind = Kind::LineEdit;
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(c.style & ES_READONLY);
        edit->setInputMethodHints(kEditHints);
        return edit;
    }
    const auto bars = c.style & WS_VSCROLL ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    if (c.style & ES_READONLY) {
        kind = Kind::TextView;
        auto* view = new TextView(parent);
        view->SetHideSelectionWithoutFocus(!(c.style & ES_NOHIDESEL));
        return view;
    }
    kind = Kind::TextEdit;
    auto* edit = new QPlainTextEdit(parent);
    edit->setVerticalScrollBarPolicy(bars);
    edit->setLineWrapMode(c.style & ES_AUTOHSCROLL ? QPlainTextEdit::NoWrap
                                                   : QPlainTextEdit::WidgetWidth);
    edit->setTabChangesFocus(true);
    edit->setInputMethodHints(kEditHints);
    EnableTouchScrolling(edit, [edit] { return QFontMetricsF(edit->font()).lineSpacing(); });
    return edit;
}

QWidget* MakeStatic(QWidget* parent, const AfxControlTemplate& c) {
    auto* label = new QLabel(parent);
    const DWORD align = c.style & 0x3;
    label->setAlignment(Qt::AlignTop | (align == SS_RIGHT    ? Qt::AlignRight
                                        : align == SS_CENTER ? Qt::AlignHCenter
                                                             : Qt::AlignLeft));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* MakeComboBox(QWidget* parent, const AfxControlTemplate& c) {
    auto* combo = new QComboBox(parent);
    combo->setEditable((c.style & 0x3) == CBS_DROPDOWN);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

void Connect(Window& w) {
    const HWND hwnd = w.hwnd;
    switch (w.kind) {
        case Kind::PushButton:
        case Kind::CheckBox:
            QObject::connect(static_cast<QAbstractButton*>(w.widget.data()),
                             &QAbstractButton::clicked, [hwnd] { Notify(hwnd, BN_CLICKED); });
            break;
        case Kind::ComboBox:
            QObject::connect(static_cast<QComboBox*>(w.widget.data()), &QComboBox::activated,
                             [hwnd] { Notify(hwnd, CBN_SELCHANGE); });
            break;
        case Kind::TabControl: {
            auto* tab = static_cast<TabControl*>(w.widget.data());
            QObject::connect(tab->Row(), &QTabBar::currentChanged, [hwnd, tab] {
                Window* self = Find(hwnd);
                if (self && !tab->quiet) {
                    NMHDR header{hwnd, static_cast<UINT_PTR>(self->id), TCN_SELCHANGE};
                    Dispatch(self->parent, WM_NOTIFY, static_cast<WPARAM>(self->id),
                             reinterpret_cast<LPARAM>(&header));
                }
            });
            break;
        }
        default:
            break;
    }
}

}  // namespace

Window& CreateControl(Window& dialog, const AfxControlTemplate& c) {
    QWidget* parent = dialog.widget;
    Kind kind = Kind::Static;
    QWidget* widget = nullptr;
    if (Is(c, kButtonClass)) {
        widget = MakeButton(parent, c, kind);
    } else if (Is(c, kEditClass)) {
        widget = MakeEdit(parent, c, kind);
    } else if (Is(c, kComboBoxClass)) {
        kind = Kind::ComboBox;
        widget = MakeComboBox(parent, c);
    } else if (Is(c, kTabControlClass)) {
        kind = Kind::TabControl;
        widget = new TabControl(parent);
    } else {
        widget = MakeStatic(parent, c);
    }
    widget->setFocusPolicy(kind == Kind::Static   ? Qt::NoFocus
                           : c.style & WS_TABSTOP ? Qt::StrongFocus
                                                  : Qt::ClickFocus);
    widget->setEnabled(!(c.style & WS_DISABLED));
    widget->setVisible(c.style & WS_VISIBLE);

    Window& w = Register(widget, kind, c.id, c.style, c.exStyle, dialog.hwnd);
    w.placement = {Placement::Anchor::Units, QRectF(c.x, c.y, c.cx, c.cy), {}};
    Place(w);
    SetWindowTextOf(w, ToQString(c.caption));
    Connect(w);
    return w;
}

}  // namespace afx_detail
