#include "sSkinNames.h"

#include <algorithm>

AnsiString ResolveSkinFolder(const AnsiString& V, const AnsiString& Folder) {
    AnsiString r;
    if (V.compare(0, 2, "..") == 0) {
        // The program's folder without its last separator, cut back to its parent.
        AnsiString f = Folder;
        if (!f.empty() && (f.back() == '\\' || f.back() == '/')) f.pop_back();
        const size_t cut = f.find_last_of("\\/");
        f = cut == AnsiString::npos ? AnsiString() : f.substr(0, cut + 1);
        r = f + (V.size() > 3 ? V.substr(3) : AnsiString());
    } else if (V.compare(0, 2, ".\\") == 0 || V.compare(0, 2, "./") == 0) {
        r = Folder + V.substr(2);
    } else if (V.find(':') == AnsiString::npos && V.find("\\\\") == AnsiString::npos) {
        r = Folder + V;
    } else {
        r = V;
    }
    if (r.empty() || r.back() != '\\') r += '\\';
    return r;
}

std::vector<AnsiString> SkinNamesOf(const std::vector<AnsiString>& Stored, const std::vector<TacDirEntry>& Entries,
                                    int Kind, AnsiString& First) {
    std::vector<AnsiString> names(Stored);
    First = names.empty() ? AnsiString() : names.front();
    for (const TacDirEntry& e : Entries) {
        if (e.Name.empty() || e.Name[0] == '.') continue;
        const bool folders = Kind == 0 || Kind == 2, packed = Kind == 1 || Kind == 2;
        if (e.Folder && folders && e.HasOptions) {
            names.push_back(e.Name);
        } else if (!e.Folder && packed && e.Name.size() > 4 &&
                   e.Name.compare(e.Name.size() - 4, 4, ".asz") == 0) {
            names.push_back(e.Name.substr(0, e.Name.find('.')));
        } else {
            continue;
        }
        if (First.empty()) First = names.back();
    }
    std::sort(names.begin(), names.end());
    return names;
}
