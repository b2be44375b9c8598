#include "platform/afx/tab_proc_p.h"

#include <QMouseEvent>

#include "platform/afx/dispatch_p.h"
#include "platform/afx/qt_text_p.h"
#include "platform/afx/widgets_p.h"

namespace afx_detail {

LRESULT TabProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tab = static_cast<TabControl*>(w.widget.data());
    TabRow* row = tab->Row();
    switch (message) {
        case TCM_INSERTITEMW: {
            const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
            tab->quiet = true;
            const int index = row->insertTab(
                static_cast<int>(wParam),
                item && (item->mask & TCIF_TEXT) ? ToQString(item->pszText) : QString());
            tab->quiet = false;
            return index;
        }
        case TCM_GETCURSEL:
        case TCM_GETCURFOCUS:
            return row->currentIndex();
        case TCM_GETITEMRECT: {
            const int index = static_cast<int>(wParam);
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (index < 0 || index >= row->count() || !rect) {
                return FALSE;
            }
            const QRect r = tab->ItemRect(index);
            *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
            return TRUE;
        }
        case WM_LBUTTONDOWN:
            if (auto* press = dynamic_cast<QMouseEvent*>(QtEventScope::Current())) {
                row->DefaultPress(press);
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace afx_detail
