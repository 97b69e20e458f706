// The Windows Installer package that scripts/package wrote, as a player uses it under Wine: installed
// without a user interface, the game started the way its Start-menu shortcut says (its target, in its
// working folder) shows the Linux build's setup screen pixel for pixel, and removing it leaves nothing
// behind; installed over a lower version's package, one installation remains. Each case works in a Wine
// prefix of its own, cloned for its X server (cmake/toolchains/wine-run). Skipped while the package is
// missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "harness/desktop/x11_harness.h"
#include "harness/support/test_paths.h"
#include "tests/e2e/reference_games.h"
#include "tests/e2e/screen_reading.h"
#include "tests/wine/shell_link.h"

namespace zopp::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTitle = "ZOPP - V0.1(2008)";
const fs::path kPackage = testing::sourcePath(ZOPP_MSI_FILE);
const fs::path kLowerPackage = testing::buildPath(ZOPP_LOWER_MSI_FILE);  // the same files as version 0.0.1
const std::string kUninstall = R"(HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall)";
const std::string kProducts = R"(HKCU\Software\Microsoft\Installer\Products)";

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An icon file holding the game's desktop icon.
bool isGameIcon(const fs::path& file) {
    const std::string icon = contents(file);
    const std::string png = contents(fs::path(testing::sourcePath("packaging/icons/32x32/apps/zopp.png")));
    return icon.compare(0, 4, std::string("\0\0\1\0", 4)) == 0 && icon.find(png) != std::string::npos;
}

// The keys of a `reg query KEY /s` listing, each with its values by name.
using RegistryKeys = std::vector<std::map<std::string, std::string>>;
RegistryKeys parseRegistry(const std::string& listing) {
    RegistryKeys keys;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("HKEY_", 0) == 0) {
            keys.emplace_back();
            keys.back()[""] = line;
            continue;
        }
        // "    Name    REG_SZ    Value"
        const auto type = line.find("    REG_");
        if (keys.empty() || line.rfind("    ", 0) != 0 || type == std::string::npos) continue;
        const auto value = line.find("    ", type + 4);
        keys.back()[line.substr(4, type - 4)] = value == std::string::npos ? "" : line.substr(value + 4);
    }
    return keys;
}

class WindowsInstaller : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kPackage)) GTEST_SKIP() << "no " << kPackage << ": scripts/package builds it";
        std::string name = server_.display();
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.') c = '_';
        }
        prefix_ = fs::path(testing::buildPath(ZOPP_MSI_WINE_PREFIX)).concat(".displays") / name;
        stopWine();
        fs::remove_all(prefix_);  // what an earlier run on this display left
    }
    void TearDown() override {
        if (prefix_.empty()) return;
        stopWine();
        fs::remove_all(prefix_);
    }
    void stopWine() {
        if (fs::exists(prefix_)) {
            const std::string command = "WINEPREFIX='" + prefix_.string() + "' wineserver -k 2>/dev/null";
            [[maybe_unused]] const int ignored = std::system(command.c_str());
        }
    }

    // Runs a Windows program under Wine in this case's prefix; its exit code (-1 on a time-out).
    int wine(const std::vector<std::string>& arguments, std::string* output = nullptr) {
        std::vector<std::string> all{testing::buildPath(ZOPP_MSI_WINE_PREFIX)};
        all.insert(all.end(), arguments.begin(), arguments.end());
        LaunchedProgram program(testing::sourcePath(ZOPP_WINE_RUN), all, server_.display());
        const int status = program.wait(std::chrono::seconds(180));
        if (output) *output = program.standardOutput();
        if (status != 0) std::printf("%s", program.standardError().c_str());
        return status;
    }
    int msiexec(const char* action, const fs::path& package) {
        std::string path = "Z:" + package.string();
        std::replace(path.begin(), path.end(), '/', '\\');
        return wine({"msiexec", action, path, "/qn"});
    }
    RegistryKeys registry(const std::string& key) {
        std::string listing;
        return wine({"reg", "query", key, "/s"}, &listing) == 0 ? parseRegistry(listing) : RegistryKeys{};
    }
    // The versions of the installations the uninstall list shows for the game.
    std::vector<std::string> installedVersions() {
        std::vector<std::string> versions;
        for (auto& key : registry(kUninstall)) {
            if (key["DisplayName"] == "ZOPP") versions.push_back(key["DisplayVersion"]);
        }
        return versions;
    }

    // Where a Windows path of drive C: lies in the prefix.
    fs::path unixPath(std::string path) const {
        if (path.size() < 3 || (path.compare(0, 3, "C:\\") != 0 && path.compare(0, 3, "c:\\") != 0))
            throw std::runtime_error("not a path on drive C: " + path);
        std::replace(path.begin(), path.end(), '\\', '/');
        return (prefix_ / "drive_c" / path.substr(3)).lexically_normal();
    }
    // The Start-menu shortcuts of the prefix's users.
    std::vector<fs::path> shortcuts() const {
        std::vector<fs::path> found;
        for (const auto& user : fs::directory_iterator(prefix_ / "drive_c" / "users")) {
            const fs::path menu = user.path() / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs";
            if (!fs::exists(menu)) continue;
            for (const auto& entry : fs::recursive_directory_iterator(menu)) {
                if (entry.path().extension() == ".lnk") found.push_back(entry.path());
            }
        }
        return found;
    }

    // Starts the program in the folder as the shortcut does and grabs its setup screen once the Linux
    // build's shows in it (the setup screen is the same whatever the dice's seed).
    void expectTheLinuxSetupScreen(const ShellLink& link) {
        const fs::path folder = unixPath(link.workingDirectory);
        const fs::path previous = fs::current_path();
        fs::current_path(folder);
        LaunchedProgram game(testing::sourcePath(ZOPP_WINE_RUN),
                             {testing::buildPath(ZOPP_MSI_WINE_PREFIX), link.target}, server_.display());
        fs::current_path(previous);
        const ::Window window = x_.waitForWindow(kTitle, std::chrono::seconds(60));
        ASSERT_NE(window, 0u) << game.standardError();

        const double now = gameTimerSeconds();
        ReferenceGames reference(testing::buildPath(ZOPP_REFERENCE_PLAYER), testing::sourcePath(), now, now);
        const BoardPictures pictures{fs::path(testing::sourcePath("dat"))};
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        Picture screen;
        try {
            screen = grab(x_, window);
            while (!(screen.shows(430, 350, pictures.dieFaces[4]) && reference.shownBy(screen)) &&
                   std::chrono::steady_clock::now() < end) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                screen = grab(x_, window);
            }
        } catch (const std::runtime_error&) {  // the window went away: the game ended
            const int status = game.wait();
            FAIL() << "the game ended with " << status << ": " << game.standardError();
        }
        EXPECT_TRUE(reference.shownBy(screen)) << reference.difference(screen);
        x_.sendDeleteWindow(window);
        EXPECT_EQ(game.wait(std::chrono::seconds(30)), 0);
    }

    XvfbServer server_;
    XSession x_{server_.display()};
    fs::path prefix_;
};

