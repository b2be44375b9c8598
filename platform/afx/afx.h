// Everything the tool's dialogs may use of the system and of the dialog framework.
#pragma once

#include "platform/afx/controls.h"
#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"
#include "platform/afx/file.h"
#include "platform/afx/gui_types.h"
#include "platform/afx/msgmap.h"
#include "platform/afx/progress.h"
#include "platform/afx/resource.h"
#include "platform/afx/sync.h"
#include "platform/afx/thread.h"
#include "platform/afx/winapp.h"
#include "platform/afx/window_api.h"
#include "platform/afx/wnd.h"
#include "platform/win/win.h"
