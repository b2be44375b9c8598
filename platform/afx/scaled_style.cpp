#include "platform/afx/scaled_style_p.h"

#include <QApplication>
#include <QFontInfo>
#include <QWidget>
#include <cmath>

namespace afx_detail {

int ScaledStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    const int size = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_ScrollBarExtent:
        case PM_ScrollBarSliderMin:
            break;
        default:
            return size;
    }
    const int base = QFontInfo(QApplication::font()).pixelSize();
    if (!widget || base <= 0) {
        return size;
    }
    const double scale = static_cast<double>(QFontInfo(widget->font()).pixelSize()) / base;
    return static_cast<int>(std::lround(size * scale));
}

void UseScaledStyle() {
    if (!dynamic_cast<ScaledStyle*>(QApplication::style())) {
        auto* style = new ScaledStyle(QApplication::style()->name());
        style->setParent(qApp);  // the application's, as setStyle makes it
        QApplication::setStyle(style);
    }
}

}  // namespace afx_detail
