// Hooks for tests and benchmarks of programs built on the framework.
#pragma once

#include <memory>
#include <string_view>

#include "platform/win/types.h"

class QWidget;

// Makes every window timer run divisor times faster from its next start (1: real time), so
// a test can see a ten-second time-out without waiting ten seconds.
void AfxScaleTimersForTesting(int divisor);

// The widget behind a window handle, for driving it as a user would; nullptr for a handle
// that is no window (any more). User-interface thread only.
QWidget* AfxWidgetForTesting(HWND hwnd);

// The text view that read-only multi-line edits are made of, on its own (no window, no dialog),
// for measuring it against other widgets. The object owns the view, a top-level widget
// until someone gives it a parent. Needs the QApplication; user-interface thread only.
class AfxTextViewForTesting {
public:
    AfxTextViewForTesting();
    ~AfxTextViewForTesting();

    // The view, to size and show.
    QWidget* Widget() const;
    // The whole text: selection and scroll go back to the start.
    void SetText(std::u16string_view text);
    // Text added at the end: selection and scroll stay.
    void AppendText(std::u16string_view tail);
    // The text's length in UTF-16 code units.
    int Length() const;
    // As EM_SETSEL: start -1 drops the selection; (0, -1) selects everything.
    void SetSel(int start, int end);
    // As EM_SCROLLCARET: scrolls the least that shows the caret's line.
    void ScrollToCaret();
    // Paints the visible text now, as a repaint after an update does.
    void Repaint();

private:
    std::unique_ptr<QWidget> m_view;
};
