// font_table_gen <fontdata folder> <output .cpp>: builds the font and palette table, packs it and writes
// the source that carries it.
#include <cstdio>
#include <fstream>

#include "tools/font_table_build.h"
#include "tools/font_table_source.h"
#include "tools/lzw_pack.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: font_table_gen <fontdata folder> <output .cpp>\n");
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
    std::printf("font table: %zu bytes packed into %zu\n", table->size(), packed.size());
    return 0;
}
