
#include "tests/display/display_server.h"

namespace rvtest {

Xvfb::Xvfb(int width, int height) {
    // -displayfd: Xvfb takes the first free display and names it once it takes clients.
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    ChildOptions options;
    options.argv = {"/usr/bin/Xvfb", "-displayfd", "3",   "-screen", "0",
                    screen,          "-nolisten",  "tcp", "-noreset"};
    options.env = EnvironmentWith({});
    options.log = LogPath();
    const std::string number = Start(options, kStartMs);
    m_display = ":" + number;
    m_ready = !number.empty();
}

std::vector<std::string> Xvfb::ClientEnvironment() const {
    return {"XDG_RUNTIME_DIR=" + RuntimeDir().string(), "DISPLAY=" + m_display};
}

}  // namespace rvtest
