#include "platform/afx/dialog_builder_p.h"

#include "platform/afx/control_builder_p.h"
#include "platform/afx/dialog_fit_p.h"
#include "platform/afx/dialog_units_p.h"
#include "platform/afx/dispatch_p.h"
#include "platform/afx/look_p.h"
#include "platform/afx/placement_p.h"
#include "platform/afx/qt_text_p.h"
#include "platform/afx/scaled_style_p.h"
#include "platform/afx/widgets_p.h"
#include "platform/afx/window_table_p.h"

namespace afx_detail {

HWND BuildDialog(const AfxDialogTemplate& t, HWND parent, bool child, CWnd* owner) {
    UseScaledStyle();
    Window* parentWindow = Find(parent);
    QWidget* parentWidget = parentWindow ? parentWindow->widget.data() : nullptr;
    auto* widget = new DialogWidget(child ? parentWidget : nullptr);
    if (!child) {
        widget->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint);
    }
    // A dialog inside another takes the font and units its top-level dialog has now.
    const Window* top =
        widget->isWindow() || !parentWindow ? nullptr : TopLevelDialog(*parentWindow);
    const QFont font =
        top && top->widget ? top->widget->font() : DialogFont(t.fontName, t.pointSize);
    widget->setFont(font);
    Window& window = Register(widget, Kind::Dialog, 0, t.style, t.exStyle, parent);
    window.baseUnits = top ? top->baseUnits : BaseUnits(font);
    window.dialogTemplate = &t;
    window.bound = owner;
    window.creator = owner;
    widget->setWindowTitle(ToQString(t.caption));
    widget->setAccessibleName(ToQString(t.caption));

    if (!widget->isWindow()) {
        window.placement = {Placement::Anchor::Units, QRectF(t.x, t.y, t.cx, t.cy), {}};
        Place(window);
        widget->hide();
    }
    for (const AfxControlTemplate& control : t.controls) {
        CreateControl(window, control);
    }
    for (const AfxControlInitData& init : AfxInitData()) {
        if (init.dialogId == t.id && init.message == kInitComboAddString) {
            Dispatch(FindChild(window.hwnd, init.controlId), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(init.text));
        }
    }
    if (widget->isWindow()) {
        FitToScreen(window);
    }
    return window.hwnd;
}

}  // namespace afx_detail
