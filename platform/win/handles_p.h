// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The handle table's kernel objects: every HANDLE the platform gives out names one here.
//
// Handles are never reused within a run, so a stale handle cannot reach a newer object. A
// lookup hands out shared ownership: an operation in progress on one thread keeps its object
// (and file descriptor) alive while another thread closes the handle; Close() then wakes it.
#pragma once

#include <memory>

#include "platform/win/types.h"

namespace win_detail {

class KernelObject {
public:
    virtual ~KernelObject() = default;

    // ReadFile / WriteFile / DeviceIoControl on this object. The defaults fail with
    // ERROR_INVALID_FUNCTION: not every object reads, writes or takes control codes.
    virtual BOOL Read(void* buffer, DWORD size, DWORD* done);
    virtual BOOL Write(const void* buffer, DWORD size, DWORD* done);
    virtual BOOL IoControl(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                           DWORD* returned);

    // Called once, when the last handle to the object is closed: ends operations in progress.
    virtual void Close() {}
};

// An object WaitForSingleObject can wait for (a process, an event).
class Waitable : public KernelObject {
public:
    // Whether the object is signaled now.
    virtual bool Signaled() = 0;
    // A descriptor that turns readable when the object may have become signaled; -1 when
    // there is none and waits must look again now and then.
    virtual int SignalFd() const = 0;
    // Whether it stands for another program (whose end is not the tool's to bring about).
    virtual bool IsOtherProgram() const { return false; }
};

HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

}  // namespace win_detail
