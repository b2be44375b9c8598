// Where the tool finds its devices and what switches its trace on: the product's settings of
// the platform's device namespace and trace channels. Every program and test that opens the
// tool's devices links them (they apply themselves at start-up).
#pragma once

namespace rv_res {

// The environment variable that names the device directory, and the directory without it.
inline constexpr const char* kDeviceDirectoryVariable = "RV4417_DEVICES";
inline constexpr const char* kDefaultDeviceDirectory = "/dev/rv4417";
// The environment variable that names the trace channels.
inline constexpr const char* kTraceVariable = "RV4417_TRACE";

}  // namespace rv_res
