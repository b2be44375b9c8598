#include "tests/display/probed_tool.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "tests/support/emulation.h"

namespace rvtest {

namespace {

QRect ReadPlace(std::istream& in) {
    int x = 0, y = 0, w = 0, h = 0;
    in >> x >> y >> w >> h;
    return {x, y, w, h};
}

}  // namespace

ProbedTool::ProbedTool(const DisplayServer& server, const std::vector<std::string>& extraEnv)
    : m_control(m_devices.Entry("GPR1"), [](std::uint32_t) { return 1; }),
      m_log(server.RuntimeDir() / "tool.log") {
    m_devices.Link("COM0", m_com0.SlavePath());
    m_devices.Link("COM2", m_com2.SlavePath());
    std::vector<std::string> env = server.ClientEnvironment();
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    // Beside the program, where it finds its utilities and its sound; RV4417_DEVICES comes
    // with the test's environment.
    m_tool = std::make_unique<Child>(
        ChildOptions{.argv = BuiltProgram(RV_BINARY_DIR "/RV4417Test-probe"),
                     .env = EnvironmentWith(env),
                     .log = m_log,
                     .pipe = 1,
                     .input = true});
}

bool ProbedTool::Up() {
    return m_tool->ReadLine(kStartMs) == "up";
}

std::optional<std::vector<std::string>> ProbedTool::Ask(const std::string& command) {
    if (!m_tool->Send(command)) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    for (;;) {
        std::optional<std::string> line = m_tool->ReadLine(kAnswerMs);
        if (!line) {
            return std::nullopt;
        }
        if (*line == ".") {
            return lines;
        }
        lines.push_back(std::move(*line));
    }
}

std::optional<WindowFacts> ProbedTool::Facts(const std::string& command) {
    const auto lines = Ask(command);
    if (!lines) {
        return std::nullopt;
    }
    WindowFacts facts;
    const std::map<std::string, QRect*> places = {
        {"available", &facts.available}, {"window", &facts.window}, {"frame", &facts.frame}};
    const std::map<std::string, int*> numbers = {{"exposed", &facts.exposed},
                                                 {"font", &facts.fontPixels},
                                                 {"hidden", &facts.hidden},
                                                 {"shown", &facts.shown}};
    for (const std::string& line : *lines) {
        std::istringstream in(line);
        std::string key;
        in >> key;
        if (key == "screen") {
            int w = 0, h = 0;
            in >> w >> h >> facts.pixelRatio;
            facts.screen = QSize(w, h);
        } else if (key == "ok") {
            facts.ownOk = ReadPlace(in);
        } else if (places.contains(key)) {
            *places.at(key) = ReadPlace(in);
        } else if (numbers.contains(key)) {
            in >> *numbers.at(key);
        }
    }
    return facts;
}

std::optional<std::string> ProbedTool::CloseWithOk() {
    const auto lines = Ask("ok");
    return lines && !lines->empty() ? std::optional(lines->back()) : std::nullopt;
}

std::optional<unsigned long> ProbedTool::XWindow() {
    const auto lines = Ask("xid");
    unsigned long id = 0;
    if (!lines || lines->size() != 1 || std::sscanf(lines->front().c_str(), "xid %lu", &id) != 1) {
        return std::nullopt;
    }
    return id;
}

bool ProbedTool::SaysInOrder(const std::vector<std::string>& patterns) const {
    std::ifstream file(m_log);
    size_t matched = 0;
    for (std::string line; matched < patterns.size() && std::getline(file, line);) {
        matched += std::regex_search(line, std::regex(patterns[matched]));
    }
    return matched == patterns.size();
}

std::string ProbedTool::Messages() const {
    std::ifstream file(m_log);
    std::string messages;
    for (std::string line; std::getline(file, line);) {
        // Wayland's debug lines start with a time stamp in brackets; its errors do not.
        if (line.rfind('[', 0) != 0) {
            messages += line + "\n";
        }
    }
    return messages;
}

}  // namespace rvtest
