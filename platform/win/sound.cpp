#include "platform/win/sound.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win/error_p.h"
#include "platform/win/text.h"
#include "platform/win/trace.h"
#include "platform/win/trace_p.h"

namespace {

// Beyond these the file is taken for damaged rather than played as noise for hours.
constexpr int kMaxChannels = 8;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;

constexpr unsigned kLatencyUs = 100000;
constexpr sf_count_t kBlockFrames = 4096;
constexpr int kMaxRecoveries = 8;
constexpr const char* kDevice = "default";

// ALSA prints to stderr on every failed open (no card, no configuration); the caller learns
// of it from the result instead.
void SilentAlsaError(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
                     const char* /*fmt*/, ...) {}

void QuietAlsa() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(&SilentAlsaError); });
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};

// Samples are read as floats and converted here: libsndfile hands float files to a short
// reader unscaled (0.5 would become 0), while as floats every format comes back in -1..1.
void ToS16(const std::vector<float>& in, size_t count, std::vector<std::int16_t>& out) {
    for (size_t i = 0; i < count; ++i) {
        const float v =
            std::isnan(in[i]) ? 0.0f : std::clamp(in[i] * 32768.0f, -32768.0f, 32767.0f);
        out[i] = static_cast<std::int16_t>(std::lrint(v));
    }
}

bool WriteFrames(snd_pcm_t* pcm, const std::int16_t* samples, snd_pcm_uframes_t frames,
                 int channels) {
    int recoveries = 0;
    while (frames > 0) {
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples, frames);
        if (written < 0) {
            // An underrun (-EPIPE) or a suspend is recovered from; anything else ends the play.
            if (++recoveries > kMaxRecoveries ||
                snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) {
                return false;
            }
            continue;
        }
        samples += written * channels;
        frames -= static_cast<snd_pcm_uframes_t>(written);
    }
    return true;
}

// Plays the file on the default device; on failure, why goes to the trace.
BOOL PlayFile(const std::string& path, std::string& why) {
    // Opened here rather than by sf_open, so the descriptor is close-on-exec.
    const Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        why = "cannot open the file: " + win_detail::ErrnoText(errno);
        return win_detail::FailWithErrno();
    }
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, SoundFileCloser> file(
        sf_open_fd(fd.get(), SFM_READ, &info, SF_FALSE));
    if (!file || info.channels < 1 || info.channels > kMaxChannels || info.samplerate < kMinRate ||
        info.samplerate > kMaxRate) {
        why = "not a sound file that can be played";
        return win_detail::Fail(ERROR_NOT_SUPPORTED);
    }
    const auto channels = static_cast<size_t>(info.channels);
    std::vector<float> block(static_cast<size_t>(kBlockFrames) * channels);
    std::vector<std::int16_t> samples(block.size());
    // The first block is read before the device is opened: a file that cannot be read
    // plays nothing, and an empty one needs no device.
    sf_count_t frames = sf_readf_float(file.get(), block.data(), kBlockFrames);
    if (frames <= 0) {
        why = "the file holds no sound";
        return sf_error(file.get()) == SF_ERR_NO_ERROR ? TRUE
                                                       : win_detail::Fail(ERROR_NOT_SUPPORTED);
    }
    QuietAlsa();
    // Opened without blocking, so a device held by someone else fails instead of waiting for
    // it; the writes then block as a synchronous play must.
    snd_pcm_t* rawPcm = nullptr;
    if (const int err = snd_pcm_open(&rawPcm, kDevice, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        err < 0) {
        why = std::string("the sound device cannot be opened: ") + snd_strerror(err);
        return win_detail::Fail(ERROR_DEVICE_NOT_CONNECTED);
    }
    const std::unique_ptr<snd_pcm_t, PcmCloser> pcm(rawPcm);
    if (snd_pcm_nonblock(pcm.get(), 0) < 0) {
        why = "the sound device cannot be used";
        return win_detail::Fail(ERROR_DEVICE_NOT_CONNECTED);
    }
    if (const int err =
            snd_pcm_set_params(pcm.get(), SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                               static_cast<unsigned>(info.channels),
                               static_cast<unsigned>(info.samplerate), 1, kLatencyUs);
        err < 0) {
        why = std::string("the sound device refuses the file's format: ") + snd_strerror(err);
        return win_detail::Fail(ERROR_NOT_SUPPORTED);
    }
    while (frames > 0) {
        ToS16(block, static_cast<size_t>(frames) * channels, samples);
        if (!WriteFrames(pcm.get(), samples.data(), static_cast<snd_pcm_uframes_t>(frames),
                         info.channels)) {
            snd_pcm_drop(pcm.get());
            why = "the sound device stopped taking samples";
            return win_detail::Fail(ERROR_DEVICE_NOT_CONNECTED);
        }
        frames = sf_readf_float(file.get(), block.data(), kBlockFrames);
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        snd_pcm_drop(pcm.get());
        why = "the file could not be read to its end";
        return win_detail::Fail(ERROR_NOT_SUPPORTED);
    }
    snd_pcm_drain(pcm.get());
    return TRUE;
}

}  // namespace

BOOL sndPlaySoundW(LPCWSTR soundName, UINT flags) {
    if (flags & (SND_ASYNC | SND_LOOP | SND_MEMORY)) {
        return win_detail::Fail(ERROR_NOT_SUPPORTED);
    }
    if (!soundName) {
        return TRUE;
    }
    const std::string path = ToPosixPath(soundName);
    std::string why;
    return win_detail::TimedForTrace(
        TraceChannel::Sound, [&] { return PlayFile(path, why); },
        [&](BOOL ok, DWORD, long long ms) {
            win_detail::TraceLine(
                TraceChannel::Sound, "play %s on the ALSA device \"%s\": %s after %lld ms",
                path.c_str(), kDevice, ok && why.empty() ? "played" : why.c_str(), ms);
        });
}
