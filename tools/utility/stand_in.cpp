// A stand-in for the terminal's device utilities, built under their five file names. It
// shows a small window named after the utility with what this machine really offers for it,
// and a Close button; what it shows also goes to the standard output, one line each.
//
//   SnapTool.exe      the camera tool: video devices
//   PowerGauge.exe    the battery gauge: /sys/class/power_supply
//   LampDimmer.exe    the back light tool: /sys/class/backlight
//   LinkConfig.exe    the network configuration: the network links
//   Radio Probe.exe   the radio link probe: rfkill radios and wireless links
//
// RV4417_UTILITY_CLOSE_MS closes the window by itself after that many milliseconds (for
// unattended runs); RV4417_UTILITY_LOG names a file to which it appends its name when it
// starts (so that an unattended run can tell that it really ran).
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <functional>

namespace {

QString Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

// A line for each entry of the system's class folder (describe gets the entry's name and its
// folder, ending in a slash; an empty line is left out).
QStringList Each(const QString& kind,
                 const std::function<QString(const QString&, const QString&)>& describe) {
    QStringList lines;
    for (const QString& entry : Entries("/sys/class/" + kind)) {
        const QString line = describe(entry, "/sys/class/" + kind + "/" + entry + "/");
        if (!line.isEmpty()) {
            lines << line;
        }
    }
    return lines;
}

QStringList OrNone(const QStringList& lines, const char* none) {
    return lines.isEmpty() ? QStringList{none} : lines;
}

QStringList Cameras() {
    return OrNone(Each("video4linux",
                       [](const QString& device, const QString& base) {
                           return QString("/dev/%1: %2").arg(device, Read(base + "name"));
                       }),
                  "No video device found.");
}

QStringList Batteries() {
    return OrNone(Each("power_supply",
                       [](const QString& supply, const QString& base) {
                           const QString type = Read(base + "type");
                           if (type == "Battery") {
                               return QString("%1: %2 %, %3")
                                   .arg(supply, Read(base + "capacity"), Read(base + "status"));
                           }
                           return QString("%1 (%2): %3")
                               .arg(supply, type,
                                    Read(base + "online") == "1" ? "online" : "offline");
                       }),
                  "No battery or power supply found.");
}

QStringList BackLights() {
    return OrNone(Each("backlight",
                       [](const QString& light, const QString& base) {
                           return QString("%1: %2 of %3")
                               .arg(light, Read(base + "brightness"),
                                    Read(base + "max_brightness"));
                       }),
                  "No back light found.");
}

QStringList Links() {
    return OrNone(Each("net",
                       [](const QString& link, const QString& base) {
                           return QString("%1: %2, %3")
                               .arg(link, Read(base + "operstate"), Read(base + "address"));
                       }),
                  "No network link found.");
}

QStringList Radios() {
    const QStringList radios = Each("rfkill", [](const QString&, const QString& base) {
        const bool blocked = Read(base + "soft") == "1" || Read(base + "hard") == "1";
        return QString("%1 (%2): %3")
            .arg(Read(base + "name"), Read(base + "type"), blocked ? "blocked" : "on");
    });
    const QStringList wireless = Each("net", [](const QString& link, const QString& base) {
        return QFileInfo::exists(base + "wireless")
                   ? QString("%1: wireless, %2").arg(link, Read(base + "operstate"))
                   : QString();
    });
    return OrNone(radios + wireless, "No radio found.");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString name = QFileInfo(QString::fromLocal8Bit(argv[0])).completeBaseName();
    if (const QString log = qEnvironmentVariable("RV4417_UTILITY_LOG"); !log.isEmpty()) {
        QFile file(log);
        if (file.open(QIODevice::Append | QIODevice::Text)) {
            file.write((name + "\n").toUtf8());
        }
    }
    QStringList lines;
    if (name == "SnapTool") {
        lines = Cameras();
    } else if (name == "PowerGauge") {
        lines = Batteries();
    } else if (name == "LampDimmer") {
        lines = BackLights();
    } else if (name == "LinkConfig") {
        lines = Links();
    } else if (name == "Radio Probe") {
        lines = Radios();
    } else {
        lines = {"A stand-in for a device utility: start it as SnapTool.exe, PowerGauge.exe,",
                 "LampDimmer.exe, LinkConfig.exe or Radio Probe.exe."};
    }
    for (const QString& line : lines) {
        std::printf("%s: %s\n", qPrintable(name), qPrintable(line));
    }
    std::fflush(stdout);

    QDialog window;
    window.setWindowTitle(name);
    auto* layout = new QVBoxLayout(&window);
    auto* text = new QLabel(lines.join('\n'));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    layout->addWidget(buttons);
    const int closeMs = qEnvironmentVariableIntValue("RV4417_UTILITY_CLOSE_MS");
    if (closeMs > 0) {
        QTimer::singleShot(closeMs, &window, &QDialog::reject);
    }
    window.exec();
    return 0;
}
