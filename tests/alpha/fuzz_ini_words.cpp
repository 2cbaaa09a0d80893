// Fuzz target for the INI-text and word utilities. The first input byte picks
// delimiter characters, the rest is text; properties that must hold for any
// text are checked, and a violation aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "acntUtils.h"

static void Check(bool ok) {
    if (!ok) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    TacCharSet delims;
    delims.Include(Data[0]);
    delims.Include(uint8_t(Data[0] ^ 0x20));
    const AnsiString text(reinterpret_cast<const char*>(Data + 1), Size - 1);

    // Words: every counted word starts at a non-delimiter and is non-empty;
    // the word after the last one does not exist.
    const int words = CountWordsBySet(text, delims);
    Check(words >= 0 && size_t(words) <= (text.size() + 1) / 2 + 1);
    int lastPos = 0;
    for (int n = 1; n <= words && n <= 64; ++n) {
        const int pos = WordStartPos(n, text, delims);
        Check(pos > lastPos && size_t(pos) <= text.size());
        Check(!InCharSet(uint8_t(text[size_t(pos) - 1]), delims));
        const AnsiString w = TakeWord(n, text, delims);
        Check(!w.empty() && text.compare(size_t(pos) - 1, w.size(), w) == 0);
        lastPos = pos;
    }
    Check(WordStartPos(words + 1, text, delims) == 0);
    Check(TakeWord(words + 1, text, delims).empty());

    // Replacing: removing a character equals replacing it by nothing; a text
    // replaced by itself is unchanged.
    const char c = char(Data[0]);
    Check(RemoveChar(text, c) == ReplaceAll(text, AnsiString(1, c), ""));
    const AnsiString part = text.substr(0, text.size() < 3 ? text.size() : 3);
    Check(ReplaceAll(text, part, part) == text);
    Check(WithBackslash(text).size() >= text.size());

    // INI text: every section line can be read back through its own section,
    // unless an earlier section of the same name wins. A value never holds a line
    // break, so "\n" marks a missing one.
    const TacIniSections sections = IniSplitLines(IniTextLines(text));
    for (const TacIniSection& sec : sections) {
        const TacIniSection* first = nullptr;
        for (const TacIniSection& other : sections)
            if (SameTextAscii(other.Name, sec.Name)) {
                first = &other;
                break;
            }
        Check(first != nullptr);
        if (first != &sec) continue;  // an earlier section of this name answers
        for (const AnsiString& line : sec.Lines) {
            Check(!line.empty() && line[0] != ';');
            const size_t eq = line.find('=');
            if (eq == AnsiString::npos) continue;
            const AnsiString ident = line.substr(0, eq);
            const AnsiString v = IniSectionsReadString(sections, sec.Name, ident, "\n");
            Check(v != "\n");
            (void)IniSectionsReadInteger(sections, sec.Name, ident, 0);
        }
    }
    (void)IniValueToInt(text, 0);
    return 0;
}
