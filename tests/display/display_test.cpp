// The tool on real display servers, as on the terminal's kiosk and on a technician's desktop:
// weston's headless back end with the kiosk shell (the window fills the screen) and the
// desktop shell, and Xvfb without a window manager (the window fits the screen). In each the
// tool keeps running, every page is whole inside its window, and the OK button ends it
// cleanly: exit 0, the scanner stopped and disabled, the control device let go. (Why the
// kiosk's screen itself is not looked at: display_server.h.)
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

#include "tests/display/close_request.h"
#include "tests/display/probed_tool.h"
#include "tests/support/display_server.h"

namespace {

using rvtest::DisplayServer;
using rvtest::ProbedTool;
using rvtest::WindowFacts;

// The application id, which is the desktop entry's id: a compositor finds the entry (and its
// icon) by it.
constexpr const char* kAppId = "org.rv4417.rv4417test";

enum class Shell { Kiosk, Desktop, X11 };

struct Session {
    const char* name;
    Shell shell;
    int width;
    int height;
    int scale;
};

void PrintTo(const Session& session, std::ostream* out) {
    *out << session.name;
}

std::unique_ptr<DisplayServer> StartServer(const Session& session) {
    if (session.shell == Shell::X11) {
        return std::make_unique<rvtest::Xvfb>(session.width, session.height);
    }
    return std::make_unique<rvtest::Weston>(rvtest::WestonScreen{
        session.shell == Shell::Kiosk, session.width, session.height, session.scale});
}

std::string Describe(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
}

class DisplayTest : public testing::TestWithParam<Session> {
protected:
    void SetUp() override {
        server = StartServer(GetParam());
        ASSERT_TRUE(server->Ready()) << server->Log();
    }

    // The tool, up on the server; the Wayland sessions log the protocol.
    std::unique_ptr<ProbedTool> StartTool(std::vector<std::string> env = {}) {
        if (GetParam().shell != Shell::X11) {
            env.emplace_back("WAYLAND_DEBUG=1");
        }
        auto tool = std::make_unique<ProbedTool>(*server, env);
        EXPECT_TRUE(tool->Up()) << "the tool did not come up:\n" << tool->Messages();
        return tool;
    }

    // Fills the screen in the kiosk, fits it elsewhere; the caption row is the dialog's own
    // where nobody else draws one.
    void ExpectPlacedOnTheScreen(const WindowFacts& facts) {
        const Session& session = GetParam();
        EXPECT_TRUE(facts.exposed);
        EXPECT_EQ(facts.screen, QSize(session.width, session.height));
        EXPECT_EQ(facts.pixelRatio, session.scale);
        const QRect inside(QPoint(0, 0), facts.window.size());
        switch (session.shell) {
            case Shell::Kiosk:
                EXPECT_EQ(facts.window.size(), facts.screen) << Describe(facts.window);
                EXPECT_EQ(facts.frame.size(), facts.window.size()) << Describe(facts.frame);
                break;
            case Shell::Desktop:
                // Under Wayland the compositor places the window: only its size can be seen.
                EXPECT_LE(facts.frame.width(), facts.available.width()) << Describe(facts.frame);
                EXPECT_LE(facts.frame.height(), facts.available.height()) << Describe(facts.frame);
                break;
            case Shell::X11:
                // Moved to (-1, -1), its frame just off the screen.
                EXPECT_TRUE(QRect(QPoint(-1, -1), facts.screen + QSize(2, 2)).contains(facts.frame))
                    << Describe(facts.frame);
                break;
        }
        if (session.shell == Shell::Desktop) {
            EXPECT_FALSE(facts.ownOk) << "a second caption under the desktop's";
        } else {
            ASSERT_TRUE(facts.ownOk) << "no OK button where nobody draws a caption";
            EXPECT_TRUE(inside.contains(*facts.ownOk)) << Describe(*facts.ownOk);
        }
    }

