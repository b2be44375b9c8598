#include "platform/afx/resource.h"

namespace {

const AfxResourceTable* g_resources = nullptr;

template <class Item>
const Item* FindById(std::span<const Item> items, UINT id) {
    for (const Item& item : items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

}  // namespace

void AfxRegisterResources(const AfxResourceTable* table) {
    g_resources = table;
}

const AfxDialogTemplate* AfxFindDialogTemplate(UINT id) {
    return g_resources ? FindById(g_resources->dialogs, id) : nullptr;
}

const AfxIconResource* AfxFindIcon(UINT id) {
    return g_resources ? FindById(g_resources->icons, id) : nullptr;
}

std::span<const AfxControlInitData> AfxInitData() {
    return g_resources ? g_resources->initData : std::span<const AfxControlInitData>();
}
