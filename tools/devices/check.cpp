#include "tools/devices/check.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "io/port.h"
#include "io/scanner.h"
#include "platform/win/win.h"
#include "res/device_settings.h"
#include "tools/devices/entry.h"
#include "tools/devices/reasons.h"

namespace devcheck {

namespace {

// Rows longer than this put each link of the chain on a line of its own.
constexpr size_t kLineWidth = 100;

struct Finding {
    std::string name;
    Resolution where;
    bool opens = false;
    DWORD error = ERROR_SUCCESS;
    Reason problem;  // summary "" when the entry serves the tool
};

const char* ErrorName(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return "ERROR_FILE_NOT_FOUND";
        case ERROR_PATH_NOT_FOUND:
            return "ERROR_PATH_NOT_FOUND";
        case ERROR_ACCESS_DENIED:
            return "ERROR_ACCESS_DENIED";
        case ERROR_SHARING_VIOLATION:
            return "ERROR_SHARING_VIOLATION";
        case ERROR_DEVICE_NOT_CONNECTED:
            return "ERROR_DEVICE_NOT_CONNECTED";
        case ERROR_TIMEOUT:
            return "ERROR_TIMEOUT";
        case ERROR_NOT_SUPPORTED:
            return "ERROR_NOT_SUPPORTED";
        default:
            return nullptr;
    }
}

std::string ErrorText(DWORD error) {
    const char* name = ErrorName(error);
    return name ? name : "error " + std::to_string(error);
}

// Opens the entry with the tool's own arguments and closes it at once. Tells a serial port
// by the handle, for terminals that sysfs did not show.
Finding Look(const std::string& name) {
    Finding f{name, Resolve(GetDeviceDirectory() + "/" + name)};
    std::u16string device(name.begin(), name.end());
    device += u':';
    if (LockedByAnother(f.where)) {
        // Not opened: the open would change the lines under the holder's feet, and fail.
        f.error = ERROR_ACCESS_DENIED;  // what the tool's open reports for a held port
        f.problem = WhyNotOpen(name, f.where);
        return f;
    }
    SetLastError(ERROR_SUCCESS);
    // The ports as OpenPort opens them (exclusive); GPR1 as the scanner's requests do.
    const HANDLE handle = IsPortName(name)
                              ? OpenPort(device.c_str())
                              : CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr);
    f.opens = IsPortOpen(handle);
    f.error = f.opens ? ERROR_SUCCESS : GetLastError();
    if (f.opens) {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (f.where.kind == Kind::kCharDevice && GetCommState(handle, &dcb)) {
            f.where.kind = Kind::kSerialPort;
        }
        CloseHandle(handle);
        f.problem = WrongKind(name, f.where);
    } else {
        f.problem = WhyNotOpen(name, f.where);
    }
    return f;
}

// The scanner's stop request, as the tool sends it; the answer goes into the finding.
std::string Probe(Finding& gpr1) {
    if (!gpr1.opens) {
        return "not sent: GPR1 does not open.";
    }
    SetLastError(ERROR_SUCCESS);
    const auto start = std::chrono::steady_clock::now();
    const bool accepted = ScannerStop();
    const DWORD error = GetLastError();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    const std::string took = " (" + std::to_string(ms) + " ms)";
    const std::string sent = "stop (" + std::to_string(kScannerStopCode) + ") ";
    if (accepted) {
        return sent + "accepted" + took + ".";
    }
    if (error == ERROR_TIMEOUT) {
        if (gpr1.problem.summary.empty()) {
            gpr1.problem = {"opens, but gives no answer",
                            {"Nothing came back within the tool's " +
                                 std::to_string(kControlAnswerTimeoutMs) + " ms: what serves it",
                             "is stuck, or speaks another protocol."}};
        }
        return sent + "got no answer within " + std::to_string(kControlAnswerTimeoutMs) + " ms" +
               took + ".";
    }
    if (gpr1.problem.summary.empty()) {
        gpr1.problem = {
            "opens, but refuses the stop code",
            {"It refused the scanner's stop code (" + ErrorText(error) + "): what serves it",
             "does not take the tool's control codes."}};
    }
    return sent + "refused" + took + (error == ERROR_NOT_SUPPORTED ? "" : ": " + ErrorText(error)) +
           ".";
}

std::string Column(std::string text, size_t width) {
    text.resize(std::max(width, text.size() + 1), ' ');
    return text;
}

}  // namespace

int RunCheck(const CheckOptions& options, std::ostream& out) {
    const std::string dir = GetDeviceDirectory();
    const std::string variable = rv_res::kDeviceDirectoryVariable;
    const char* set = std::getenv(variable.c_str());
    out << "Device directory: " << dir
        << (set && *set ? " (from " + variable + ")"
                        : " (the default; " + variable + " is not set)")
        << "\n";
    std::error_code ignored;
    if (!std::filesystem::is_directory(dir, ignored)) {
        out << "It does not exist.\n";
    }

    std::vector<Finding> findings;
    for (const std::string_view name : kEntryNames) {
        findings.push_back(Look(std::string(name)));
    }
    std::string probe;
    if (options.probe) {
        probe = Probe(findings.back());
    }

    out << "\n"
        << Column("", 6) << Column("taken for", 18) << Column("opens", 7) << "resolves to\n";
    for (const Finding& f : findings) {
        const std::string row = Column(f.name, 6) + Column(KindName(f.where.kind), 18) +
                                Column(f.opens ? "yes" : "no", 7);
        const std::vector<std::string> chain = ChainLines(f.where, kLineWidth - row.size());
        out << row << chain.front() << "\n";
        for (size_t i = 1; i < chain.size(); ++i) {
            out << std::string(row.size(), ' ') << chain[i] << "\n";
        }
    }
    if (options.probe) {
        out << "\nProbe of GPR1: " << probe << "\n";
    }
    std::vector<std::string> failing;
    for (const Finding& f : findings) {
        if (f.problem.summary.empty()) {
            continue;
        }
        failing.push_back(f.name);
        out << "\n"
            << f.name << (f.opens ? " " : " would not open (" + ErrorText(f.error) + "): ")
            << f.problem.summary << ".\n";
        for (const std::string& line : f.problem.lines) {
            out << "  " << line << "\n";
        }
    }
    out << "\n";
    if (failing.empty()) {
        out << "All three would open as the tool opens them.\n";
        return 0;
    }
    out << "Not ready:";
    for (const std::string& name : failing) {
        out << " " << name;
    }
    out << ".\n";
    return 1;
}

}  // namespace devcheck