    // OK ends the tool as the caption's button does: the Barcode page stops and disables
    // the scanner, and every device is let go.
    void ExpectOkEndsItCleanly(ProbedTool& tool) {
        const bool own = GetParam().shell != Shell::Desktop;
        EXPECT_EQ(tool.CloseWithOk(), own ? "pressed" : "closed");
        EXPECT_EQ(tool.Ended(), 0) << tool.Messages();
        EXPECT_EQ(tool.Control().Codes(), (std::vector<std::uint32_t>{500, 100, 500, 150}));
        EXPECT_TRUE(tool.Control().WaitAllClosed(5000));
    }

    std::unique_ptr<DisplayServer> server;
};

TEST_P(DisplayTest, TheToolRunsOnTheScreenWithEveryPageWholeInsideItsWindowAndOkEndsIt) {
    const std::unique_ptr<ProbedTool> tool = StartTool();
    const std::optional<WindowFacts> facts = tool->Window();
    ASSERT_TRUE(facts) << tool->Messages();
    ExpectPlacedOnTheScreen(*facts);
    std::cout << GetParam().name << ": window " << Describe(facts->window) << ", frame "
              << Describe(facts->frame) << ", font " << facts->fontPixels << " px\n";

    EXPECT_EQ(tool->LayoutFaults(), std::vector<std::string>{});
    if (GetParam().shell != Shell::X11) {
        EXPECT_TRUE(tool->SaysInOrder({R"(set_app_id\(")" + std::string(kAppId) + "\""}));
        EXPECT_TRUE(
            std::filesystem::exists(std::string(RV_SOURCE_DIR) + "/data/" + kAppId + ".desktop"));
    }
    ExpectOkEndsItCleanly(*tool);
}

INSTANTIATE_TEST_SUITE_P(, DisplayTest,
                         testing::Values(Session{"Kiosk240x320", Shell::Kiosk, 240, 320, 1},
                                         Session{"Kiosk240x320Scale2", Shell::Kiosk, 240, 320, 2},
                                         Session{"Kiosk320x480", Shell::Kiosk, 320, 480, 1},
                                         Session{"Kiosk480x640", Shell::Kiosk, 480, 640, 1},
                                         Session{"Kiosk480x640Scale2", Shell::Kiosk, 480, 640, 2},
                                         Session{"Desktop1024x768", Shell::Desktop, 1024, 768, 1},
                                         Session{"X11_240x320", Shell::X11, 240, 320, 1}),
                         testing::PrintToStringParamName());

// Hidden around a utility, the window comes back: under Wayland a hidden window's surface
// is gone, and showing makes a new one, which the kiosk must map full screen again.
class UtilityTest : public DisplayTest {};

TEST_P(UtilityTest, TheWindowComesBackWhenTheUtilityEnds) {
    const std::filesystem::path ran = server->RuntimeDir() / "utilities.log";
    const std::unique_ptr<ProbedTool> tool =
        StartTool({"RV4417_UTILITY_CLOSE_MS=300", "RV4417_UTILITY_LOG=" + ran.string()});
    ASSERT_TRUE(tool->Window()) << tool->Messages();
    const std::optional<WindowFacts> after = tool->RunUtility();
    ASSERT_TRUE(after) << tool->Messages();
    EXPECT_TRUE(std::filesystem::exists(ran)) << "the utility did not run";
    EXPECT_EQ(after->hidden, 1);
    EXPECT_EQ(after->shown, 1);
    ExpectPlacedOnTheScreen(*after);
    // The compositor's side: the hidden window's surface went, and a new one, named as the
    // first, was configured (by the kiosk: full screen).
    const std::string size =
        GetParam().shell == Shell::Kiosk
            ? std::to_string(GetParam().width) + ", " + std::to_string(GetParam().height) + ","
            : "";
    EXPECT_TRUE(tool->SaysInOrder({R"(-> xdg_toplevel@\d+\.destroy\(\))",
                                   R"(-> xdg_toplevel@\d+\.set_app_id\(")" + std::string(kAppId),
                                   R"(xdg_toplevel@\d+\.configure\()" + size}));
    ExpectOkEndsItCleanly(*tool);
}

