#include "platform/afx/text_view_p.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "platform/afx/touch_scroll_p.h"

namespace afx_detail {

namespace {

// Double-click selects a run of characters of one kind.
int CharKind(QChar c) {
    if (c == u' ' || c == u'\t') {
        return 0;
    }
    if (c.isLetterOrNumber() || c.isSurrogate() || c == u'_') {
        return 1;
    }
    return c.category() == QChar::Other_Control ? 3 : 2;
}

}  // namespace

TextView::TextView(QWidget* parent) : QAbstractScrollArea(parent) {
    InstallTextViewAccessibility();
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    ApplyFont();
    EnableTouchScrolling(this, [this] { return LineHeight(); });
}

TextView::~TextView() = default;

QStringView TextView::Text() const {
    return m_bound ? QStringView(m_bound->str().data(), m_length) : QStringView(m_own);
}

void TextView::SetText(const QString& text) {
    const QString before = QAccessible::isActive() ? Text().toString() : QString();
    m_bound = nullptr;
    m_own = text;
    m_length = static_cast<int>(m_own.size());
    Reset(before);
}

void TextView::AppendText(QStringView tail) {
    if (m_bound) {
        m_own = Text().toString();
        m_bound = nullptr;
    }
    const int at = m_length;
    m_own.append(tail);
    m_length = static_cast<int>(m_own.size());
    LaidOutFrom(at);
}

void TextView::Bind(const CString& text) {
    if (m_bound != &text) {
        const QString before = QAccessible::isActive() ? Text().toString() : QString();
        m_own.clear();
        m_bound = &text;
        m_length = text.GetLength();
        Reset(before);
        return;
    }
    const int before = m_length;
    m_length = text.GetLength();
    m_anchor = std::min(m_anchor, m_length);
    m_caret = std::min(m_caret, m_length);
    Relayout();
    if (QAccessible::isActive() && before != m_length) {
        // What it held is gone already: only its length is known.
        QAccessibleTextUpdateEvent event(this, 0, QString(before, u' '), Text().toString());
        QAccessible::updateAccessibility(&event);
    }
}

void TextView::DropFront(int count) {
    count = std::clamp(count, 0, m_length);
    if (count == 0) {
        return;
    }
    if (QAccessible::isActive()) {
        QAccessibleTextRemoveEvent event(this, 0, Text().left(count).toString());
        QAccessible::updateAccessibility(&event);
    }
    const int lines = m_wrap.DropFront(count);
    m_length -= count;
    m_anchor = std::max(0, m_anchor - count);
    m_caret = std::max(0, m_caret - count);
    const int first = std::max(0, FirstVisibleLine() - lines);  // the same text stays on top
    UpdateScrollRange();
    verticalScrollBar()->setValue(first);
    viewport()->update();
}

void TextView::Grown() {
    if (!m_bound) {
        return;
    }
    if (m_bound->GetLength() < m_length) {
        Bind(*m_bound);  // changed some other way meanwhile
        return;
    }
    const int at = m_length;
    m_length = m_bound->GetLength();
    LaidOutFrom(at);
}

void TextView::Resync() {
    if (m_bound && m_bound->GetLength() < m_length) {
        Bind(*m_bound);
    }
}

bool TextView::viewportEvent(QEvent* event) {
    Resync();
    return QAbstractScrollArea::viewportEvent(event);
}

void TextView::Reset(const QString& before) {
    m_anchor = m_caret = 0;
    m_goalX = -1;
    m_wrapWidth = WrapWidth();
    m_wrap.Rebuild(Text(), m_advances, m_wrapWidth);
    UpdateScrollRange();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, before, Text().toString());
        QAccessible::updateAccessibility(&event);
    }
}

void TextView::LaidOutFrom(int at) {
    if (at >= m_length) {
        return;
    }
    const int changed = m_wrap.Extend(Text(), m_advances);
    UpdateScrollRange();
    UpdatePositions(m_wrap.Start(changed), m_length);
    if (QAccessible::isActive()) {
        QAccessibleTextInsertEvent event(this, at, Text().mid(at).toString());
        QAccessible::updateAccessibility(&event);
    }
}

void TextView::SetSelection(int start, int end) {
    m_goalX = -1;
    if (start == -1) {
        Select(m_caret, m_caret);
        return;
    }
    // (0, -1) selecting everything falls out of this rule.
    const int length = Length();
    const auto clamp = [length](int pos) { return pos < 0 || pos > length ? length : pos; };
    Select(clamp(start), clamp(end));
}

void TextView::Select(int anchor, int caret) {
    const auto [oldStart, oldEnd] = Selection();
    m_anchor = anchor;
    m_caret = caret;
    const auto [start, end] = Selection();
    if (start != oldStart || end != oldEnd) {
        UpdatePositions(std::min(start, oldStart), std::max(end, oldEnd));
    }
    if (QAccessible::isActive()) {
        QAccessibleTextSelectionEvent event(this, start, end);
        event.setCursorPosition(m_caret);
        QAccessible::updateAccessibility(&event);
    }
}

