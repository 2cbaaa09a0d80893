// Form definitions as plain data: the tree of objects and properties that a
// form stream holds, its binary form (the "TPF0" stream carried as an RCDATA
// resource) and its readable text form (lessons/*.form). Portable: no Windows
// headers, so the reader is unit-tested and fuzzed natively and the host tool
// that turns text into binary shares the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "RunTime.h"

// Bad binary form data (truncated, unknown value type, too deeply nested)
// raises EReadError (RunTime.h); the message names the component and the
// property where reading stopped.

// Bad readable form text; the message starts with "file:line: ".
class EFormTextError : public Exception {
public:
    using Exception::Exception;
};

enum class FormValueKind { Null, Int, Float, String, Ident, Set, List, Binary, Collection, False, True };

struct FormProperty;

struct FormValue {
    FormValueKind Kind = FormValueKind::Null;
    int64_t Int = 0;
    double Float = 0.0;
    AnsiString Str;                    // String or Ident, Windows-1251 bytes
    std::vector<AnsiString> Set;       // element identifiers
    std::vector<FormValue> List;
    std::vector<uint8_t> Binary;
    std::vector<std::vector<FormProperty>> Items;  // collection items

    static FormValue MakeInt(int64_t v);
    static FormValue MakeFloat(double v);
    static FormValue MakeString(AnsiString s);
    static FormValue MakeIdent(AnsiString s);
    static FormValue MakeBool(bool b);
};

struct FormProperty {
    AnsiString Name;  // may be dotted: "Font.Name"
    FormValue Value;
};

struct FormObject {
    AnsiString ClassName, Name;
    std::vector<FormProperty> Props;
    std::vector<FormObject> Children;

    // The property of that exact name, or nullptr.
    const FormProperty* Find(const AnsiString& propName) const;
};

// Deepest nesting of objects, lists and collections the reader accepts.
constexpr int kFormMaxDepth = 64;

// Reads a binary form stream that begins with "TPF0". Every length is checked
// against the end of the data; throws EReadError.
FormObject ReadFormBinary(const uint8_t* data, size_t size);
inline FormObject ReadFormBinary(const std::vector<uint8_t>& data) {
    return ReadFormBinary(data.data(), data.size());
}

// Writes the binary stream ("TPF0" + the root object); throws EWriteError for
// a tree the format cannot hold (names over 255 bytes). Integers take the
// smallest type that holds them.
std::vector<uint8_t> WriteFormBinary(const FormObject& root);

// The name of the RCDATA resource that holds a form class's stream: the class
// name upper-cased. The form compiler names the resource, the loader finds it.
AnsiString FormResourceName(const AnsiString& className);

// Supplies the picture data for `picture TClass 'file'` in form text: the file
// already in the format of that picture class (a JPEG file as is; a BMP file
// for bitmap-based classes); with an empty class name (`file 'name'`), the
// file's bytes as they are. Throws Exception with a clear message on failure.
using FormPictureResolver =
    std::function<std::vector<uint8_t>(const AnsiString& graphicClass, const std::string& fileName)>;

// Parses readable form text (UTF-8) into the tree. Strings are converted to
// Windows-1251; a character that code page lacks is an error. A picture
// reference becomes binary data: class name as a short string, uint32 size,
// then the resolver's bytes. Errors throw EFormTextError "sourceName:line: ...".
FormObject ParseFormText(const std::string& utf8Text, const std::string& sourceName,
                         const FormPictureResolver& resolvePicture);
