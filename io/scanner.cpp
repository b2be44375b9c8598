#include "io/scanner.h"

namespace {

bool ScannerRequest(DWORD code) {
    HANDLE device =
        CreateFileW(_T("GPR1:"), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        return false;
    }
    const BOOL accepted = DeviceIoControl(device, code, nullptr, 0, nullptr, 0, nullptr, nullptr);
    CloseHandle(device);
    return accepted != FALSE;
}

}  // namespace

bool ScannerStop() {
    return ScannerRequest(kScannerStopCode);
}

bool ScannerEnable() {
    return ScannerRequest(kScannerEnableCode);
}

bool ScannerTrigger() {
    return ScannerRequest(kScannerTriggerCode);
}

bool ScannerDisable() {
    return ScannerRequest(kScannerDisableCode);
}
