#include "platform/afx/testing.h"

#include "platform/afx/text_view_p.h"
#include "platform/afx/timers_p.h"
#include "platform/afx/window_table_p.h"

using afx_detail::TextView;

void AfxScaleTimersForTesting(int divisor) {
    afx_detail::ScaleTimers(divisor);
}

QWidget* AfxWidgetForTesting(HWND hwnd) {
    afx_detail::Window* window = afx_detail::Find(hwnd);
    return window ? window->widget.data() : nullptr;
}

namespace {

TextView& ViewOf(const std::unique_ptr<QWidget>& view) {
    return *static_cast<TextView*>(view.get());
}

QStringView AsStringView(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

AfxTextViewForTesting::AfxTextViewForTesting() : m_view(std::make_unique<TextView>()) {}

AfxTextViewForTesting::~AfxTextViewForTesting() = default;

QWidget* AfxTextViewForTesting::Widget() const {
    return m_view.get();
}

void AfxTextViewForTesting::SetText(std::u16string_view text) {
    ViewOf(m_view).SetText(AsStringView(text).toString());
}

void AfxTextViewForTesting::AppendText(std::u16string_view tail) {
    ViewOf(m_view).AppendText(AsStringView(tail));
}

int AfxTextViewForTesting::Length() const {
    return ViewOf(m_view).Length();
}

void AfxTextViewForTesting::SetSel(int start, int end) {
    ViewOf(m_view).SetSelection(start, end);
}

void AfxTextViewForTesting::ScrollToCaret() {
    ViewOf(m_view).ScrollToCaret();
}

void AfxTextViewForTesting::Repaint() {
    ViewOf(m_view).viewport()->repaint();
}
