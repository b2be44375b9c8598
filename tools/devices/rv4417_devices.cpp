// rv4417-devices: why the tool cannot open a device, and the entries made and removed.
//
//   rv4417-devices [--probe]            check COM0, COM2 and GPR1
//   rv4417-devices link NAME DEVICE     make the entry NAME a link to DEVICE
//   rv4417-devices unlink NAME          remove the entry NAME (a link or socket only)
#include <iostream>
#include <string>
#include <vector>

#include "tools/devices/check.h"
#include "tools/devices/entry.h"
#include "tools/devices/link.h"

namespace {

const char kUsage[] =
    "usage: rv4417-devices [--probe]\n"
    "       rv4417-devices link NAME DEVICE\n"
    "       rv4417-devices unlink NAME\n"
    "Checks the devices the tool opens (COM0, COM2, GPR1) in the device directory\n"
    "($RV4417_DEVICES, default /dev/rv4417) and tells why one would not open.\n"
    "  --probe   also send the scanner's stop code (500) to GPR1 and show the answer\n"
    "  link      make the entry NAME (COM0, COM2 or GPR1) a link to DEVICE\n"
    "  unlink    remove the entry NAME (only a link or a socket)\n";

int Usage(const std::string& problem) {
    std::cerr << "rv4417-devices: " << problem << "\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (!args.empty() && (args[0] == "link" || args[0] == "unlink")) {
        const bool link = args[0] == "link";
        if (args.size() != (link ? 3u : 2u)) {
            return Usage(args[0] + " takes " + (link ? "NAME and DEVICE" : "NAME"));
        }
        const std::string name = devcheck::EntryName(args[1]);
        if (name.empty()) {
            return Usage("no entry named '" + args[1] + "': use COM0, COM2 or GPR1");
        }
        return link ? devcheck::LinkEntry(name, args[2], std::cout, std::cerr)
                    : devcheck::UnlinkEntry(name, std::cout, std::cerr);
    }
    devcheck::CheckOptions options;
    for (const std::string& arg : args) {
        if (arg == "--probe") {
            options.probe = true;
        } else {
            return Usage(arg.rfind('-', 0) == 0 ? "unknown option " + arg
                                                : "unexpected argument " + arg);
        }
    }
    return devcheck::RunCheck(options, std::cout);
}
