#include "Runtime.h"

#include <cmath>

namespace crossrt {

namespace {

const wchar_t kFormClass[] = L"CrossrtForm";
const wchar_t kControlProp[] = L"CrossrtControl";
constexpr int kDpi = 96;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string WindowText(HWND h) {
  int n = GetWindowTextLengthW(h);
  std::u16string w(static_cast<size_t>(n) + 1, u'\0');
  n = GetWindowTextW(h, reinterpret_cast<wchar_t*>(w.data()), n + 1);
  w.resize(static_cast<size_t>(n > 0 ? n : 0));
  return w;
}

HFONT MakeFont(const FontSpec& f) {
  int height = -static_cast<int>(std::lround(f.Size * kDpi / 72.0));
  return CreateFontW(height, 0, 0, 0, f.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     static_cast<BYTE>(f.Charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, W(ToUtf16(f.Name)));
}

void ReplaceFont(HFONT& slot, const FontSpec& f) {
  HFONT old = slot;
  slot = MakeFont(f);
  if (old) DeleteObject(old);
}

RECT PixelRect(int left, int top, int width, int height) {
  int l = TwipsToPixels(left), t = TwipsToPixels(top);
  return RECT{l, t, l + TwipsToPixels(width), t + TwipsToPixels(height)};
}

int ShiftState() {
  return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
         (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

ErrorHandler& CurrentErrorHandler() {
  static ErrorHandler h;
  return h;
}

void ReportError(const String& message) {
  if (const ErrorHandler& h = CurrentErrorHandler()) {
    h(message);
    return;
  }
  MessageBoxW(nullptr, W(ToUtf16(message)), L"Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

// The barrier at the entry of every window procedure.
template <class F>
LRESULT Guarded(F&& handle) noexcept {
  try {
    try {
      return handle();
    } catch (const std::exception& e) {
      ReportError(e.what());
    } catch (...) {
      ReportError("Unknown exception");
    }
  } catch (...) {
    // The error handler itself failed: nothing more can be done here.
  }
  return 0;
}

Control* ControlOf(HWND h) { return h ? static_cast<Control*>(GetPropW(h, kControlProp)) : nullptr; }

void RegisterFormClass() {
  static bool done = false;
  if (done) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;  // replaced per window once it exists
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  done = true;
}

}  // namespace

COLORREF ResolveColour(Colour c) {
  if (c & 0x80000000u) return GetSysColor(static_cast<int>(c & 0xFF));
  return c & 0x00FFFFFF;
}

int TwipsToPixels(int twips) { return static_cast<int>(std::lround(twips * kDpi / 1440.0)); }

// ---------------------------------------------------------------- Label

Label::Label(Form& form, int left, int top, int width, int height, const String& caption)
    : FForm(form), FBounds(PixelRect(left, top, width, height)), FCaption(caption) {}

Label::~Label() {
  if (FFont) DeleteObject(FFont);
}

void Label::Invalidate() {
  if (FForm.FHandle) InvalidateRect(FForm.FHandle, &FBounds, TRUE);
}

void Label::SetCaption(const String& v) {
  if (v == FCaption) return;
  FCaption = v;
  Invalidate();
}

void Label::SetBackColor(Colour v) {
  if (v == FBackColor) return;
  FBackColor = v;
  Invalidate();
}

void Label::SetForeColor(Colour v) {
  if (v == FForeColor) return;
  FForeColor = v;
  Invalidate();
}

void Label::SetAlignment(Alignment v) {
  if (v == FAlignment) return;
  FAlignment = v;
  Invalidate();
}

void Label::SetFont(const FontSpec& f) {
  ReplaceFont(FFont, f);
  Invalidate();
}

void Label::Paint(HDC dc) {
  RECT r = FBounds;
  HBRUSH b = CreateSolidBrush(ResolveColour(FBackColor));
  FillRect(dc, &r, b);
  DeleteObject(b);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveColour(FForeColor));
  HGDIOBJ old = SelectObject(dc, FFont ? FFont : FForm.FFont);
  UINT align = FAlignment == alCenter ? DT_CENTER : FAlignment == alRightJustify ? DT_RIGHT : DT_LEFT;
  std::u16string text = ToUtf16(FCaption);
  DrawTextW(dc, W(text), static_cast<int>(text.size()), &r, DT_WORDBREAK | align);
  SelectObject(dc, old);
}

Label& LabelArray::Add(int left, int top, int width, int height, const String& caption) {
  Label& l = FForm.AddLabel(left, top, width, height, caption);
  l.Index = static_cast<int>(FItems.size());
  FItems.push_back(&l);
  return l;
}

// ---------------------------------------------------------------- Control

template <class C, class... Args>
C& Form::Own(Args&&... args) {
  std::unique_ptr<C> c(new C(std::forward<Args>(args)...));
  c->Attach();
  FControls.reserve(FControls.size() + 1);
  FTabOrder.reserve(FTabOrder.size() + 1);
  C& ref = *c;
  FControls.push_back(std::move(c));
  FTabOrder.push_back(&ref);
  return ref;
}

void SetErrorHandler(ErrorHandler Handler) { CurrentErrorHandler() = std::move(Handler); }

Control::~Control() {
  if (FHandle) {
    RemovePropW(FHandle, kControlProp);
    SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc));
    DestroyWindow(FHandle);
  }
  if (FFont) DeleteObject(FFont);
  if (FBrush) DeleteObject(FBrush);
}

void Control::Attach() {
  if (!FHandle) return;
  SetPropW(FHandle, kControlProp, this);
  FOldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::Proc)));
  SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FForm.FFont), FALSE);
}

