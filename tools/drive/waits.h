// Waiting on the user-interface thread while its events are served.
#pragma once

#include <functional>

namespace drive {

// Processes events until the condition holds (true) or the time is up (false).
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void Pump(int ms);
// The same in a real event loop, which never sleeps between events (Pump and WaitUntil
// do, which delays timers by up to 10 ms): for measuring how promptly events are served.
bool RunLoopUntil(const std::function<bool()>& condition, int timeoutMs);
void RunLoop(int ms);

}  // namespace drive
