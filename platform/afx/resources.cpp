#include <QPixmap>
#include <map>
#include <memory>

#include "platform/afx/resource.h"
#include "platform/afx/resources_qt.h"
#include "platform/afx/ui_thread.h"

namespace afx_detail {

namespace {

const AfxResourceTable* g_resources = nullptr;

struct IconHandle {
    QIcon icon;
};

// Loaded icons live for the whole run, as the system's shared icons do.
std::map<UINT, std::unique_ptr<IconHandle>>& Icons() {
    static auto* icons = new std::map<UINT, std::unique_ptr<IconHandle>>;
    return *icons;
}

}  // namespace

QIcon IconOf(HICON icon) {
    return icon ? reinterpret_cast<const IconHandle*>(icon)->icon : QIcon();
}

HICON SetWindowIcon(Window& w, WPARAM which, HICON icon) {
    HICON& slot = w.icons[which == ICON_BIG ? 1 : 0];
    const HICON previous = slot;
    slot = icon;
    if (w.widget && w.widget->isWindow()) {
        QIcon combined = IconOf(w.icons[1]);
        for (const QSize& size : IconOf(w.icons[0]).availableSizes()) {
            combined.addPixmap(IconOf(w.icons[0]).pixmap(size));
        }
        w.widget->setWindowIcon(combined);
    }
    return previous;
}

}  // namespace afx_detail

void AfxRegisterResources(const AfxResourceTable* table) {
    afx_detail::g_resources = table;
}

const AfxDialogTemplate* AfxFindDialogTemplate(UINT id) {
    if (!afx_detail::g_resources) {
        return nullptr;
    }
    for (const AfxDialogTemplate& t : afx_detail::g_resources->dialogs) {
        if (t.id == id) {
            return &t;
        }
    }
    return nullptr;
}

const AfxIconResource* AfxFindIcon(UINT id) {
    if (!afx_detail::g_resources) {
        return nullptr;
    }
    for (const AfxIconResource& icon : afx_detail::g_resources->icons) {
        if (icon.id == id) {
            return &icon;
        }
    }
    return nullptr;
}

std::span<const AfxControlInitData> AfxInitData() {
    return afx_detail::g_resources ? afx_detail::g_resources->initData
                                   : std::span<const AfxControlInitData>();
}

HICON LoadIconW(HINSTANCE /*instance*/, LPCWSTR name) {
    const auto id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(name));
    if (reinterpret_cast<UINT_PTR>(name) > 0xFFFF) {
        return nullptr;  // icons are named by number only
    }
    return afx_detail::OnUi([&]() -> HICON {
        auto& icons = afx_detail::Icons();
        if (auto it = icons.find(id); it != icons.end()) {
            return reinterpret_cast<HICON>(it->second.get());
        }
        const AfxIconResource* resource = AfxFindIcon(id);
        if (!resource) {
            return nullptr;
        }
        auto handle = std::make_unique<afx_detail::IconHandle>();
        for (const AfxIconImage& image : resource->images) {
            QPixmap pixmap;
            if (pixmap.loadFromData(image.png.data(), static_cast<uint>(image.png.size()), "PNG")) {
                handle->icon.addPixmap(pixmap);
            }
        }
        const auto result = reinterpret_cast<HICON>(handle.get());
        icons.emplace(id, std::move(handle));
        return result;
    });
}
