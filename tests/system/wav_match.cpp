// Whether a card's recording holds a sound played COUNT times:
//   rv4417-wav-match RECORDING SOUND COUNT
//
// The card plays at its own rate and format, its recording holds only what was played (no
// silence between plays) and loses some plays' ends when a stream stops and starts again at
// once, so the two are compared over 10 ms windows, not sample by sample: the recording's tone
// must be at the sound's pitches, and last between half and all of COUNT plays.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr double kWindow = 0.010;

struct Window {
    double rms = 0;
    double hertz = 0;  // from the zero crossings
};

struct Recording {
    std::vector<Window> windows;
    int rate = 0;
    int channels = 0;
};

bool Load(const char* path, Recording& r) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file) {
        std::fprintf(stderr, "%s: %s\n", path, sf_strerror(nullptr));
        return false;
    }
    r.rate = info.samplerate;
    r.channels = info.channels;
    const auto frames = static_cast<sf_count_t>(kWindow * info.samplerate);
    std::vector<float> samples(static_cast<size_t>(frames * info.channels));
    while (sf_readf_float(file, samples.data(), frames) == frames) {
        double sum = 0;
        int crossings = 0;
        float last = 0;
        for (sf_count_t f = 0; f < frames; ++f) {
            float mono = 0;
            for (int c = 0; c < info.channels; ++c) {
                mono += samples[static_cast<size_t>(f * info.channels + c)] /
                        static_cast<float>(info.channels);
            }
            sum += static_cast<double>(mono) * mono;
            crossings += f > 0 && (mono >= 0) != (last >= 0) ? 1 : 0;
            last = mono;
        }
        r.windows.push_back(
            {std::sqrt(sum / static_cast<double>(frames)), crossings / 2.0 / kWindow});
    }
    sf_close(file);
    return !r.windows.empty();
}

// The windows at least three quarters as loud as the loudest: whole windows of tone.
std::vector<Window> Loud(const Recording& r) {
    double most = 0;
    for (const Window& w : r.windows) {
        most = std::max(most, w.rms);
    }
    std::vector<Window> loud;
    std::copy_if(r.windows.begin(), r.windows.end(), std::back_inserter(loud),
                 [&](const Window& w) { return w.rms >= most * 3 / 4; });
    return loud;
}

}  // namespace

int main(int argc, char** argv) {
    Recording recording, sound;
    if (argc != 4 || !Load(argv[1], recording) || !Load(argv[2], sound)) {
        std::fprintf(stderr, "usage: rv4417-wav-match RECORDING SOUND COUNT\n");
        return 2;
    }
    const int count = std::atoi(argv[3]);
    const std::vector<Window> heard = Loud(recording);
    const std::vector<Window> own = Loud(sound);
    // A window at the pitch of one of the sound's own loud windows, give or take 5 %.
    const auto pitched = [&](const Window& w) {
        return std::any_of(own.begin(), own.end(), [&](const Window& o) {
            return std::abs(w.hertz - o.hertz) <= o.hertz / 20;
        });
    };
    const auto atPitch = std::count_if(heard.begin(), heard.end(), pitched);
    const double expected = static_cast<double>(count * own.size());
    const auto seconds = [](size_t windows) { return static_cast<double>(windows) * kWindow; };
    std::printf(
        "the sound: %d Hz, %d channel(s), loud %.2f s; the card's recording: %d Hz, %d "
        "channel(s), %.2f s, loud %.2f s (%d plays: %.2f s), %ld of its %zu loud windows at the "
        "sound's pitches\n",
        sound.rate, sound.channels, seconds(own.size()), recording.rate, recording.channels,
        seconds(recording.windows.size()), seconds(heard.size()), count, expected * kWindow,
        static_cast<long>(atPitch), heard.size());
    // A window at each play's two ends may fall on either side of the line.
    const auto loud = static_cast<double>(heard.size());
    const bool lasts = loud >= expected / 2 && loud <= expected + 2.0 * count;
    return lasts && atPitch >= static_cast<long>(heard.size() * 9 / 10) ? 0 : 1;
}
