#include "Mask.h"

#include "Guards.h"
#include "Text1251.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {

// Told to the edit after it lost the focus: the system has moved the focus
// already, so the check runs once that has settled.
constexpr UINT CM_VALIDATEAFTEREXIT = CM_BASE + 700;

// Set while an edit takes the focus back to report its error: the control
// that loses it then is not checked, or two refused edits would pull the
// focus to and fro.
bool g_Refocusing = false;

// One separator character of the user's locale, or Default.
char LocaleSeparator(LCTYPE Type, char Default) {
    wchar_t buf[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, Type, buf, 8) < 2) return Default;
    int b = UnicodeToCp1251(char32_t(buf[0]));
    return b > 0 ? char(b) : Default;
}

}  // namespace

void TCustomMaskEdit::SetEditMask(const AnsiString& Value) {
    if (Value == FEditMask) return;
    TEditMask mask = TEditMask::Parse(Value, LocaleSeparator(LOCALE_SDATE, '/'), LocaleSeparator(LOCALE_STIME, ':'));
    AnsiString data = GetText();
    FEditMask = Value;
    FMask = mask;
    FModified = false;
    FText = IsMasked() ? FMask.Format(data) : data;
    if (FHandle) {
        SendMessageW(FHandle, EM_LIMITTEXT, WPARAM(IsMasked() ? FMask.Length() : MaxLength()), 0);
        Perform(CM_TEXTCHANGED, 0, 0);
    }
}

const AnsiString& TCustomMaskEdit::GetText() const {
    if (!IsMasked()) return FText;
    FDataText = FMask.Data(FText);
    return FDataText;
}

void TCustomMaskEdit::SetTextBuf(const AnsiString& Value) {
    if (!IsMasked()) {
        TCustomEdit::SetTextBuf(Value);
        return;
    }
    FModified = false;
    AnsiString edit = FMask.Format(Value);
    FOldText = edit;
    if (edit == FText) return;
    FText = edit;
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TCustomMaskEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    if (IsMasked()) SendMessageW(FHandle, EM_LIMITTEXT, WPARAM(FMask.Length()), 0);
}

void TCustomMaskEdit::ApplyEdit(const AnsiString& Text, int Caret) {
    FModified = true;
    if (Text != FText) {
        // The window's change notice reads the text back and raises OnChange.
        FText = Text;
        if (FHandle) SetWindowTextAnsi(FHandle, Text);
    }
    if (FHandle) SendMessageW(FHandle, EM_SETSEL, WPARAM(Caret), LPARAM(Caret));
}

void TCustomMaskEdit::TypeKeys(const AnsiString& Keys) {
    AnsiString text = FText;
    int start = SelStart(), length = SelLength(), caret = start;
    bool typed = false;
    for (char k : Keys) {
        if (!FMask.Type(text, caret, start, length, k)) {
            InvalidKey();
            break;
        }
        typed = true;
        start = caret;
        length = 0;
    }
    if (typed) ApplyEdit(text, caret);
}

void TCustomMaskEdit::EraseSelection(bool Backward) {
    AnsiString text = FText;
    int caret = 0;
    if (FMask.Erase(text, caret, SelStart(), SelLength(), Backward) || caret != SelStart()) ApplyEdit(text, caret);
}

void TCustomMaskEdit::CopySelection() {
    if (SelLength() > 0) Perform(WM_COPY, 0, 0);
}

void TCustomMaskEdit::PasteText() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(FHandle)) return;
    AnsiString text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* w = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = FromWide(w);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    TypeKeys(text);
}

