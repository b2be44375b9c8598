#include "platform/afx/widgets_p.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QWindow>

#include "platform/afx/dialog_fit_p.h"
#include "platform/afx/dispatch_p.h"
#include "platform/afx/look_p.h"

namespace afx_detail {

void DialogWidget::closeEvent(QCloseEvent* event) {
    event->ignore();  // the dialog ends itself, through its OK handling
    if (Window* w = FindEnclosing(this); w && isWindow()) {
        Dispatch(w->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

void DialogWidget::resizeEvent(QResizeEvent* /*event*/) {
    if (Window* w = FindEnclosing(this); w && isWindow()) {
        FitToSize(*w);
    }
}

void DialogWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isWindow()) {
        CheckCaption();
    }
}

void DialogWidget::showEvent(QShowEvent* /*event*/) {
    // The window system says when the window is up, and so whether it got a frame.
    if (QWindow* handle = windowHandle(); handle && isWindow()) {
        handle->removeEventFilter(this);
        handle->installEventFilter(this);
        CheckCaption();
    }
}

bool DialogWidget::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::Expose || event->type() == QEvent::Move) {
        CheckCaption();
    }
    return false;
}

void DialogWidget::CheckCaption() {
    if (Window* w = FindEnclosing(this); w && isWindow()) {
        CheckOwnCaption(*w);
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
    Dispatch(w->hwnd, WM_LBUTTONDOWN, MK_LBUTTON,
             MAKELPARAM(static_cast<WORD>(at.x()), static_cast<WORD>(at.y())));
}

TabControl::TabControl(QWidget* parent) : QWidget(parent), m_row(new TabRow(this)) {
    m_row->setExpanding(false);
    m_row->setUsesScrollButtons(true);
    m_row->setDrawBase(false);
    m_row->setFocusPolicy(Qt::TabFocus);
    if (const QString sheet = TabStyleSheet(); !sheet.isEmpty()) {
        m_row->setStyleSheet(sheet);
    }
}

void TabControl::LayoutRow() {
    // A row with a style sheet keeps the font it was polished with: it follows the control's.
    m_row->setFont(font());
    m_row->setGeometry(0, 0, width(), m_row->sizeHint().height());
}

void TabControl::resizeEvent(QResizeEvent* /*event*/) {
    LayoutRow();
}

void TabControl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, m_row->height() - 1, width(), height() - m_row->height() + 1);
    frame.shape = QTabBar::RoundedNorth;
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

}  // namespace afx_detail
