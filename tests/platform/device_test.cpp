// The device namespace, plain files and the handle table.
#include "platform/win/device.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/win/control_p.h"
#include "platform/win/error.h"
#include "platform/win/file.h"
#include "platform/win/file_p.h"
#include "platform/win/serial.h"
#include "platform/win/text.h"
#include "tests/support/device_dir.h"
#include "tools/sim/pty.h"

namespace {

HANDLE OpenPort(LPCWSTR name) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

CString PathView(const std::filesystem::path& p) {
    return FromPosixPath(p.string());
}

TEST(DeviceNamespaceTest, DevicesAreLookedUpInTheDeviceDirectory) {
    rvtest::DeviceDir devices;
    sim::PseudoTerminal line;
    devices.Link("COM0", line.SlavePath());

    SetLastError(0);
    EXPECT_EQ(OpenPort(_T("COM2:")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    HANDLE port = OpenPort(_T("COM0:"));
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    ASSERT_NE(port, nullptr);
    DCB dcb{};
    EXPECT_TRUE(GetCommState(port, &dcb));  // a terminal became a serial port

    // Exclusive: a second open fails while the first is open, and works after it closed.
    EXPECT_EQ(OpenPort(_T("COM0:")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(CloseHandle(port));
    port = OpenPort(_T("COM0:"));
    EXPECT_NE(port, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(port));
    EXPECT_FALSE(CloseHandle(port));  // closed twice: harmless failure
}

TEST(DeviceNamespaceTest, MissingDirectoryAndUnservedSocketFailAsMissingDevices) {
    rvtest::DeviceDir devices;
    std::filesystem::remove_all(devices.Entry(""));
    EXPECT_EQ(OpenPort(_T("COM0:")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    rvtest::DeviceDir again;
    // A socket file whose server has gone: the entry exists, nobody answers.
    const std::string path = again.Entry("GPR1").string();
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    close(s);
    EXPECT_EQ(CreateFileW(_T("GPR1:"), GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING,
                          FILE_FLAG_RANDOM_ACCESS, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
}

TEST(HandleTableTest, NullInvalidAndUnknownHandlesFailHarmlessly) {
    for (HANDLE h : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE,
                     reinterpret_cast<HANDLE>(0x12345678)}) {
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(h));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        char buf[4];
        DWORD n = 9;
        EXPECT_FALSE(ReadFile(h, buf, sizeof buf, &n, nullptr));
        EXPECT_EQ(n, 0u);
        EXPECT_FALSE(WriteFile(h, buf, sizeof buf, &n, nullptr));
    }
}

TEST(PlainFileTest, FilesOpenByPathInThePathViewAlone) {
    rvtest::TempDir dir;
    const CString name = PathView(dir.path()) + _T("\\\\data.bin");  // doubled separator
    EXPECT_EQ(CreateFileW(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr),
              INVALID_HANDLE_VALUE);  // nothing is made
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    const std::string content("\x00\x01\xFFzz", 5);
    dir.Write("data.bin", content);
    HANDLE file = CreateFileW(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileW(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);  // not shared
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 5u);
    EXPECT_EQ(high, 0u);
    char buf[16] = {};
    DWORD n = 0;
    EXPECT_TRUE(ReadFile(file, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(std::string(buf, n), content);
    EXPECT_TRUE(ReadFile(file, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(n, 0u);  // the end of the file
    CloseHandle(file);

    EXPECT_EQ(
        CreateFileW(PathView(dir.path()), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);  // a folder is not a file
}

TEST(PlainFileTest, ARegularFileInTheDeviceDirectoryOpensAsADevice) {
    rvtest::DeviceDir devices;
    std::ofstream(devices.Entry("LOG1")) << "hello";
    HANDLE h = CreateFileW(_T("LOG1:"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buf[8];
    DWORD n = 0;
    EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(std::string(buf, n), "hello");
    DCB dcb{};
    EXPECT_FALSE(GetCommState(h, &dcb));  // but not as a serial port
    CloseHandle(h);
}

}  // namespace
