// Makes the scanner's confirmation sound, LaserScanOk.wav: make_scan_sound <output file>.
// Two short rising tones with soft edges, 16-bit mono at 22050 Hz, about 150 ms in all.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

void Tone(std::vector<short>& out, double hz, double seconds, double amplitude) {
    const int n = static_cast<int>(seconds * kRate);
    const int edge = kRate / 200;  // 5 ms fade in and out: no clicks
    for (int i = 0; i < n; ++i) {
        const double envelope =
            std::min({1.0, static_cast<double>(i) / edge, static_cast<double>(n - 1 - i) / edge});
        out.push_back(
            static_cast<short>(32767 * amplitude * envelope * std::sin(2 * kPi * hz * i / kRate)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_scan_sound <output.wav>\n");
        return 2;
    }
    std::vector<short> samples;
    Tone(samples, 2600, 0.06, 0.45);
    samples.insert(samples.end(), kRate / 100, 0);  // 10 ms apart
    Tone(samples, 3400, 0.08, 0.45);
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "make_scan_sound: %s\n", sf_strerror(nullptr));
        return 1;
    }
    sf_writef_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return 0;
}
