// bench_report run as the suite's script runs it, on small results written by hand in
// Google Benchmark's JSON format.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// One run as Google Benchmark writes it; `counters` are the user counters' "key": value lines.
std::string BenchmarkRun(const std::string& name, const std::string& unit,
                         const std::string& counters) {
    return R"({
      "name": ")" +
           name + R"(",
      "family_index": 0,
      "per_family_instance_index": 0,
      "run_name": ")" +
           name + R"(",
      "run_type": "iteration",
      "repetitions": 1,
      "repetition_index": 0,
      "threads": 1,
      "iterations": 1,
      "real_time": 1.0012000000000000e+01,
      "cpu_time": 2.1000000000000000e-01,
      "time_unit": ")" +
           unit + R"(",
      )" + counters +
           "\n    }";
}

std::string Results(const std::string& runs) {
    return R"({
  "context": {
    "date": "2024-05-02T10:11:12+00:00",
    "host_name": "bench",
    "executable": "./bench",
    "num_cpus": 2,
    "mhz_per_cpu": 2400,
    "cpu_scaling_enabled": false,
    "caches": [{"type": "Data", "level": 1, "size": 32768, "num_sharing": 1}],
    "load_avg": [0.5, 0.4, 0.3],
    "library_build_type": "release"
  },
  "benchmarks": [
    )" + runs +
           "\n  ]\n}\n";
}

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

struct Outcome {
    int status = -1;
    std::string error;
};

Outcome Report(const fs::path& dir, const fs::path& json, const fs::path& png) {
    const fs::path errors = dir.parent_path() / (dir.filename().string() + ".err");
    const std::string command = std::string(BENCH_REPORT) + " '" + dir.string() + "' '" +
                                json.string() + "' '" + png.string() + "' 2>'" + errors.string() +
                                "'";
    const int status = std::system(command.c_str());
    std::stringstream error;
    error << std::ifstream(errors).rdbuf();
    fs::remove(errors);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, error.str()};
}

QJsonObject ReadJson(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QJsonDocument::fromJson(file.readAll()).object();
}

QSet<QString> Keys(const QJsonObject& object) {
    const QStringList keys = object.keys();
    return {keys.begin(), keys.end()};
}

// Pixels of a clear colour, not white, black or a grey.
int Coloured(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::max({c.red(), c.green(), c.blue()}) -
                         std::min({c.red(), c.green(), c.blue()}) >
                     60;
        }
    }
    return count;
}

