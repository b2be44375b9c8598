#include "platform/win/handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "platform/win/error_p.h"
#include "platform/win/handles_p.h"

namespace win_detail {

namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
    std::uintptr_t next = 0x100;  // multiples of 4, as the system's own handles are
};

Table& TheTable() {
    static Table* table = new Table;  // never destroyed: handles may be closed during exit
    return *table;
}

std::uintptr_t Key(HANDLE handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace

BOOL KernelObject::Read(void* /*buffer*/, DWORD /*size*/, DWORD* done) {
    if (done) {
        *done = 0;
    }
    return Fail(ERROR_INVALID_FUNCTION);
}

BOOL KernelObject::Write(const void* /*buffer*/, DWORD /*size*/, DWORD* done) {
    if (done) {
        *done = 0;
    }
    return Fail(ERROR_INVALID_FUNCTION);
}

BOOL KernelObject::IoControl(DWORD /*code*/, const void* /*in*/, DWORD /*inSize*/, void* /*out*/,
                             DWORD /*outSize*/, DWORD* returned) {
    if (returned) {
        *returned = 0;
    }
    return Fail(ERROR_INVALID_FUNCTION);
}

HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    const std::uintptr_t key = table.next;
    table.next += 4;
    table.objects.emplace(key, std::move(object));
    return reinterpret_cast<HANDLE>(key);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    const auto it = table.objects.find(Key(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

}  // namespace win_detail

BOOL CloseHandle(HANDLE handle) {
    std::shared_ptr<win_detail::KernelObject> object;
    {
        win_detail::Table& table = win_detail::TheTable();
        std::lock_guard lock(table.mutex);
        const auto it = table.objects.find(win_detail::Key(handle));
        if (it == table.objects.end()) {
            return win_detail::Fail(ERROR_INVALID_HANDLE);
        }
        object = std::move(it->second);
        table.objects.erase(it);
    }
    object->Close();
    return TRUE;
}
