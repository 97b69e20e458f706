#include "harness/desktop/x11_harness.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace zopp::e2e {

namespace {

bool displayFree(int number) {
    struct stat info;
    const std::string socket = std::string("/tmp/.X11-unix/X").append(std::to_string(number));
    const std::string lock = std::string("/tmp/.X").append(std::to_string(number)).append("-lock");
    return stat(socket.c_str(), &info) != 0 && stat(lock.c_str(), &info) != 0;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

std::vector<char*> argumentVector(std::vector<std::string>& strings) {
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    return argv;
}

// Xlib reports errors through a process-wide handler; a vanished window is no reason to abort a test.
int ignoreXErrors(::Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

XvfbServer::XvfbServer(int width, int height) {
    // Start from a number derived from the process id, so parallel tests rarely collide; Xvfb refuses a
    // taken display, and the next number is tried.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int number = 100 + (static_cast<int>(getpid()) + attempt * 7) % 400;
        if (!displayFree(number)) continue;
        const std::string name = std::string(":").append(std::to_string(number));
        // A held key repeats once, two seconds after its press, and then not for a minute: a test that
        // wants a repeat holds the key for it (XTest cannot press a key that is down), and no delay of a
        // busy machine can slip a second repeat in before the release.
        const std::string size = std::to_string(width) + "x" + std::to_string(height) + "x24";
        std::vector<std::string> args = {"Xvfb",    "-ardelay", "2000", "-arinterval", "60000", name,
                                         "-screen", "0",        size,   "-nolisten",   "tcp",   "-noreset"};
        const pid_t child = fork();
        if (child == 0) {
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 1);
            dup2(null, 2);
            auto argv = argumentVector(args);
            execvp("Xvfb", argv.data());
            _exit(127);
        }
        const bool up = waitUntil(
            [&] {
                int status = 0;
                if (waitpid(child, &status, WNOHANG) == child) return true;  // it gave up
                if (::Display* d = XOpenDisplay(name.c_str())) {
                    XCloseDisplay(d);
                    return true;
                }
                return false;
            },
            std::chrono::seconds(10));
        if (up && kill(child, 0) == 0) {
            pid_ = child;
            display_ = name;
            return;
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    throw std::runtime_error("no Xvfb server could be started");
}

XvfbServer::~XvfbServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

LaunchedProgram::LaunchedProgram(const std::string& program, const std::vector<std::string>& arguments,
                                 const std::string& display, std::vector<std::string> environment) {
    // Close-on-exec: the test's own ends must not leak into other programs it starts, or a program
    // would never see the end of its standard input.
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = fork();
    if (pid_ == 0) {
        signal(SIGPIPE, SIG_DFL);  // the test ignores it (see sendLine); the program must not inherit that
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("LSAN_OPTIONS", "suppressions=" ZOPP_LSAN_SUPPRESSIONS ":print_suppressions=0", 0);
        unsetenv("SDL_VIDEODRIVER");
        for (std::string& entry : environment)
            putenv(entry.data());
        std::vector<std::string> args = {program};
        args.insert(args.end(), arguments.begin(), arguments.end());
        auto argv = argumentVector(args);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    inFd_ = in[1];
    outFd_ = out[0];
    errFd_ = err[0];
}

LaunchedProgram::~LaunchedProgram() {
    if (!exitCode_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    for (int fd : {inFd_, outFd_, errFd_}) {
        if (fd >= 0) close(fd);
    }
}

bool LaunchedProgram::sendLine(const std::string& line) {
    // A program that has ended shows as a failed write, not as a signal that ends the test.
    signal(SIGPIPE, SIG_IGN);
    const std::string text = line + '\n';
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = write(inFd_, text.data() + sent, text.size() - sent);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void LaunchedProgram::drain(int timeoutMs) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (poll(fds, 2, timeoutMs) <= 0) return;
    char buffer[4096];
    for (int i = 0; i < 2; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
        const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        if (n > 0) (i == 0 ? out_ : err_).append(buffer, static_cast<std::size_t>(n));
    }
}

std::optional<std::string> LaunchedProgram::waitForLine(const std::string& prefix,
                                                        std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (true) {
        std::size_t newline;
        while ((newline = out_.find('\n', scanned_)) != std::string::npos) {
            std::string line = out_.substr(scanned_, newline - scanned_);
            scanned_ = newline + 1;
            if (line.rfind(prefix, 0) == 0) return line;
        }
        if (std::chrono::steady_clock::now() >= end) return std::nullopt;
        int status = 0;
        if (!exitCode_ && waitpid(pid_, &status, WNOHANG) == pid_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        drain(20);
        if (exitCode_ && out_.find('\n', scanned_) == std::string::npos) {
            drain(0);
            if (out_.find('\n', scanned_) == std::string::npos) return std::nullopt;
        }
    }
}

int LaunchedProgram::wait(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!exitCode_) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() >= end) return -1;
        drain(10);
    }
    // Collect what is left in the pipes: the writer is gone, so reads end.
    for (int fd : {outFd_, errFd_}) {
        char buffer[4096];
        ssize_t n;
        while ((n = read(fd, buffer, sizeof buffer)) > 0)
            (fd == outFd_ ? out_ : err_).append(buffer, static_cast<std::size_t>(n));
    }
    return *exitCode_;
}

const std::string& LaunchedProgram::standardOutput() {
    drain(0);
    return out_;
}

const std::string& LaunchedProgram::standardError() {
    drain(0);
    return err_;
}

std::vector<std::string> LaunchedProgram::linesAfter(const std::string& after) {
    std::vector<std::string> lines;
    std::istringstream in(standardOutput());
    std::string line;
    bool found = false;
    while (std::getline(in, line)) {
        if (found) lines.push_back(line);
        if (!found && line.rfind(after, 0) == 0) found = true;
    }
    return lines;
}

XSession::XSession(const std::string& display) {
    XSetErrorHandler(ignoreXErrors);
    display_ = XOpenDisplay(display.c_str());
    if (!display_) throw std::runtime_error(std::string("cannot open display ").append(display));
}

XSession::~XSession() {
    if (display_) XCloseDisplay(display_);
}

::Window XSession::waitForWindow(const std::string& title, std::chrono::milliseconds timeout) {
    ::Window found = 0;
    std::function<bool(::Window)> search = [&](::Window window) {
        char* name = nullptr;
        if (XFetchName(display_, window, &name) && name) {
            const bool match = title == name;
            XFree(name);
            XWindowAttributes attributes;
            if (match && XGetWindowAttributes(display_, window, &attributes) &&
                attributes.map_state == IsViewable) {
                found = window;
                return true;
            }
        }
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, window, &root, &parent, &children, &count)) return false;
        bool done = false;
        for (unsigned i = 0; i < count && !done; ++i)
            done = search(children[i]);
        if (children) XFree(children);
        return done;
    };
    waitUntil([&] { return search(DefaultRootWindow(display_)); }, timeout);
    return found;
}

XSession::Geometry XSession::geometry(::Window window) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, window, &attributes);
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return Geometry{x, y, attributes.width, attributes.height};
}

