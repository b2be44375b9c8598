// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Check boxes' indicators and scroll bars that grow with the widget's font: the style's own
// sizes are for the application font, and a dialog font several times that (a dense screen
// filled edge to edge) would leave them too small to hit. Everything else is the style's.
#pragma once

#include <QProxyStyle>

namespace afx_detail {

class ScaledStyle : public QProxyStyle {
public:
    // The style of that name, scaled.
    explicit ScaledStyle(const QString& key) : QProxyStyle(key) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
};

// Makes a scaled copy of the application's style its style, once (user-interface thread).
void UseScaledStyle();

}  // namespace afx_detail
