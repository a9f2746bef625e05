// Starts the real program (and a bare Qt window for comparison) on the X
// display several times and times, from X's own map events: process start to
// the splash on screen, the splash's closing to the main window on screen,
// and the resident memory once the main window is up and idle.
//   kw_bench_startup PROGRAM BARE_WINDOW [RUNS]

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

struct Size {
    int width, height;
    bool operator==(const Size&) const = default;
};
constexpr Size SplashSize{465, 122};
constexpr Size MainWindowSize{664, 460};

// The X connection, watching every top-level window of the screen.
class XConnection {
public:
    XConnection() : display_(XOpenDisplay(nullptr))
    {
        if (!display_) {
            std::fprintf(stderr, "no X display\n");
            std::exit(2);
        }
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
        XSync(display_, False);
    }
    ~XConnection() { XCloseDisplay(display_); }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    // The next event, or none when `until` has passed.
    std::optional<XEvent> Next(Clock::time_point until)
    {
        while (!XPending(display_)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0)
                return std::nullopt;
            pollfd connection{ConnectionNumber(display_), POLLIN, 0};
            poll(&connection, 1, static_cast<int>(left));
        }
        XEvent event;
        XNextEvent(display_, &event);
        return event;
    }

    Size SizeOf(Window window)
    {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display_, window, &attributes))
            return {0, 0};
        return {attributes.width, attributes.height};
    }

private:
    ::Display* display_;
};

pid_t Start(const std::string& program, const std::string& config)
{
    const pid_t child = fork();
    if (child == 0) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

void Stop(pid_t child)
{
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
}

double ResidentMegabytes(pid_t process)
{
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
}

// What one start of the program showed.
struct ProgramRun {
    double toSplash = 0, splashToMain = 0, residentMb = 0;
};

std::optional<ProgramRun> RunProgram(XConnection& x, const std::string& program, const std::string& config)
{
    const auto started = Clock::now();
    const pid_t child = Start(program, config);
    std::optional<Clock::time_point> splashShown, splashGone, mainShown;
    Window splash = 0;
    const auto deadline = started + std::chrono::seconds(15);
    while (!mainShown) {
        const auto event = x.Next(deadline);
        if (!event)
            break;
        const auto now = Clock::now();
        if (event->type == MapNotify && !splashShown && x.SizeOf(event->xmap.window) == SplashSize) {
            splash = event->xmap.window;
            splashShown = now;
        } else if (event->type == UnmapNotify && splashShown && event->xunmap.window == splash) {
            splashGone = now;
        } else if (event->type == MapNotify && splashGone && x.SizeOf(event->xmap.window) == MainWindowSize) {
            mainShown = now;
        }
    }
    std::optional<ProgramRun> run;
    if (mainShown) {
        std::this_thread::sleep_for(std::chrono::seconds(1));  // idle with the main window up
        run = ProgramRun{Millis(*splashShown - started).count(), Millis(*mainShown - *splashGone).count(),
                         ResidentMegabytes(child)};
    }
    Stop(child);
    return run;
}

std::optional<double> RunBareWindow(XConnection& x, const std::string& program, const std::string& config)
{
    const auto started = Clock::now();
    const pid_t child = Start(program, config);
    std::optional<double> shown;
    const auto deadline = started + std::chrono::seconds(10);
    while (!shown) {
        const auto event = x.Next(deadline);
        if (!event)
            break;
        if (event->type == MapNotify && x.SizeOf(event->xmap.window) == SplashSize)
            shown = Millis(Clock::now() - started).count();
    }
    Stop(child);
    return shown;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Figures {
    std::vector<double> toSplash, splashToMain, resident, bare;
};

void Report(const Figures& f)
{
    const double toSplash = Median(f.toSplash), toMain = Median(f.splashToMain), bare = Median(f.bare);
    std::printf("start-up, median of %zu runs:\n", f.toSplash.size());
    std::printf("  process start -> splash mapped           %7.1f ms\n", toSplash);
    std::printf("  splash unmapped -> main window mapped    %7.1f ms   (goal < 150 ms)\n", toMain);
    std::printf("  start-up without the splash's 2 s        %7.1f ms\n", toSplash + toMain);
    std::printf("  idle resident memory (VmRSS)             %7.1f MB   (goal < 60 MB)\n", Median(f.resident));
    std::printf("splash, median of %zu runs:\n", f.bare.size());
    std::printf("  kestrelwork: process start -> splash     %7.1f ms\n", toSplash);
    std::printf("  bare Qt window of the same size          %7.1f ms\n", bare);
    std::printf("  ratio                                    %7.2f      (goal <= 1.20)\n", toSplash / bare);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM BARE_WINDOW [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    char folder[] = "/tmp/kw-bench-XXXXXX";
    const std::string config = mkdtemp(folder) ? folder : "/tmp";
    XConnection x;
    Figures figures;
    // Warm the file cache once for each, then alternate them so both meet the same machine.
    RunBareWindow(x, argv[2], config);
    RunProgram(x, argv[1], config);
    for (int i = 0; i < runs; ++i) {
        const auto bare = RunBareWindow(x, argv[2], config);
        const auto run = RunProgram(x, argv[1], config);
        if (!bare || !run) {
            std::fprintf(stderr, "run %d: a window did not appear\n", i + 1);
            return 1;
        }
        std::printf("run %d: splash %.1f ms, splash->main %.1f ms, %.1f MB; bare window %.1f ms\n", i + 1,
                    run->toSplash, run->splashToMain, run->residentMb, *bare);
        figures.toSplash.push_back(run->toSplash);
        figures.splashToMain.push_back(run->splashToMain);
        figures.resident.push_back(run->residentMb);
        figures.bare.push_back(*bare);
    }
    Report(figures);
    rmdir(config.c_str());
    return 0;
}
