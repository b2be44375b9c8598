// Making and removing entries with the device check, its usage errors, and the udev rule it
// advises, read from a sysfs tree laid out as the kernel lays out a USB serial adapter's.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/device_dir.h"
#include "tests/tools/run_devices.h"
#include "tools/devices/udev.h"
#include "tools/sim/pty.h"

namespace {

namespace fs = std::filesystem;
using rvtest::Has;
using rvtest::RunDevices;

TEST(DevicesUsageTest, BadArgumentsExitWithTwoAndTheUsage) {
    rvtest::DeviceDir devices;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--probes"},
                                                 {"COM0"},
                                                 {"link", "COM0"},
                                                 {"unlink"},
                                                 {"link", "COM5", "/dev/null"},
                                                 {"unlink", "GPR1", "extra"},
                                                 {"--probe", "link"}}) {
        const rvtest::Ran ran = RunDevices(args);
        EXPECT_EQ(ran.status, 2) << args[0];
        EXPECT_TRUE(Has(ran.err, "usage: rv4417-devices"));
        EXPECT_EQ(ran.out, "");
    }
    EXPECT_FALSE(fs::is_symlink(devices.Entry("COM0")));
}

class LinkTest : public testing::Test {
protected:
    LinkTest() { setenv("RV4417_DEVICES_BY_ID", byId.path().c_str(), 1); }
    ~LinkTest() override { unsetenv("RV4417_DEVICES_BY_ID"); }

    rvtest::DeviceDir devices;
    rvtest::TempDir byId;
    sim::PseudoTerminal adapter;
};

TEST_F(LinkTest, LinkPrefersTheStableNameAndUnlinkRemovesOnlyLinks) {
    const fs::path stable = byId.path() / "usb-Maker_Adapter_A10K-if00-port0";
    fs::create_symlink(adapter.SlavePath(), stable);

    rvtest::Ran ran = RunDevices({"link", "com0:", adapter.SlavePath()});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(fs::read_symlink(devices.Entry("COM0")), stable);
    EXPECT_TRUE(
        Has(ran.out, "Linked " + devices.Entry("COM0").string() + " -> " + stable.string()));

    // The check follows the whole chain to the device.
    ran = RunDevices({});
    EXPECT_TRUE(Has(ran.out, "COM0  serial port       yes    " + devices.Entry("COM0").string() +
                                 "\n" + std::string(31, ' ') + "  -> " + stable.string() + "\n" +
                                 std::string(31, ' ') + "  -> " + adapter.SlavePath() + "\n"));

    // Linking again replaces the link and says what it was.
    fs::remove(stable);
    ran = RunDevices({"link", "COM0", adapter.SlavePath()});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(fs::read_symlink(devices.Entry("COM0")), adapter.SlavePath());
    EXPECT_TRUE(Has(ran.out, "(replacing the link to " + stable.string() + ")"));

    ran = RunDevices({"unlink", "COM0"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_FALSE(fs::is_symlink(devices.Entry("COM0")));
    ran = RunDevices({"unlink", "COM0"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "nothing removed"));
}

TEST_F(LinkTest, RefusesWhatIsNoDeviceAndNeverRemovesARealFile) {
    rvtest::Ran ran = RunDevices({"link", "COM2", "/nonexistent/ttyUSB7"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "/nonexistent/ttyUSB7: No such file or directory; nothing linked."));
    EXPECT_FALSE(fs::exists(devices.Entry("COM2")));

    ran = RunDevices({"link", "COM2", byId.path().string()});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "is a folder, not a serial port"));

    const fs::path file = devices.Entry("GPR1");
    rvtest::TempDir scratch;
    fs::copy_file(scratch.Write("x", "keep"), file);
    ran = RunDevices({"unlink", "GPR1"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "is a regular file, not a link or socket: left as it is."));
    ran = RunDevices({"link", "GPR1", "/dev/null"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "is a regular file, not a link: left as it is."));
    EXPECT_TRUE(fs::is_regular_file(file));
}

TEST_F(LinkTest, MakesTheDirectoryAndWarnsWhenItIsLostAtReboot) {
    // /dev/shm is kept in memory, as /dev is; a pseudo-terminal has no sysfs device.
    if (!fs::is_directory("/dev/shm") || access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "no writable /dev/shm";
    }
    const fs::path dir = "/dev/shm/rv4417-link-" + std::to_string(getpid()) + "/devices";
    setenv("RV4417_DEVICES", dir.c_str(), 1);
    const rvtest::Ran ran = RunDevices({"link", "COM0", adapter.SlavePath()});
    std::error_code error;
    const bool linked = fs::read_symlink(dir / "COM0", error) == adapter.SlavePath();
    fs::remove_all(dir.parent_path());
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_TRUE(linked);
    EXPECT_TRUE(Has(ran.out, "so the link is lost at reboot."));
    EXPECT_TRUE(Has(ran.out, "no udev rule can make the link"));
}

// A sysfs tree with a USB serial adapter: the tty hangs below the interface, below the
// device that carries idVendor, idProduct and serial.
class UdevTest : public testing::Test {
protected:
    UdevTest() {
        const fs::path usb = sys.path() / "devices/pci0000:00/usb1/1-2";
        const fs::path tty = usb / "1-2:1.0/ttyUSB0/tty/ttyUSB0";
        fs::create_directories(tty);
        fs::create_directories(sys.path() / "class/tty");
        fs::create_directories(sys.path() / "dev/char");
        std::ofstream(usb / "idVendor") << "0403\n";
        std::ofstream(usb / "idProduct") << "6001\n";
        std::ofstream(usb / "serial") << "A10K\n";
        std::ofstream(tty / "dev") << "188:0\n";
        fs::create_symlink(sys.path() / "class/tty", tty / "subsystem");
        fs::create_symlink(tty, sys.path() / "dev/char/188:0");
        device.st_mode = S_IFCHR | 0660;
        device.st_rdev = makedev(188, 0);
        serialFile = usb / "serial";
    }

    std::vector<std::string> Advice(const std::string& dir) const {
        return devcheck::UdevAdvice(sys.path().string(), dir, "COM0", "/dev/ttyUSB0", device);
    }

    rvtest::TempDir sys;
    struct stat device {};
    fs::path serialFile;
};

TEST_F(UdevTest, RuleMatchesTheAdaptersSerialNumber) {
    const std::vector<std::string> lines = Advice("/dev/rv4417");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2],
              "  SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", "
              "ATTRS{serial}==\"A10K\", SYMLINK+=\"rv4417/COM0\"");
    EXPECT_TRUE(Has(Advice("/dev/./site/rv4417/")[2], ", SYMLINK+=\"site/rv4417/COM0\""));
}

TEST_F(UdevTest, WithoutASerialNumberTheRuleWarnsAndOutsideDevThereIsNoRule) {
    fs::remove(serialFile);
    std::string text;
    for (const std::string& line : Advice("/dev/rv4417")) {
        text += line + "\n";
    }
    EXPECT_TRUE(Has(text, "ATTRS{idProduct}==\"6001\", SYMLINK+=\"rv4417/COM0\"\n"));
    EXPECT_TRUE(Has(text, "Warning: this adapter has no serial number"));

    text.clear();
    for (const std::string& line : Advice("/home/tech/devices")) {
        text += line + "\n";
    }
    EXPECT_TRUE(Has(text, "only under /dev"));
    EXPECT_FALSE(Has(text, "SYMLINK"));
}

}  // namespace
