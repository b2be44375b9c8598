// Painting: only the lines in the damaged part of the viewport, each at the x its character
// advances give, so text, selection and hit testing agree.
#include "platform/afx/text_view_p.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace afx_detail {

namespace {

// Tabs and control characters are never drawn: they only move the next character.
bool IsUndrawn(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f);
}

}  // namespace

void TextView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(m_paintFont);
    const QRect area = event->rect();
    const int first = FirstVisibleLine();
    const int from = first + std::max(0, area.top() / m_lineHeight);
    const int to = std::min(m_wrap.Count() - 1, first + area.bottom() / m_lineHeight);
    auto [selStart, selEnd] = Selection();
    if (selStart == selEnd || !SelectionShown()) {
        selStart = selEnd = -1;
    }
    for (int line = from; line <= to; ++line) {
        PaintLine(painter, line, (line - first) * m_lineHeight, selStart, selEnd);
    }
}

void TextView::PaintLine(QPainter& painter, int line, qreal top, int selStart, int selEnd) const {
    const int start = m_wrap.Start(line);
    const int end = m_wrap.End(line, Length());
    const int contentEnd = ContentEnd(line);
    const QPalette& colors = palette();
    if (selStart < end && selEnd > start) {
        const qreal left = XOf(line, std::max(selStart, start));
        qreal right = XOf(line, std::min(selEnd, contentEnd));
        if (selEnd > contentEnd && contentEnd < end) {
            right += m_lineHeight / 3.0;  // a selected line break shows as a sliver
        }
        painter.fillRect(QRectF(kMargin + left, top, right - left, m_lineHeight),
                         colors.color(QPalette::Highlight));
    }

    const QColor& normal = colors.color(QPalette::Text);
    const QColor& selected = colors.color(QPalette::HighlightedText);
    const qreal baseline = top + m_ascent;
    const QStringView text = Text();
    int runStart = start;
    qreal runX = 0;
    const auto drawRun = [&](int runEnd) {
        if (runEnd <= runStart) {
            return;
        }
        painter.setPen(runStart >= selStart && runStart < selEnd ? selected : normal);
        painter.drawText(QPointF(kMargin + runX, baseline),
                         QString::fromRawData(text.data() + runStart, runEnd - runStart));
    };
    qreal x = 0;
    for (int pos = start; pos < contentEnd;) {
        if (pos == selStart || pos == selEnd) {
            drawRun(pos);
            runStart = pos;
            runX = x;
        }
        const int at = pos;
        const qreal next = m_advances.Step(text, pos, x);
        if (IsUndrawn(text[at])) {
            drawRun(at);
            runStart = pos;
            runX = next;
        }
        x = next;
    }
    drawRun(contentEnd);
}

}  // namespace afx_detail
