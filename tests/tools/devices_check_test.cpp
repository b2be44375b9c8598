// The device check against real pseudo-terminals, sockets and a second process: what it
// takes each entry for, and the reason it gives for each that would not open.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/device_dir.h"
#include "tests/support/emulation.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/run_devices.h"
#include "tools/sim/control_device.h"
#include "tools/sim/pty.h"

namespace {

namespace fs = std::filesystem;
using rvtest::Has;
using rvtest::RunDevices;

int Accept(std::uint32_t) {
    return 1;
}

class DevicesCheckTest : public testing::Test {
protected:
    // COM0 and COM2 on pseudo-terminals of their own.
    void LinkPorts() {
        devices.Link("COM0", com0.SlavePath());
        devices.Link("COM2", com2.SlavePath());
    }
    rvtest::DeviceDir devices;
    sim::PseudoTerminal com0;
    sim::PseudoTerminal com2;
};

// A socket file whose listener has gone, as a server that ended leaves it.
void StaleSocket(const fs::path& path) {
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    path.string().copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    listen(s, 1);
    close(s);
}

TEST_F(DevicesCheckTest, AllThreeOpenAndNothingIsSentUnlessProbing) {
    LinkPorts();
    sim::ControlDeviceServer gpr1(devices.Entry("GPR1").string(), Accept);

    rvtest::Ran ran = RunDevices({});
    EXPECT_EQ(ran.status, 0) << ran.out;
    EXPECT_TRUE(Has(ran.out, "COM0  serial port       yes    " + devices.Entry("COM0").string() +
                                 " -> " + com0.SlavePath()));
    EXPECT_TRUE(Has(ran.out, "GPR1  control socket    yes"));
    EXPECT_TRUE(Has(ran.out, "All three would open"));
    EXPECT_TRUE(gpr1.Codes().empty());
    EXPECT_EQ(com0.Receive(0, 100), "");
    EXPECT_EQ(com2.Receive(0, 100), "");

    ran = RunDevices({"--probe"});
    EXPECT_EQ(ran.status, 0) << ran.out;
    EXPECT_TRUE(Has(ran.out, "Probe of GPR1: stop (500) accepted ("));
    EXPECT_EQ(gpr1.Codes(), std::vector<std::uint32_t>{500});
    EXPECT_EQ(com0.Receive(0, 100), "");
}

TEST_F(DevicesCheckTest, AControlDeviceThatDoesNotAnswerFailsTheProbe) {
    LinkPorts();
    sim::ControlDeviceServer gpr1(devices.Entry("GPR1").string(), [](std::uint32_t) {
        return sim::ControlDeviceServer::kNoAnswer;
    });

    const rvtest::Ran ran = RunDevices({"--probe"});
    EXPECT_EQ(ran.status, 1) << ran.out;
    EXPECT_TRUE(Has(ran.out, "stop (500) got no answer within 1000 ms"));
    EXPECT_TRUE(Has(ran.out, "GPR1 opens, but gives no answer."));
    EXPECT_TRUE(Has(ran.out, "Not ready: GPR1."));
}

TEST_F(DevicesCheckTest, MissingEntriesListTheSerialDevicesToLinkTo) {
    const rvtest::Ran ran = RunDevices({});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.out,
                    "COM0 would not open (ERROR_FILE_NOT_FOUND): missing.\n"
                    "  There is no entry " +
                        devices.Entry("COM0").string() +
                        ".\n"
                        "  Serial devices on this machine:\n"));
    EXPECT_TRUE(Has(ran.out, "Link it: rv4417-devices link COM2 DEVICE"));
    EXPECT_TRUE(Has(ran.out, "Not ready: COM0 COM2 GPR1."));
}

