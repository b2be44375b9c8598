#include "tests/support/alsa_sink.h"

#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace rvtest {

AlsaFileSink::AlsaFileSink() {
    const std::string config = "pcm.!default {\n  type file\n  slave.pcm { type null }\n  file \"" +
                               Output().string() + "\"\n  format \"raw\"\n  truncate false\n}\n";
    setenv("ALSA_CONFIG_PATH", m_dir.Write("asound.conf", config).c_str(), 1);
}

AlsaFileSink::~AlsaFileSink() {
    unsetenv("ALSA_CONFIG_PATH");
}

std::string AlsaFileSink::Played() const {
    // Each sound opens the device anew; without truncation the file plugin then writes to
    // out.raw, out.raw.0001, out.raw.0002... in that order.
    std::string all;
    for (int n = 0;; ++n) {
        char suffix[16] = "";
        if (n > 0) {
            std::snprintf(suffix, sizeof suffix, ".%04d", n);
        }
        std::ifstream in(Output().string() + suffix, std::ios::binary);
        if (!in) {
            return all;
        }
        std::ostringstream content;
        content << in.rdbuf();
        all += content.str();
    }
}

AlsaNoDevice::AlsaNoDevice() {
    setenv("ALSA_CONFIG_PATH", m_dir.Write("asound.conf", "# no devices\n").c_str(), 1);
}

AlsaNoDevice::~AlsaNoDevice() {
    unsetenv("ALSA_CONFIG_PATH");
}

}  // namespace rvtest
