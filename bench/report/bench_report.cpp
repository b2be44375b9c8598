// Merges the benchmark programs' results into one JSON file and draws their headline numbers.
//
//   bench_report <dir of <program>.json files> <results.json> <results.png>
//
// The inputs are Google Benchmark's JSON output, one file per program. What the picture shows
// is the table in panels.cpp; a panel whose benchmarks are not in the inputs says so: a partial
// run still gets its picture.
#include <stdlib.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>
#include <optional>
#include <vector>

#include "bench/report/draw.h"
#include "bench/report/panels.h"

namespace {

QTextStream& Err() {
    static QTextStream err(stderr);
    return err;
}

// Every run carries these; whatever else a run holds is one of its user counters.
bool IsStandardField(const QString& key) {
    static const QStringList fields = {"name",
                                       "run_name",
                                       "run_type",
                                       "family_index",
                                       "repetitions",
                                       "repetition_index",
                                       "threads",
                                       "iterations",
                                       "real_time",
                                       "cpu_time",
                                       "time_unit",
                                       "per_family_instance_index",
                                       "label",
                                       "error_occurred",
                                       "error_message",
                                       "aggregate_name",
                                       "aggregate_unit",
                                       "big_o",
                                       "rms",
                                       "cpu_coefficient",
                                       "real_coefficient"};
    return fields.contains(key);
}

QJsonObject Reduce(const QJsonObject& run) {
    QJsonObject out;
    for (const char* key :
         {"name", "iterations", "real_time", "cpu_time", "time_unit", "label", "error_message"}) {
        if (run.contains(key)) {
            out[key] = run[key];
        }
    }
    QJsonObject counters;
    for (auto it = run.begin(); it != run.end(); ++it) {
        if (!IsStandardField(it.key())) {
            counters[it.key()] = it.value();
        }
    }
    out["counters"] = counters;
    return out;
}

QJsonObject Machine() {
    QString cpu;
    QFile cpuinfo("/proc/cpuinfo");
    if (cpuinfo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray& line : cpuinfo.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                cpu = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
        }
    }
    return {{"cpu", cpu},
            {"cores", QThread::idealThreadCount()},
            {"kernel", QSysInfo::kernelType() + " " + QSysInfo::kernelVersion()}};
}

// <program> -> its reduced runs, from every <program>.json in the folder but the output.
std::optional<QJsonObject> ReadPrograms(const QString& dir, const QString& output) {
    const QString skip = QFileInfo(output).canonicalFilePath();
    QJsonObject programs;
    for (const QFileInfo& file : QDir(dir).entryInfoList({"*.json"}, QDir::Files, QDir::Name)) {
        if (file.canonicalFilePath() == skip) {
            continue;
        }
        QFile in(file.filePath());
        if (!in.open(QIODevice::ReadOnly)) {
            Err() << file.filePath() << ": " << in.errorString() << "\n";
            return std::nullopt;
        }
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(in.readAll(), &error);
        const QJsonValue benchmarks = doc.object().value("benchmarks");
        if (error.error != QJsonParseError::NoError || !benchmarks.isArray()) {
            Err() << file.filePath() << ": not a benchmark result ("
                  << (error.error != QJsonParseError::NoError ? error.errorString()
                                                              : QString("no benchmarks"))
                  << ")\n";
            return std::nullopt;
        }
        QJsonArray runs;
        for (const auto& run : benchmarks.toArray()) {
            runs.append(Reduce(run.toObject()));
        }
        programs[file.completeBaseName()] = runs;
    }
    if (programs.isEmpty()) {
        Err() << dir << ": no benchmark results\n";
        return std::nullopt;
    }
    return programs;
}

bool Write(const QString& path, const QByteArray& data) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(data) != data.size() ||
        !out.flush()) {
        Err() << path << ": " << out.errorString() << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);  // the charts are graphics widgets
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        Err() << "usage: bench_report <dir of benchmark JSON files> <results.json> <results.png>\n";
        return 2;
    }
    const std::optional<QJsonObject> programs = ReadPrograms(args[1], args[2]);
    if (!programs) {
        return 1;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString date = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
    const QJsonObject machine = Machine();
    const QJsonObject results{{"date", date}, {"machine", machine}, {"programs", *programs}};
    if (!Write(args[2], QJsonDocument(results).toJson(QJsonDocument::Indented))) {
        return 1;
    }
    const std::vector<report::Panel> panels = report::Panels(*programs);
    const QImage image = report::Draw(panels, machine, date);
    if (!image.save(args[3], "PNG")) {
        Err() << args[3] << ": cannot write the image\n";
        return 1;
    }
    QTextStream out(stdout);
    report::PrintPanels(out, panels);
    return 0;
}
