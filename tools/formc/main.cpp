// formc: compiles a readable form text into the binary form stream.
//   formc [--art DIR]... INPUT.form -o OUTPUT.bin [--rc OUTPUT.rc] [--depfile OUTPUT.d]
// --rc writes one resource line naming the binary after the form's class in
// upper case; --depfile lists the picture files read (for the build tool).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FormCompiler.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: formc [--art DIR]... INPUT.form -o OUTPUT.bin [--rc OUTPUT.rc] [--depfile OUTPUT.d]\n");
    return 2;
}

bool WriteFile(const std::string& path, const void* data, size_t n) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), std::streamsize(n));
    out.close();
    if (!out) {
        std::fprintf(stderr, "formc: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

std::string DepEscape(const std::string& s) {
    std::string r;
    for (char c : s) {
        if (c == ' ' || c == '#' || c == '\\') r += '\\';
        if (c == '$') r += '$';
        r += c;
    }
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> folders;
    std::string input, output, rc, dep;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (a == "--art") {
            std::string d;
            if (!value(d)) return Usage();
            folders.push_back(d);
        } else if (a == "-o") {
            if (!value(output)) return Usage();
        } else if (a == "--rc") {
            if (!value(rc)) return Usage();
        } else if (a == "--depfile") {
            if (!value(dep)) return Usage();
        } else if (!a.empty() && a[0] == '-') {
            return Usage();
        } else if (input.empty()) {
            input = a;
        } else {
            return Usage();
        }
    }
    if (input.empty() || output.empty()) return Usage();

    std::ifstream in(input, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "formc: cannot open %s\n", input.c_str());
        return 1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CompiledForm form;
    try {
        form = CompileFormText(text, input, folders);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message.c_str());
        return 1;
    }
    if (!WriteFile(output, form.Binary.data(), form.Binary.size())) return 1;
    if (!rc.empty()) {
        std::string line = FormResourceName(form.Tree.ClassName) + " RCDATA \"" + output + "\"\n";
        if (!WriteFile(rc, line.data(), line.size())) return 1;
    }
    if (!dep.empty()) {
        // The form text itself is listed too: a depfile without entries
        // leaves the build tool without a record, and it rebuilds every time.
        std::string d = DepEscape(output) + ": " + DepEscape(input);
        for (const std::string& p : form.PictureFiles) d += " " + DepEscape(p);
        d += "\n";
        if (!WriteFile(dep, d.data(), d.size())) return 1;
    }
    return 0;
}
