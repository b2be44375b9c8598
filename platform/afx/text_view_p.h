// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// A read-only, multi-line text box for data that keeps arriving: a serial terminal's receive
// pane that grows for hours.
//
// The view shows a text of its own or, bound to one, a CString that lives elsewhere (a page's
// receive text): it then holds no copy and reads that text whenever it lays out or paints.
// The text is shown word-wrapped to the viewport width. CR LF, a lone CR and a lone LF each
// break the line; tabs advance to the next multiple of eight average character widths; other
// control characters take no width. Growing the text costs the same whatever the view already
// holds, repaint included: the view keeps the start of every visual line, re-wraps only from
// the last one and paints only the visible lines; dropping its oldest part costs a shift of
// those starts.
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
#include "platform/win/cstring.h"

namespace afx_detail {

class TextView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TextView(QWidget* parent = nullptr);
    ~TextView() override;

    // A text of its own: selection and scroll go back to the start.
    void SetText(const QString& text);
    // Appends to its own text (a bound text becomes its own first): selection and scroll stay.
    void AppendText(QStringView tail);

    // Shows text itself from now on. The view reads it whenever it lays out or paints: text
    // may change only on this thread, and each change must be told (Bind again, DropFront,
    // Grown) before the thread goes back to its event loop. Bound again to the text it shows,
    // the view lays it out anew and keeps its selection and scroll position; bound to another
    // text, both go back to the start.
    void Bind(const CString& text);
    bool Shows(const CString& text) const { return m_bound == &text; }
    // The bound text is about to lose its first count characters: told before they go.
    void DropFront(int count);
    // The bound text has grown at its end.
    void Grown();
    // A bound text that lost characters untold is laid out anew before it is read: a missed
    // notice costs a relayout, never a read past the text's end. One that grew untold is
    // read as far as the view knows it (a change in progress, told when it is done).
    void Resync();

    QStringView Text() const;
    int Length() const { return m_length; }

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
    bool viewportEvent(QEvent* event) override;  // Resync first: paint and mouse read the text
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
    void Reset(const QString& before);  // the whole text changed
    void LaidOutFrom(int at);           // the text grew from at
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

    QString m_own;
    const CString* m_bound = nullptr;
    int m_length = 0;   // of the text shown
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
