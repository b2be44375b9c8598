#include "tests/display/display_server.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace rvtest {

DisplayServer::DisplayServer() {
    std::filesystem::permissions(m_runtime.path(), std::filesystem::perms::owner_all);
}

DisplayServer::~DisplayServer() {
    if (m_server) {
        m_server->Signal(SIGTERM);
        m_server->Wait(kStartMs);
    }
}

std::string DisplayServer::Log() const {
    std::ifstream file(LogPath());
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string DisplayServer::Start(ChildOptions options, int timeoutMs) {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        return {};
    }
    options.passFd = ready[1];
    m_server = std::make_unique<Child>(options);
    close(ready[1]);  // the server holds the only writer now: its end is the pipe's end
    std::string said;
    char chunk[64];
    while (said.find('\n') == std::string::npos && WaitReadable(ready[0], timeoutMs)) {
        const ssize_t n = read(ready[0], chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        said.append(chunk, static_cast<size_t>(n));
    }
    close(ready[0]);
    const size_t end = said.find('\n');
    return end == std::string::npos ? std::string() : said.substr(0, end);
}

}  // namespace rvtest
