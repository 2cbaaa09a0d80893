// The masked edit: an edit whose EditMask (see EditMask.h) is enforced while
// typing. The window shows the edit text (literals and blanks in place);
// Text is the data (blanks as spaces, literals only when the mask saves
// them). Keys, Backspace, Delete, cut, paste and clear overwrite position by
// position; a key a position refuses is dropped with InvalidKey (a beep).
// Leaving the edit with a changed text that misses a required position
// brings the focus back and raises ValidateError; Escape abandons the
// changes. Without a mask it is the plain edit.
#pragma once

#include "EditMask.h"
#include "StdCtrls.h"

// The masked edit's validation failure.
class EDBEditError : public Exception {
public:
    using Exception::Exception;
};

class TCustomMaskEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
    const char* ClassName() const override { return "TCustomMaskEdit"; }
    const AnsiString& EditMask() const { return FEditMask; }
    // Throws EEditMaskError for a mask that cannot be read, keeping the old one.
    virtual void SetEditMask(const AnsiString& Value);
    bool IsMasked() const { return !FMask.Empty(); }
    // What the window shows: the text typed into the mask.
    const AnsiString& EditText() const { return FText; }
    bool Modified() const { return FModified; }
    // Raises ValidateError at the first required position left blank, once
    // the text was changed by the user.
    void ValidateEdit();
    // Abandons the user's changes: the text before them comes back.
    void Reset();

protected:
    const AnsiString& GetText() const override;
    void SetTextBuf(const AnsiString& Value) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
    // Beeps and raises EDBEditError.
    virtual void ValidateError();
    // A key the mask refused.
    virtual void InvalidKey();

private:
    // The window shows Text with the caret at Caret; the user changed it.
    void ApplyEdit(const AnsiString& Text, int Caret);
    void TypeKeys(const AnsiString& Keys);
    void EraseSelection(bool Backward);
    void CopySelection();
    void PasteText();
    void ValidateAfterExit();
    AnsiString FEditMask;
    TEditMask FMask;
    bool FModified = false;
    AnsiString FOldText;
    mutable AnsiString FDataText;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    using TCustomMaskEdit::TCustomMaskEdit;
    const char* ClassName() const override { return "TMaskEdit"; }
};

// Registers the masked edits (after the standard controls).
void RegisterMaskClasses();
