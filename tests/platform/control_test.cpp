// Control devices: a socket served by the simulated terminal's server, and ioctl devices.
#include "platform/win/control.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <atomic>
#include <chrono>

#include "platform/win/device.h"
#include "platform/win/error.h"
#include "tests/support/device_dir.h"
#include "tools/sim/control_device.h"

namespace {

using Clock = std::chrono::steady_clock;

HANDLE OpenControl() {
    return CreateFileW(_T("GPR1:"), GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING,
                       FILE_FLAG_RANDOM_ACCESS, nullptr);
}

TEST(ControlDeviceTest, CodesGoOutAsFourBytesAndTheAnswerDecides) {
    rvtest::DeviceDir devices;
    sim::ControlDeviceServer server(devices.Entry("GPR1"),
                                    [](std::uint32_t code) { return code == 0x01020304 ? 0 : 1; });
    HANDLE h = OpenControl();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD returned = 9;
    EXPECT_TRUE(DeviceIoControl(h, 500, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(returned, 0u);
    EXPECT_FALSE(DeviceIoControl(h, 0x01020304, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_TRUE(DeviceIoControl(h, 150, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(server.Codes(), (std::vector<std::uint32_t>{500, 0x01020304, 150}));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_TRUE(server.WaitAllClosed(2000));
}

TEST(ControlDeviceTest, ASilentDeviceCountsAsRefusingAfterOneSecond) {
    rvtest::DeviceDir devices;
    std::atomic<int> calls{0};
    // Silent for the first request; its late answer must not be taken for the second's.
    sim::ControlDeviceServer server(devices.Entry("GPR1"), [&](std::uint32_t) {
        return calls++ == 0 ? sim::ControlDeviceServer::kNoAnswer : 0;
    });
    HANDLE h = OpenControl();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const auto start = Clock::now();
    EXPECT_FALSE(DeviceIoControl(h, 200, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(ms, 990);
    EXPECT_LT(ms, 5000);
    EXPECT_FALSE(DeviceIoControl(h, 200, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    CloseHandle(h);
}

TEST(ControlDeviceTest, OtherCharacterDevicesTakeTheCodeAsAnIoctl) {
    rvtest::DeviceDir devices;
    devices.Link("NUL1", "/dev/null");
    HANDLE h = OpenControl();
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    h = CreateFileW(_T("NUL1:"), GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING, 0,
                    nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(DeviceIoControl(h, FIOCLEX, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_FALSE(DeviceIoControl(h, 500, nullptr, 0, nullptr, 0, nullptr, nullptr));
    CloseHandle(h);
    EXPECT_FALSE(DeviceIoControl(h, FIOCLEX, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
