// The scanner's requests against a socket control device that records what it gets.
#include "io/scanner.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/device_dir.h"
#include "tests/support/elapsed.h"
#include "tools/sim/control_device.h"

namespace {

using Clock = std::chrono::steady_clock;

using rvtest::ElapsedMs;

TEST(ScannerTest, EachRequestReachesTheDeviceAsItsCodeOverItsOwnConnection) {
    rvtest::DeviceDir devices;
    sim::ControlDeviceServer device(devices.Entry("GPR1"), [](std::uint32_t) { return 1; });
    EXPECT_TRUE(ScannerStop());
    EXPECT_TRUE(ScannerEnable());
    EXPECT_TRUE(ScannerTrigger());
    EXPECT_TRUE(ScannerDisable());
    EXPECT_EQ(device.Codes(), (std::vector<std::uint32_t>{500, 100, 200, 150}));
    EXPECT_TRUE(device.WaitAllClosed(2000));
    EXPECT_EQ(device.Accepted(), 4);
}

TEST(ScannerTest, ARefusedRequestReturnsFalseAndStillClosesItsHandle) {
    rvtest::DeviceDir devices;
    sim::ControlDeviceServer device(devices.Entry("GPR1"),
                                    [](std::uint32_t code) { return code == 200 ? 0 : 1; });
    EXPECT_FALSE(ScannerTrigger());
    EXPECT_TRUE(device.WaitAllClosed(2000));
    EXPECT_TRUE(ScannerStop());  // opened afresh
    EXPECT_TRUE(device.WaitAllClosed(2000));
    EXPECT_EQ(device.Accepted(), 2);
    EXPECT_EQ(device.Closed(), 2);
}

TEST(ScannerTest, AMissingDeviceReturnsFalseAtOnce) {
    rvtest::DeviceDir devices;
    const auto start = Clock::now();
    EXPECT_FALSE(ScannerStop());
    EXPECT_FALSE(ScannerEnable());
    EXPECT_FALSE(ScannerTrigger());
    EXPECT_FALSE(ScannerDisable());
    EXPECT_LT(ElapsedMs(start), 500);
}

TEST(ScannerTest, ADeviceThatNeverAnswersIsGivenUpWithinASecond) {
    rvtest::DeviceDir devices;
    sim::ControlDeviceServer device(
        devices.Entry("GPR1"), [](std::uint32_t) { return sim::ControlDeviceServer::kNoAnswer; });
    const auto start = Clock::now();
    EXPECT_FALSE(ScannerStop());
    EXPECT_LT(ElapsedMs(start), 3000);
    EXPECT_TRUE(device.WaitAllClosed(2000));
}

}  // namespace
