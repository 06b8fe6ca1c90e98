// Starts a program and tells how long it took until a given number of its top-level
// windows were on screen and drawn. Used by startup.sh.
//
//   vyre_xprobe COUNT REGEX LOG -- PROGRAM [ARGS...]
//
// COUNT   how many top-level windows whose title matches REGEX (POSIX extended) must be up
// LOG     file that receives the program's stdout and stderr
//
// Prints "PID MILLISECONDS CPU_MILLISECONDS" once COUNT matching windows are viewable and
// drawn (the second figure is the CPU time the program's threads had used by then, from
// /proc/PID/task/*/schedstat: unlike the first it hardly changes when the machine is
// busy with other work), closes its
// stdout and stays the program's parent until the program ends (the caller measures it and
// ends it), then exits with the program's status. Prints "PID timeout N" after 60 s
// (XPROBE_TIMEOUT seconds when set) and "PID exited" when the program ends first.
// It stays the parent because an orphan would be handed to whatever runs as process 1,
// and that need not leave it alone.
//
// XPROBE_VERBOSE set: tells on stderr when each window was mapped and when drawn.
// XPROBE_GEOMETRY=FILE: once up (after the time is taken), writes the counted windows to
// FILE as lines "WIDTH HEIGHT X Y TITLE", the list vyre_floor shows for the floor of the
// same windows.
//
// Why a program and not a loop over `xdotool search`: on this machine starting any
// process costs about 20 ms, a quarter of the time being measured. Here the clock starts
// right before the program is spawned and the X server is asked, in this process, about
// once a millisecond.
//
// "On screen" is the X map state IsViewable (what `xdotool search --onlyvisible` tests).
// "Drawn" means the top-left corner of the window (up to 32x32 pixels, clipped to the
// screen) holds a pixel that is not black: the X server is started with a black root
// (Xvfb -br) and Qt windows have no background of their own, so the corner stays black
// until the program's first paint has reached the screen.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <regex.h>
#include <spawn.h>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

extern char** environ;

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; } // windows may vanish between calls

struct Win {
    double mappedAt{0};
    bool mapped{false};
    bool named{false}; // title matches
    bool drawn{false};
};

bool titleMatches(Display* d, Window w, const regex_t& re)
{
    char* name = nullptr;
    if (!XFetchName(d, w, &name) || !name)
        return false;
    const bool ok = regexec(&re, name, 0, nullptr, 0) == 0;
    XFree(name);
    return ok;
}

bool cornerDrawn(Display* d, Window w, int screenW, int screenH)
{
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable)
        return false;
    Window child;
    int rx = 0, ry = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &rx, &ry, &child);
    // Only the part of the corner that lies on the screen can be read back.
    const int x0 = rx < 0 ? -rx : 0, y0 = ry < 0 ? -ry : 0;
    const int x1 = std::min({a.width, 32, screenW - rx}), y1 = std::min({a.height, 32, screenH - ry});
    if (x1 <= x0 || y1 <= y0)
        return true; // nothing of it is on the screen: there is nothing to wait for
    XImage* img = XGetImage(d, w, x0, y0, x1 - x0, y1 - y0, AllPlanes, ZPixmap);
    if (!img)
        return false;
    bool any = false;
    for (int y = 0; y < img->height && !any; ++y)
        for (int x = 0; x < img->width && !any; ++x)
            any = (XGetPixel(img, x, y) & 0xffffff) != 0;
    XDestroyImage(img);
    return any;
}

// The counted windows' sizes, places and titles, for vyre_floor.
void writeGeometry(Display* d, const std::map<Window, Win>& wins, const char* path)
{
    std::FILE* f = std::fopen(path, "w");
    if (!f) {
        std::perror(path);
        return;
    }
    for (const auto& [id, w] : wins) {
        XWindowAttributes a{};
        char* name = nullptr;
        if (!w.named || !w.drawn || !XGetWindowAttributes(d, id, &a) || !XFetchName(d, id, &name) || !name)
            continue;
        Window child;
        int rx = 0, ry = 0;
        XTranslateCoordinates(d, id, DefaultRootWindow(d), 0, 0, &rx, &ry, &child);
        std::fprintf(f, "%d %d %d %d %s\n", a.width, a.height, rx, ry, name);
        XFree(name);
    }
    std::fclose(f);
}

