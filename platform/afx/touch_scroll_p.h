// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Finger scrolling for the multi-line text boxes, as on a touch screen's own controls: a
// finger dragged across a box scrolls it, and goes on scrolling kinetically when let go
// (Qt's QScroller); a mouse or a stylus dragged across it selects text as before. A tap of
// the finger still places the caret and gives the box the focus.
//
// The boxes' vertical scroll bars count lines, not pixels: the scroller's pixel positions are
// turned into lines with the box's line height, so the text follows the finger. The scroller
// is fed the finger's moves directly, not through Qt's gesture recognizer (grabbing that
// gesture leaks a recognizer per box in Qt 6.4, QTBUG-82355).
#pragma once

#include <QAbstractScrollArea>

#include <functional>

namespace afx_detail {

// Makes the box scroll by finger. lineHeight tells how many pixels one step of its vertical
// scroll bar spans; it is asked at the start of every drag.
void EnableTouchScrolling(QAbstractScrollArea* box, std::function<qreal()> lineHeight);

}  // namespace afx_detail
