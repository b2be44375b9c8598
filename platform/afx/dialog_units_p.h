// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Dialog units: a font's base units, dialog units in pixels and back, and the font that a
// given size of unit holds.
#pragma once

#include <QFont>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <functional>

namespace afx_detail {

// The dialog base units of a font: average character width and height, as the system
// computes them (the width from the 52 letters, rounded).
QSizeF BaseUnits(const QFont& font);

// Dialog units to pixels: x * width / 4, y * height / 8, each rounded to the nearest pixel.
QRect MapDialogRect(QSizeF baseUnits, const QRectF& units);
// Pixels to dialog units, exactly.
QRectF UnmapDialogRect(QSizeF baseUnits, const QRect& pixels);

// The units at which a dialog of the given size in dialog units spans the pixels.
QSizeF UnitsSpanning(QSize pixels, QSize dialogUnits);

// The largest pixel size of the font's family whose average character width and height fit
// the units, and for which fits(font) holds; fits is asked only of sizes whose metrics fit,
// largest first, and the smallest size is taken when nothing fits.
QFont LargestFontWithin(const QFont& font, const std::function<QSizeF(const QFont&)>& unitsFor,
                        const std::function<bool(const QFont&)>& fits);

}  // namespace afx_detail
