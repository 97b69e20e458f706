// Paths in this build's source and build folders. The folders are compiled into test_paths.cpp alone, so
// every other test source compiles the same in any checkout, and a compiler cache shares its object
// between checkouts; the build files hand the tests their programs' paths relative to the folders.
#pragma once

#include <string>
#include <string_view>

namespace zopp::testing {

std::string sourcePath(std::string_view relative = {});
std::string buildPath(std::string_view relative = {});

}  // namespace zopp::testing
