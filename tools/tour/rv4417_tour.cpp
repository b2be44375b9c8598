// rv4417-tour: the tool's whole job on any machine, without a display.
//
// Runs RV4417Test's dialog offscreen against the simulated terminal and goes through every
// page as a technician would, then prints the simulator's log, a verdict per page and where
// the pictures of the pages are. The confirmation sound goes to a file beside the pictures.
//
//   rv4417-tour [--screen WxH] [--scale S] [--wm | --kiosk] [OUTPUT FOLDER]   (default out/tour)
//
// --screen gives the offscreen screen that size, in logical pixels, and S device pixels to
// each (as weston's --width, --height and --scale do), without a window manager, as the
// terminal's screen is; --wm adds one (the window gets a frame), --kiosk makes the window full
// screen as a kiosk compositor does. The tour prints the dialog's size and font.
//
// Only the tour's own files in the folder are replaced: it may be any folder of the user's.
#include <stdlib.h>

#include <QApplication>
#include <QFontInfo>
#include <QScreen>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <vector>

#include "app/app_dir.h"
#include "platform/win/module.h"
#include "tools/drive/technician.h"

namespace {

namespace fs = std::filesystem;

// ALSA's default device becomes a file in the output folder (every sound after the other).
void SoundIntoFile(const fs::path& folder) {
    const fs::path config = folder / "asound.conf";
    std::ofstream(config) << "pcm.!default {\n  type file\n  slave.pcm { type null }\n  file \""
                          << (folder / "sound.raw").string()
                          << "\"\n  format \"raw\"\n  truncate false\n}\n";
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
}

// The offscreen platform's screen, as its configuration file gives it.
struct Screen {
    int width = 0;  // logical pixels; 0: the platform's own screen
    int height = 0;
    double scale = 1;
    bool windowManager = false;
    bool kiosk = false;
};

bool ParseScreen(const std::string& text, Screen& screen) {
    return std::sscanf(text.c_str(), "%dx%d", &screen.width, &screen.height) == 2 &&
           screen.width > 0 && screen.height > 0;
}

void UseScreen(const Screen& screen, const fs::path& folder) {
    if (screen.width == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return;
    }
    const fs::path config = folder / "screen.json";
    std::ofstream(config) << "{\"windowFrameMargins\": "
                          << (screen.windowManager ? "true" : "false")
                          << ", \"screens\": [{\"name\": \"tour\", \"width\": " << screen.width
                          << ", \"height\": " << screen.height << ", \"dpr\": " << screen.scale
                          << "}]}\n";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str(), 1);
}

bool IsTourFile(const fs::path& name) {
    const std::string text = name.filename().string();
    return text.rfind("sound.raw", 0) == 0 || text == "asound.conf" || text == "receipt.txt" ||
           text == "screen.json" || text == "utilities.log" ||
           (text.size() > 4 && text.compare(text.size() - 4, 4, ".png") == 0 && text[0] >= '1' &&
            text[0] <= '5' && text[1] == '-');
}

// Makes the folder, or empties it of what an earlier tour left; false with a message when
// that cannot be done.
bool PrepareFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (!error) {
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            if (IsTourFile(entry.path())) {
                fs::remove(entry.path(), error);
            }
            if (error) {
                break;
            }
        }
    }
    if (error) {
        std::cerr << "rv4417-tour: " << folder.string() << ": " << error.message() << "\n";
        return false;
    }
    return true;
}

size_t SoundBytes(const fs::path& folder) {
    size_t total = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("sound.raw", 0) == 0) {
            total += static_cast<size_t>(entry.file_size());
        }
    }
    return total;
}

}  // namespace

CWinApp g_tourApp;

int Usage() {
    std::cerr << "usage: rv4417-tour [--screen WxH] [--scale S] [--wm | --kiosk] [OUTPUT FOLDER]"
                 "   (default out/tour)\n";
    return 2;
}

int main(int argc, char** argv) {
    Screen screen;
    const char* folder = "out/tour";
    bool haveFolder = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--screen" && i + 1 < argc && ParseScreen(argv[i + 1], screen)) {
            ++i;
        } else if (arg == "--scale" && i + 1 < argc && std::atof(argv[i + 1]) >= 1) {
            screen.scale = std::atof(argv[++i]);
        } else if (arg == "--wm") {
            screen.windowManager = true;
        } else if (arg == "--kiosk") {
            screen.kiosk = true;
        } else if (arg[0] != '-' && !haveFolder) {
            folder = argv[i];
            haveFolder = true;
        } else {
            return Usage();
        }
    }
    std::error_code error;
    const fs::path out = fs::absolute(folder, error);
    if (error || !PrepareFolder(out)) {
        return 2;
    }
    UseScreen(screen, out);
    setenv("RV4417_UTILITY_CLOSE_MS", "700", 1);  // the stand-in utilities close by themselves
    SoundIntoFile(out);

    QApplication application(argc, argv);
    AfxInitFramework();
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);  // beside the program: utilities and sound
    RecordAppDir(path);

    std::mutex logMutex;
    std::vector<std::string> log;
    std::vector<drive::Verdict> verdicts;
    {
        sim::SimulatedTerminal terminal({}, [&](const std::string& line) {
            std::lock_guard lock(logMutex);
            log.push_back(line);
        });
        setenv("RV4417_DEVICES", terminal.DeviceDirectory().c_str(), 1);
        CTestDlg dialog;
        g_tourApp.m_pMainWnd = &dialog;
        dialog.Create(IDD_RV4417TEST_DIALOG);
        QWidget* window = drive::WidgetOf(dialog.m_hWnd);
        if (screen.kiosk) {
            window->showFullScreen();
        }
        drive::Technician technician(terminal, dialog);
        technician.WaitUntil([] { return false; }, 300);
        std::cout << "screen " << window->screen()->size().width() << "x"
                  << window->screen()->size().height() << " at scale " << window->devicePixelRatio()
                  << ": dialog " << window->width() << "x" << window->height() << ", font "
                  << QFontInfo(window->font()).pixelSize() << " px\n";

        verdicts.push_back(technician.Printer(out.string()));
        technician.Screenshot(0, (out / "1-printer.png").string());
        verdicts.push_back(technician.Card());
        technician.Screenshot(1, (out / "2-card.png").string());
        verdicts.push_back(technician.Keyboard());
        technician.Screenshot(2, (out / "3-keyboard.png").string());
        verdicts.push_back(technician.Barcode([&] { return SoundBytes(out); }));
        technician.Screenshot(3, (out / "4-barcode.png").string());
        verdicts.push_back(technician.Other(out.string()));
        technician.Screenshot(4, (out / "5-other.png").string());
        dialog.DestroyWindow();
        g_tourApp.m_pMainWnd = nullptr;
        technician.WaitUntil([] { return false; }, 200);
    }
    AfxTermFramework();

    std::cout << "--- the simulated terminal's log ---\n";
    for (const std::string& line : log) {
        std::cout << line << "\n";
    }
    std::cout << "--- verdicts ---\n";
    bool all = true;
    for (const drive::Verdict& v : verdicts) {
        std::cout << (v.ok ? "PASS  " : "FAIL  ") << v.page << ": " << v.detail << "\n";
        all = all && v.ok;
    }
    std::cout << "pictures of the pages in " << out.string() << "\n";
    return all ? 0 : 1;
}
