// From the press of Compile, with the save dialog cancelled at once, to the
// script written and the terminal started. The dialog is cancelled on the
// first turn of its event loop, so no time is spent waiting for a user:
// everything measured is the program's own work. Afterwards every press
// must have started the terminal on the script, or no figure is given.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "bench/QuietOffscreen.h"
#include "platform/core/MemoryRegistry.h"
#include "platform/qt/Application.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A stand-in terminal that opens no window: what starting it costs is still
// the real fork and exec of a detached process. Each start leaves a record
// of its arguments beside it, so the benchmark knows that every press it
// timed did start a terminal, and with what.
class StandInTerminal {
public:
    StandInTerminal()
    {
        char pattern[] = "/tmp/kw-build-bench-XXXXXX";
        if (!::mkdtemp(pattern)) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        folder_ = pattern;
        const fs::path terminal = folder_ / "x-terminal-emulator";
        std::ofstream(terminal) << "#!/bin/sh\n"
                                   "printf '%s\\n' \"$@\" > \"$0.part.$$\" && mv \"$0.part.$$\" \"$0.started.$$\"\n";
        fs::permissions(terminal, fs::perms::owner_all);
    }
    ~StandInTerminal() { fs::remove_all(folder_); }
    StandInTerminal(const StandInTerminal&) = delete;
    StandInTerminal& operator=(const StandInTerminal&) = delete;

    const fs::path& Folder() const { return folder_; }

    // The argument lists of the terminals started so far.
    std::vector<std::vector<std::string>> Starts() const
    {
        std::vector<std::vector<std::string>> starts;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            if (entry.path().filename().string().rfind("x-terminal-emulator.started.", 0) != 0)
                continue;
            std::ifstream record(entry.path());
            std::vector<std::string> arguments;
            for (std::string line; std::getline(record, line);)
                arguments.push_back(line);
            starts.push_back(arguments);
        }
        return starts;
    }

private:
    fs::path folder_;
};

// Waits until `expected` terminals have written their records. A start
// that WinExec counted but that never ran, or one with the wrong arguments,
// makes the figure worthless.
bool EveryPressStartedTheScript(const StandInTerminal& terminal, std::size_t expected)
{
    const fs::path script = terminal.Folder() / "Batch.bat";
    QElapsedTimer waited;
    waited.start();
    std::vector<std::vector<std::string>> starts;
    while ((starts = terminal.Starts()).size() < expected && waited.elapsed() < 10000)
        QThread::msleep(20);
    if (starts.size() != expected) {
        std::fprintf(stderr, "build: %zu of %zu presses started the terminal\n", starts.size(), expected);
        return false;
    }
    for (const auto& arguments : starts) {
        const bool asExpected = arguments.size() == 5 && arguments[0] == "-T" && arguments[1] == script.string() &&
                                arguments[2] == "-e" && fs::path(arguments[3]).filename() == "kestrelwork-cmd" &&
                                arguments[4] == script.string();
        if (!asExpected) {
            std::fprintf(stderr, "build: a terminal started with other arguments than the script's\n");
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    kw::bench::QuietOffscreenPlatform();
    const StandInTerminal terminal;
    qputenv("PATH", QByteArray(terminal.Folder().c_str()) + ":" + qgetenv("PATH"));
    fs::current_path(terminal.Folder());

    kw::TApplication application(argc, argv);
    kw::Application->Initialize();
    kw::Application->SetTitle("Kestrelwork for GP2X");
    kw::MemoryRegistry registry;
    kw::ScopedRegistryOverride useRegistry(registry);
    kw::Application->CreateForm(kw::Form1);
    kw::Application->CreateForm(kw::Form4);
    kw::Form1->Show();

    QTimer cancel;
    cancel.setInterval(0);
    QObject::connect(&cancel, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    cancel.start();

    constexpr int Presses = 30;
    std::vector<double> own;
    for (int press = 0; press < Presses; ++press) {
        QElapsedTimer clock;
        clock.start();
        kw::Form1->SpeedButton8->click();
        own.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    if (!EveryPressStartedTheScript(terminal, Presses))
        return 1;
    std::sort(own.begin(), own.end());
    std::printf("build: press of Compile to terminal started, median %.1f ms, best %.1f ms (goal < 20 ms)\n",
                own[own.size() / 2], own.front());
    return 0;
}
