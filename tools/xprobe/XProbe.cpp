// X11 helpers for scripted checks and benchmarks, on any X display (Xvfb
// without a window manager included).
//
//   auralis_xprobe close WINDOW-ID
//       Asks the window to close as its title bar's close button would: a
//       WM_DELETE_WINDOW client message.
//
//   auralis_xprobe start-up [--sample-after-ms N] [--then COMMAND] [--idle-cpu-ms N] -- PROGRAM [ARGS...]
//       Starts the program and prints, on one line:
//         first_frame_ms  from the start of the process to its first painted
//                         frame: the first drawing into one of its windows
//                         (X DAMAGE) after which the window's area on the
//                         screen differs from what the screen showed there
//                         before the start (mapping a window that has not
//                         drawn yet counts as damage too, and shows nothing
//                         new)
//         rss_kb pss_kb   its resident and proportional memory N ms after the
//                         start (default 2000)
//         idle_cpu_percent its CPU use over N ms (default 0: not measured),
//                         after COMMAND, if given, has run to its end (a
//                         shell command, with the program's process id in
//                         AURALIS_PROGRAM_PID: the walk to a page)
//       then ends the program. The display should be one of the caller's
//       own: every window created after the start counts as the program's.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr int firstFrameTimeoutMs = 60000;

double millisecondsSince (Clock::time_point start)
{
    return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
}

int ignoreXErrors (Display*, XErrorEvent*)
{
    // A window may be gone, or be input-only, by the time it is watched.
    return 0;
}

//==============================================================================
int closeWindow (Display* display, const char* idText)
{
    const auto window = (Window) std::strtoul (idText, nullptr, 0);

    if (window == 0)
    {
        std::fprintf (stderr, "auralis_xprobe: not a window id: %s\n", idText);
        return 2;
    }

    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom (display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long) XInternAtom (display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;

    XSendEvent (display, window, False, NoEventMask, &event);
    XSync (display, False);
    return 0;
}

//==============================================================================
long readStatusKilobytes (pid_t pid, const char* fileName, const char* key)
{
    std::ifstream in ("/proc/" + std::to_string (pid) + "/" + fileName);
    std::string line;

    while (std::getline (in, line))
        if (line.rfind (key, 0) == 0)
            return std::strtol (line.c_str() + std::strlen (key), nullptr, 10);

    return -1;
}

/** User plus system time of the process, in clock ticks. */
long long readCpuTicks (pid_t pid)
{
    std::ifstream in ("/proc/" + std::to_string (pid) + "/stat");
    std::string text ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());

    // The command name may hold blanks; the fields follow its closing bracket.
    const auto end = text.rfind (')');

    if (end == std::string::npos)
        return -1;

    std::istringstream fields (text.substr (end + 2));
    std::string field;
    long long utime = 0, stime = 0;

    for (int index = 3; fields >> field; ++index)
    {
        if (index == 14)
            utime = std::atoll (field.c_str());

        if (index == 15)
        {
            stime = std::atoll (field.c_str());
            break;
        }
    }

    return utime + stime;
}

//==============================================================================
/** The screen as it was before the program started, and the test whether a
    window of the program has since put anything of its own on it. */
class ScreenBefore
{
public:
    explicit ScreenBefore (Display* displayToUse)
        : display (displayToUse)
        , root (DefaultRootWindow (displayToUse))
        , image (readWholeScreen (displayToUse))
    {
    }

    ~ScreenBefore()
    {
        if (image != nullptr)
            XDestroyImage (image);
    }

    ScreenBefore (const ScreenBefore&) = delete;
    ScreenBefore& operator= (const ScreenBefore&) = delete;

    bool isValid() const { return image != nullptr; }