TEST_F(WindowsInstaller, InstallsForTheUserStartsFromItsShortcutAndUninstallsCompletely) {
    ASSERT_EQ(msiexec("/i", kPackage), 0);

    // One shortcut, to the game in the user's own programs folder, starting it there.
    const std::vector<fs::path> links = shortcuts();
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].filename(), "ZOPP.lnk");
    const ShellLink link = readShellLink(links[0]);
    const fs::path program = unixPath(link.target), folder = program.parent_path();
    EXPECT_NE(link.target.find(R"(\AppData\Local\Programs\ZOPP\zopp.exe)"), std::string::npos) << link.target;
    EXPECT_EQ(unixPath(link.workingDirectory), folder / "") << link.workingDirectory;

    // Exactly the program, its pictures and the license texts; the pictures are the game's.
    std::set<std::string> installed, expected{"zopp.exe", "LICENSE.txt", "FONT-LICENSE.txt"};
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) installed.insert(entry.path().lexically_relative(folder).string());
    }
    for (const auto& picture : fs::directory_iterator(fs::path(testing::sourcePath("dat")))) {
        const std::string name = "dat/" + picture.path().filename().string();
        expected.insert(name);
        EXPECT_EQ(contents(folder / name), contents(picture.path())) << name;
    }
    EXPECT_EQ(installed, expected);

    // The shortcut's icon and the uninstall entry's are the game's; the entry names the folder.
    EXPECT_TRUE(isGameIcon(unixPath(link.iconLocation))) << link.iconLocation;
    EXPECT_EQ(installedVersions(), std::vector<std::string>{ZOPP_VERSION});
    for (auto& key : registry(kUninstall)) {
        if (key["DisplayName"] == "ZOPP") {
            EXPECT_EQ(key["Publisher"], "The ZOPP developers");
            EXPECT_EQ(unixPath(key["InstallLocation"]), folder / "") << key["InstallLocation"];
        }
    }
    int icons = 0;
    for (auto& key : registry(kProducts)) {
        if (key["ProductName"] != "ZOPP") continue;
        ++icons;
        EXPECT_TRUE(isGameIcon(unixPath(key["ProductIcon"]))) << key["ProductIcon"];
    }
    EXPECT_EQ(icons, 1);

    expectTheLinuxSetupScreen(link);

    ASSERT_EQ(msiexec("/x", kPackage), 0);
    EXPECT_FALSE(fs::exists(folder)) << "the installation folder stays";
    EXPECT_TRUE(shortcuts().empty());
    EXPECT_TRUE(installedVersions().empty());
    EXPECT_TRUE(registry(R"(HKCU\Software\ZOPP)").empty());
}

TEST_F(WindowsInstaller, InstalledOverALowerVersionLeavesOneInstallation) {
    if (!fs::exists(kLowerPackage)) GTEST_SKIP() << "no " << kLowerPackage;
    ASSERT_EQ(msiexec("/i", kLowerPackage), 0);
    ASSERT_EQ(installedVersions(), std::vector<std::string>{"0.0.1"});

    ASSERT_EQ(msiexec("/i", kPackage), 0);
    EXPECT_EQ(installedVersions(), std::vector<std::string>{ZOPP_VERSION});
    const std::vector<fs::path> links = shortcuts();
    ASSERT_EQ(links.size(), 1u);
    const fs::path program = unixPath(readShellLink(links[0]).target);
    EXPECT_TRUE(fs::exists(program));

    // Removing the new version takes everything: nothing of the old one was left behind.
    ASSERT_EQ(msiexec("/x", kPackage), 0);
    EXPECT_TRUE(installedVersions().empty());
    EXPECT_FALSE(fs::exists(program.parent_path()));
    EXPECT_TRUE(shortcuts().empty());
}

}  // namespace
}  // namespace zopp::e2e
