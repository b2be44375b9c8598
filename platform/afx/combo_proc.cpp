#include "platform/afx/combo_proc_p.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>

#include "platform/afx/qt_text_p.h"

namespace afx_detail {

namespace {

class ItemHeight : public QStyledItemDelegate {
public:
    ItemHeight(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_height);
        return size;
    }

private:
    int m_height;
};

}  // namespace

LRESULT ComboProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* combo = static_cast<QComboBox*>(w.widget.data());
    switch (message) {
        case CB_ADDSTRING: {
            const QSignalBlocker quiet(combo);
            const int current = combo->currentIndex();
            combo->addItem(ToQString(reinterpret_cast<LPCWSTR>(lParam)));
            combo->setCurrentIndex(current);  // adding selects nothing
            return combo->count() - 1;
        }
        case CB_GETCURSEL:
            return combo->currentIndex();
        case CB_GETLBTEXTLEN: {
            const int index = static_cast<int>(wParam);
            return index >= 0 && index < combo->count() ? combo->itemText(index).size() : CB_ERR;
        }
        case CB_GETLBTEXT: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || index >= combo->count() || !lParam) {
                return CB_ERR;
            }
            const QString item = combo->itemText(index);
            auto* out = reinterpret_cast<char16_t*>(lParam);
            std::copy_n(reinterpret_cast<const char16_t*>(item.utf16()), item.size(), out);
            out[item.size()] = 0;
            return item.size();
        }
        case CB_SETITEMHEIGHT: {
            const int height = static_cast<int>(lParam);
            if (height <= 0 || height > 255) {
                return CB_ERR;
            }
            if (static_cast<int>(static_cast<LONG_PTR>(wParam)) == -1) {
                combo->setFixedHeight(height + 6);  // the field plus the box's frame
            } else {
                combo->setItemDelegate(new ItemHeight(height, combo));
            }
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace afx_detail