void XSession::movePointer(::Window window, int x, int y) {
    const Geometry g = geometry(window);
    movePointerOnRoot(g.x + x, g.y + y);
}

void XSession::movePointerOnRoot(int x, int y) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    sync();
}

void XSession::press(unsigned button) {
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    sync();
}

void XSession::release(unsigned button) {
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    sync();
}

void XSession::click(unsigned button) {
    press(button);
    release(button);
}

std::uint32_t XSession::waitForPixel(::Window window, int x, int y, std::uint32_t expected,
                                     std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const std::uint32_t seen = pixel(window, x, y);
        if (seen == expected || std::chrono::steady_clock::now() > end) return seen;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

namespace {

// Pixel (x, y) of an image as 0xRRGGBB, whatever the visual's channel masks.
std::uint32_t rgbOf(XImage* image, int x, int y) {
    const unsigned long value = XGetPixel(image, x, y);
    auto channel = [value](unsigned long mask) {
        if (mask == 0) return 0u;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        const unsigned long bits = mask >> shift;
        const unsigned long raw = (value & mask) >> shift;
        return static_cast<unsigned>(raw * 255 / bits);
    };
    return (channel(image->red_mask) << 16) | (channel(image->green_mask) << 8) | channel(image->blue_mask);
}

}  // namespace

std::uint32_t XSession::pixel(::Window window, int x, int y) {
    XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xFFFFFFFFu;  // not a colour a test expects
    const std::uint32_t rgb = rgbOf(image, 0, 0);
    XDestroyImage(image);
    return rgb;
}

std::vector<std::uint32_t> XSession::pixels(::Window window, int width, int height) {
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return {};
    std::vector<std::uint32_t> all;
    all.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            all.push_back(rgbOf(image, x, y));
    }
    XDestroyImage(image);
    return all;
}

