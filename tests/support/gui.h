// Driving the real widgets in tests: the shared driving helpers under the names the suites
// and benchmarks use.
#pragma once

#include "tools/drive/controls.h"
#include "tools/drive/modals.h"
#include "tools/drive/waits.h"

namespace rvtest {

using drive::Choose;
using drive::Click;
using drive::ClickTab;
using drive::ControlOf;
using drive::FileDialogs;
using drive::MessageBoxes;
using drive::Pump;
using drive::RunLoop;
using drive::RunLoopUntil;
using drive::Screenshot;
using drive::SetText;
using drive::TabBarOf;
using drive::Text;
using drive::Visibility;
using drive::WaitUntil;
using drive::WidgetOf;

}  // namespace rvtest
