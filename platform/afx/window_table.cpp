#include "platform/afx/window_table_p.h"

#include <QTimer>
#include <QVariant>
#include <unordered_map>
#include <vector>

#include "platform/afx/dispatch_p.h"

struct CWndAccess {
    static void Released(CWnd* wnd) {
        wnd->m_hWnd = nullptr;
        wnd->PostNcDestroy();
    }
};

namespace afx_detail {

namespace {

constexpr const char* kHandleProperty = "afx_hwnd";

struct Table {
    std::unordered_map<std::uintptr_t, std::unique_ptr<Window>> windows;
    std::uintptr_t next = 0x10000;  // apart from kernel handles, multiples of 4
};

Table& TheTable() {
    static auto* table = new Table;  // never destroyed: a CWnd may go after the program's end
    return *table;
}

std::uintptr_t Key(HWND hwnd) {
    return reinterpret_cast<std::uintptr_t>(hwnd);
}

}  // namespace

Window& Register(QWidget* widget, Kind kind, int id, DWORD style, DWORD exStyle, HWND parent) {
    Table& table = TheTable();
    auto window = std::make_unique<Window>();
    window->hwnd = reinterpret_cast<HWND>(table.next);
    table.next += 4;
    window->widget = widget;
    window->kind = kind;
    window->id = id;
    window->style = style;
    window->exStyle = exStyle;
    window->parent = parent;
    widget->setProperty(kHandleProperty, QVariant::fromValue<quintptr>(Key(window->hwnd)));
    // A widget Qt deletes on its own (with its parent) takes its record along.
    const HWND hwnd = window->hwnd;
    QObject::connect(widget, &QObject::destroyed, [hwnd] { Forget(hwnd); });
    Window& ref = *window;
    table.windows.emplace(Key(hwnd), std::move(window));
    return ref;
}

Window* Find(HWND hwnd) {
    Table& table = TheTable();
    const auto it = table.windows.find(Key(hwnd));
    return it == table.windows.end() ? nullptr : it->second.get();
}

Window* FindEnclosing(const QWidget* widget, bool withinWindow) {
    for (; widget; widget = widget->parentWidget()) {
        const QVariant handle = widget->property(kHandleProperty);
        if (handle.isValid()) {
            return Find(reinterpret_cast<HWND>(handle.value<quintptr>()));
        }
        if (withinWindow && widget->isWindow()) {
            break;
        }
    }
    return nullptr;
}

HWND FindChild(HWND dialog, int id) {
    for (const auto& [key, window] : TheTable().windows) {
        if (window->parent == dialog && window->id == id && dialog) {
            return window->hwnd;
        }
    }
    return nullptr;
}

void ReleaseObject(CWnd* wnd) {
    Window* window = Find(wnd->m_hWnd);
    wnd->m_hWnd = nullptr;
    if (!window) {
        return;
    }
    if (window->bound == wnd) {
        window->bound = nullptr;
    }
    if (window->creator == wnd) {
        window->creator = nullptr;
        QPointer<QWidget> widget = window->widget;
        Forget(window->hwnd);
        delete widget.data();  // children go with it; their records follow their widgets
    }
}

void Forget(HWND hwnd) {
    Table& table = TheTable();
    const auto it = table.windows.find(Key(hwnd));
    if (it == table.windows.end()) {
        return;
    }
    std::unique_ptr<Window> window = std::move(it->second);
    table.windows.erase(it);
    window->timers.clear();
    if (window->bound) {
        CWndAccess::Released(window->bound);
    }
}

std::vector<Window*> Descendants(HWND hwnd) {
    std::vector<Window*> order;
    if (Window* root = Find(hwnd)) {
        order.push_back(root);
    }
    for (size_t i = 0; i < order.size(); ++i) {
        for (const auto& [key, window] : TheTable().windows) {
            if (window->parent == order[i]->hwnd) {
                order.push_back(window.get());
            }
        }
    }
    return order;
}

void DestroyTree(HWND hwnd) {
    Window* root = Find(hwnd);
    if (!root) {
        return;
    }
    // The window first, then its children, as the system sends WM_DESTROY.
    std::vector<HWND> order;
    for (const Window* w : Descendants(hwnd)) {
        order.push_back(w->hwnd);
    }
    for (const HWND h : order) {
        if (Window* w = Find(h)) {
            w->timers.clear();
            Dispatch(h, WM_DESTROY, 0, 0);
        }
    }
    QPointer<QWidget> widget = root->widget;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Forget(*it);
    }
    delete widget.data();
}

void ForgetAllWindows() {
    Table& table = TheTable();
    std::vector<QPointer<QWidget>> windows;
    for (const auto& [key, window] : table.windows) {
        if (window->widget && window->widget->isWindow()) {
            windows.emplace_back(window->widget);
        }
    }
    while (!table.windows.empty()) {
        Forget(reinterpret_cast<HWND>(table.windows.begin()->first));
    }
    for (const QPointer<QWidget>& widget : windows) {
        delete widget.data();  // a window inside another went with it
    }
}

bool IsEditWindow(HWND hwnd) {
    return OnWindow(hwnd, false, [](const Window& w) {
        return w.kind == Kind::LineEdit || w.kind == Kind::TextEdit || w.kind == Kind::TextView;
    });
}

bool IsPushButton(HWND hwnd) {
    return OnWindow(hwnd, false, [](const Window& w) { return w.kind == Kind::PushButton; });
}

}  // namespace afx_detail
