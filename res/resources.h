// The program's resources that are not templates: the icon's pictures.
#pragma once

#include <span>

#include "platform/afx/resource.h"

namespace rv_res {

// Icon 128 in 48, 32, 24 and 16 pixels.
std::span<const AfxIconImage> MainIconImages();

}  // namespace rv_res
