// Reading a Windows shortcut file (.lnk): where it points and in which folder it starts the program.
#pragma once

#include <filesystem>
#include <string>

namespace zopp::e2e {

struct ShellLink {
    std::string target;            // the program's path, as Windows writes it
    std::string workingDirectory;  // empty when the shortcut names none
    std::string iconLocation;      // empty when the shortcut names none
};

// Throws std::runtime_error for a file that is no shortcut or is cut short.
ShellLink readShellLink(const std::filesystem::path& file);

}  // namespace zopp::e2e
