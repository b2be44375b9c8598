#include "platform/afx/testing.h"

#include "platform/afx/window_table.h"

QWidget* AfxWidgetForTesting(HWND hwnd) {
    afx_detail::Window* window = afx_detail::Find(hwnd);
    return window ? window->widget.data() : nullptr;
}