    /** True when any pixel of the window's visible area differs from the
        screen before the start. A window that is not viewable shows nothing. */
    bool showsDrawingOf (Window window) const
    {
        XWindowAttributes attributes {};

        if (XGetWindowAttributes (display, window, &attributes) == 0 || attributes.map_state != IsViewable)
            return false;

        int x = 0, y = 0;
        Window child = 0;

        if (! XTranslateCoordinates (display, window, root, 0, 0, &x, &y, &child))
            return false;

        const auto left = std::max (x, 0), top = std::max (y, 0);
        const auto right = std::min (x + attributes.width, image->width);
        const auto bottom = std::min (y + attributes.height, image->height);

        if (right <= left || bottom <= top)
            return false;

        auto* now = XGetImage (display, root, left, top, (unsigned) (right - left), (unsigned) (bottom - top), AllPlanes, ZPixmap);

        if (now == nullptr)
            return false;

        auto differs = false;

        if (now->bits_per_pixel == image->bits_per_pixel && now->bits_per_pixel % 8 == 0)
        {
            const auto bytesPerPixel = image->bits_per_pixel / 8;
            const auto rowBytes = (size_t) ((right - left) * bytesPerPixel);

            for (int row = 0; row < bottom - top && ! differs; ++row)
                differs = std::memcmp (image->data + (top + row) * image->bytes_per_line + left * bytesPerPixel,
                                       now->data + row * now->bytes_per_line,
                                       rowBytes)
                          != 0;
        }
        else
        {
            for (int row = 0; row < bottom - top && ! differs; ++row)
                for (int column = 0; column < right - left && ! differs; ++column)
                    differs = XGetPixel (image, left + column, top + row) != XGetPixel (now, column, row);
        }

        XDestroyImage (now);
        return differs;
    }

private:
    static XImage* readWholeScreen (Display* display)
    {
        const auto screen = DefaultScreen (display);
        const auto width = (unsigned) DisplayWidth (display, screen);
        const auto height = (unsigned) DisplayHeight (display, screen);
        return XGetImage (display, DefaultRootWindow (display), 0, 0, width, height, AllPlanes, ZPixmap);
    }

    Display* display;
    Window root;
    XImage* image;
};

void sleepUntil (Clock::time_point start, double ms)
{
    std::this_thread::sleep_until (start + std::chrono::microseconds ((long long) (ms * 1000.0)));
}

/** Runs a shell command to its end; true when it succeeded. */
bool runCommand (const std::string& command, pid_t programPid)
{
    const auto pid = fork();

    if (pid == 0)
    {
        setenv ("AURALIS_PROGRAM_PID", std::to_string (programPid).c_str(), 1);
        execl ("/bin/sh", "sh", "-c", command.c_str(), (char*) nullptr);
        _exit (127);
    }

    int status = 0;
    return pid > 0 && waitpid (pid, &status, 0) == pid && WIFEXITED (status) && WEXITSTATUS (status) == 0;
}

