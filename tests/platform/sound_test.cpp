#include "platform/win/sound.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/win/error.h"
#include "platform/win/text.h"
#include "tests/support/alsa_sink.h"
#include "tests/support/temp_dir.h"

namespace {

std::u16string View(const std::filesystem::path& path) {
    std::u16string text = Utf8ToUtf16(path.string());
    std::replace(text.begin(), text.end(), u'/', u'\\');
    return text;
}

// A WAV file holding the 16-bit samples in the given sample format.
std::u16string Wav(const rvtest::TempDir& dir, int format, int rate, int channels,
                   const std::vector<std::int16_t>& samples) {
    const auto path = dir.path() / ("sound-" + std::to_string(format) + ".wav");
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    if (format == SF_FORMAT_FLOAT) {
        std::vector<float> values;
        values.reserve(samples.size());
        for (const std::int16_t s : samples) {
            values.push_back(static_cast<float>(s) / 32768.0f);
        }
        sf_write_float(file, values.data(), static_cast<sf_count_t>(values.size()));
    } else {
        sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    }
    sf_close(file);
    return View(path);
}

// Samples over the whole range; with step 256 they survive an 8-bit file unchanged.
std::vector<std::int16_t> Ramp(size_t count, int step) {
    std::vector<std::int16_t> samples;
    for (size_t i = 0; i < count; ++i) {
        samples.push_back(static_cast<std::int16_t>((i * 7919 * step) % 65536 - 32768));
    }
    return samples;
}

std::string Bytes(const std::vector<std::int16_t>& samples) {
    return std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
}

TEST(sndPlaySoundW, Plays16BitSamplesUnchanged) {
    rvtest::AlsaFileSink sink;
    rvtest::TempDir dir;
    const std::vector<std::int16_t> samples = Ramp(20000, 1);  // stereo, several blocks
    EXPECT_TRUE(sndPlaySoundW(Wav(dir, SF_FORMAT_PCM_16, 44100, 2, samples).c_str(), SND_SYNC));
    EXPECT_EQ(sink.Played(), Bytes(samples));
}

TEST(sndPlaySoundW, ConvertsOtherSampleFormatsTo16Bit) {
    rvtest::AlsaFileSink sink;
    rvtest::TempDir dir;
    for (const auto& [format, rate, channels, step] : {std::tuple{SF_FORMAT_PCM_U8, 8000, 1, 256},
                                                       {SF_FORMAT_FLOAT, 44100, 2, 1},
                                                       {SF_FORMAT_PCM_24, 22050, 1, 1}}) {
        SCOPED_TRACE(format);
        const std::vector<std::int16_t> samples = Ramp(static_cast<size_t>(channels) * 5000, step);
        const size_t before = sink.Played().size();  // the sink keeps every sound, in order
        EXPECT_TRUE(sndPlaySoundW(Wav(dir, format, rate, channels, samples).c_str(), SND_SYNC));
        EXPECT_EQ(sink.Played().substr(before), Bytes(samples));
    }
}

TEST(sndPlaySoundW, PlaysNothingForFilesItCannotPlay) {
    rvtest::AlsaFileSink sink;
    rvtest::TempDir dir;
    const std::u16string missing = View(dir.path() / "missing.wav");
    EXPECT_FALSE(sndPlaySoundW(missing.c_str(), SND_SYNC | SND_NODEFAULT));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    for (const std::u16string& name :
         {View(dir.Write("text.wav", "RIFF, but not really a sound file\n")),
          Wav(dir, SF_FORMAT_PCM_16, 44100, 9, Ramp(900, 1)),
          Wav(dir, SF_FORMAT_PCM_32, 500, 1, Ramp(100, 1))}) {
        EXPECT_FALSE(sndPlaySoundW(name.c_str(), SND_SYNC));
    }
    const std::u16string good = Wav(dir, SF_FORMAT_PCM_16, 8000, 1, Ramp(100, 1));
    EXPECT_FALSE(sndPlaySoundW(good.c_str(), SND_ASYNC));
    EXPECT_EQ(sink.Played(), "");
}

TEST(sndPlaySoundW, EmptySoundAndNoNameSucceedSilently) {
    rvtest::AlsaFileSink sink;
    rvtest::TempDir dir;
    EXPECT_TRUE(sndPlaySoundW(Wav(dir, SF_FORMAT_PCM_16, 8000, 1, {}).c_str(), SND_SYNC));
    EXPECT_TRUE(sndPlaySoundW(nullptr, SND_SYNC));
    EXPECT_EQ(sink.Played(), "");
}

TEST(sndPlaySoundW, FailsWithoutADeviceAndDoesNotHang) {
    rvtest::AlsaNoDevice noDevice;
    rvtest::TempDir dir;
    const std::u16string name = Wav(dir, SF_FORMAT_PCM_16, 8000, 1, Ramp(8000, 1));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(sndPlaySoundW(name.c_str(), SND_SYNC));
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
