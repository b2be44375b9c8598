// The real program ended from outside: SIGTERM, SIGINT and SIGHUP close the main dialog as its
// caption's button does, so every page's destroy handling runs; a second one ends it at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/support/device_dir.h"
#include "tests/support/emulation.h"
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
    // Starts the program and waits until its Barcode page has enabled the scanner.
    void Start(sim::ControlDeviceServer& server) {
        std::vector<std::string> command = rvtest::BuiltProgram(RV_BINARY_DIR "/RV4417Test");
        std::vector<char*> argv;
        for (std::string& part : command) {
            argv.push_back(part.data());
        }
        argv.push_back(nullptr);
        ASSERT_EQ(posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
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

}  // namespace