LRESULT CALLBACK Control::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Control* c = ControlOf(h);
  if (!c) return DefWindowProcW(h, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    WNDPROC old = c->FOldProc;
    RemovePropW(h, kControlProp);
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    c->FHandle = nullptr;
    return CallWindowProcW(old, h, msg, wp, lp);
  }
  if (c->FForm.FUnloading) return c->Default(msg, wp, lp);
  return Guarded([&] { return c->Handle_(msg, wp, lp); });
}

LRESULT Control::Default(UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(FOldProc, FHandle, msg, wp, lp);
}

LRESULT Control::Handle_(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN && wp == VK_TAB) {
    FForm.SelectNext(this, GetKeyState(VK_SHIFT) < 0);
    return 0;
  }
  if (msg == WM_CHAR && wp == '\t') return 0;  // the tab was a move, not a character
  return Default(msg, wp, lp);
}

void Control::SetFocus() {
  if (FHandle) ::SetFocus(FHandle);
}

void Control::SetFont(const FontSpec& f) {
  ReplaceFont(FFont, f);
  if (FHandle) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), TRUE);
}

void Control::SetBackColor(Colour v) {
  if (v == FBackColor) return;
  FBackColor = v;
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void Control::SetForeColor(Colour v) {
  if (v == FForeColor) return;
  FForeColor = v;
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

HBRUSH Control::Brush() {
  COLORREF c = ResolveColour(FBackColor);
  if (!FBrush || c != FBrushColour) {
    if (FBrush) DeleteObject(FBrush);
    FBrush = CreateSolidBrush(c);
    FBrushColour = c;
  }
  return FBrush;
}

// ---------------------------------------------------------------- TextBox

TextBox::TextBox(Form& form, TextBoxArray& array, int index, int left, int top, int width,
                 int height, Alignment align)
    : Control(form), FArray(array), FIndex(index) {
  RECT r = PixelRect(left, top, width, height);
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL |
                (align == alCenter ? ES_CENTER : align == alRightJustify ? ES_RIGHT : ES_LEFT);
  FHandle = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, form.FHandle,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(form.FNextId++)),
                           GetModuleHandleW(nullptr), nullptr);
}

String TextBox::Text() const { return FHandle ? FromUtf16(WindowText(FHandle)) : String(); }

void TextBox::SetText(const String& v) {
  if (!FHandle || v == Text()) return;
  unsigned before = FChanges;
  SetWindowTextW(FHandle, W(ToUtf16(v)));
  // Not every edit control notifies a change made by WM_SETTEXT.
  if (FChanges == before) Changed();
}

void TextBox::Changed() {
  ++FChanges;
  if (!FHandle || FForm.FUnloading) return;
  if (FArray.Change) FArray.Change(FIndex);
}

int TextBox::SelStart() const {
  DWORD from = 0, to = 0;
  if (FHandle) SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  return static_cast<int>(from);
}

int TextBox::SelLength() const {
  DWORD from = 0, to = 0;
  if (FHandle) SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  return static_cast<int>(to - from);
}

void TextBox::SetSelStart(int v) {
  if (!FHandle) return;
  int n = Len(Text());
  v = v < 0 ? 0 : v > n ? n : v;
  SendMessageW(FHandle, EM_SETSEL, static_cast<WPARAM>(v), static_cast<LPARAM>(v));
}

void TextBox::SetSelLength(int v) {
  if (!FHandle) return;
  int start = SelStart(), n = Len(Text());
  v = v < 0 ? 0 : v > n - start ? n - start : v;
  SendMessageW(FHandle, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + v));
}

void TextBox::SetMaxLength(int v) {
  if (v < 0 || v == FMaxLength) return;
  FMaxLength = v;
  // 0 means no limit of our own.
  if (FHandle) SendMessageW(FHandle, EM_SETLIMITTEXT, static_cast<WPARAM>(v), 0);
}

