#include "platform/afx/resource.h"

namespace {

const AfxResourceTable* g_resources = nullptr;

}  // namespace

void AfxRegisterResources(const AfxResourceTable* table) {
    g_resources = table;
}

const AfxDialogTemplate* AfxFindDialogTemplate(UINT id) {
    if (!g_resources) {
        return nullptr;
    }
    for (const AfxDialogTemplate& t : g_resources->dialogs) {
        if (t.id == id) {
            return &t;
        }
    }
    return nullptr;
}

const AfxIconResource* AfxFindIcon(UINT id) {
    if (!g_resources) {
        return nullptr;
    }
    for (const AfxIconResource& icon : g_resources->icons) {
        if (icon.id == id) {
            return &icon;
        }
    }
    return nullptr;
}

std::span<const AfxControlInitData> AfxInitData() {
    return g_resources ? g_resources->initData : std::span<const AfxControlInitData>();
}