// CPU time used so far by the threads of a process, in milliseconds.
double cpuMs(pid_t pid)
{
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    double ns = 0;
    if (DIR* tasks = opendir(dir.c_str())) {
        while (dirent* e = readdir(tasks)) {
            if (e->d_name[0] == '.')
                continue;
            if (std::FILE* f = std::fopen((dir + "/" + e->d_name + "/schedstat").c_str(), "r")) {
                unsigned long long onCpu = 0;
                if (std::fscanf(f, "%llu", &onCpu) == 1)
                    ns += static_cast<double>(onCpu);
                std::fclose(f);
            }
        }
        closedir(tasks);
    }
    return ns / 1e6;
}

// Hands the result to the caller (stdout closes) and waits for the program to end.
int waitFor(pid_t pid, Display* d)
{
    std::fflush(stdout);
    XCloseDisplay(d);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    close(devnull);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 6 || std::strcmp(argv[4], "--") != 0) {
        std::fprintf(stderr, "usage: %s COUNT REGEX LOG -- PROGRAM [ARGS...]\n", argv[0]);
        return 64;
    }
    const int want = std::atoi(argv[1]);
    regex_t re;
    if (regcomp(&re, argv[2], REG_EXTENDED | REG_NOSUB) != 0) {
        std::fprintf(stderr, "xprobe: bad regex %s\n", argv[2]);
        return 64;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "xprobe: cannot open the display\n");
        return 64;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(d);
    const int screenW = DisplayWidth(d, DefaultScreen(d)), screenH = DisplayHeight(d, DefaultScreen(d));
    // Top-level windows are the root's children (no window manager runs): their maps and
    // unmaps arrive as events, so only the windows still waiting to be drawn are polled.
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    posix_spawn_file_actions_addclose(&fa, ConnectionNumber(d));

    const double t0 = nowMs();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[5], &fa, nullptr, argv + 5, environ) != 0) {
        std::perror("xprobe: spawn");
        return 64;
    }

    const bool verbose = std::getenv("XPROBE_VERBOSE") != nullptr;
    std::map<Window, Win> wins;
    const char* limit = std::getenv("XPROBE_TIMEOUT");
    const double deadline = t0 + 1e3 * (limit && std::atof(limit) > 0 ? std::atof(limit) : 60.0);
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify) {
                Win& w = wins[e.xmap.window];
                w.mapped = true;
                w.drawn = false;
                w.mappedAt = nowMs();
            } else if (e.type == UnmapNotify) {
                wins[e.xunmap.window] = Win{};
            } else if (e.type == DestroyNotify) {
                wins.erase(e.xdestroywindow.window);
            }
        }
        int up = 0;
        for (auto& [id, w] : wins) {
            if (!w.mapped)
                continue;
            if (!w.named)
                w.named = titleMatches(d, id, re); // a title may be set after mapping
            if (w.named && !w.drawn) {
                w.drawn = cornerDrawn(d, id, screenW, screenH);
                if (w.drawn && verbose)
                    std::fprintf(stderr, "xprobe: window 0x%lx mapped at %.1f ms, drawn at %.1f ms\n", id,
                                 w.mappedAt - t0, nowMs() - t0);
            }
            up += w.named && w.drawn;
        }
        const double t = nowMs();
        if (up >= want) {
            std::printf("%d %.1f %.1f\n", pid, t - t0, cpuMs(pid));
            if (const char* geometry = std::getenv("XPROBE_GEOMETRY"); geometry && *geometry)
                writeGeometry(d, wins, geometry);
            return waitFor(pid, d);
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::printf("%d exited\n", pid);
            return 3;
        }
        if (t > deadline) {
            std::printf("%d timeout %d\n", pid, up);
            waitFor(pid, d);
            return 2;
        }
        const timespec ms{0, 1000000};
        nanosleep(&ms, nullptr);
    }
}
