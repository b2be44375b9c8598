#include "tests/support/dialog_layout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QTabBar>

#include "tools/drive/controls.h"

namespace rvtest {

namespace {

// The widget's place within ancestor.
QRect In(const QWidget* widget, const QWidget* ancestor) {
    return {widget->mapTo(ancestor, QPoint(0, 0)), widget->size()};
}

std::string Describe(const QWidget* widget, const QRect& place, const QString& text) {
    return QString("%1 \"%2\" at %3,%4 %5x%6")
        .arg(widget->metaObject()->className(), text)
        .arg(place.x())
        .arg(place.y())
        .arg(place.width())
        .arg(place.height())
        .toStdString();
}

// The width a control needs for its text: a check box's box and text, a button's text.
int WidthNeeded(const QWidget* control) {
    if (qobject_cast<const QCheckBox*>(control)) {
        return control->sizeHint().width();
    }
    const auto* button = qobject_cast<const QAbstractButton*>(control);
    return button ? button->fontMetrics().horizontalAdvance(button->text()) + 1 : 0;
}

}  // namespace

QAbstractButton* OwnOk(QWidget* window) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->accessibleName() == "OK") {
            return button;
        }
    }
    return nullptr;
}

QRect PageArea(const CTestDlg& dialog) {
    CRect client;
    dialog.m_tab.GetClientRect(&client);
    CRect item;
    dialog.m_tab.GetItemRect(0, &item);
    return {item.left, item.bottom + 1, client.right - item.left - 2,
            client.bottom - item.bottom - 3};
}

std::vector<std::string> LayoutFaults(const CTestDlg& dialog) {
    std::vector<std::string> faults;
    QWidget* window = drive::WidgetOf(dialog.m_hWnd);
    const QWidget* tab = drive::WidgetOf(dialog.m_tab.m_hWnd);
    const QAbstractButton* ok = OwnOk(window);
    const QRect place = tab->geometry();
    if (!window->rect().contains(place) || place.bottom() != window->rect().bottom() ||
        (ok ? place.top() <= In(ok, window).bottom() : place.top() != 0)) {
        faults.push_back(Describe(tab, place, "tab control") +
                         ": not the window below its caption");
    }
    const QTabBar* tabs = drive::TabBarOf(dialog.m_tab);
    for (int i = 0; i < tabs->count(); ++i) {
        const QRect title = tabs->tabRect(i);
        if (!tab->rect().contains(In(tabs, tab)) || !tabs->rect().contains(title) ||
            title.width() <= tabs->fontMetrics().horizontalAdvance(tabs->tabText(i))) {
            faults.push_back(Describe(tabs, title, tabs->tabText(i)) + ": the tab is cut");
        }
    }
    const QRect area = PageArea(dialog);
    for (const CDialog* page : {static_cast<const CDialog*>(&dialog.m_pagePrinter),
                                static_cast<const CDialog*>(&dialog.m_pageCard),
                                static_cast<const CDialog*>(&dialog.m_pageKeyboard),
                                static_cast<const CDialog*>(&dialog.m_pageBarcode),
                                static_cast<const CDialog*>(&dialog.m_pageOther)}) {
        const QWidget* widget = drive::WidgetOf(page->m_hWnd);
        const auto controls = widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        if (widget->geometry() != area || controls.isEmpty()) {
            faults.push_back(Describe(widget, widget->geometry(), "page") + ": not the page area " +
                             Describe(tab, area, "tab control") + ", or empty");
        }
        for (const QWidget* control : controls) {
            const auto* button = qobject_cast<const QAbstractButton*>(control);
            if (!widget->rect().contains(control->geometry()) ||
                control->width() < WidthNeeded(control)) {
                faults.push_back(Describe(control, control->geometry(),
                                          button ? button->text() : control->accessibleName()) +
                                 ": cut in its page");
            }
        }
    }
    return faults;
}

}  // namespace rvtest
