#include "platform/afx/dialog_builder_p.h"

#include <QFontMetrics>

#include "platform/afx/control_builder_p.h"
#include "platform/afx/dispatch_p.h"
#include "platform/afx/look_p.h"
#include "platform/afx/qt_text_p.h"
#include "platform/afx/scaled_style_p.h"
#include "platform/afx/widgets_p.h"
#include "platform/afx/window_table_p.h"

namespace afx_detail {

namespace {

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) /
                            denominator);
}

}  // namespace

QSize BaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((letters / 26 + 1) / 2, metrics.height());
}

QRect MapDialogRect(QSize units, int x, int y, int cx, int cy) {
    return QRect(MulDiv(x, units.width(), 4), MulDiv(y, units.height(), 8),
                 MulDiv(cx, units.width(), 4), MulDiv(cy, units.height(), 8));
}

HWND BuildDialog(const AfxDialogTemplate& t, HWND parent, bool child, CWnd* owner) {
    UseScaledStyle();
    Window* parentWindow = Find(parent);
    QWidget* parentWidget = parentWindow ? parentWindow->widget.data() : nullptr;
    auto* widget = new DialogWidget(child ? parentWidget : nullptr);
    if (!child) {
        widget->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint);
    }
    const QFont font = DialogFont(t.fontName, t.pointSize);
    widget->setFont(font);
    Window& window = Register(widget, Kind::Dialog, 0, t.style, t.exStyle, parent);
    window.baseUnits = BaseUnits(font);
    window.bound = owner;
    window.creator = owner;
    widget->setWindowTitle(ToQString(t.caption));
    widget->setAccessibleName(ToQString(t.caption));

    const QRect area = MapDialogRect(window.baseUnits, t.x, t.y, t.cx, t.cy);
    if (child) {
        widget->setGeometry(area);
        widget->hide();
    } else {
        widget->setFixedSize(area.size());
    }
    for (const AfxControlTemplate& control : t.controls) {
        CreateControl(
            window, control,
            MapDialogRect(window.baseUnits, control.x, control.y, control.cx, control.cy));
    }
    for (const AfxControlInitData& init : AfxInitData()) {
        if (init.dialogId == t.id && init.message == kInitComboAddString) {
            Dispatch(FindChild(window.hwnd, init.controlId), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(init.text));
        }
    }
    return window.hwnd;
}

}  // namespace afx_detail