TEST_F(DevicesCheckTest, ADanglingChainShowsWhereItBreaks) {
    const fs::path dir = devices.Entry("");
    const std::string gone = (dir / "gone" / "ttyUSB9").string();
    fs::create_symlink("gone/ttyUSB9", dir / "adapter");  // relative, as udev makes them
    devices.Link("COM0", dir / "adapter");

    const rvtest::Ran ran = RunDevices({});
    EXPECT_TRUE(Has(ran.out, "COM0  dangling link"));
    // Too long for one line: each link on a line of its own.
    EXPECT_TRUE(Has(ran.out, "  " + devices.Entry("COM0").string() + "\n    -> " +
                                 (dir / "adapter").string() + "\n    -> " + gone +
                                 "\n  It breaks at " + gone + ":\n  not even the folder " +
                                 (dir / "gone").string() + " exists.\n"));
}

TEST_F(DevicesCheckTest, ASocketNobodyServesIsNamedAsSuch) {
    StaleSocket(devices.Entry("GPR1"));
    const rvtest::Ran ran = RunDevices({"--probe"});
    EXPECT_TRUE(Has(ran.out, "GPR1  control socket    no"));
    EXPECT_TRUE(Has(ran.out,
                    "GPR1 would not open (ERROR_DEVICE_NOT_CONNECTED): nobody "
                    "serves the control socket."));
    EXPECT_TRUE(Has(ran.out, "ECONNREFUSED"));
    EXPECT_TRUE(Has(ran.out, "Probe of GPR1: not sent"));
}

// A second process that takes the port's lock, as another instance of the tool would.
class PortHolder {
public:
    explicit PortHolder(const std::string& path) {
        int ready[2];
        if (pipe(ready) != 0 || pipe(m_release) != 0) {
            return;
        }
        m_pid = fork();
        if (m_pid == 0) {
            close(m_release[1]);  // so that the parent closing its end is the release
            prctl(PR_SET_NAME, "porthog");
            const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
                [[maybe_unused]] const ssize_t n = write(ready[1], "x", 1);
            }
            char c;
            [[maybe_unused]] const ssize_t n = read(m_release[0], &c, 1);
            _exit(0);
        }
        close(ready[1]);
        close(m_release[0]);
        pollfd p{ready[0], POLLIN, 0};
        char c;
        m_holding = poll(&p, 1, 10000) == 1 && read(ready[0], &c, 1) == 1;
        close(ready[0]);
    }
    ~PortHolder() {
        close(m_release[1]);
        if (m_pid > 0) {
            waitpid(m_pid, nullptr, 0);
        }
    }
    pid_t Pid() const { return m_pid; }
    bool Holding() const { return m_holding; }

private:
    int m_release[2] = {-1, -1};
    pid_t m_pid = -1;
    bool m_holding = false;
};

TEST_F(DevicesCheckTest, APortHeldByAnotherProgramNamesItsPid) {
    devices.Link("COM0", com0.SlavePath());
    const PortHolder holder(com0.SlavePath());
    ASSERT_TRUE(holder.Holding());

    // Every open of a serial port raises its DTR and RTS: the check must not open a held one.
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, com0.SlavePath().c_str(), IN_OPEN), 0);

    const rvtest::Ran ran = RunDevices({});
    alignas(inotify_event) char events[sizeof(inotify_event) + NAME_MAX + 1];
    EXPECT_EQ(read(watch, events, sizeof events), -1) << "the check opened it";
    close(watch);
    EXPECT_TRUE(Has(ran.out, "COM0  serial port       no"));
    EXPECT_TRUE(Has(ran.out,
                    "COM0 would not open (ERROR_ACCESS_DENIED): held by another "
                    "program.\n  Another program holds the port's lock.\n"));
    const std::string pid = std::to_string(holder.Pid());
    EXPECT_TRUE(Has(ran.out, "pid " + pid + " (porthog) holds its lock."));
    EXPECT_TRUE(Has(ran.out, "kill " + pid));
    // The test itself keeps the slave open too, and is named for it.
    EXPECT_TRUE(Has(ran.out, "pid " + std::to_string(getpid()) + " ("));
}

