// Points ALSA's default device at a file while it lives, so tests can hear what was played.
//
// The sink records raw samples exactly as they were written to the device (no header), every
// sound after the one before. Set it up before the first sound of the process: ALSA reads its
// configuration once.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace rvtest {

class AlsaFileSink {
public:
    AlsaFileSink();
    ~AlsaFileSink();

    std::filesystem::path Output() const { return m_dir.path() / "out.raw"; }
    // Everything played so far (empty when nothing was played).
    std::string Played() const;

private:
    TempDir m_dir;
};

// Makes ALSA find no device at all while it lives.
class AlsaNoDevice {
public:
    AlsaNoDevice();
    ~AlsaNoDevice();

private:
    TempDir m_dir;
};

}  // namespace rvtest