int measureStartUp (Display* display, double sampleAfterMs, const std::string& walk, double idleCpuMs, char** programArguments)
{
    int damageEventBase = 0, damageErrorBase = 0;

    if (! XDamageQueryExtension (display, &damageEventBase, &damageErrorBase))
    {
        std::fprintf (stderr, "auralis_xprobe: the display has no DAMAGE extension\n");
        return 2;
    }

    XSetErrorHandler (ignoreXErrors);
    const auto root = DefaultRootWindow (display);
    XSelectInput (display, root, SubstructureNotifyMask);
    XSync (display, True);

    const ScreenBefore screenBefore (display);

    if (! screenBefore.isValid())
    {
        std::fprintf (stderr, "auralis_xprobe: cannot read the screen\n");
        return 2;
    }

    const auto start = Clock::now();
    const auto pid = fork();

    if (pid == 0)
    {
        const auto devNull = open ("/dev/null", O_RDWR);
        dup2 (devNull, STDIN_FILENO);
        dup2 (devNull, STDOUT_FILENO);
        dup2 (devNull, STDERR_FILENO);
        execvp (programArguments[0], programArguments);
        _exit (127);
    }

    if (pid < 0)
        return 2;

    double firstFrameMs = -1.0;
    std::vector<Damage> damages;
    pollfd connection { ConnectionNumber (display), POLLIN, 0 };

    while (firstFrameMs < 0.0 && millisecondsSince (start) < firstFrameTimeoutMs)
    {
        if (XPending (display) == 0)
        {
            int status = 0;

            if (waitpid (pid, &status, WNOHANG) == pid)
            {
                std::fprintf (stderr, "auralis_xprobe: the program ended before its first frame\n");
                return 1;
            }

            poll (&connection, 1, 5);
            continue;
        }

        XEvent event;
        XNextEvent (display, &event);

        // Every window made after the start is watched from its creation on,
        // before it can be mapped or drawn into.
        if (event.type == CreateNotify)
        {
            damages.push_back (XDamageCreate (display, event.xcreatewindow.window, XDamageReportNonEmpty));
            XFlush (display);
        }
        else if (event.type == damageEventBase + XDamageNotify)
        {
            // The time is taken as the drawing is reported, before the
            // screen is read. Clearing the damage lets the next drawing into
            // the window be reported again.
            const auto reportedMs = millisecondsSince (start);
            const auto& notify = reinterpret_cast<const XDamageNotifyEvent&> (event);
            XDamageSubtract (display, notify.damage, None, None);

            if (screenBefore.showsDrawingOf (notify.drawable))
                firstFrameMs = reportedMs;
        }
    }

    if (firstFrameMs < 0.0)
    {
        std::fprintf (stderr, "auralis_xprobe: no frame within %d ms\n", firstFrameTimeoutMs);
        kill (pid, SIGKILL);
        waitpid (pid, nullptr, 0);
        return 1;
    }

    sleepUntil (start, sampleAfterMs);
    const auto rss = readStatusKilobytes (pid, "status", "VmRSS:");
    const auto pss = readStatusKilobytes (pid, "smaps_rollup", "Pss:");

    if (! walk.empty() && ! runCommand (walk, pid))
    {
        std::fprintf (stderr, "auralis_xprobe: the command after the start failed: %s\n", walk.c_str());
        kill (pid, SIGKILL);
        waitpid (pid, nullptr, 0);
        return 1;
    }

    double idleCpuPercent = -1.0;

    if (idleCpuMs > 0.0)
    {
        const auto before = readCpuTicks (pid);
        const auto measureStart = Clock::now();
        sleepUntil (measureStart, idleCpuMs);
        const auto after = readCpuTicks (pid);
        const auto seconds = millisecondsSince (measureStart) / 1000.0;
        idleCpuPercent = 100.0 * (double) (after - before) / (double) sysconf (_SC_CLK_TCK) / seconds;
    }

    kill (pid, SIGKILL);
    waitpid (pid, nullptr, 0);

    std::printf ("first_frame_ms=%.1f rss_kb=%ld pss_kb=%ld idle_cpu_percent=%.2f\n", firstFrameMs, rss, pss, idleCpuPercent);
    return rss > 0 ? 0 : 1;
}

int usage()
{
    std::fprintf (stderr,
                  "usage: auralis_xprobe close WINDOW-ID\n"
                  "       auralis_xprobe start-up [--sample-after-ms N] [--then COMMAND] [--idle-cpu-ms N] -- PROGRAM [ARGS...]\n");
    return 2;
}
}

//==============================================================================
int main (int argc, char** argv)
{
    if (argc < 3)
        return usage();

    auto* display = XOpenDisplay (nullptr);

    if (display == nullptr)
    {
        std::fprintf (stderr, "auralis_xprobe: cannot open the display\n");
        return 2;
    }

    const std::string command (argv[1]);
    int result = 2;

    if (command == "close" && argc == 3)
    {
        result = closeWindow (display, argv[2]);
    }
    else if (command == "start-up")
    {
        double sampleAfterMs = 2000.0, idleCpuMs = 0.0;
        std::string walk;
        int index = 2;

        for (; index + 1 < argc && std::strcmp (argv[index], "--") != 0; index += 2)
        {
            const std::string option (argv[index]);
            const auto value = std::atof (argv[index + 1]);

            if (option == "--sample-after-ms")
                sampleAfterMs = value;
            else if (option == "--idle-cpu-ms")
                idleCpuMs = value;
            else if (option == "--then")
                walk = argv[index + 1];
            else
                return usage();
        }

        if (index + 1 >= argc || std::strcmp (argv[index], "--") != 0)
            return usage();

        result = measureStartUp (display, sampleAfterMs, walk, idleCpuMs, argv + index + 1);
    }
    else
    {
        result = usage();
    }

    XCloseDisplay (display);
    return result;
}
