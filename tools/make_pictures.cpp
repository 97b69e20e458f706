// Writes the game's pictures into a dat/ folder, the window icon's source file and the desktop icons into
// an icon theme folder:
//   make_pictures <dat folder> <window_icon.cpp> <icon theme folder>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <span>

#include "tools/image_files.h"
#include "tools/pictures.h"

namespace {

bool writeFile(const std::filesystem::path& path, std::span<const char> bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "make_pictures: cannot write " << path << "\n";
    }
    return static_cast<bool>(out);
}

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    return writeFile(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_pictures <dat folder> <window_icon.cpp> <icon theme folder>\n";
        return 2;
    }
    namespace pictures = zopp::pictures;
    const std::filesystem::path dat = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dat, error);
    bool ok = true;
    for (const auto& picture : pictures::drawPictures()) {
        ok = writeFile(dat / picture.fileName, pictures::encodeBmp(picture.canvas)) && ok;
    }
    const std::string source = pictures::windowIconSource(pictures::drawIcon(32));
    ok = writeFile(argv[2], std::span<const char>(source.data(), source.size())) && ok;
    for (const int size : pictures::kDesktopIconSizes) {
        const std::filesystem::path icon = std::filesystem::path(argv[3]) / pictures::desktopIconPath(size);
        std::filesystem::create_directories(icon.parent_path(), error);
        ok = writeFile(icon, pictures::encodePng(pictures::drawIcon(size))) && ok;
    }
    return ok ? 0 : 1;
}