// A group to give the device that the unprivileged user is not in.
const group* DeviceGroup() {
    if (const group* dialout = getgrnam("dialout")) {
        return dialout;
    }
    for (gid_t gid = 1; gid < 1000; ++gid) {
        if (const group* g = getgrgid(gid)) {
            return g;
        }
    }
    return nullptr;
}

// Points the sanitizers' options at copies of the files they name, in a folder every user
// may read, for as long as it lives.
class ScopedPublicSanitizerOptions {
public:
    explicit ScopedPublicSanitizerOptions(const fs::path& folder) {
        for (const char* name : {"TSAN_OPTIONS", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
            const char* value = getenv(name);
            if (!value) {
                continue;
            }
            m_saved.emplace_back(name, value);
            std::string options = value;
            const std::string key = "suppressions=";
            if (const size_t at = options.find(key); at != std::string::npos) {
                const size_t from = at + key.size();
                const size_t end = options.find_first_of(" :", from);
                const fs::path file = options.substr(from, end - from);
                const fs::path copy = folder / (std::string(name) + ".supp");
                fs::copy_file(file, copy);
                options.replace(from, end == std::string::npos ? end : end - from, copy.string());
            }
            setenv(name, options.c_str(), 1);
        }
    }
    ~ScopedPublicSanitizerOptions() {
        for (const auto& [name, value] : m_saved) {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ScopedPublicSanitizerOptions(const ScopedPublicSanitizerOptions&) = delete;
    ScopedPublicSanitizerOptions& operator=(const ScopedPublicSanitizerOptions&) = delete;

private:
    std::vector<std::pair<std::string, std::string>> m_saved;
};

TEST_F(DevicesCheckTest, ADeviceTheUserMayNotOpenShowsOwnerGroupModeAndTheRemedy) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "changing the pseudo-terminal's owner takes root";
    }
    const passwd* nobody = getpwuid(65534);
    const group* g = DeviceGroup();
    ASSERT_NE(nobody, nullptr);
    ASSERT_NE(g, nullptr);
    const std::string user = nobody->pw_name;
    const std::string groupName = g->gr_name;

    devices.Link("COM0", com0.SlavePath());
    ASSERT_EQ(chmod(devices.Entry("").c_str(), 0755), 0);
    ASSERT_EQ(chown(com0.SlavePath().c_str(), 0, g->gr_gid), 0);
    ASSERT_EQ(chmod(com0.SlavePath().c_str(), 0660), 0);

    // The other user may not be able to reach the checkout (a home folder is 0700): the
    // program, and the sanitizer's suppressions it reads at start, run from a public copy.
    const rvtest::TempDir shelf;
    ASSERT_EQ(chmod(shelf.path().c_str(), 0755), 0);
    const fs::path program = shelf.path() / "rv4417-devices";
    fs::copy_file(RV_BINARY_DIR "/rv4417-devices", program);
    const ScopedPublicSanitizerOptions options(shelf.path());

    std::vector<std::string> argv{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                  "--clear-groups"};
    for (const std::string& part : rvtest::BuiltProgram(program.string())) {
        argv.push_back(part);
    }
    const rvtest::Ran ran = rvtest::RunProgram(argv);
    EXPECT_EQ(ran.status, 1) << ran.err;
    EXPECT_TRUE(Has(ran.out, "COM0  serial port       no"));
    EXPECT_TRUE(Has(ran.out, "COM0 would not open (ERROR_ACCESS_DENIED): not allowed.\n  " +
                                 com0.SlavePath() + " belongs to root, group " + groupName +
                                 ", mode crw-rw---- (0660).\n"));
    EXPECT_TRUE(Has(ran.out, "You (" + user + ") are not in the group " + groupName + "."));
    EXPECT_TRUE(Has(ran.out, "sudo usermod -aG " + groupName + " " + user + "\n"));
    EXPECT_FALSE(Has(ran.out, "held by"));
}

}  // namespace
