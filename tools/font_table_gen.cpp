// font_table_gen <fontdata folder> <output .cpp> [packed bytes]: builds the font and palette table, packs
// it and writes the source that carries it; the optional third file receives the packed bytes alone (the
// unpacker's fuzzer starts from them).
#include <cstdio>
#include <fstream>

#include "tools/font_table_build.h"
#include "tools/font_table_source.h"
#include "tools/lzw_pack.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: font_table_gen <fontdata folder> <output .cpp> [packed bytes]\n");
        return 2;
    }
    std::string error;
    const auto table = zopp::tools::buildFontTable(argv[1], error);
    if (!table) {
        std::fprintf(stderr, "font_table_gen: %s\n", error.c_str());
        return 1;
    }
    const auto packed = zopp::tools::lzwPack(*table);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << zopp::tools::renderFontTableSource(packed);
    if (!out.flush()) {
        std::fprintf(stderr, "font_table_gen: cannot write %s\n", argv[2]);
        return 1;
    }
    if (argc == 4) {
        std::ofstream raw(argv[3], std::ios::binary | std::ios::trunc);
        raw.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
        if (!raw.flush()) {
            std::fprintf(stderr, "font_table_gen: cannot write %s\n", argv[3]);
            return 1;
        }
    }
    std::printf("font table: %zu bytes packed into %zu\n", table->size(), packed.size());
    return 0;
}
