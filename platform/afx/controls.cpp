#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>

#include "platform/afx/controls_qt.h"
#include "platform/afx/text_view.h"

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

QWidget* MakeEdit(QWidget* parent, const AfxControlTemplate& c, Kind& kind) {
    if (!(c.style & ES_MULTILINE)) {
        kind = Kind::LineEdit;
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(c.style & ES_READONLY);
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

void DialogWidget::closeEvent(QCloseEvent* event) {
    event->ignore();  // the dialog ends itself, through its OK handling
    if (Window* w = FindEnclosing(this); w && isWindow()) {
        Dispatch(w->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

void TabRow::mousePressEvent(QMouseEvent* event) {
    Window* w = FindEnclosing(this);
    if (event->button() != Qt::LeftButton || !w) {
        QTabBar::mousePressEvent(event);
        return;
    }
    const QPoint at = mapToParent(event->position().toPoint());
    QtEventScope scope(event);
    Dispatch(w->hwnd, WM_LBUTTONDOWN, 0x0001 /* MK_LBUTTON */,
             MAKELPARAM(static_cast<WORD>(at.x()), static_cast<WORD>(at.y())));
}

TabControl::TabControl(QWidget* parent) : QWidget(parent), m_row(new TabRow(this)) {
    m_row->setExpanding(false);
    m_row->setUsesScrollButtons(true);
    m_row->setDrawBase(false);
    m_row->setFocusPolicy(Qt::TabFocus);
    // Tabs as narrow as the system's, so that the five pages' titles fit the dialog's width.
    m_row->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 3px 3px; border: 1px solid palette(mid);"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
        " background: palette(window); }"
        "QTabBar::tab:!selected { background: palette(button); margin-top: 3px; }"));
}

void TabControl::resizeEvent(QResizeEvent* /*event*/) {
    m_row->setGeometry(0, 0, width(), m_row->sizeHint().height());
}

void TabControl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, m_row->height() - 1, width(), height() - m_row->height() + 1);
    frame.shape = QTabBar::RoundedNorth;
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

Window& CreateControl(Window& dialog, const AfxControlTemplate& c, const QRect& pixels) {
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
    // A closed combo box is as high as its field; the template's height includes the list.
    const int height = kind == Kind::ComboBox ? widget->sizeHint().height() : pixels.height();
    widget->setGeometry(pixels.x(), pixels.y(), pixels.width(), height);
    widget->setFocusPolicy(kind == Kind::Static   ? Qt::NoFocus
                           : c.style & WS_TABSTOP ? Qt::StrongFocus
                                                  : Qt::ClickFocus);
    widget->setEnabled(!(c.style & WS_DISABLED));
    widget->setVisible(c.style & WS_VISIBLE);

    Window& w = Register(widget, kind, c.id, c.style, c.exStyle, dialog.hwnd);
    SetWindowTextOf(w, ToQString(c.caption));
    Connect(w);
    return w;
}

}  // namespace afx_detail