// Repaints the shown lines that hold positions from..to.
void TextView::UpdatePositions(int from, int to) {
    const int first = FirstVisibleLine();
    const int top = std::max(0, m_wrap.LineOf(from) - first);
    const int bottom = std::min(m_wrap.LineOf(to) - first, FullRows());
    if (top <= bottom) {
        viewport()->update(0, top * m_lineHeight, viewport()->width(),
                           (bottom - top + 1) * m_lineHeight);
    }
}

std::pair<int, int> TextView::Selection() const {
    return std::minmax(m_anchor, m_caret);
}

void TextView::ScrollToCaret() {
    ScrollToLine(m_wrap.LineOf(m_caret));
}

void TextView::ScrollToLine(int line) {
    QScrollBar* bar = verticalScrollBar();
    const int first = bar->value();
    const int rows = FullRows();
    if (line < first) {
        bar->setValue(line);
    } else if (line >= first + rows) {
        bar->setValue(line - rows + 1);
    }
}

void TextView::SetHideSelectionWithoutFocus(bool hide) {
    m_hideSelection = hide;
    viewport()->update();
}

bool TextView::SelectionShown() const {
    return !m_hideSelection || hasFocus();
}

void TextView::ApplyFont() {
    m_paintFont = font();
    m_paintFont.setKerning(false);
    m_advances.SetFont(m_paintFont);
    const QFontMetricsF metrics(m_paintFont);
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    m_ascent = metrics.ascent();
    Relayout();
}

void TextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (WrapWidth() != m_wrapWidth) {
        Relayout();
    } else {
        UpdateScrollRange();
    }
}

void TextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ApplyFont();
    } else if (event->type() == QEvent::PaletteChange ||
               event->type() == QEvent::ActivationChange) {
        viewport()->update();
    }
}

void TextView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TextView::scrollContentsBy(int /*dx*/, int dy) {
    if (std::abs(dy) < FullRows()) {
        viewport()->scroll(0, dy * m_lineHeight);
    } else {
        viewport()->update();
    }
}

void TextView::MoveCaret(int pos, bool extend) {
    pos = std::clamp(pos, 0, Length());
    Select(extend ? m_anchor : pos, pos);
    ScrollToCaret();
}

void TextView::keyPressEvent(QKeyEvent* event) {
    Resync();
    if (event == QKeySequence::Copy) {
        CopySelection(QClipboard::Clipboard);
        return;
    }
    if (event == QKeySequence::SelectAll) {
        SetSelection(0, -1);
        return;
    }
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    const int line = m_wrap.LineOf(m_caret);
    int lines = 0;
    switch (event->key()) {
        case Qt::Key_Up:
            lines = -1;
            break;
        case Qt::Key_Down:
            lines = 1;
            break;
        case Qt::Key_PageUp:
            lines = -FullRows();
            break;
        case Qt::Key_PageDown:
            lines = FullRows();
            break;
        case Qt::Key_Home:
            m_goalX = -1;
            MoveCaret(control ? 0 : m_wrap.Start(line), extend);
            return;
        case Qt::Key_End:
            m_goalX = -1;
            MoveCaret(control ? Length() : ContentEnd(line), extend);
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    if (control && std::abs(lines) == 1) {
        verticalScrollBar()->setValue(FirstVisibleLine() + lines);
        return;
    }
    if (m_goalX < 0) {
        m_goalX = XOf(line, std::min(m_caret, ContentEnd(line)));
    }
    const int target = std::clamp(line + lines, 0, m_wrap.Count() - 1);
    const qreal goal = m_goalX;
    MoveCaret(PositionInLine(target, goal), extend);
    m_goalX = goal;
}

void TextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_goalX = -1;
    MoveCaret(PositionAt(event->position().toPoint()),
              event->modifiers().testFlag(Qt::ShiftModifier));
}

void TextView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !event->buttons().testFlag(Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    // Dragging past the top or bottom edge scrolls a line per move.
    const QPoint point = event->position().toPoint();
    if (point.y() < 0) {
        verticalScrollBar()->setValue(FirstVisibleLine() - 1);
    } else if (point.y() >= viewport()->height()) {
        verticalScrollBar()->setValue(FirstVisibleLine() + 1);
    }
    MoveCaret(PositionAt(point), true);
}

void TextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    if (m_dragging) {
        m_dragging = false;
        CopySelection(QClipboard::Selection);
    }
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    SelectWordAt(PositionAt(event->position().toPoint()));
}

void TextView::SelectWordAt(int pos) {
    const int length = Length();
    const QStringView text = Text();
    if (pos >= length || (pos > 0 && CharKind(text[pos]) == 3)) {
        --pos;  // past the end of a line: the word before it
    }
    if (pos < 0 || CharKind(text[pos]) == 3) {
        return;
    }
    const int kind = CharKind(text[pos]);
    int start = pos;
    int end = pos + 1;
    while (start > 0 && CharKind(text[start - 1]) == kind) {
        --start;
    }
    while (end < length && CharKind(text[end]) == kind) {
        ++end;
    }
    m_goalX = -1;
    Select(start, end);
}

void TextView::CopySelection(QClipboard::Mode mode) const {
    const auto [start, end] = Selection();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (start == end || (mode == QClipboard::Selection && !clipboard->supportsSelection())) {
        return;
    }
    clipboard->setText(Text().mid(start, end - start).toString(), mode);
}

}  // namespace afx_detail
