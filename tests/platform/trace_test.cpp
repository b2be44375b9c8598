// Trace channels: what RV4417_TRACE switches on is said on standard error, one line per event;
// with it unset nothing at all is written.
#include "platform/win/trace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/win/device.h"
#include "platform/win/serial.h"
#include "platform/win/trace_p.h"
#include "platform/win/win.h"
#include "tests/support/device_dir.h"
#include "tests/support/temp_dir.h"
#include "tools/sim/control_device.h"
#include "tools/sim/pty.h"

namespace {

// Standard error goes to a file while this lives; Text() is what was written to it.
class CapturedStderr {
public:
    CapturedStderr() : m_file(m_dir.path() / "stderr") {
        m_saved = dup(STDERR_FILENO);
        const int fd = open(m_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        dup2(fd, STDERR_FILENO);
        close(fd);
    }
    ~CapturedStderr() { Restore(); }
    std::string Text() {
        Restore();
        std::ifstream in(m_file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    void Restore() {
        if (m_saved >= 0) {
            dup2(m_saved, STDERR_FILENO);
            close(m_saved);
            m_saved = -1;
        }
    }
    rvtest::TempDir m_dir;
    std::filesystem::path m_file;
    int m_saved = -1;
};

void TraceWith(const char* channels) {
    if (channels) {
        setenv("RV4417_TRACE", channels, 1);
    } else {
        unsetenv("RV4417_TRACE");
    }
    ReadTraceSettingsFrom("RV4417_TRACE");
}

HANDLE OpenCom0() {
    return CreateFileW(_T("COM0:"), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

std::string ReadOnce(HANDLE port) {
    COMMTIMEOUTS t{10, 10, 10, 0, 0};
    SetCommTimeouts(port, &t);
    char buffer[50];
    DWORD got = 0;
    ReadFile(port, buffer, sizeof buffer, &got, nullptr);
    return std::string(buffer, got);
}

class TraceTest : public testing::Test {
protected:
    void TearDown() override { TraceWith(nullptr); }
    rvtest::DeviceDir devices;
    sim::PseudoTerminal line;
};

TEST_F(TraceTest, OffByDefaultNothingIsWritten) {
    TraceWith(nullptr);
    devices.Link("COM0", line.SlavePath());
    CapturedStderr err;
    HANDLE port = OpenCom0();
    line.Send("AB");
    EXPECT_EQ(ReadOnce(port), "AB");
    CloseHandle(port);
    CreateFileW(_T("COM2:"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // missing
    EXPECT_EQ(err.Text(), "");
}

TEST_F(TraceTest, UnknownNamesAreSaidOnceAndTheOthersWork) {
    CapturedStderr err;
    TraceWith("bogus, serial,sound");
    EXPECT_TRUE(win_detail::TraceOn(TraceChannel::Serial));
    EXPECT_TRUE(win_detail::TraceOn(TraceChannel::Sound));
    EXPECT_FALSE(win_detail::TraceOn(TraceChannel::SerialBytes));
    EXPECT_FALSE(win_detail::TraceOn(TraceChannel::Control));
    const std::string text = err.Text();
    EXPECT_NE(text.find("unknown channel \"bogus\""), std::string::npos) << text;
    EXPECT_EQ(text.find("unknown", text.find("unknown") + 1), std::string::npos) << text;
    TraceWith("all");
    for (const TraceChannel c :
         {TraceChannel::Serial, TraceChannel::SerialBytes, TraceChannel::Control,
          TraceChannel::Sound, TraceChannel::Process, TraceChannel::Ui}) {
        EXPECT_TRUE(win_detail::TraceOn(c));
    }
}

TEST_F(TraceTest, SerialTellsOpensSettingsAndReadsAndSerialPlusTheBytes) {
    devices.Link("COM0", line.SlavePath());
    CapturedStderr err;
    TraceWith("serial+");
    HANDLE port = OpenCom0();
    DCB dcb{};
    GetCommState(port, &dcb);
    dcb.BaudRate = CBR_9600;
    dcb.fOutX = 1;
    SetCommState(port, &dcb);
    line.Send("A\r");
    EXPECT_EQ(ReadOnce(port), "A\r");
    CloseHandle(port);
    devices.Unplug("COM2");
    CreateFileW(_T("COM2:"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::string text = err.Text();
    EXPECT_NE(text.find(" serial: open COM0: entry " + devices.Entry("COM0").string() + " -> " +
                        line.SlavePath() + ": serial port, open"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("COM0 settings 9600 8N1, XON/XOFF out on"), std::string::npos) << text;
    EXPECT_NE(text.find("the termios became 9600 8N1, IXON on"), std::string::npos) << text;
    EXPECT_NE(text.find("COM0 read 50: 2 bytes: 41 0D"), std::string::npos) << text;
    // A link that points nowhere says where it points.
    EXPECT_NE(text.find("open COM2: entry " + devices.Entry("COM2").string() + " -> " +
                        devices.Entry("unplugged-COM2").string() +
                        " (missing): No such file or directory"),
              std::string::npos)
        << text;
}

TEST_F(TraceTest, LinesCarryTheTimeTheThreadsNameAndTheChannel) {
    sim::ControlDeviceServer server(devices.Entry("GPR1"), [](std::uint32_t) { return 0; });
    CapturedStderr err;
    TraceWith("control");
    std::thread([] {
        SetThreadDescription(GetCurrentThread(), _T("com2-reader"));
        HANDLE h = CreateFileW(_T("GPR1:"), GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING,
                               FILE_FLAG_RANDOM_ACCESS, nullptr);
        DeviceIoControl(h, 500, nullptr, 0, nullptr, 0, nullptr, nullptr);
        CloseHandle(h);
    }).join();
    const std::string text = err.Text();
    const size_t at = text.find(" com2-reader control: request 500: refused after ");
    ASSERT_NE(at, std::string::npos) << text;
    // hh:mm:ss.mmm before it
    const std::string time = text.substr(text.rfind('\n', at) + 1, 12);
    EXPECT_EQ(time.size(), 12u);
    EXPECT_TRUE(time[2] == ':' && time[5] == ':' && time[8] == '.') << time;
    EXPECT_FALSE(SetThreadDescription(reinterpret_cast<HANDLE>(1), _T("x")));
}

}  // namespace