void XSession::setResources(const std::string& resources) {
    XChangeProperty(display_, DefaultRootWindow(display_), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.data()),
                    static_cast<int>(resources.size()));
    sync();
}

void XSession::focus(::Window window) {
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    sync();
}

void XSession::activate(::Window window) {
    const Atom takeFocus = XInternAtom(display_, "WM_TAKE_FOCUS", False);
    Atom* protocols = nullptr;
    int count = 0;
    bool takesFocus = false;
    if (XGetWMProtocols(display_, window, &protocols, &count) != 0) {
        takesFocus = std::find(protocols, protocols + count, takeFocus) != protocols + count;
        XFree(protocols);
    }
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    if (takesFocus) sendProtocolMessage(window, takeFocus);
    sync();
}

::Window XSession::cover(::Window window, int x, int y, int width, int height, std::uint32_t colour) {
    const Geometry g = geometry(window);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = colour;  // the server's 24-bit true colour: the pixel is 0xRRGGBB
    const ::Window cover =
        XCreateWindow(display_, DefaultRootWindow(display_), g.x + x, g.y + y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display_, cover);
    sync();
    return cover;
}

void XSession::uncover(::Window cover) {
    XDestroyWindow(display_, cover);
    sync();
}

void XSession::pressKey(const std::string& keysym) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(keysym.c_str())), True,
                      CurrentTime);
    sync();
}

void XSession::releaseKey(const std::string& keysym) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(keysym.c_str())), False,
                      CurrentTime);
    sync();
}

XSession::SizeHints XSession::sizeHints(::Window window) {
    XSizeHints hints{};
    long supplied = 0;
    XGetWMNormalHints(display_, window, &hints, &supplied);
    SizeHints result{-1, -1, -1, -1};
    if (hints.flags & PMinSize) {
        result.minWidth = hints.min_width;
        result.minHeight = hints.min_height;
    }
    if (hints.flags & PMaxSize) {
        result.maxWidth = hints.max_width;
        result.maxHeight = hints.max_height;
    }
    return result;
}

bool XSession::hasProperty(::Window window, const std::string& name) {
    int count = 0;
    Atom* atoms = XListProperties(display_, window, &count);
    const Atom wanted = XInternAtom(display_, name.c_str(), True);
    bool found = false;
    for (int i = 0; i < count && !found; ++i)
        found = atoms[i] == wanted;
    if (atoms) XFree(atoms);
    return found;
}

bool XSession::insideShape(::Window window, int x, int y) {
    int count = 0, ordering = 0;
    XRectangle* rectangles = XShapeGetRectangles(display_, window, ShapeBounding, &count, &ordering);
    bool inside = false;
    for (int i = 0; i < count && !inside; ++i) {
        const XRectangle& r = rectangles[i];
        inside = x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
    }
    if (rectangles) XFree(rectangles);
    return inside;
}

void XSession::sendDeleteWindow(::Window window) {
    sendProtocolMessage(window, XInternAtom(display_, "WM_DELETE_WINDOW", False));
    sync();
}

void XSession::sendProtocolMessage(::Window window, Atom protocol) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(protocol);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
}

void XSession::sync() {
    XSync(display_, False);
}

double processCpuSeconds(pid_t pid) {
    std::ifstream in(std::string("/proc/").append(std::to_string(pid)).append("/stat"));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses and may hold spaces.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) user = std::stoull(field);
        if (i == 15) system = std::stoull(field);
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::map<pid_t, ThreadCounters> threadCounters(pid_t pid) {
    std::map<pid_t, ThreadCounters> threads;
    std::error_code error;
    for (const auto& task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        ThreadCounters counters;
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("Name:\t", 0) == 0) counters.name = line.substr(6);
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                counters.wakeUps = std::stoll(line.substr(24));
        }
        // The first field is the time on a processor in nanoseconds (the tick-based /stat is too coarse
        // for a thread that hardly runs).
        std::ifstream schedstat(task.path() / "schedstat");
        long long nanoseconds = 0;
        if (schedstat >> nanoseconds) counters.cpuSeconds = static_cast<double>(nanoseconds) / 1e9;
        if (!counters.name.empty()) threads[std::stoi(task.path().filename().string())] = counters;
    }
    return threads;
}

}  // namespace zopp::e2e
