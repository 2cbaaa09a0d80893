// Readable form text to binary form data, with picture files from folders.
#pragma once

#include <string>
#include <vector>

#include "FormData.h"

struct CompiledForm {
    FormObject Tree;
    std::vector<uint8_t> Binary;
    std::vector<std::string> PictureFiles;  // the files read, for dependencies
};

// Throws EFormTextError (with file:line) or Exception.
CompiledForm CompileFormText(const std::string& utf8Text, const std::string& sourceName,
                             const std::vector<std::string>& pictureFolders);
