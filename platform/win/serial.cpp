#include "platform/win/serial.h"

#include <cstring>

#include "platform/win/error_p.h"
#include "platform/win/handles_p.h"
#include "platform/win/serial_port_p.h"

namespace {

std::shared_ptr<win_detail::SerialPort> Port(HANDLE handle) {
    auto port = win_detail::LookupHandleAs<win_detail::SerialPort>(handle);
    if (!port) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return port;
}

using win_detail::SerialPort;

// The settings calls alike: a record to fill or to apply, and the port behind the handle.
template <class Record, class Use>
BOOL WithRecord(HANDLE handle, Record* record, Use use) {
    if (!record) {
        return win_detail::Fail(ERROR_INVALID_PARAMETER);
    }
    const auto port = Port(handle);
    return port ? use(*port, *record) : FALSE;
}

}  // namespace

BOOL GetCommState(HANDLE port, LPDCB dcb) {
    return WithRecord(port, dcb, [](SerialPort& p, DCB& d) {
        d = p.GetState();
        return TRUE;
    });
}

BOOL SetCommState(HANDLE port, LPDCB dcb) {
    return WithRecord(port, dcb, [](SerialPort& p, DCB& d) { return p.SetState(d); });
}

BOOL GetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts) {
    return WithRecord(port, timeouts, [](SerialPort& p, COMMTIMEOUTS& t) {
        t = p.GetTimeouts();
        return TRUE;
    });
}

BOOL SetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts) {
    return WithRecord(port, timeouts, [](SerialPort& p, COMMTIMEOUTS& t) {
        p.SetTimeouts(t);
        return TRUE;
    });
}

BOOL PurgeComm(HANDLE port, DWORD flags) {
    const auto p = Port(port);
    return p ? p->Purge(flags) : FALSE;
}

DWORD GetDcbFlags(const DCB& dcb) {
    DWORD flags = 0;
    std::memcpy(&flags, reinterpret_cast<const BYTE*>(&dcb) + 2 * sizeof(DWORD), sizeof flags);
    return flags;
}

void SetDcbFlags(DCB& dcb, DWORD flags) {
    std::memcpy(reinterpret_cast<BYTE*>(&dcb) + 2 * sizeof(DWORD), &flags, sizeof flags);
}
