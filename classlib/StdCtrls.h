// Windowed standard controls: the panel and the group box (containers that
// paint themselves), and the system's edit, memo, list box, combo box and
// scroll bar windows, taken over.
#pragma once

#include "Controls.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

// Draws the lines of a 3-D frame Width pixels deep inside R and shrinks R by it.
void Frame3D(HDC DC, TRect& R, TColor TopColor, TColor BottomColor, int Width);

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);
    const char* ClassName() const override { return "TCustomPanel"; }
    TPanelBevel BevelInner() const { return FBevelInner; }
    virtual void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    virtual void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    virtual void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    virtual void SetBorderWidth(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TBorderStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment Value);
    // Kept for the form data; nothing on this platform reads it.
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value) { FLocked = Value; }

protected:
    void Paint() override;

private:
    bool FLocked = false;
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
    const char* ClassName() const override { return "TPanel"; }
};

class TCustomGroupBox : public TCustomControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    const char* ClassName() const override { return "TCustomGroupBox"; }

protected:
    void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
    const char* ClassName() const override { return "TGroupBox"; }
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// The system's single-line edit. Text follows what is typed (EN_CHANGE);
// OnChange after every change of the text.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    const char* ClassName() const override { return "TCustomEdit"; }
    bool ReadOnly() const { return FReadOnly; }
    virtual void SetReadOnly(bool Value);
    int MaxLength() const { return FMaxLength; }
    virtual void SetMaxLength(int Value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TBorderStyle Value);
    char PasswordChar() const { return FPasswordChar; }
    virtual void SetPasswordChar(char Value);
    // Letters typed or set are turned to this case.
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // False: the selection shows while the edit has no focus too.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Text passes through the OEM code page and back as it is typed.
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    void Clear() { SetText(""); }
    void SelectAll();
    int SelStart() const;
    int SelLength() const;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    virtual void Change();
    void DoEnter() override;

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = bsSingle;
    char FPasswordChar = 0;
    bool FSettingText = false;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    bool FOEMConvert = false;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
    const char* ClassName() const override { return "TEdit"; }
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The system's multi-line edit. Lines holds the text line by line and
// follows what is typed; a change of Lines by the program shows in the
// window. Enter makes a new line rather than pressing the default button.
class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;
    const char* ClassName() const override { return "TCustomMemo"; }
    TStringList* Lines() const { return FLines.get(); }
    void SetLines(TStringList* Value) { FLines->Assign(Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    virtual void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    virtual void SetWordWrap(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void Change() override;
    bool WantsReturn() const override { return true; }

private:
    void LinesChanged(TObject*);
    std::unique_ptr<TStringList> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FSyncingLines = false;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
    const char* ClassName() const override { return "TMemo"; }
};

// The system's list box. Items are the list's strings (the window shows
// them); ItemIndex the selected one, -1 for none. A selection by the user
// raises OnClick.
class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    const char* ClassName() const override { return "TCustomListBox"; }
    TStringList* Items() const { return FItems.get(); }
    void SetItems(TStringList* Value) { FItems->Assign(Value); }
    int ItemIndex() const;
    virtual void SetItemIndex(int Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;

private:
    void ItemsChanged(TObject*);
    void FillWindow();
    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
    const char* ClassName() const override { return "TListBox"; }
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// The system's combo box: an edit with a list that drops down (csDropDown),
// a list always shown under the edit (csSimple), or a drop-down list
// without an edit (csDropDownList, Text is the selected item's). A pick
// from the list raises OnClick then OnChange; typing raises OnChange.
// DropDownCount is the number of items the dropped list shows at most.
class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;
    const char* ClassName() const override { return "TCustomComboBox"; }
    TComboBoxStyle Style() const { return FStyle; }
    virtual void SetStyle(TComboBoxStyle Value);
    TStringList* Items() const { return FItems.get(); }
    void SetItems(TStringList* Value) { FItems->Assign(Value); }
    int ItemIndex() const;
    virtual void SetItemIndex(int Value);
    int DropDownCount() const { return FDropDownCount; }
    virtual void SetDropDownCount(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Loaded() override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    virtual void Change();

private:
    void ItemsChanged(TObject*);
    void FillWindow();
    // The window's height with its list dropped: the edit and DropDownCount items.
    int DroppedHeight() const;
    std::unique_ptr<TStringList> FItems;
    TComboBoxStyle FStyle = csDropDown;
    int FItemIndex = -1;
    int FDropDownCount = 8;
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
    const char* ClassName() const override { return "TComboBox"; }
};

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = Method<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// The system's scroll bar control. Each scroll notification raises OnScroll
// with the new position (which the handler may change); a change of Position
// raises OnChange.
class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);
    const char* ClassName() const override { return "TScrollBar"; }
    TScrollBarKind Kind() const { return FKind; }
    virtual void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    virtual void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    virtual void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    virtual void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    // Raises EInvalidOperation-style Exception when Min > Max.
    virtual void SetParams(int APosition, int AMin, int AMax);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value; }
    int PageSize() const { return FPageSize; }
    virtual void SetPageSize(int Value);

    TScrollEvent OnScroll;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
    virtual void Change();

private:
    void UpdateScrollInfo();
    void DoScroll(WPARAM WParam);
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0;
    int FSmallChange = 1, FLargeChange = 1, FPageSize = 0;
};

// Registers the classes above with the registry (part of the class library's
// own start-up).
void RegisterStdCtrlsClasses();
