// Writes the browser page's icons into a folder: zopp-<size>.png for every web icon size and
// zopp-maskable-<size>.png for the largest, the one a home screen may cut to its own shape.
//   make_web_icons <folder>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/image_files.h"
#include "tools/pictures.h"

namespace {

bool writePng(const std::filesystem::path& path, const zopp::pictures::Canvas& canvas) {
    const std::vector<std::uint8_t> bytes = zopp::pictures::encodePng(canvas);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::cerr << "make_web_icons: cannot write " << path << "\n";
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_web_icons <folder>\n";
        return 2;
    }
    namespace pictures = zopp::pictures;
    const std::filesystem::path folder = argv[1];
    bool ok = true;
    for (const int size : pictures::kWebIconSizes) {
        ok = writePng(folder / ("zopp-" + std::to_string(size) + ".png"), pictures::drawIcon(size)) && ok;
    }
    const int largest = pictures::kWebIconSizes.back();
    ok = writePng(folder / ("zopp-maskable-" + std::to_string(largest) + ".png"),
                  pictures::drawMaskableIcon(largest)) &&
         ok;
    return ok ? 0 : 1;
}
