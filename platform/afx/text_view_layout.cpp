// The geometry of TextView, built on its character advances and visual line index.
#include "platform/afx/text_view_p.h"

#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace afx_detail {

qreal TextView::XOf(int line, int pos) const {
    qreal x = 0;
    for (int p = m_wrap.Start(line); p < pos;) {
        x = m_advances.Step(Text(), p, x);
    }
    return x;
}

int TextView::ContentEnd(int line) const {
    const int start = m_wrap.Start(line);
    int end = m_wrap.End(line, Length());
    const QStringView text = Text();
    if (end > start && text[end - 1] == u'\n') {
        --end;
    }
    if (end > start && text[end - 1] == u'\r') {
        --end;
    }
    return end;
}

int TextView::PositionInLine(int line, qreal x) const {
    const int end = ContentEnd(line);
    qreal left = 0;
    for (int pos = m_wrap.Start(line); pos < end;) {
        const int at = pos;
        const qreal right = m_advances.Step(Text(), pos, left);
        if (x < (left + right) / 2) {
            return at;
        }
        left = right;
    }
    return end;
}

QRect TextView::PositionRect(int pos) const {
    pos = std::clamp(pos, 0, Length());
    const int line = m_wrap.LineOf(pos);
    const qreal x = XOf(line, std::min(pos, ContentEnd(line)));
    const int top = (line - FirstVisibleLine()) * m_lineHeight;
    return {kMargin + static_cast<int>(std::lround(x)), top, 1, m_lineHeight};
}

int TextView::PositionAt(QPoint point) const {
    const int row = static_cast<int>(std::floor(static_cast<double>(point.y()) / m_lineHeight));
    const int line = std::clamp(FirstVisibleLine() + row, 0, m_wrap.Count() - 1);
    return PositionInLine(line, point.x() - kMargin);
}

qreal TextView::WrapWidth() const {
    return std::max(0, viewport()->width() - 2 * kMargin);
}

int TextView::FullRows() const {
    return std::max(1, viewport()->height() / m_lineHeight);
}

int TextView::FirstVisibleLine() const {
    return verticalScrollBar()->value();
}

void TextView::UpdateScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    const int rows = FullRows();
    bar->setSingleStep(1);
    bar->setPageStep(rows);
    bar->setRange(0, std::max(0, m_wrap.Count() - rows));
}

// Keeps the text at the top of the view there while the lines change under it.
void TextView::Relayout() {
    const int top = m_wrap.Start(std::min(FirstVisibleLine(), m_wrap.Count() - 1));
    m_wrapWidth = WrapWidth();
    m_wrap.Rebuild(Text(), m_advances, m_wrapWidth);
    UpdateScrollRange();
    verticalScrollBar()->setValue(m_wrap.LineOf(top));
    viewport()->update();
}

}  // namespace afx_detail
