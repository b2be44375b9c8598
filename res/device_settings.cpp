#include "res/device_settings.h"

#include "platform/win/device.h"
#include "platform/win/trace.h"

namespace {

// Before main(): the first device opened and the first event traced already see them.
const bool kDeviceSettingsApplied = [] {
    SetDeviceDirectoryFrom(rv_res::kDeviceDirectoryVariable, rv_res::kDefaultDeviceDirectory);
    ReadTraceSettingsFrom(rv_res::kTraceVariable);
    return true;
}();

}  // namespace
