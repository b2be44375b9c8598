#include "io/port.h"

HANDLE OpenPort(LPCWSTR name) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool IsPortOpen(HANDLE port) {
    return port != nullptr && port != INVALID_HANDLE_VALUE;
}

HANDLE PortThrough(const std::atomic<HANDLE>* port) {
    return port ? port->load() : nullptr;
}

void ConfigurePort(HANDLE port, const PortProfile& profile) {
    DCB dcb;
    memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof(DCB);
    GetCommState(port, &dcb);
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    SetDcbFlags(dcb, (GetDcbFlags(dcb) & ~profile.clearFlags) | profile.setFlags);
    SetCommState(port, &dcb);

    COMMTIMEOUTS timeouts;
    timeouts.ReadIntervalTimeout = 10;
    timeouts.ReadTotalTimeoutMultiplier = 10;
    timeouts.ReadTotalTimeoutConstant = 10;
    timeouts.WriteTotalTimeoutMultiplier = 50;
    timeouts.WriteTotalTimeoutConstant = 100;
    SetCommTimeouts(port, &timeouts);

    PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
}