void TCustomMaskEdit::WndProc(TMessage& m) {
    if (IsMasked() && FHandle && !(ComponentState() & csDesigning)) {
        switch (m.Msg) {
        case WM_PASTE:
            if (!ReadOnly()) PasteText();
            return;
        case WM_CUT:
            CopySelection();
            if (!ReadOnly()) EraseSelection(false);
            return;
        case WM_CLEAR:
            if (!ReadOnly()) EraseSelection(false);
            return;
        case WM_UNDO:
        case EM_UNDO:
            // The window's own undo knows nothing of the mask.
            return;
        case WM_CHAR:
            // A character the code page lacks never reaches the mask.
            if (UnicodeToCp1251(char32_t(m.WParam)) < 0) {
                InvalidKey();
                return;
            }
            break;
        case CM_VALIDATEAFTEREXIT:
            ValidateAfterExit();
            return;
        default: break;
        }
    }
    TCustomEdit::WndProc(m);
}

void TCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
    TCustomEdit::KeyDown(Key, Shift);
    if (!IsMasked() || Key == 0) return;
    bool shift = Shift & ShiftBit(ssShift), ctrl = Shift & ShiftBit(ssCtrl);
    if (Key == VK_ESCAPE && FModified) {
        Reset();
        Key = 0;
    } else if (Key == VK_DELETE) {
        if (shift) Perform(WM_CUT, 0, 0);
        else if (!ReadOnly()) EraseSelection(false);
        Key = 0;
    } else if (Key == VK_INSERT && shift && !ctrl) {
        Perform(WM_PASTE, 0, 0);
        Key = 0;
    }
}

void TCustomMaskEdit::KeyPress(char& Key) {
    TCustomEdit::KeyPress(Key);
    if (!IsMasked() || Key == 0) return;
    switch (Key) {
    case 1:  // Ctrl+A and Ctrl+C: the window selects and copies
    case 3:
    case '\r':
    case 27:
        return;
    case 0x16: Perform(WM_PASTE, 0, 0); break;
    case 0x18: Perform(WM_CUT, 0, 0); break;
    case '\b':
        if (!ReadOnly()) EraseSelection(true);
        break;
    default:
        if (ReadOnly() || static_cast<unsigned char>(Key) < 0x20) break;
        TypeKeys(AnsiString(1, Key));
        break;
    }
    Key = 0;
}

void TCustomMaskEdit::DoEnter() {
    // Coming back to a refused text keeps what Escape goes back to.
    if (!FModified) FOldText = FText;
    TCustomEdit::DoEnter();
}

void TCustomMaskEdit::DoExit() {
    if (IsMasked() && FModified && FHandle && !g_Refocusing && !(ComponentState() & csDesigning))
        PostMessageW(FHandle, CM_VALIDATEAFTEREXIT, 0, 0);
    TCustomEdit::DoExit();
}

void TCustomMaskEdit::ValidateAfterExit() {
    // Only a move inside the same window is checked: a switch to another
    // program leaves the edit as it is until the user comes back.
    HWND focus = GetFocus();
    if (!FModified || Focused() || !focus || GetAncestor(focus, GA_ROOT) != GetAncestor(FHandle, GA_ROOT)) return;
    if (FMask.FirstMissing(FText) < 0 || !CanFocus()) return;
    {
        ValueRestorer<bool> refocusing(g_Refocusing, true);
        SetFocus();
    }
    ValidateEdit();
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked() || !FModified) return;
    int missing = FMask.FirstMissing(FText);
    if (missing < 0) return;
    if (FHandle) SendMessageW(FHandle, EM_SETSEL, WPARAM(missing), LPARAM(missing));
    ValidateError();
}

void TCustomMaskEdit::ValidateError() {
    MessageBeep(0);
    throw EDBEditError("Invalid input value. Use escape key to abandon changes");
}

void TCustomMaskEdit::InvalidKey() { MessageBeep(0); }

void TCustomMaskEdit::Reset() {
    if (!FModified) return;
    FModified = false;
    FText = FOldText;
    Perform(CM_TEXTCHANGED, 0, 0);
}

void RegisterMaskClasses() {
    RegisterPersistentClass<TCustomMaskEdit>("TCustomMaskEdit", "TCustomEdit")
        .Str("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
    RegisterComponentClass<TMaskEdit>("TMaskEdit", "TCustomMaskEdit");
}
