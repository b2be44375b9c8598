// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// A read-only, multi-line text box for data that keeps arriving: a serial terminal's receive
// pane that grows for hours.
//
// The text is held exactly as given (UTF-16) and shown word-wrapped to the viewport width.
// CR LF, a lone CR and a lone LF each break the line; tabs advance to the next multiple of
// eight average character widths; other control characters take no width. Appending costs
// the same whatever the view already holds, repaint included: the view keeps the start of
// every visual line, re-wraps only from the last one and paints only the visible lines.
//
// Positions are UTF-16 offsets. Selection follows an edit control's EM_SETSEL; the view
// never edits, it selects (mouse, keyboard, Ctrl+A), copies (Ctrl+C) and scrolls. Its
// accessible interface reports read-only editable text with the text interface.
#pragma once

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QFont>
#include <QString>
#include <QStringView>

#include <utility>

#include "platform/afx/text_wrap_p.h"

namespace afx_detail {

class TextView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TextView(QWidget* parent = nullptr);
    ~TextView() override;

    void SetText(const QString& text);  // selection and scroll go back to the start
    void AppendText(QStringView tail);  // selection and scroll stay
    const QString& Text() const { return m_text; }
    int Length() const { return static_cast<int>(m_text.size()); }

    // EM_SETSEL: start -1 drops the selection and keeps the caret; (0, -1) selects all;
    // otherwise a position past the end or negative counts as the end, as in the edit
    // control's unsigned arithmetic. start may exceed end; the caret goes to end.
    void SetSelection(int start, int end);
    std::pair<int, int> Selection() const;  // (lower, upper)
    int Caret() const { return m_caret; }
    // EM_SCROLLCARET: scrolls the least that shows the caret's line in full.
    void ScrollToCaret();

    // Edit controls show the selection only while focused; false keeps it always visible.
    void SetHideSelectionWithoutFocus(bool hide);

    // Geometry, in viewport coordinates.
    int VisualLineCount() const { return m_wrap.Count(); }
    int VisualLineStart(int line) const { return m_wrap.Start(line); }
    int VisualLineOf(int pos) const { return m_wrap.LineOf(pos); }
    int LineHeight() const { return m_lineHeight; }
    // A caret-wide rectangle at pos, on the line that holds pos.
    QRect PositionRect(int pos) const;
    // The position nearest to point; points beyond the text clamp to its lines.
    int PositionAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TextViewAccessible;

    qreal WrapWidth() const;
    int FullRows() const;
    int FirstVisibleLine() const;
    void Relayout();
    void UpdateScrollRange();
    void MoveCaret(int pos, bool extend);
    void SelectWordAt(int pos);
    void CopySelection(QClipboard::Mode mode) const;
    bool SelectionShown() const;
    void ApplyFont();
    void ScrollToLine(int line);
    int PositionInLine(int line, qreal x) const;
    qreal XOf(int line, int pos) const;
    int ContentEnd(int line) const;  // end of the line without its line break
    void PaintLine(QPainter& painter, int line, qreal top, int selStart, int selEnd) const;
    void Select(int anchor, int caret);  // repaints what changed
    void UpdatePositions(int from, int to);

    static constexpr int kMargin = 3;  // left and right, as an edit control's

    QString m_text;
    QFont m_paintFont;  // the widget's font without kerning, so glyphs sit where widths say
    CharAdvances m_advances;
    WrapIndex m_wrap;
    int m_anchor = 0;
    int m_caret = 0;
    int m_lineHeight = 1;
    qreal m_ascent = 0;
    qreal m_wrapWidth = -1;
    qreal m_goalX = -1;  // kept across vertical caret moves
    bool m_hideSelection = true;
    bool m_dragging = false;
};

// Registers the accessible interface of TextView; any number of calls register it once.
void InstallTextViewAccessibility();

}  // namespace afx_detail
