#include "platform/afx/placement_p.h"

#include "platform/afx/dialog_units_p.h"
#include "platform/afx/widgets_p.h"

namespace afx_detail {

namespace {

TabControl* AsTabControl(const Window* window) {
    return window && window->kind == Kind::TabControl && window->widget
               ? static_cast<TabControl*>(window->widget.data())
               : nullptr;
}

// The panel's reference: the first tab's rectangle, as TCM_GETITEMRECT gives it.
bool FirstTab(const TabControl& tab, QRect& item) {
    if (tab.Row()->count() == 0) {
        return false;
    }
    item = tab.ItemRect(0);
    return true;
}

}  // namespace

Window* EnclosingDialog(const Window& window) {
    for (Window* w = Find(window.parent); w; w = Find(w->parent)) {
        if (w->kind == Kind::Dialog) {
            return w;
        }
    }
    return nullptr;
}

Window* TopLevelDialog(Window& window) {
    Window* top = window.kind == Kind::Dialog ? &window : nullptr;
    for (Window* w = Find(window.parent); w; w = Find(w->parent)) {
        if (w->kind == Kind::Dialog) {
            top = w;
        }
    }
    return top;
}

QPoint ClientOrigin(const Window& window) {
    return QPoint(0, window.kind == Kind::Dialog ? window.captionHeight : 0);
}

void Place(Window& window) {
    Window* parent = Find(window.parent);
    QWidget* widget = window.widget;
    if (!parent || !widget) {
        return;
    }
    const Placement& p = window.placement;
    QRect item;
    if (p.anchor == Placement::Anchor::Units) {
        if (const Window* dialog =
                parent->kind == Kind::Dialog ? parent : EnclosingDialog(*parent)) {
            QRect r = MapDialogRect(dialog->baseUnits, p.units).translated(ClientOrigin(*parent));
            // A closed combo box is as high as its field; the template's height includes the list.
            if (window.kind == Kind::ComboBox) {
                r.setHeight(widget->sizeHint().height());
            }
            widget->setGeometry(r);
        }
    } else if (TabControl* tab = AsTabControl(parent);
               tab && p.anchor == Placement::Anchor::TabPanel && FirstTab(*tab, item)) {
        const int x = item.left() + p.panel.left();
        const int y = item.top() + item.height() + p.panel.top();
        widget->setGeometry(x, y, tab->width() - p.panel.right() - x,
                            tab->height() - p.panel.bottom() - y);
    }
    if (TabControl* tab = AsTabControl(&window)) {
        tab->LayoutRow();
    }
}

void KeepPlacement(Window& window) {
    Window* parent = Find(window.parent);
    if (!parent || !window.widget) {
        return;
    }
    const QRect r = window.widget->geometry();
    QRect item;
    if (TabControl* tab = AsTabControl(parent); tab && FirstTab(*tab, item)) {
        const int itemBottom = item.top() + item.height();
        window.placement.anchor = Placement::Anchor::TabPanel;
        window.placement.panel =
            QMargins(r.left() - item.left(), r.top() - itemBottom,
                     tab->width() - (r.left() + r.width()), tab->height() - (r.top() + r.height()));
        return;
    }
    const Window* dialog = parent->kind == Kind::Dialog ? parent : EnclosingDialog(*parent);
    if (dialog && !dialog->baseUnits.isEmpty()) {
        window.placement.anchor = Placement::Anchor::Units;
        window.placement.units =
            UnmapDialogRect(dialog->baseUnits, r.translated(-ClientOrigin(*parent)));
    }
}

}  // namespace afx_detail
