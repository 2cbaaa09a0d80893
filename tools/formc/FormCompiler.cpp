#include "FormCompiler.h"

#include "PictureFiles.h"

CompiledForm CompileFormText(const std::string& utf8Text, const std::string& sourceName,
                             const std::vector<std::string>& pictureFolders) {
    CompiledForm out;
    out.Tree = ParseFormText(utf8Text, sourceName, [&](const AnsiString& cls, const std::string& file) {
        std::string found;
        std::vector<uint8_t> data = LoadPictureForClass(cls, file, pictureFolders, &found);
        out.PictureFiles.push_back(found);
        return data;
    });
    out.Binary = WriteFormBinary(out.Tree);
    return out;
}
