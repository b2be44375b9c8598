#include "platform/afx/button_proc_p.h"

#include <QAbstractButton>

namespace afx_detail {

LRESULT ButtonProc(Window& w, UINT message, WPARAM wParam) {
    auto* button = static_cast<QAbstractButton*>(w.widget.data());
    switch (message) {
        case BM_GETCHECK:
            return button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            if (button->isCheckable()) {
                button->setChecked(wParam == BST_CHECKED);
            }
            return 0;
        case BM_CLICK:
            button->click();
            return 0;
        default:
            return 0;
    }
}

}  // namespace afx_detail
