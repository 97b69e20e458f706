// End-to-end harness: a private Xvfb server, a program started on it, and the X calls that drive and
// inspect the program's window (XTest pointer input, XGetImage pixels, the window manager's close message).
//
//   XvfbServer server;                      // starts Xvfb on a free display, 1024×768×24
//   LaunchedProgram probe(path, {}, server.display());
//   probe.waitForLine("ready");             // the program's standard output, line by line
//   XSession x(server.display());
//   Window w = x.waitForWindow("title");     // mapped top-level window with this title
//   x.movePointer(w, 10, 20); x.click(1);    // window-relative positions, X button numbers
//   x.pixel(w, 10, 20) == 0xRRGGBB
//   x.sendDeleteWindow(w); probe.wait() == 0; probe.standardError().empty()
#pragma once

#include <X11/Xlib.h>

#include <sys/types.h>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zopp::e2e {

class XvfbServer {
  public:
    // A screen of width × height pixels; throws std::runtime_error when no server comes up.
    explicit XvfbServer(int width = 1024, int height = 768);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& display() const { return display_; }
    pid_t pid() const { return pid_; }

  private:
    std::string display_;
    pid_t pid_ = -1;
};

class LaunchedProgram {
  public:
    // Starts program with the arguments and DISPLAY set (and, unless already set, LSAN_OPTIONS naming the
    // suppressions of system-library leaks), and the environment's NAME=value entries; standard output
    // and error are collected, standard input is a pipe that stays empty unless the test sends lines.
    LaunchedProgram(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& display, std::vector<std::string> environment = {});
    ~LaunchedProgram();  // kills the program if it still runs
    LaunchedProgram(const LaunchedProgram&) = delete;
    LaunchedProgram& operator=(const LaunchedProgram&) = delete;

    pid_t pid() const { return pid_; }
    // Writes a line to the program's standard input; false when it cannot take it (it has ended).
    bool sendLine(const std::string& line);
    // Waits for a complete output line starting with prefix and returns it; nullopt on timeout or exit.
    std::optional<std::string> waitForLine(const std::string& prefix,
                                           std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits for the exit and returns the exit code (128 + signal for a signal, -1 on timeout).
    int wait(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Everything written so far; complete after wait().
    const std::string& standardOutput();
    const std::string& standardError();
    // Lines of standard output after the first line starting with `after`.
    std::vector<std::string> linesAfter(const std::string& after);

  private:
    void drain(int timeoutMs);

    pid_t pid_ = -1;
    int inFd_ = -1, outFd_ = -1, errFd_ = -1;
    std::string out_, err_;
    std::size_t scanned_ = 0;  // of out_, by waitForLine
    std::optional<int> exitCode_;
};

class XSession {
  public:
    explicit XSession(const std::string& display);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    ::Display* display() const { return display_; }
    // The viewable window whose title (WM_NAME) is title, searched in the whole tree; 0 on timeout.
    ::Window waitForWindow(const std::string& title,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10));
    struct Geometry {
        int x, y, width, height;  // client area on the root window
    };
    Geometry geometry(::Window window);
    // Pointer positions relative to the window's client area (may lie outside it), or to the root.
    void movePointer(::Window window, int x, int y);
    void movePointerOnRoot(int x, int y);
    void press(unsigned button);
    void release(unsigned button);
    void click(unsigned button);
    // Gives the window the keyboard focus (what a window manager does on a click).
    void focus(::Window window);
    // Activates the window as a window manager does: the focus, and for a window that takes part in the
    // WM_TAKE_FOCUS protocol (Wine's do) that message too, which is what makes Wine activate it.
    void activate(::Window window);
    // Presses or releases the key of an X key symbol name ("Escape", "a", "F4", "Alt_L").
    void pressKey(const std::string& keysym);
    void releaseKey(const std::string& keysym);
    // Size limits the window asks of a window manager (equal minimum and maximum: not resizable).
    struct SizeHints {
        int minWidth, minHeight, maxWidth, maxHeight;
    };
    SizeHints sizeHints(::Window window);
    // Whether the window carries the named property (for example "_NET_WM_ICON").
    bool hasProperty(::Window window, const std::string& name);
    // The pixel shown at (x, y) of the window as 0xRRGGBB.
    std::uint32_t pixel(::Window window, int x, int y);
    // Every pixel of the window's width × height top left, row by row, as 0xRRGGBB; empty when unreadable.
    std::vector<std::uint32_t> pixels(::Window window, int width, int height);
    // The X resources a desktop hands its programs (the root window's RESOURCE_MANAGER), such as
    // "Xft.dpi:\t192\n"; a program reads them when it connects.
    void setResources(const std::string& resources);
    // Reads the pixel until it shows `expected` or the time is up; returns the last reading. A window's
    // first frame can take long (a GL driver compiling its shaders with a cold cache).
    std::uint32_t waitForPixel(::Window window, int x, int y, std::uint32_t expected,
                               std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Whether (x, y) of the window lies inside its bounding shape (true for unshaped windows).
    bool insideShape(::Window window, int x, int y);
    // Lays a window of one colour (0xRRGGBB) over a rectangle of `window` without asking a window manager,
    // and takes it away again, which leaves that part of `window` for its program to repaint.
    ::Window cover(::Window window, int x, int y, int width, int height, std::uint32_t colour);
    void uncover(::Window cover);
    // The close request a window manager sends for the close button.
    void sendDeleteWindow(::Window window);
    void sync();

  private:
    // A window manager's WM_PROTOCOLS message for the protocol (WM_DELETE_WINDOW, WM_TAKE_FOCUS).
    void sendProtocolMessage(::Window window, Atom protocol);

    ::Display* display_ = nullptr;
};

// CPU seconds (user + system) that process pid has used so far, from /proc.
double processCpuSeconds(pid_t pid);

// One thread of a process as the kernel counts it. Every voluntary context switch is the thread going to
// sleep, so the difference of two samples counts its wake-ups; the CPU time is in nanoseconds' precision.
struct ThreadCounters {
    std::string name;
    long long wakeUps = 0;
    double cpuSeconds = 0.0;
};
// Every thread of process pid by thread id; empty once the process is gone.
std::map<pid_t, ThreadCounters> threadCounters(pid_t pid);

}  // namespace zopp::e2e
