// Writes a placeholder file for every picture the given form texts reference.
#include <fstream>
#include <iostream>
#include <iterator>

#include "FormData.h"
#include "PlaceholderPictures.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: formdata_placeholders DIR FORM...\n";
        return 2;
    }
    std::string dir = argv[1];
    try {
        for (int i = 2; i < argc; ++i) {
            std::ifstream in(argv[i], std::ios::binary);
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            ParseFormText(text, argv[i], [&](const AnsiString& cls, const std::string& file) {
                std::string path = dir + "/" + file;
                if (cls == "TJPEGImage") WritePlaceholderJpeg(path);
                else WritePlaceholderDisc(path);
                return std::vector<uint8_t>{};
            });
        }
    } catch (const std::exception& e) {
        std::cerr << "formdata_placeholders: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