LRESULT TextBox::Handle_(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // Keys held with Alt arrive as system keys; they are keys all the same.
      if (wp == VK_TAB || wp == VK_MENU || wp == VK_F10) break;
      int key = static_cast<int>(wp);
      if (FArray.KeyDown) FArray.KeyDown(FIndex, key, ShiftState());
      if (key == 0 || !FHandle) return 0;
      return Default(msg, wp, lp);
    }
    case WM_SETFOCUS: {
      LRESULT r = Default(msg, wp, lp);
      FForm.FLastFocus = FHandle;
      if (FArray.GotFocus) FArray.GotFocus(FIndex);
      return r;
    }
  }
  return Control::Handle_(msg, wp, lp);
}

TextBox& TextBoxArray::Add(int left, int top, int width, int height, Alignment align) {
  FItems.reserve(FItems.size() + 1);
  TextBox& t = FForm.Own<TextBox>(FForm, *this, static_cast<int>(FItems.size()), left, top, width, height, align);
  FItems.push_back(&t);
  return t;
}

// ---------------------------------------------------------------- CommandButton

CommandButton::CommandButton(Form& form, int left, int top, int width, int height,
                             const String& caption)
    : Control(form), FCaption(caption) {
  FBackColor = kSysButtonFace;
  FForeColor = kSysButtonText;
  RECT r = PixelRect(left, top, width, height);
  FHandle = CreateWindowExW(0, L"BUTTON", W(ToUtf16(caption)),
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, form.FHandle,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(form.FNextId++)),
                           GetModuleHandleW(nullptr), nullptr);
}

void CommandButton::SetCaption(const String& v) {
  if (v == FCaption) return;
  FCaption = v;
  if (FHandle) {
    SetWindowTextW(FHandle, W(ToUtf16(v)));
    InvalidateRect(FHandle, nullptr, TRUE);
  }
}

LRESULT CommandButton::Handle_(UINT msg, WPARAM wp, LPARAM lp) {
  // Enter on the focused button clicks it; Space is the button's own.
  if (msg == WM_KEYDOWN && wp == VK_RETURN) {
    if (!(lp & (1 << 30)) && Click) Click();
    return 0;
  }
  if (msg == WM_CHAR && (wp == '\r' || wp == '\n')) return 0;
  // An owner-drawn button turns a quick second click into a double-click
  // notification instead of a click: a second press is a press like any.
  if (msg == WM_LBUTTONDBLCLK) return Default(WM_LBUTTONDOWN, wp, lp);
  return Control::Handle_(msg, wp, lp);
}

