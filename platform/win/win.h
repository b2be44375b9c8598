// Everything the tool's own code may call of the system: include this, nothing else.
#pragma once

#include <string.h>  // memset, strlen: part of the system's C library there too

#include "platform/win/codepage.h"
#include "platform/win/control.h"
#include "platform/win/cstring.h"
#include "platform/win/device.h"
#include "platform/win/error.h"
#include "platform/win/file.h"
#include "platform/win/find.h"
#include "platform/win/handles.h"
#include "platform/win/module.h"
#include "platform/win/process.h"
#include "platform/win/serial.h"
#include "platform/win/sound.h"
#include "platform/win/thread.h"
#include "platform/win/trace.h"
#include "platform/win/types.h"
#include "platform/win/wait.h"
