#include "tests/support/alsa_sink.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

namespace rvtest {

AlsaFileSink::AlsaFileSink() {
    const std::string config = "pcm.!default {\n  type file\n  slave.pcm { type null }\n  file \"" +
                               Output().string() + "\"\n  format \"raw\"\n}\n";
    setenv("ALSA_CONFIG_PATH", m_dir.Write("asound.conf", config).c_str(), 1);
}

AlsaFileSink::~AlsaFileSink() {
    unsetenv("ALSA_CONFIG_PATH");
}

std::string AlsaFileSink::Played() const {
    std::ifstream in(Output(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

AlsaNoDevice::AlsaNoDevice() {
    setenv("ALSA_CONFIG_PATH", m_dir.Write("asound.conf", "# no devices\n").c_str(), 1);
}

AlsaNoDevice::~AlsaNoDevice() {
    unsetenv("ALSA_CONFIG_PATH");
}

}  // namespace rvtest