// The window system's close request, many times in a row at varied times after the window
// shows (while the scanner's start and COM0's reader are under way, and after): every one
// ends the tool as OK does, none is left for a second request to deliver.
TEST(CloseTest, EveryCloseRequestOfTheWindowSystemEndsTheTool) {
    rvtest::Xvfb server(240, 320);
    ASSERT_TRUE(server.Ready()) << server.Log();
    for (const int ms : {0, 3, 30, 100, 300, 700, 1300, 1700, 2200, 2900, 3500, 4000}) {
        SCOPED_TRACE(ms);
        ProbedTool tool(server, {});
        ASSERT_TRUE(tool.Up()) << tool.Messages();
        const std::optional<unsigned long> window = tool.XWindow();
        ASSERT_TRUE(window);
        // Until the moment under test COM0's device talks: the reader's steps queue for the
        // window meanwhile, as a card's data does.
        const auto request = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do {
            tool.Com0().Send("%B4417000000000000^TEST/CARD^2912?\r\n");
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } while (std::chrono::steady_clock::now() < request);
        ASSERT_TRUE(rvtest::RequestClose(server.Display(), *window));
        EXPECT_EQ(tool.Ended(), 0) << tool.Messages();
        EXPECT_EQ(tool.Control().Codes(), (std::vector<std::uint32_t>{500, 100, 500, 150}));
    }
}

// The processes whose program is named name and whose environment holds entry.
std::vector<int> ProcessesOf(const std::string& name, const std::string& entry) {
    std::vector<int> found;
    for (const auto& dir : std::filesystem::directory_iterator("/proc")) {
        const std::string pid = dir.path().filename();
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::string argv0;
        std::getline(std::ifstream(dir.path() / "cmdline"), argv0, '\0');
        std::string env;
        std::getline(std::ifstream(dir.path() / "environ"), env, '\n');
        if (argv0.ends_with("/" + name) && env.find(entry + '\0') != std::string::npos) {
            found.push_back(std::stoi(pid));
        }
    }
    return found;
}

// A signal while a utility runs ends the tool at once as OK does; the utility is the
// technician's and keeps running.
TEST(SignalTest, ASignalWhileAUtilityRunsEndsTheToolAsOkDoesAndLeavesTheUtility) {
    rvtest::Xvfb server(240, 320);
    ASSERT_TRUE(server.Ready()) << server.Log();
    const std::string mine = "RV4417_UTILITY_LOG=" + (server.RuntimeDir() / "ran.log").string();
    ProbedTool tool(server, {mine});
    ASSERT_TRUE(tool.Up()) << tool.Messages();
    ASSERT_TRUE(tool.Launch());
    ASSERT_TRUE(tool.OtherLine()) << "the utility said nothing";
    tool.Signal(SIGTERM);
    EXPECT_EQ(tool.Ended(), 0) << tool.Messages();
    EXPECT_EQ(tool.Control().Codes(), (std::vector<std::uint32_t>{500, 100, 500, 150}));
    EXPECT_TRUE(tool.Control().WaitAllClosed(5000));
    const std::vector<int> utility = ProcessesOf("SnapTool.exe", mine);
    EXPECT_EQ(utility.size(), 1u);
    for (const int pid : utility) {
        kill(pid, SIGKILL);
    }
}

INSTANTIATE_TEST_SUITE_P(, UtilityTest,
                         testing::Values(Session{"Kiosk240x320", Shell::Kiosk, 240, 320, 1},
                                         Session{"Desktop1024x768", Shell::Desktop, 1024, 768, 1}),
                         testing::PrintToStringParamName());

}  // namespace
