// Where skins are and what they are called: the skin directory resolved
// against the program's folder, and the skin names of a directory listing.
// Portable; the manager lists the directory and asks the file system.
#pragma once

#include <vector>

#include "RunTime.h"

// ".." at the start: the program folder's parent, then the rest after three
// characters; ".\" or "./": the program folder, then the rest after two;
// neither ':' nor "\\" in it: the program folder, then the value; otherwise
// the value. A trailing backslash is added when missing. ProgramFolder ends
// with its separator.
AnsiString ResolveSkinFolder(const AnsiString& Value, const AnsiString& ProgramFolder);

struct TacDirEntry {
    AnsiString Name;
    bool Folder = false;
    bool HasOptions = false;  // a folder holding "Options.dat"
};

// Names of the stored skins first, then, for Kind 0 or 2, folders holding
// "Options.dat" and, for Kind 1 or 2, files whose extension is exactly
// ".asz", up to the first '.'; entries starting with '.' are skipped. First
// is the first name found; the answer is sorted.
std::vector<AnsiString> SkinNamesOf(const std::vector<AnsiString>& StoredNames,
                                    const std::vector<TacDirEntry>& Entries, int Kind, AnsiString& First);
