#include "harness/support/test_paths.h"

namespace zopp::testing {
namespace {

std::string under(std::string folder, std::string_view relative) {
    if (!relative.empty()) folder.append("/").append(relative);
    return folder;
}

}  // namespace

std::string sourcePath(std::string_view relative) {
    return under(ZOPP_SOURCE_DIR, relative);
}

std::string buildPath(std::string_view relative) {
    return under(ZOPP_BINARY_DIR, relative);
}

}  // namespace zopp::testing
