// The system test's driver, run inside the virtual machine as the technician's user: the tool's
// dialog offscreen on the kernel's drivers (COM0 a UART, COM2 a USB adapter), the simulated
// devices at the lines' far ends, one "PASS name: ..." or "FAIL name: ..." line per check.
//
//   rv4417-vm-drive APPDIR DEVICES_PROGRAM COM0_FAR COM2_FAR
//   rv4417-vm-drive --lines PID DEVICE      a port's modem lines and termios, as PID has them
//
// The tool's device directory ($RV4417_DEVICES) holds COM0 and COM2; GPR1 is linked here to the
// simulator's socket. "@unplug" and "@plug" on standard output ask the host to pull the adapter
// and plug it back; the driver then waits for the device to go and come.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_dir.h"
#include "platform/win/text.h"
#include "tests/support/child.h"
#include "tools/drive/technician.h"

namespace {

namespace fs = std::filesystem;

// Another process's descriptor of the port, taken without opening the port (an open raises
// DTR and RTS): pidfd_getfd needs the holder's consent to be traced, which the driver gives.
int LinesMode(int pid, const std::string& device) {
    struct stat want {};
    if (stat(device.c_str(), &want) != 0) {
        std::printf("%s: gone\n", device.c_str());
        return 1;
    }
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    const std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto& entry : fs::directory_iterator(dir)) {
        struct stat st {};
        if (stat(entry.path().c_str(), &st) != 0 || st.st_rdev != want.st_rdev) {
            continue;
        }
        const int target = std::stoi(entry.path().filename().string());
        const int fd = static_cast<int>(syscall(SYS_pidfd_getfd, pidfd, target, 0));
        int lines = 0;
        termios t{};
        if (fd < 0 || ioctl(fd, TIOCMGET, &lines) != 0 || tcgetattr(fd, &t) != 0) {
            std::perror("pidfd_getfd/TIOCMGET");
            return 1;
        }
        const auto word = [&](const char* name, int bit) {
            return std::string(name) + ((lines & bit) ? "+ " : "- ");
        };
        std::printf("%s%s%s%s%s%u baud cs%d %s %s %s %s\n", word("DTR", TIOCM_DTR).c_str(),
                    word("RTS", TIOCM_RTS).c_str(), word("CTS", TIOCM_CTS).c_str(),
                    word("DSR", TIOCM_DSR).c_str(), word("CD", TIOCM_CD).c_str(),
                    cfgetospeed(&t) == B9600 ? 9600u : static_cast<unsigned>(cfgetospeed(&t)),
                    (t.c_cflag & CSIZE) == CS8 ? 8 : 7, (t.c_cflag & PARENB) ? "parenb" : "-parenb",
                    (t.c_cflag & CSTOPB) ? "cstopb" : "-cstopb",
                    (t.c_iflag & IXON) ? "ixon" : "-ixon",
                    (t.c_iflag & IXOFF) ? "ixoff" : "-ixoff");
        close(fd);
        return 0;
    }
    std::printf("%s: not open in pid %d\n", device.c_str(), pid);
    return 1;
}

// What a program prints, run to its end.
std::string Run(const std::vector<std::string>& args) {
    const rvtest::Ran ran = rvtest::RunProgram(args);
    return ran.out + ran.err;
}

