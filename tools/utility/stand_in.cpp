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

namespace {

QString Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList Cameras() {
    QStringList lines;
    for (const QString& device : Entries("/sys/class/video4linux")) {
        lines << QString("/dev/%1: %2")
                     .arg(device, Read("/sys/class/video4linux/" + device + "/name"));
    }
    return lines.isEmpty() ? QStringList{"No video device found."} : lines;
}

QStringList Batteries() {
    QStringList lines;
    for (const QString& supply : Entries("/sys/class/power_supply")) {
        const QString base = "/sys/class/power_supply/" + supply + "/";
        const QString type = Read(base + "type");
        if (type == "Battery") {
            lines << QString("%1: %2 %, %3")
                         .arg(supply, Read(base + "capacity"), Read(base + "status"));
        } else {
            lines << QString("%1 (%2): %3")
                         .arg(supply, type, Read(base + "online") == "1" ? "online" : "offline");
        }
    }
    return lines.isEmpty() ? QStringList{"No battery or power supply found."} : lines;
}

QStringList BackLights() {
    QStringList lines;
    for (const QString& light : Entries("/sys/class/backlight")) {
        const QString base = "/sys/class/backlight/" + light + "/";
        lines << QString("%1: %2 of %3")
                     .arg(light, Read(base + "brightness"), Read(base + "max_brightness"));
    }
    return lines.isEmpty() ? QStringList{"No back light found."} : lines;
}

QStringList Links() {
    QStringList lines;
    for (const QString& link : Entries("/sys/class/net")) {
        const QString base = "/sys/class/net/" + link + "/";
        lines << QString("%1: %2, %3").arg(link, Read(base + "operstate"), Read(base + "address"));
    }
    return lines.isEmpty() ? QStringList{"No network link found."} : lines;
}

QStringList Radios() {
    QStringList lines;
    for (const QString& radio : Entries("/sys/class/rfkill")) {
        const QString base = "/sys/class/rfkill/" + radio + "/";
        lines << QString("%1 (%2): %3")
                     .arg(Read(base + "name"), Read(base + "type"),
                          Read(base + "soft") == "1" || Read(base + "hard") == "1" ? "blocked"
                                                                                   : "on");
    }
    for (const QString& link : Entries("/sys/class/net")) {
        if (QFileInfo::exists("/sys/class/net/" + link + "/wireless")) {
            lines << QString("%1: wireless, %2")
                         .arg(link, Read("/sys/class/net/" + link + "/operstate"));
        }
    }
    return lines.isEmpty() ? QStringList{"No radio found."} : lines;
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