class BenchReportTest : public testing::Test {
protected:
    static void WriteSuite(const fs::path& dir) {
        WriteFile(
            dir / "bench_printer.json",
            Results(BenchmarkRun("AutoSendPeriod/iterations:1", "s",
                                 R"("mean_ms": 2.0412e+01, "sends": 490, "worst_ms": 2.31e+01)") +
                    ",\n    " +
                    BenchmarkRun(
                        "SendFile100MB/iterations:1", "s",
                        R"("MB_per_s": 3.5e+01, "peak_growth_MB": 0.25, "received_MB": 100)")));
        WriteFile(
            dir / "bench_receive_box.json",
            Results(BenchmarkRun("ReceiveChunk/TextView/hex/0KB/min_time:0.300/manual_time", "us",
                                 R"("chars": 1.2e+04, "median_us": 4.1e+01, "vs_empty": 1)") +
                    ",\n    " +
                    BenchmarkRun("ReceiveChunk/TextView/hex/2048KB/min_time:0.300/manual_time",
                                 "us",
                                 R"("chars": 1.05e+06, "median_us": 4.4e+01, "vs_empty": 1.07)")));
        WriteFile(dir / "bench_flood.json",
                  Results(BenchmarkRun("Flood60s/60/iterations:1", "s",
                                       R"("bytes_sent": 1.2345678e+08, "bytes_shown": 1.2345678e+08,
      "growth_MB": 12.5, "growth_per_text_byte": 0.3, "worst_stall_ms": 48)")));
    }

    rvtest::TempDir m_temp;
};

TEST_F(BenchReportTest, KeepsEveryCounterAsReportedAndDrawsTheWholePicture) {
    const fs::path in = m_temp.path() / "in";
    WriteSuite(in);
    const fs::path json = m_temp.path() / "results.json";
    const fs::path png = m_temp.path() / "results.png";
    const Outcome outcome = Report(in, json, png);
    ASSERT_EQ(outcome.status, 0) << outcome.error;

    const QJsonObject results = ReadJson(json);
    EXPECT_TRUE(QDateTime::fromString(results["date"].toString(), Qt::ISODate).isValid());
    EXPECT_GE(results["machine"]["cores"].toInt(), 1);
    EXPECT_FALSE(results["machine"]["kernel"].toString().isEmpty());
    const QJsonObject programs = results["programs"].toObject();
    EXPECT_EQ(Keys(programs), (QSet<QString>{"bench_printer", "bench_receive_box", "bench_flood"}));

    const QJsonArray printer = programs["bench_printer"].toArray();
    ASSERT_EQ(printer.size(), 2);
    const QJsonObject period = printer[0].toObject();
    EXPECT_EQ(period["name"].toString(), "AutoSendPeriod/iterations:1");
    EXPECT_EQ(period["real_time"].toDouble(), 10.012);
    EXPECT_EQ(period["cpu_time"].toDouble(), 0.21);
    EXPECT_EQ(period["time_unit"].toString(), "s");
    EXPECT_FALSE(period.contains("family_index"));
    EXPECT_FALSE(period.contains("run_type"));
    EXPECT_EQ(period["counters"].toObject(),
              (QJsonObject{{"mean_ms", 20.412}, {"sends", 490}, {"worst_ms", 23.1}}));
    EXPECT_EQ(printer[1]["counters"]["peak_growth_MB"].toDouble(), 0.25);
    EXPECT_EQ(programs["bench_flood"][0]["counters"]["bytes_sent"].toDouble(), 123456780.0);
    EXPECT_EQ(programs["bench_receive_box"][1]["counters"]["median_us"].toDouble(), 44.0);

    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
    EXPECT_EQ(image.size(), QSize(1600, 1500));
    // Panels are 800x480 under a 60-pixel header. Auto send has its numbers: coloured bars;
    // start-up has none and says so in grey.
    EXPECT_GT(Coloured(image, QRect(800, 540, 800, 480)), 2000);
    EXPECT_EQ(Coloured(image, QRect(0, 540, 800, 480)), 0);
}

TEST_F(BenchReportTest, SkipsItsOwnOutputWhenWritingIntoTheInputFolder) {
    const fs::path dir = m_temp.path() / "results";
    WriteSuite(dir);
    for (int run = 0; run < 2; ++run) {
        const Outcome outcome = Report(dir, dir / "results.json", dir / "results.png");
        ASSERT_EQ(outcome.status, 0) << "run " << run << ": " << outcome.error;
    }
    EXPECT_EQ(Keys(ReadJson(dir / "results.json")["programs"].toObject()),
              (QSet<QString>{"bench_printer", "bench_receive_box", "bench_flood"}));
}

TEST_F(BenchReportTest, RefusesWhatIsNotABenchmarkResult) {
    const struct {
        const char* what;
        std::string content;  // empty: the folder holds nothing
    } cases[] = {
        {"an empty folder", ""},
        {"a cut-off file",
         Results(BenchmarkRun("IdleCpu/iterations:1", "s", R"("x": 1)")).substr(0, 300)},
        {"JSON of another kind", R"({"context": {}, "runs": []})"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const fs::path dir = m_temp.path() / ("case" + std::to_string(n++));
        fs::create_directories(dir);
        if (!c.content.empty()) {
            WriteFile(dir / "bench_program.json", c.content);
        }
        const fs::path json = dir / "out" / "results.json";
        fs::create_directories(json.parent_path());
        const Outcome outcome = Report(dir, json, dir / "out" / "results.png");
        EXPECT_EQ(outcome.status, 1) << c.what;
        EXPECT_NE(outcome.error.find(c.content.empty() ? dir.string() : "bench_program.json"),
                  std::string::npos)
            << c.what << ": " << outcome.error;
        EXPECT_FALSE(fs::exists(json)) << c.what;
    }
}

}  // namespace
