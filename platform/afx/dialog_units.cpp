#include "platform/afx/dialog_units_p.h"

#include <QFontMetrics>
#include <cmath>

namespace afx_detail {

namespace {

constexpr QStringView kLetters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Readable on the terminal's screen is about as small as a dialog font gets; the largest is
// far beyond any screen's.
constexpr int kSmallestPixels = 6;
constexpr int kLargestPixels = 400;

int Round(double value) {
    return static_cast<int>(std::lround(value));
}

QFont WithPixels(QFont font, int pixels) {
    font.setPixelSize(pixels);
    return font;
}

bool MetricsWithin(const QFont& font, QSizeF units) {
    const QFontMetrics metrics(font);
    const double average =
        static_cast<double>(metrics.horizontalAdvance(kLetters.toString())) / kLetters.size();
    return average <= units.width() && metrics.height() <= units.height();
}

}  // namespace

QSizeF BaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(kLetters.toString());
    const int width = (letters / 26 + 1) / 2;  // the average, rounded as the system rounds it
    return QSizeF(width, metrics.height());
}

QRect MapDialogRect(QSizeF units, const QRectF& r) {
    const double x = units.width() / 4;
    const double y = units.height() / 8;
    return QRect(Round(r.x() * x), Round(r.y() * y), Round(r.width() * x), Round(r.height() * y));
}

QRectF UnmapDialogRect(QSizeF units, const QRect& r) {
    const double x = 4 / units.width();
    const double y = 8 / units.height();
    return QRectF(r.x() * x, r.y() * y, r.width() * x, r.height() * y);
}

QSizeF UnitsSpanning(QSize pixels, QSize dialogUnits) {
    return QSizeF(4.0 * pixels.width() / std::max(dialogUnits.width(), 1),
                  8.0 * pixels.height() / std::max(dialogUnits.height(), 1));
}

QFont LargestFontWithin(const QFont& font, const std::function<QSizeF(const QFont&)>& unitsFor,
                        const std::function<bool(const QFont&)>& fits) {
    // The metrics grow with the size: the largest that fits, by halves.
    int low = kSmallestPixels;
    int high = kLargestPixels;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        const QFont candidate = WithPixels(font, middle);
        if (MetricsWithin(candidate, unitsFor(candidate))) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    for (int pixels = low; pixels > kSmallestPixels; --pixels) {
        if (fits(WithPixels(font, pixels))) {
            return WithPixels(font, pixels);
        }
    }
    return WithPixels(font, kSmallestPixels);
}

}  // namespace afx_detail
