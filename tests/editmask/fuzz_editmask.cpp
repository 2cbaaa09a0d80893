// Fuzz target for the edit-mask reader and the edits keys make. The first
// byte says how many of the next bytes are the mask; the rest is text and
// keys. A mask is read or refused with EEditMaskError; a read one keeps
// every edit text at its length and the text a program reads round-trips.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "EditMask.h"

static void Check(bool ok) {
    if (!ok) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    size_t n = Data[0] < Size - 1 ? Data[0] : Size - 1;
    const AnsiString mask(reinterpret_cast<const char*>(Data + 1), n);
    const AnsiString rest(reinterpret_cast<const char*>(Data + 1 + n), Size - 1 - n);
    TEditMask m;
    try {
        m = TEditMask::Parse(mask);
    } catch (const EEditMaskError&) {
        return 0;
    }
    const int len = m.Length();
    Check(int(m.BlankText().size()) == len);
    AnsiString e = m.Fit(rest);
    Check(int(e.size()) == len && m.Fit(e) == e);
    Check(m.Format(m.Data(e)) == e);
    Check(int(m.Format(rest).size()) == len);
    int missing = m.FirstMissing(e);
    Check(missing >= -1 && missing < len && (missing < 0 || m.Position(missing).Required));

    // Keys: every byte typed at the caret; each fourth one erases instead.
    int caret = 0;
    for (size_t i = 0; i < rest.size(); ++i) {
        int sel = int(uint8_t(rest[i]) % 3);
        if (i % 4 == 3)
            m.Erase(e, caret, caret - sel, sel, (rest[i] & 1) != 0);
        else
            m.Type(e, caret, caret, sel, rest[i]);
        Check(int(e.size()) == len && caret >= 0 && caret <= len);
        Check(m.Fit(e) == e);
    }
    return 0;
}
