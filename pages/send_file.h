// Sending a file to a port: streamed in small chunks, so any size goes out whole with bounded
// memory; what reaches the port is always a prefix of the file, unchanged. A send that takes
// more than about a second shows its progress with a Cancel button, which stops it at once.
#pragma once

#include <atomic>

#include "platform/afx/afx.h"

// Sends the file from its current position to its end. FALSE when the user canceled.
BOOL SendFile(CFile& file, const std::atomic<HANDLE>* port, CWnd* owner);
