// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The keyboard status of a list of input devices, in the form of /proc/bus/input/devices.
#pragma once

#include <string_view>

#include "platform/win/types.h"

namespace win_detail {

DWORD KeyboardStatusOf(std::string_view devices);

}  // namespace win_detail