int OpenRaw(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t{};
    if (fd >= 0 && tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL;
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

// Copies bytes both ways between the simulator's pseudo-terminals and the lines' far ends.
class Relay {
public:
    Relay(const std::vector<std::pair<std::string, std::string>>& pairs) {
        for (const auto& [a, b] : pairs) {
            m_fds.push_back(OpenRaw(a));
            m_fds.push_back(OpenRaw(b));
        }
        m_thread = std::thread([this] { Run(); });
    }
    ~Relay() {
        m_stop = true;
        m_thread.join();
        for (const int fd : m_fds) {
            close(fd);
        }
    }
    bool Ok() const {
        return std::none_of(m_fds.begin(), m_fds.end(), [](int fd) { return fd < 0; });
    }

private:
    void Run() {
        std::vector<pollfd> fds;
        for (const int fd : m_fds) {
            fds.push_back({fd, POLLIN, 0});
        }
        while (!m_stop) {
            if (poll(fds.data(), fds.size(), 100) <= 0) {
                continue;
            }
            for (size_t i = 0; i < fds.size(); ++i) {
                char buffer[256];
                const ssize_t n =
                    (fds[i].revents & POLLIN) ? read(fds[i].fd, buffer, sizeof buffer) : 0;
                for (ssize_t done = 0; n > 0 && done < n;) {
                    const ssize_t w = write(m_fds[i ^ 1], buffer + done, n - done);
                    done += w > 0 ? w : 0;
                }
            }
        }
    }
    std::vector<int> m_fds;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

void Report(const std::string& name, bool ok, const std::string& detail) {
    std::printf("%s %s: %s\n", ok ? "PASS" : "FAIL", name.c_str(), detail.c_str());
    std::fflush(stdout);
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

CWinApp g_vmApp;

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--lines") {
        return LinesMode(std::atoi(argv[2]), argv[3]);
    }
    const char* devicesVariable = std::getenv("RV4417_DEVICES");
    if (argc != 5 || !devicesVariable) {
        std::cerr << "usage: RV4417_DEVICES=DIR rv4417-vm-drive APPDIR DEVICES_PROGRAM COM0_FAR "
                     "COM2_FAR\n";
        return 2;
    }
    const std::string self = fs::canonical("/proc/self/exe").string();
    const std::string devicesProgram = argv[2];
    const std::string devices = devicesVariable;
    const std::string com0 = fs::canonical(devices + "/COM0").string();
    const std::string lines = std::to_string(getpid());
    prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY);  // for the lines' reader, a child

    QApplication application(argc, argv);
    AfxInitFramework();
    std::string program = (fs::path(argv[1]) / "rv4417test").string();
    std::replace(program.begin(), program.end(), '/', '\\');  // the path view's separators
    RecordAppDir(Utf8ToUtf16(program).c_str());
    int failures = 0;
    const auto check = [&](const std::string& name, bool ok, const std::string& detail) {
        Report(name, ok, detail);
        failures += ok ? 0 : 1;
    };
    {
        sim::SimulatedTerminal terminal({}, nullptr);
        fs::remove(devices + "/GPR1");  // an earlier run's
        fs::create_symlink(terminal.DeviceDirectory() + "/GPR1", devices + "/GPR1");
        const Relay relay({{terminal.DeviceDirectory() + "/COM0", argv[3]},
                           {terminal.DeviceDirectory() + "/COM2", argv[4]}});
        check("relay", relay.Ok(), "the simulator at the lines' far ends");
        const auto started = std::chrono::steady_clock::now();
        CTestDlg dialog;
        g_vmApp.m_pMainWnd = &dialog;
        dialog.Create(IDD_RV4417TEST_DIALOG);
        std::printf("the dialog is up in %.1f s\n", Since(started));
        drive::Technician technician(terminal, dialog);
        for (const drive::Verdict& v : {technician.Printer("/tmp"), technician.Card()}) {
            check(v.page, v.ok, v.detail);
        }

        const std::string com0Lines = Run({self, "--lines", lines, com0});
        check("COM0 lines",
              Has(com0Lines, "DTR- RTS- ") &&
                  Has(com0Lines, "9600 baud cs8 -parenb -cstopb ixon ixoff"),
              com0 + ": " + com0Lines.substr(0, com0Lines.size() - 1));
        const std::string com2 = fs::canonical(devices + "/COM2").string();
        const std::string com2Lines = Run({self, "--lines", lines, com2});
        check("COM2 lines", Has(com2Lines, "DTR+ RTS+ "),
              com2 + " as its driver has them: " + com2Lines.substr(0, com2Lines.size() - 1));

        // The checks must leave the held port's lines alone.
        const std::string checked = Run({devicesProgram}) + Run({devicesProgram, "--probe"});
        const std::string after = Run({self, "--lines", lines, com0});
        check("check leaves COM0 alone",
              Has(checked, "COM0 would not open (ERROR_ACCESS_DENIED): held by another program") &&
                  Has(after, "DTR- RTS- "),
              "after rv4417-devices and --probe: " + after.substr(0, after.size() - 1));

        drive::Verdict scan = technician.Barcode(nullptr);
        check("Barcode", scan.ok, scan.detail + " (the sound goes to the card)");

        // The adapter pulled while the tool reads it, then plugged back.
        const std::string link = devices + "/COM2";
        const auto exists = [&] { return fs::exists(link); };
        std::printf("@unplug\n");
        std::fflush(stdout);
        const bool gone = drive::WaitUntil([&] { return !exists(); }, 60000);
        const double cpu0 = CpuSeconds();
        const auto window = std::chrono::steady_clock::now();
        drive::WaitUntil([] { return false; }, 3000);  // a measured stretch while it is gone
        const double share = (CpuSeconds() - cpu0) / Since(window);
        check("unplugged", gone && share < 0.2,
              std::string(gone ? "the link went" : "the link stayed") +
                  "; the tool's process used " + std::to_string(static_cast<int>(share * 100)) +
                  " % of a CPU while it was gone");
        std::printf("@plug\n");
        std::fflush(stdout);
        const auto plugged = std::chrono::steady_clock::now();
        const bool back = drive::WaitUntil(exists, 60000);
        const double linkBack = Since(plugged);
        scan = technician.Barcode(nullptr);
        std::error_code none;
        check("plugged back", back && scan.ok,
              "link back after " + std::to_string(linkBack).substr(0, 4) + " s -> " +
                  fs::read_symlink(link, none).string() + "; " + scan.detail + " " +
                  std::to_string(Since(plugged)).substr(0, 4) + " s after the plug");
        dialog.DestroyWindow();
        g_vmApp.m_pMainWnd = nullptr;
    }
    AfxTermFramework();
    std::printf("driver: %d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
