// The crossword program's runtime: a form with windowless labels, text-box
// control arrays and a command button over Win32. Positions are in twips
// (1440 to the inch, converted at 96 dots per inch); colours are 0x00BBGGRR
// values, or 0x800000nn for the system colour nn.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "portable/Strings.h"

namespace crossrt {

using Colour = uint32_t;

constexpr Colour kSysWindow = 0x80000005;         // COLOR_WINDOW
constexpr Colour kSysWindowText = 0x80000008;     // COLOR_WINDOWTEXT
constexpr Colour kSysButtonFace = 0x8000000F;     // COLOR_BTNFACE
constexpr Colour kSysButtonText = 0x80000012;     // COLOR_BTNTEXT
constexpr Colour kSysHighlightText = 0x8000000E;  // COLOR_HIGHLIGHTTEXT

// An exception that a handler of the program lets out while a window
// procedure runs never unwinds into user32: every procedure catches it at its
// entry, hands its message to the error handler and counts the message as
// handled; the program goes on. The default handler shows the message in a
// message box; an empty function puts the default back.
using ErrorHandler = std::function<void(const String& Message)>;
void SetErrorHandler(ErrorHandler Handler);

// The RGB value a colour stands for now (system colours resolved).
COLORREF ResolveColour(Colour c);
int TwipsToPixels(int twips);

enum Alignment { alLeftJustify, alRightJustify, alCenter };

struct FontSpec {
  String Name = "MS Sans Serif";
  double Size = 8.25;  // points
  bool Bold = false;
  int Charset = 204;   // Cyrillic
};

class Form;

// A label has no window: the form paints it, under its child windows.
class Label {
 public:
  ~Label();
  Label(const Label&) = delete;
  Label& operator=(const Label&) = delete;
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  Colour BackColor() const { return FBackColor; }
  void SetBackColor(Colour v);
  Colour ForeColor() const { return FForeColor; }
  void SetForeColor(Colour v);
  Alignment GetAlignment() const { return FAlignment; }
  void SetAlignment(Alignment v);
  void SetFont(const FontSpec& f);
  RECT Bounds() const { return FBounds; }  // pixels, client of the form
  int Index = 0;

 private:
  friend class Form;
  Label(Form& form, int left, int top, int width, int height, const String& caption);
  void Invalidate();
  void Paint(HDC dc);
  Form& FForm;
  RECT FBounds;
  String FCaption;
  Colour FBackColor = kSysButtonFace;
  Colour FForeColor = kSysButtonText;
  Alignment FAlignment = alLeftJustify;
  HFONT FFont = nullptr;  // owned; null = the form's font
};

// Labels sharing one name, addressed by Index from 0.
class LabelArray {
 public:
  Label& Add(int left, int top, int width, int height, const String& caption);
  Label& operator[](int index) { return *FItems.at(static_cast<size_t>(index)); }
  int UBound() const { return static_cast<int>(FItems.size()) - 1; }

 private:
  friend class Form;
  explicit LabelArray(Form& form) : FForm(form) {}
  Form& FForm;
  std::vector<Label*> FItems;  // owned by the form
};

class Control {
 public:
  virtual ~Control();
  HWND Handle() const { return FHandle; }
  void SetFocus();
  bool Focused() const { return FHandle && GetFocus() == FHandle; }
  void SetFont(const FontSpec& f);
  Colour BackColor() const { return FBackColor; }
  void SetBackColor(Colour v);
  Colour ForeColor() const { return FForeColor; }
  void SetForeColor(Colour v);
  bool TabStop = true;

 protected:
  // Derived constructors create the window (FHandle); the form's factory
  // then attaches it and takes ownership (Form::Own).
  Control(Form& form) : FForm(form) {}
  void Attach();
  // The control's own keyboard and mouse handling, before the window's own.
  virtual LRESULT Handle_(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
  friend class Form;
  Form& FForm;
  HWND FHandle = nullptr;
  WNDPROC FOldProc = nullptr;
  HFONT FFont = nullptr;
  Colour FBackColor = kSysWindow;
  Colour FForeColor = kSysWindowText;
  HBRUSH FBrush = nullptr;
  COLORREF FBrushColour = 0;
  HBRUSH Brush();

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
};

class TextBoxArray;

class TextBox : public Control {
 public:
  String Text() const;
  void SetText(const String& v);
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int v);
  int Index() const { return FIndex; }