void CommandButton::Draw(const DRAWITEMSTRUCT& di) {
  HDC dc = di.hDC;
  RECT r = di.rcItem;
  bool pressed = di.itemState & ODS_SELECTED;
  bool focused = di.itemState & ODS_FOCUS;
  FillRect(dc, &r, Brush());
  if (focused) {
    // The focused button is the one Enter clicks: a dark outer frame.
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  RECT text = r;
  if (pressed) OffsetRect(&text, 1, 1);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveColour(FForeColor));
  HGDIOBJ old = SelectObject(dc, FFont ? FFont : FForm.FFont);
  std::u16string w = ToUtf16(FCaption);
  DrawTextW(dc, W(w), static_cast<int>(w.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  if (focused) {
    RECT f = r;
    InflateRect(&f, -4, -4);
    DrawFocusRect(dc, &f);
  }
}

// ---------------------------------------------------------------- Form

Form::Form() {
  RegisterFormClass();
  FFont = MakeFont(FontSpec{});
  FHandle = CreateWindowExW(0, kFormClass, L"", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                            CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form::Proc));
}

Form::~Form() {
  Unload();
  FControls.clear();
  if (FFont) DeleteObject(FFont);
}

void Form::Unload() {
  FUnloading = true;
  if (FHandle) DestroyWindow(FHandle);
}

void Form::SetCaption(const String& v) {
  FCaption = v;
  if (FHandle) SetWindowTextW(FHandle, W(ToUtf16(v)));
}

void Form::SetClientSize(int widthTwips, int heightTwips) {
  FClientW = TwipsToPixels(widthTwips);
  FClientH = TwipsToPixels(heightTwips);
  if (!FHandle) return;
  RECT r{0, 0, FClientW, FClientH};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_EXSTYLE)));
  SetWindowPos(FHandle, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetBackColor(Colour v) {
  if (v == FBackColor) return;
  FBackColor = v;
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void Form::SetFont(const FontSpec& f) {
  HFONT font = MakeFont(f);
  // Controls without a font of their own still hold the old one: hand them
  // the new one before the old one is deleted.
  for (auto& c : FControls)
    if (!c->FFont && c->FHandle) SendMessageW(c->FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (FFont) DeleteObject(FFont);
  FFont = font;
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

Label& Form::AddLabel(int left, int top, int width, int height, const String& caption) {
  FLabels.push_back(std::unique_ptr<Label>(new Label(*this, left, top, width, height, caption)));
  FLabels.back()->Invalidate();
  return *FLabels.back();
}

LabelArray& Form::AddLabelArray() {
  FLabelArrays.push_back(std::unique_ptr<LabelArray>(new LabelArray(*this)));
  return *FLabelArrays.back();
}

TextBoxArray& Form::AddTextBoxArray() {
  FTextBoxArrays.push_back(std::unique_ptr<TextBoxArray>(new TextBoxArray(*this)));
  return *FTextBoxArrays.back();
}

CommandButton& Form::AddButton(int left, int top, int width, int height, const String& caption) {
  return Own<CommandButton>(*this, left, top, width, height, caption);
}

void Form::SelectNext(Control* from, bool backward) {
  std::vector<Control*> stops;
  for (Control* c : FTabOrder)
    if (c->TabStop && c->FHandle && IsWindowEnabled(c->FHandle) && IsWindowVisible(c->FHandle))
      stops.push_back(c);
  if (stops.empty()) return;
  int n = static_cast<int>(stops.size()), at = -1;
  for (int i = 0; i < n; ++i)
    if (stops[static_cast<size_t>(i)] == from) at = i;
  int next = at < 0 ? (backward ? n - 1 : 0) : (at + (backward ? n - 1 : 1)) % n;
  stops[static_cast<size_t>(next)]->SetFocus();
}

void Form::Show() {
  if (!FHandle) return;
  if (!FLoaded) {
    FLoaded = true;
    Form_Load();
  }
  if (!FHandle) return;
  RECT wr;
  GetWindowRect(FHandle, &wr);
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  SetWindowPos(FHandle, nullptr, area.left + (area.right - area.left - w) / 2,
               area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(FHandle, SW_SHOW);
  UpdateWindow(FHandle);
  SetForegroundWindow(FHandle);
  if (!FLastFocus) SelectNext(nullptr, false);
}

LRESULT CALLBACK Form::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* f = reinterpret_cast<Form*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!f) return DefWindowProcW(h, msg, wp, lp);
  return Guarded([&] { return f->Handle_(msg, wp, lp); });
}

void Form::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  HBRUSH b = CreateSolidBrush(ResolveColour(FBackColor));
  FillRect(dc, &ps.rcPaint, b);
  DeleteObject(b);
  for (auto& l : FLabels) {
    RECT x;
    if (IntersectRect(&x, &ps.rcPaint, &l->FBounds)) l->Paint(dc);
  }
  EndPaint(FHandle, &ps);
}

LRESULT Form::Handle_(UINT msg, WPARAM wp, LPARAM lp) {
  HWND h = FHandle;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills everything
    case WM_PAINT:
      Paint();
      return 0;
    case WM_COMMAND:
      if (!FUnloading) {
        Control* c = ControlOf(reinterpret_cast<HWND>(lp));
        if (auto* t = dynamic_cast<TextBox*>(c); t && HIWORD(wp) == EN_CHANGE) t->Changed();
        if (auto* b = dynamic_cast<CommandButton*>(c); b && HIWORD(wp) == BN_CLICKED && b->Click)
          b->Click();
      }
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (Control* c = ControlOf(reinterpret_cast<HWND>(lp))) {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, ResolveColour(c->FForeColor));
        SetBkColor(dc, ResolveColour(c->FBackColor));
        return reinterpret_cast<LRESULT>(c->Brush());
      }
      break;
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (auto* b = dynamic_cast<CommandButton*>(ControlOf(di->hwndItem))) {
        b->Draw(*di);
        return TRUE;
      }
      break;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(h, focus)) FLastFocus = focus;
      } else if (!HIWORD(wp)) {
        // Back to the control that had the focus, not to the form itself.
        if (FLastFocus && IsWindow(FLastFocus))
          ::SetFocus(FLastFocus);
        else
          SelectNext(nullptr, false);
      }
      return 0;
    case WM_SETFOCUS:
      if (FLastFocus && IsWindow(FLastFocus)) ::SetFocus(FLastFocus);
      return 0;
    case WM_CLOSE:
      Unload();
      return 0;
    case WM_DESTROY:
      FUnloading = true;
      if (EndsProgram) PostQuitMessage(0);
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(h, GWLP_USERDATA, 0);
      FHandle = nullptr;
      FLastFocus = nullptr;
      return DefWindowProcW(h, msg, wp, lp);
  }
  return DefWindowProcW(h, msg, wp, lp);
}

int Run(Form& form) {
  form.EndsProgram = true;
  form.Show();
  MSG m{};
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return static_cast<int>(m.wParam);
}

void DoEvents() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

}  // namespace crossrt
