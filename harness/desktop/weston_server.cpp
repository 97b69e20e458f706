#include "harness/desktop/weston_server.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace zopp::e2e {

namespace {

constexpr const char* kSocket = "zopp-test";

// Polls until done() or the timeout; weston and the hooks answer within milliseconds.
template <typename Done>
bool within(std::chrono::seconds timeout, Done done) {
    for (const auto end = std::chrono::steady_clock::now() + timeout; !done();) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

bool WestonServer::installed() {
    return *ZOPP_WESTON != '\0' && *ZOPP_WESTON_HOOKS != '\0';
}

WestonServer::WestonServer(int width, int height) {
    std::string folder = (std::filesystem::temp_directory_path() / "zopp-weston-XXXXXX").string();
    if (!mkdtemp(folder.data())) throw std::runtime_error("no runtime folder for weston");
    folder_ = folder;
    pid_ = fork();
    if (pid_ == 0) {
        // The log stays when weston does not come up: the constructor then throws and names it.
        const int log = open((folder_ / "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(log, 1);
        dup2(log, 2);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        setenv("ZOPP_CAPTURE", (folder_ / "capture").c_str(), 1);
        unsetenv("DISPLAY");
        const std::string size = "--width=" + std::to_string(width),
                          tall = "--height=" + std::to_string(height);
        const std::string socket = std::string("--socket=") + kSocket,
                          hooks = std::string("--modules=") + ZOPP_WESTON_HOOKS;
        // No idle time: the shell would lock the screen after five minutes of no input.
        execl(ZOPP_WESTON, "weston", "--backend=headless-backend.so", "--use-pixman", size.c_str(),
              tall.c_str(), socket.c_str(), hooks.c_str(), "--idle-time=0", static_cast<char*>(nullptr));
        _exit(127);
    }
    // A client that connects before the hooks are loaded is answered after: weston serves none until then.
    if (!within(std::chrono::seconds(10), [&] { return std::filesystem::exists(folder_ / kSocket); }) ||
        waitpid(pid_, nullptr, WNOHANG) != 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        throw std::runtime_error("weston did not come up; its log: " + (folder_ / "log").string());
    }
}

WestonServer::~WestonServer() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    std::filesystem::remove_all(folder_);
}

std::vector<std::string> WestonServer::environment() const {
    return {"XDG_RUNTIME_DIR=" + folder_.string(), std::string("WAYLAND_DISPLAY=") + kSocket,
            "SDL_VIDEODRIVER=wayland"};
}

WestonServer::Output WestonServer::capture() {
    const auto file = folder_ / "capture";
    kill(pid_, SIGUSR1);
    Output output;
    if (!within(std::chrono::seconds(10), [&] { return std::filesystem::exists(file); })) return output;
    std::ifstream in(file, std::ios::binary);
    std::uint32_t size[2] = {0, 0};
    in.read(reinterpret_cast<char*>(size), sizeof size);
    std::vector<std::uint32_t> pixels(std::size_t{size[0]} * size[1]);
    in.read(reinterpret_cast<char*>(pixels.data()), static_cast<std::streamsize>(pixels.size() * 4));
    std::filesystem::remove(file);
    if (!in) return output;
    for (std::uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return {static_cast<int>(size[0]), static_cast<int>(size[1]), std::move(pixels)};
}

void WestonServer::closeWindows() {
    kill(pid_, SIGUSR2);
}

}  // namespace zopp::e2e