 private:
  friend class TextBoxArray;
  friend class Form;
  TextBox(Form& form, TextBoxArray& array, int index, int left, int top, int width, int height,
          Alignment align);
  LRESULT Handle_(UINT msg, WPARAM wp, LPARAM lp) override;
  // Raises Change for a change the window notified; a letter typed over the
  // same letter is a change too.
  void Changed();
  TextBoxArray& FArray;
  int FIndex;
  int FMaxLength = 0;
  unsigned FChanges = 0;
};

// Text boxes sharing one name and one set of events, addressed by Index.
class TextBoxArray {
 public:
  TextBox& Add(int left, int top, int width, int height, Alignment align = alLeftJustify);
  TextBox& operator[](int index) { return *FItems.at(static_cast<size_t>(index)); }
  int LBound() const { return 0; }
  int UBound() const { return static_cast<int>(FItems.size()) - 1; }

  std::function<void(int Index)> Change;
  std::function<void(int Index)> GotFocus;
  // Raised before the text box handles the key; a KeyCode set to 0 cancels
  // the key. Shift: 1 shift, 2 control, 4 alt.
  std::function<void(int Index, int& KeyCode, int Shift)> KeyDown;

 private:
  friend class Form;
  explicit TextBoxArray(Form& form) : FForm(form) {}
  Form& FForm;
  std::vector<TextBox*> FItems;  // owned by the form
};

// Owner-drawn, so that it shows its BackColor.
class CommandButton : public Control {
 public:
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  std::function<void()> Click;

 private:
  friend class Form;
  CommandButton(Form& form, int left, int top, int width, int height, const String& caption);
  LRESULT Handle_(UINT msg, WPARAM wp, LPARAM lp) override;
  void Draw(const DRAWITEMSTRUCT& di);
  String FCaption;
};

class Form {
 public:
  Form();
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  HWND Handle() const { return FHandle; }
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  // Client area in twips.
  void SetClientSize(int widthTwips, int heightTwips);
  Colour BackColor() const { return FBackColor; }
  void SetBackColor(Colour v);
  void SetFont(const FontSpec& f);
  HFONT FontHandle() const { return FFont; }

  // Raises Form_Load the first time; then shows the form centred on the
  // screen with the focus on the first control of the tab order.
  void Show();
  // Destroys the window; no event is raised from then on.
  void Unload();
  bool Unloading() const { return FUnloading; }
  // Closing the window ends the message loop of Run.
  bool EndsProgram = false;

  // Moves the focus along the tab order (creation order of the controls).
  void SelectNext(Control* from, bool backward);

  // Everything on a form belongs to it and lives as long as it does.
  Label& AddLabel(int left, int top, int width, int height, const String& caption);
  LabelArray& AddLabelArray();
  TextBoxArray& AddTextBoxArray();
  CommandButton& AddButton(int left, int top, int width, int height, const String& caption);

 protected:
  virtual void Form_Load() {}

 private:
  friend class Label;
  friend class LabelArray;
  friend class Control;
  friend class TextBoxArray;
  friend class CommandButton;
  friend class TextBox;
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle_(UINT msg, WPARAM wp, LPARAM lp);
  void Paint();
  // Constructs a control, attaches its window, then stores it: a throw at any
  // step frees it exactly once.
  template <class C, class... Args>
  C& Own(Args&&... args);
  HWND FHandle = nullptr;
  String FCaption;
  Colour FBackColor = kSysButtonFace;
  HFONT FFont = nullptr;
  int FClientW = 300, FClientH = 200;  // pixels
  bool FLoaded = false;
  bool FUnloading = false;
  HWND FLastFocus = nullptr;
  int FNextId = 100;
  std::vector<std::unique_ptr<Label>> FLabels;
  std::vector<std::unique_ptr<LabelArray>> FLabelArrays;
  std::vector<std::unique_ptr<TextBoxArray>> FTextBoxArrays;
  std::vector<std::unique_ptr<Control>> FControls;
  std::vector<Control*> FTabOrder;
};

// Shows the start-up form and runs the message loop until it is closed.
int Run(Form& form);
// Handles every message waiting in the queue, then returns.
void DoEvents();

}  // namespace crossrt
