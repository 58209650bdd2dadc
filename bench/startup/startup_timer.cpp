// Times programs from exec until their first top-level window is mapped, and reads their peak
// resident memory one idle second later. Runs the programs alternately (A B A B ...) so that both
// see the same machine state, and prints per-run figures, medians and the medians of the B/A
// ratios of each pair.
//
//   startup_timer <pairs> <program A> <program B>
//
// The X server is the one DISPLAY names; it should run no window manager, so that the top-level
// window is mapped as a child of the root window.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

namespace {

struct Run {
    double ms = 0;
    long hwmKiB = 0;
};

long PeakResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Waits for the first MapNotify of a non-override-redirect child of the root window, or until
// the deadline passes. Returns false on timeout.
bool WaitForMap(Display* display, std::chrono::steady_clock::time_point deadline)
{
    const int fd = ConnectionNumber(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect
                && event.xmap.event == DefaultRootWindow(display))
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p { fd, POLLIN, 0 };
        poll(&p, 1, static_cast<int>(left.count()));
    }
}

Run TimeOne(Display* display, const char* program)
{
    XSync(display, True); // drop whatever earlier runs left queued
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program, program, static_cast<char*>(nullptr));
        std::perror(program);
        _exit(127);
    }
    if (pid < 0) {
        std::perror("fork");
        std::exit(2);
    }
    Run run;
    if (!WaitForMap(display, start + std::chrono::seconds(20))) {
        std::fprintf(stderr, "%s: no window mapped within 20 s\n", program);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        std::exit(2);
    }
    run.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                 .count();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    run.hwmKiB = PeakResidentKiB(pid);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    return run;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: %s <pairs> <program A> <program B>\n", argv[0]);
        return 2;
    }
    const int pairs = std::atoi(argv[1]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    TimeOne(display, argv[2]); // warm the file cache for both before measuring
    TimeOne(display, argv[3]);

    std::vector<double> msA, msB, kibA, kibB, msRatio, kibRatio;
    std::printf("%4s %12s %12s %12s %12s\n", "pair", "A ms", "B ms", "A VmHWM KiB", "B VmHWM KiB");
    for (int i = 1; i <= pairs; ++i) {
        const Run a = TimeOne(display, argv[2]);
        const Run b = TimeOne(display, argv[3]);
        std::printf("%4d %12.1f %12.1f %12ld %12ld\n", i, a.ms, b.ms, a.hwmKiB, b.hwmKiB);
        msA.push_back(a.ms);
        msB.push_back(b.ms);
        kibA.push_back(static_cast<double>(a.hwmKiB));
        kibB.push_back(static_cast<double>(b.hwmKiB));
        msRatio.push_back(b.ms / a.ms);
        kibRatio.push_back(static_cast<double>(b.hwmKiB) / static_cast<double>(a.hwmKiB));
    }
    std::printf("\nA: %s\nB: %s\n", argv[2], argv[3]);
    std::printf("start-up to map   median A %.1f ms, median B %.1f ms, median ratio B/A %.3f\n",
        Median(msA), Median(msB), Median(msRatio));
    std::printf("peak resident     median A %.0f KiB, median B %.0f KiB, median ratio B/A %.3f\n",
        Median(kibA), Median(kibB), Median(kibRatio));
    XCloseDisplay(display);
    return 0;
}
