#include "tools/drive/controls.h"

#include <QComboBox>
#include <QEvent>
#include <QTabBar>
#include <QTest>
#include <QWidget>

#include "platform/afx/testing.h"

namespace drive {

QWidget* WidgetOf(HWND hwnd) {
    return AfxWidgetForTesting(hwnd);
}

QWidget* ControlOf(const CWnd& dialog, int id) {
    return WidgetOf(::GetDlgItem(dialog.m_hWnd, id));
}

QTabBar* TabBarOf(const CWnd& tabControl) {
    QWidget* widget = WidgetOf(tabControl.m_hWnd);
    return widget ? widget->findChild<QTabBar*>() : nullptr;
}

bool ClickTab(const CWnd& tabControl, int index) {
    QTabBar* tabs = TabBarOf(tabControl);
    if (!tabs || index < 0 || index >= tabs->count()) {
        return false;
    }
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    return true;
}

bool Click(const CWnd& dialog, int id) {
    QWidget* control = ControlOf(dialog, id);
    if (!control) {
        return false;
    }
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, control->height() / 2));
    return true;
}

bool Choose(const CWnd& dialog, int id, int index) {
    auto* list = qobject_cast<QComboBox*>(ControlOf(dialog, id));
    if (!list || index < 0 || index >= list->count()) {
        return false;
    }
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
}

bool SetText(const CWnd& dialog, int id, LPCWSTR text) {
    return ::SetWindowTextW(::GetDlgItem(dialog.m_hWnd, id), text) != FALSE;
}

CString Text(const CWnd& dialog, int id) {
    CString text;
    if (CWnd* control = dialog.GetDlgItem(id)) {
        control->GetWindowText(text);
    }
    return text;
}

bool Screenshot(QWidget* widget, const QString& path) {
    return widget && widget->grab().save(path);
}

Visibility::Visibility(QWidget* window) : m_window(window) {
    if (window) {
        window->installEventFilter(this);
    }
}

Visibility::~Visibility() {
    if (m_window) {
        m_window->removeEventFilter(this);
    }
}

bool Visibility::eventFilter(QObject* target, QEvent* event) {
    if (target == m_window) {
        m_hidden += event->type() == QEvent::Hide;
        m_shown += event->type() == QEvent::Show;
    }
    return false;
}

}  // namespace drive
