// The accessible face of TextView: read-only editable text with the text interface, so
// screen readers and automated checks read the text, selection and lines as shown.
#include "platform/afx/text_view_p.h"

#include <QAccessibleWidget>
#include <QScrollBar>

#include <algorithm>
#include <mutex>

namespace afx_detail {

class TextViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextViewAccessible(TextView* view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Value ? View()->Text().toString()
                                          : QAccessibleWidget::text(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.editable = false;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    void selection(int index, int* startOffset, int* endOffset) const override {
        const auto [start, end] = View()->Selection();
        const bool exists = index == 0 && start != end;
        *startOffset = exists ? start : 0;
        *endOffset = exists ? end : 0;
    }

    int selectionCount() const override {
        const auto [start, end] = View()->Selection();
        return start != end ? 1 : 0;
    }

    // One selection at most, as in the view.
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int index) override {
        if (index == 0) {
            View()->SetSelection(-1, 0);
        }
    }
    void setSelection(int index, int startOffset, int endOffset) override {
        if (index == 0) {
            View()->SetSelection(Clamp(startOffset), Clamp(endOffset));
        }
    }

    int cursorPosition() const override { return View()->Caret(); }
    void setCursorPosition(int position) override {
        View()->SetSelection(Clamp(position), Clamp(position));
    }

    QString text(int startOffset, int endOffset) const override {
        const int start = Clamp(startOffset);
        return View()->Text().mid(start, std::max(0, Clamp(endOffset) - start)).toString();
    }

    int characterCount() const override { return View()->Length(); }

    // Lines are the visual lines; other boundaries come from the text itself.
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                         int* endOffset) const override {
        if (type != QAccessible::LineBoundary) {
            return QAccessibleTextInterface::textAtOffset(offset, type, startOffset, endOffset);
        }
        return LineText(View()->VisualLineOf(Clamp(offset)), startOffset, endOffset);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                             int* endOffset) const override {
        if (type != QAccessible::LineBoundary) {
            return QAccessibleTextInterface::textBeforeOffset(offset, type, startOffset, endOffset);
        }
        return LineText(View()->VisualLineOf(Clamp(offset)) - 1, startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                            int* endOffset) const override {
        if (type != QAccessible::LineBoundary) {
            return QAccessibleTextInterface::textAfterOffset(offset, type, startOffset, endOffset);
        }
        return LineText(View()->VisualLineOf(Clamp(offset)) + 1, startOffset, endOffset);
    }

    QRect characterRect(int offset) const override {
        const TextView* view = View();
        if (offset < 0 || offset >= view->Length()) {
            return {};
        }
        QRect rect = view->PositionRect(offset);
        const QRect next = view->PositionRect(offset + 1);
        if (next.top() == rect.top()) {
            rect.setRight(std::max(rect.left(), next.left() - 1));
        }
        return {view->viewport()->mapToGlobal(rect.topLeft()), rect.size()};
    }

    int offsetAtPoint(const QPoint& point) const override {
        const TextView* view = View();
        const QPoint local = view->viewport()->mapFromGlobal(point);
        return view->viewport()->rect().contains(local) ? view->PositionAt(local) : -1;
    }

    void scrollToSubstring(int startIndex, int /*endIndex*/) override {
        View()->ScrollToLine(View()->VisualLineOf(Clamp(startIndex)));
    }

    QString attributes(int /*offset*/, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = View()->Length();
        return {};
    }

private:
    TextView* View() const {
        auto* view = static_cast<TextView*>(widget());
        view->Resync();
        return view;
    }
    int Clamp(int offset) const { return std::clamp(offset, 0, View()->Length()); }

    QString LineText(int line, int* startOffset, int* endOffset) const {
        const TextView* view = View();
        if (line < 0 || line >= view->VisualLineCount()) {
            *startOffset = *endOffset = -1;
            return {};
        }
        *startOffset = view->VisualLineStart(line);
        *endOffset = view->m_wrap.End(line, view->Length());
        return view->Text().mid(*startOffset, *endOffset - *startOffset).toString();
    }
};

namespace {

QAccessibleInterface* CreateAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(TextView::staticMetaObject.className())) {
        if (auto* view = qobject_cast<TextView*>(object)) {
            return new TextViewAccessible(view);
        }
    }
    return nullptr;
}

}  // namespace

void InstallTextViewAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(CreateAccessible); });
}

}  // namespace afx_detail
