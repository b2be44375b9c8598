// The tool as it ships, started on a real display server against a simulated terminal's
// ports (pseudo-terminals) and control device, with the probe of dialog_probe.cpp to ask
// what its window looks like and to work it. Every wait ends with an event of the tool's (a
// line, its end) or after a generous bound.
#pragma once

#include <QRect>
#include <QSize>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child.h"
#include "tests/support/device_dir.h"
#include "tests/support/display_server.h"
#include "tools/sim/control_device.h"
#include "tools/sim/pty.h"

namespace rvtest {

struct WindowFacts {
    QSize screen;  // logical pixels
    double pixelRatio = 0;
    QRect available;
    QRect window;     // the client area; under Wayland always at (0, 0)
    QRect frame;      // with the caption a window manager or a decoration draws
    int exposed = 0;  // 1: on the screen
    int fontPixels = 0;
    std::optional<QRect> ownOk;  // the OK button of the dialog's own caption row
    int hidden = 0;              // after a utility: how often the window hid and showed
    int shown = 0;
};

class ProbedTool {
public:
    // extraEnv: more "NAME=value" for the tool, besides the server's and the device folder.
    ProbedTool(const DisplayServer& server, const std::vector<std::string>& extraEnv);

    // Waits until the dialog is up (false: the tool ended or hung first).
    bool Up();
    std::optional<WindowFacts> Window() { return Facts("window"); }
    // What is not laid out whole, a line each.
    std::optional<std::vector<std::string>> LayoutFaults() { return Ask("layout"); }
    // Starts the Other page's first utility; the window once it is back.
    std::optional<WindowFacts> RunUtility() { return Facts("utility"); }
    // Presses the own OK button, or closes the window where there is none: "pressed" or
    // "closed".
    std::optional<std::string> CloseWithOk();
    // The window's id on an X11 server.
    std::optional<unsigned long> XWindow();
    // Starts the Other page's first utility; the tool waits for it from then on.
    bool Launch() { return Ask("launch").has_value(); }
    void Signal(int signal) const { m_tool->Signal(signal); }
    // The next line of the tool's standard output that is no answer (a utility's).
    std::optional<std::string> OtherLine() { return m_tool->ReadLine(kAnswerMs); }
    // Waits for the tool's end and gives its exit status.
    std::optional<int> Ended() { return m_tool->Wait(kStartMs); }

    const sim::ControlDeviceServer& Control() const { return m_control; }
    // COM0's far end, where its device talks.
    sim::PseudoTerminal& Com0() { return m_com0; }
    // Whether lines of the standard error match the patterns (regular expressions) one after
    // the other, other lines between them (Wayland's debug lines too).
    bool SaysInOrder(const std::vector<std::string>& patterns) const;
    // The standard error without Wayland's debug lines, for a failure's report.
    std::string Messages() const;

private:
    static constexpr int kStartMs = 30000;   // the first start of a session builds the font cache
    static constexpr int kAnswerMs = 30000;  // a command waits up to 10 s in the tool

    // The probe's answer, the lines before its ".". A utility the tool starts writes to the
    // same output: answers are read by their keys.
    std::optional<std::vector<std::string>> Ask(const std::string& command);
    std::optional<WindowFacts> Facts(const std::string& command);

    DeviceDir m_devices;
    sim::PseudoTerminal m_com0;
    sim::PseudoTerminal m_com2;
    sim::ControlDeviceServer m_control;
    std::filesystem::path m_log;
    std::unique_ptr<Child> m_tool;
};

}  // namespace rvtest
