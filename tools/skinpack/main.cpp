// skinpack: build tooling for skins (the program itself only reads them).
//   skinpack asz SKIN_DIR OUT.asz
//       packs the folder's "Options.dat" and the files it names into a container
//   skinpack form-data SKIN_DIR NAME OUT.form
//       form text with the skin stored as a "Data" container
//   skinpack form-items SKIN_DIR NAME OUT.form [DJPEG]
//       form text with the skin stored as its collections
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

#include "StoredSkin.h"

namespace {

void Write(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), std::streamsize(size));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: skinpack asz SKIN_DIR OUT.asz\n"
                 "       skinpack form-data SKIN_DIR NAME OUT.form\n"
                 "       skinpack form-items SKIN_DIR NAME OUT.form [DJPEG]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return Usage();
    const std::string cmd = argv[1], dir = argv[2];
    try {
        if (cmd == "asz" && argc == 4) {
            const std::vector<uint8_t> c = WriteAszContainer(CollectSkinFiles(dir));
            Write(argv[3], c.data(), c.size());
        } else if (cmd == "form-data" && argc == 5) {
            const std::string text = StoredSkinFormWithData(argv[3], WriteAszContainer(CollectSkinFiles(dir)));
            Write(argv[4], text.data(), text.size());
        } else if (cmd == "form-items" && (argc == 5 || argc == 6)) {
            const std::string text = StoredSkinFormWithItems(dir, argv[3], argc == 6 ? argv[5] : "djpeg");
            Write(argv[4], text.data(), text.size());
        } else {
            return Usage();
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpack: %s\n", e.what());
        return 1;
    }
}
