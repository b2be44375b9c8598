// The real program ended from outside: SIGTERM, SIGINT and SIGHUP close the main dialog as its
// caption's button does, so every page's destroy handling runs; a second one ends it at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/device_dir.h"
#include "tests/support/emulation.h"
#include "tests/support/temp_dir.h"
#include "tools/sim/control_device.h"
#include "tools/sim/pty.h"

extern char** environ;

namespace {

constexpr std::uint32_t kStop = 500;
constexpr std::uint32_t kEnable = 100;
constexpr std::uint32_t kDisable = 150;

class TerminationTest : public testing::Test {
protected:
    void SetUp() override {
        devices.Link("COM0", com0.SlavePath());
        devices.Link("COM2", com2.SlavePath());
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    // Starts the program, its standard error to the file.
    void Spawn(const std::string& log = "/dev/null") {
        std::vector<std::string> command = rvtest::BuiltProgram(RV_BINARY_DIR "/RV4417Test");
        std::vector<char*> argv;
        for (std::string& part : command) {
            argv.push_back(part.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT, 0600);
        const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(error, 0);
    }
    // Starts the program and waits until its Barcode page has enabled the scanner.
    void Start(sim::ControlDeviceServer& server) {
        ASSERT_NO_FATAL_FAILURE(Spawn());
        ASSERT_TRUE(server.WaitForCodes(2, 20000));
        ASSERT_EQ(server.Codes(), (std::vector<std::uint32_t>{kStop, kEnable}));
    }
    // The exit status, or -signal when a signal ended it; 999 when it does not end in time.
    int End(int timeoutMs) {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return 999;
    }

    rvtest::DeviceDir devices;
    sim::PseudoTerminal com0;
    sim::PseudoTerminal com2;
    pid_t pid = -1;
};

TEST_F(TerminationTest, EachTerminationSignalClosesTheDialogInOrderAndExitsZero) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        sim::ControlDeviceServer server(devices.Entry("GPR1"), [](std::uint32_t) { return 1; });
        Start(server);
        kill(pid, signal);
        EXPECT_EQ(End(20000), 0);
        // The Barcode page's destroy handling ran: the scanner is stopped and disabled.
        EXPECT_EQ(server.Codes(), (std::vector<std::uint32_t>{kStop, kEnable, kStop, kDisable}));
        EXPECT_TRUE(server.WaitAllClosed(2000));
    }
}

TEST_F(TerminationTest, ASecondSignalWhileClosingEndsTheProgramAtOnce) {
    // The scanner's stop takes the control device's full second: the closing is under way.
    sim::ControlDeviceServer server(devices.Entry("GPR1"), [](std::uint32_t code) {
        return code == kStop ? sim::ControlDeviceServer::kNoAnswer : 1;
    });
    Start(server);
    kill(pid, SIGTERM);
    ASSERT_TRUE(server.WaitForCodes(3, 20000));
    kill(pid, SIGTERM);
    EXPECT_EQ(End(20000), -SIGTERM);
    EXPECT_EQ(server.Codes(), (std::vector<std::uint32_t>{kStop, kEnable, kStop}));
}

TEST_F(TerminationTest, ASignalWhileAStartUpMessageIsOpenClosesItAndTheOnesAfter) {
    // Neither port: the Barcode page's message comes first, the main dialog's after it.
    devices.Unplug("COM0");
    devices.Unplug("COM2");
    sim::ControlDeviceServer server(devices.Entry("GPR1"), [](std::uint32_t) { return 1; });
    const rvtest::TempDir dir;
    const std::string log = (dir.path() / "err").string();
    setenv("RV4417_TRACE", "ui", 1);
    Spawn(log);
    unsetenv("RV4417_TRACE");
    const auto says = [&](const std::string& text) {
        std::ostringstream all;
        all << std::ifstream(log).rdbuf();
        return all.str().find(text) != std::string::npos;
    };
    for (int waited = 0; waited < 20000 && !says("message box \"Open COM2: Filed!\"");
         waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(says("message box \"Open COM2: Filed!\"")) << "the message did not open";
    kill(pid, SIGTERM);
    EXPECT_EQ(End(20000), 0);
    EXPECT_EQ(server.Codes(), (std::vector<std::uint32_t>{kStop, kEnable, kStop, kDisable}));
}

}  // namespace
