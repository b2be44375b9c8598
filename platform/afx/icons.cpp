#include "platform/afx/icons_p.h"

#include <QPixmap>
#include <map>
#include <memory>

#include "platform/afx/resource.h"

namespace afx_detail {

namespace {

struct IconHandle {
    QIcon icon;
};

// Loaded icons live for the whole run, as the system's shared icons do.
std::map<UINT, std::unique_ptr<IconHandle>>& Icons() {
    static auto* icons = new std::map<UINT, std::unique_ptr<IconHandle>>;
    return *icons;
}

}  // namespace

HICON LoadIconResource(UINT id) {
    auto& icons = Icons();
    if (auto it = icons.find(id); it != icons.end()) {
        return reinterpret_cast<HICON>(it->second.get());
    }
    const AfxIconResource* resource = AfxFindIcon(id);
    if (!resource) {
        return nullptr;
    }
    auto handle = std::make_unique<IconHandle>();
    for (const AfxIconImage& image : resource->images) {
        QPixmap pixmap;
        if (pixmap.loadFromData(image.png.data(), static_cast<uint>(image.png.size()), "PNG")) {
            handle->icon.addPixmap(pixmap);
        }
    }
    const auto result = reinterpret_cast<HICON>(handle.get());
    icons.emplace(id, std::move(handle));
    return result;
}

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
