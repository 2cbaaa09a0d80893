// The crossword form under Wine: created for real, typed into with real
// keyboard input (SendInput, so the keys pass through TranslateMessage as a
// pupil's would), clicked with the mouse, and read back from the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Form1.h"
#include "WinTestSupport.h"

using namespace crossrt;

namespace {

// The words as a pupil reads them in the clues, independent of the form.
const std::u16string kWords[7] = {u"компьютер", u"монитор", u"диск", u"ноль",
                                  u"алфавит",   u"процессор", u"цифра"};
const int kFirstColumn[7] = {3, 0, 5, 6, 0, 2, 3};

constexpr uint32_t kGreen = 0x80FF80;   // 0xRRGGBB as read from the screen
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kMaroon = 0x800000;  // the cells before anything is typed
constexpr uint32_t kYellow = 0xFFFF00;

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
uint32_t WindowColour() { return Rgb(GetSysColor(COLOR_WINDOW)); }

void HandleMessages() { DoEvents(); }

void Pump(int ms) { testwin::PumpFor(HandleMessages, ms); }

bool PumpUntil(const std::function<bool()>& done, int ms = 3000) {
  return testwin::PumpUntil(HandleMessages, done, ms);
}

// Keyboard input as the system delivers it. Letters go as Unicode key
// strokes, so they need no Cyrillic keyboard layout.
void Send(std::vector<INPUT> in) {
  ASSERT_TRUE(testwin::SendInputs(in));
  Pump(15);
}

using testwin::KeyStroke;

void Press(WORD vk, WORD modifier = 0) {
  std::vector<INPUT> in;
  if (modifier) in.push_back(KeyStroke(modifier, false));
  in.push_back(KeyStroke(vk, false));
  in.push_back(KeyStroke(vk, true));
  if (modifier) in.push_back(KeyStroke(modifier, true));
  Send(in);
}

void Type(const std::u16string& text) {
  for (char16_t ch : text) {
    Send({testwin::KeyInput(0, ch, KEYEVENTF_UNICODE), testwin::KeyInput(0, ch, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP)});
  }
}

// A left click at a client point of a window, with the real mouse.
void Click(HWND w, int x, int y) {
  POINT p{x, y};
  ClientToScreen(w, &p);
  SetCursorPos(p.x, p.y);
  Pump(10);
  INPUT d{}, u{};
  d.type = u.type = INPUT_MOUSE;
  d.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  u.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Send({d});
  Send({u});
  Pump(30);
}

void ClickCentre(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  Click(w, r.right / 2, r.bottom / 2);
}

// What a window shows on the screen once its waiting messages are handled,
// 0xRRGGBB, top row first: only what the program invalidated is painted again.
using testwin::Pixels;

Pixels Grab(HWND w, RECT r) {
  Pump(20);
  return testwin::CopyFromWindow(w, r);
}

Pixels Grab(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  return Grab(w, r);
}

// The share of a cell's face in colour c (the letter takes a small part).
double CellShare(TextBox& cell, uint32_t c) { return Grab(cell.Handle()).Share(c); }

RECT ClientRectOf(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::u16string WindowTextOf(HWND w) {
  wchar_t buf[256] = {};
  GetWindowTextW(w, buf, 256);
  return std::u16string(reinterpret_cast<const char16_t*>(buf));
}

class Crossword : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<Form1>();
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == form->Handle(); }))
        << "the form did not come to the foreground";
    Pump(50);
  }
  void TearDown() override {
    form.reset();
    Pump(20);
  }

  TextBox& Cell(int n, int i) { return form->Word(n)[i]; }

  // Word and Index of the focused cell; {0, 0} for the button.
  std::pair<int, int> FocusAt() {
    if (form->Command1.Focused()) return {0, 0};
    for (int n = 1; n <= 7; ++n)
      for (int i = 0; i <= form->Word(n).UBound(); ++i)
        if (Cell(n, i).Focused()) return {n, i};
    return {-1, -1};
  }

  void FocusCell(int n, int i) {
    Cell(n, i).SetFocus();
    Pump(10);
    ASSERT_EQ(FocusAt(), std::make_pair(n, i));
  }

  // Every cell filled with its right letter, without the keyboard.
  void FillAll() {
    for (int n = 1; n <= 7; ++n)
      for (int i = 0; i <= form->Word(n).UBound(); ++i)
        Cell(n, i).SetText(FromUtf16(kWords[n - 1].substr(static_cast<size_t>(i), 1)));
  }

  void Check() { ClickCentre(form->Command1.Handle()); }

  std::unique_ptr<Form1> form;
};

}  // namespace

TEST_F(Crossword, FormCaptionSizeAndCellsAreWhereTheyBelong) {
  HWND h = form->Handle();
  EXPECT_EQ(WindowTextOf(h), u"Разгадайте кроссворд");
  RECT cr;
  GetClientRect(h, &cr);
  EXPECT_EQ(cr.right, 749);  // 11232 by 7104 twips
  EXPECT_EQ(cr.bottom, 474);
  LONG style = GetWindowLongW(h, GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the border is fixed";
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  // Centred on the work area (to a pixel of rounding).
  RECT wr, area;
  GetWindowRect(h, &wr);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR(wr.left - area.left, area.right - wr.right, 1);
  EXPECT_NEAR(wr.top - area.top, area.bottom - wr.bottom, 1);

  const int bounds[7] = {8, 6, 3, 3, 6, 8, 4};
  for (int n = 1; n <= 7; ++n) {
    ASSERT_EQ(form->Word(n).LBound(), 0);
    ASSERT_EQ(form->Word(n).UBound(), bounds[n - 1]) << "word " << n;
    for (int i = 0; i <= bounds[n - 1]; ++i) {
      TextBox& c = Cell(n, i);
      EXPECT_EQ(c.Index(), i);
      RECT r = ClientRectOf(c.Handle());
      EXPECT_EQ(r.left, 48 + 32 * (kFirstColumn[n - 1] + i)) << n << "/" << i;
      EXPECT_EQ(r.top, 72 + 32 * (n - 1)) << n << "/" << i;
      EXPECT_EQ(r.right - r.left, 33);
      EXPECT_EQ(r.bottom - r.top, 33);
      EXPECT_EQ(c.MaxLength(), 1);
      EXPECT_TRUE(GetWindowLongW(c.Handle(), GWL_STYLE) & ES_CENTER);
    }
  }
  // Column 6 is in every row: the word read down it has no cells of its own.
  for (int n = 1; n <= 7; ++n) {
    int i = 6 - kFirstColumn[n - 1];
    EXPECT_GE(i, 0);
    EXPECT_LE(i, bounds[n - 1]);
  }

  HWND b = form->Command1.Handle();
  EXPECT_EQ(WindowTextOf(b), u"Ввод");
  RECT br = ClientRectOf(b);
  EXPECT_EQ(br.left, 168);
  EXPECT_EQ(br.top, 360);
  EXPECT_EQ(br.right - br.left, 153);
  EXPECT_EQ(br.bottom - br.top, 41);
}

TEST_F(Crossword, FontsAreTheCyrillicSansFacesAtTheirSizes) {
  auto font = [](HWND w) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf;
  };
  LOGFONTW cell = font(Cell(4, 2).Handle());
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(cell.lfFaceName)), u"MS Sans Serif");
  EXPECT_EQ(cell.lfCharSet, 204);
  EXPECT_EQ(cell.lfWeight, FW_BOLD);
  EXPECT_EQ(cell.lfHeight, -18);  // 13.2 pt at 96 dots per inch
  LOGFONTW button = font(form->Command1.Handle());
  EXPECT_EQ(button.lfCharSet, 204);
  EXPECT_EQ(button.lfWeight, FW_BOLD);
  EXPECT_EQ(button.lfHeight, -26);  // 19.2 pt
}

TEST_F(Crossword, LabelsCarryTheCluesAndNumbersInWindows1251) {
  EXPECT_EQ(form->lblCapt.Caption(), FromUtf16(u"Разгадайте кроссворд"));
  EXPECT_EQ(form->lblQG.Caption(), FromUtf16(u"По горизонтали:"));
  EXPECT_EQ(form->lblV.Caption(), FromUtf16(u"По вертикали:"));
  const std::u16string clues[8] = {
      u"1.  Универсальное устройство для хранения. обработки и передачи информации",
      u"2. Устройство для отображения текстовой и графической информации",
      u"3. Устройство хранения информации",
      u"4. Число, на которое нельзя делить",
      u"5. Множество символов, используемых в языках",
      u"6. Устройство для обработки информации в ЭВМ",
      u"7. Знак, обозначающий число",
      u"8. Печатающее устройство"};
  const int tops[8] = {96, 136, 176, 208, 240, 272, 304, 376};  // twips / 15
  ASSERT_EQ(form->lblQ.UBound(), 7);
  ASSERT_EQ(form->lblNum.UBound(), 7);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(form->lblQ[i].Caption(), FromUtf16(clues[i])) << i;
    EXPECT_EQ(form->lblQ[i].Bounds().left, 480);
    EXPECT_EQ(form->lblQ[i].Bounds().top, tops[i]);
    EXPECT_EQ(form->lblNum[i].Caption(), CStr(i + 1));
  }
  // Where the layout puts the numbers and the headings, in twips.
  struct Place {
    const Label& label;
    int left, top;
  } const places[] = {{form->lblNum[0], 1920, 960},  {form->lblNum[1], 480, 1320}, {form->lblNum[2], 2880, 2040},
                      {form->lblNum[3], 3360, 2520}, {form->lblNum[4], 480, 2760}, {form->lblNum[5], 1440, 3480},
                      {form->lblNum[6], 1920, 3960}, {form->lblNum[7], 3720, 840}, {form->lblCapt, 2040, 0},
                      {form->lblQG, 7200, 960},      {form->lblV, 7680, 5160}};
  for (const Place& p : places) {
    EXPECT_EQ(p.label.Bounds().left, p.left / 15) << p.left;
    EXPECT_EQ(p.label.Bounds().top, p.top / 15) << p.top;
  }
  // Number 8 stands above column 6, where the word read downwards starts.
  RECT eight = form->lblNum[7].Bounds();
  RECT top = ClientRectOf(Cell(1, 6 - kFirstColumn[0]).Handle());
  EXPECT_LT(eight.top, top.top);
  EXPECT_LE(eight.left, top.left + 16);
  EXPECT_GE(eight.right, top.left + 8);
}

TEST_F(Crossword, TheFormIsPaintedInItsColours) {
  HWND h = form->Handle();
  // Background, the title, a heading, a clue and a number: solid faces read
  // beside their texts, never on the glyphs.
  EXPECT_EQ(Grab(h, RECT{700, 440, 740, 470}).Share(0x00C000), 1.0);
  EXPECT_GT(Grab(h, RECT{137, 1, 147, 40}).Share(0x804000), 0.95);  // title's left margin
  EXPECT_GT(Grab(h, RECT{481, 65, 486, 88}).Share(kYellow), 0.95);   // "По горизонтали:"
  EXPECT_GT(Grab(h, RECT{700, 380, 736, 400}).Share(kGreen), 0.95);  // clue 8, right of its text
  EXPECT_GT(Grab(h, RECT{129, 65, 131, 70}).Share(kRed), 0.95);      // number 1, its corner
  // The cells before any typing, and the yellow button.
  for (int n = 1; n <= 7; ++n) EXPECT_GT(CellShare(Cell(n, 0), kMaroon), 0.95) << n;
  EXPECT_GT(Grab(form->Command1.Handle(), RECT{4, 4, 20, 36}).Share(kYellow), 0.9);
}

TEST_F(Crossword, TheWholeCrosswordTypedEndsOnTheButtonAndEveryCellTurnsGreen) {
  // First focus: the first cell of word 1.
  EXPECT_EQ(FocusAt(), std::make_pair(1, 0));
  for (int n = 1; n <= 7; ++n) {
    std::u16string w = kWords[n - 1];
    if (n == 1) w[0] = u'К';  // a capital first letter counts as right
    if (n == 5) w[3] = u'А';
    for (size_t i = 0; i < w.size(); ++i) {
      ASSERT_EQ(FocusAt(), std::make_pair(n, static_cast<int>(i))) << "before letter " << i << " of word " << n;
      Type(w.substr(i, 1));
    }
  }
  EXPECT_EQ(FocusAt(), std::make_pair(0, 0)) << "after the last letter the button has the focus";
  EXPECT_EQ(Cell(1, 0).Text(), FromUtf16(u"К"));
  EXPECT_GT(CellShare(Cell(3, 2), WindowColour()), 0.8) << "typed cells show the window colour";
  // The word read down column 6.
  std::u16string down;
  for (int n = 1; n <= 7; ++n) down += ToUtf16(Cell(n, 6 - kFirstColumn[n - 1]).Text());
  EXPECT_EQ(down, u"принтер");

  Check();
  for (int n = 1; n <= 7; ++n)
    for (int i = 0; i <= form->Word(n).UBound(); ++i) {
      EXPECT_EQ(Cell(n, i).BackColor(), 0x0080FF80u) << n << "/" << i;
      EXPECT_GT(CellShare(Cell(n, i), kGreen), 0.7) << n << "/" << i;
    }
}

TEST_F(Crossword, WrongLettersLookAlikesYoAndEmptyCellsTurnRed) {
  FillAll();
  Cell(1, 0).SetText("k");                  // Latin look-alike of к
  Cell(2, 1).SetText(FromUtf16(u"О"));      // capital, right
  Cell(3, 0).SetText(FromUtf16(u"ё"));      // not д
  Cell(4, 1).SetText(FromUtf16(u"Ё"));      // capital Ё is not lowered
  Cell(6, 2).SetText("");                   // empty
  Cell(7, 4).SetText(FromUtf16(u"я"));      // wrong letter
  Cell(5, 0).SetText(FromUtf16(u"А"));      // capital at the word's start, right
  Cell(5, 6).SetText("T");                  // Latin capital
  Check();
  const std::pair<int, int> wrong[] = {{1, 0}, {3, 0}, {4, 1}, {6, 2}, {7, 4}, {5, 6}};
  for (int n = 1; n <= 7; ++n)
    for (int i = 0; i <= form->Word(n).UBound(); ++i) {
      bool bad = false;
      for (auto w : wrong) bad = bad || w == std::make_pair(n, i);
      EXPECT_EQ(Cell(n, i).BackColor(), bad ? 0x000000FFu : 0x0080FF80u) << n << "/" << i;
    }
  for (auto [n, i] : wrong) EXPECT_GT(CellShare(Cell(n, i), kRed), 0.7) << n << "/" << i;
  EXPECT_GT(CellShare(Cell(2, 1), kGreen), 0.7);

  // A check of an untouched form colours every cell red.
  Form1 fresh;
  fresh.Show();
  Pump(50);
  fresh.Command1.SetFocus();
  Press(VK_SPACE);
  for (int n = 1; n <= 7; ++n) EXPECT_GT(CellShare(fresh.Word(n)[0], kRed), 0.9) << n;
}

TEST_F(Crossword, TypingOverACheckedCellTakesTheWindowColourUntilTheNextCheck) {
  FillAll();
  Check();
  ASSERT_GT(CellShare(Cell(2, 3), kGreen), 0.7);
  // Back into the cell: its letter is selected, so the next one replaces it.
  FocusCell(2, 3);
  EXPECT_EQ(Cell(2, 3).SelStart(), 0);
  EXPECT_EQ(Cell(2, 3).SelLength(), 1);
  Type(u"ы");
  EXPECT_EQ(Cell(2, 3).Text(), FromUtf16(u"ы"));
  EXPECT_EQ(FocusAt(), std::make_pair(2, 4));
  EXPECT_GT(CellShare(Cell(2, 3), WindowColour()), 0.8);
  EXPECT_GT(CellShare(Cell(2, 4), kGreen), 0.7) << "other cells keep their colour";
  // The same letter typed over itself is a change as well: on it goes.
  FocusCell(2, 5);
  Type(u"о");
  EXPECT_EQ(FocusAt(), std::make_pair(2, 6));
  EXPECT_GT(CellShare(Cell(2, 5), WindowColour()), 0.8);
  Check();
  EXPECT_GT(CellShare(Cell(2, 3), kRed), 0.7);
  EXPECT_GT(CellShare(Cell(2, 5), kGreen), 0.7);
}

TEST_F(Crossword, ABlankLeavesTheCellEmptyAndTheFocusWhereItIs) {
  int changes = 0;
  auto inner = form->txtQ4.Change;
  form->txtQ4.Change = [&](int i) {
    ++changes;
    inner(i);
  };
  FocusCell(4, 2);
  Type(u" ");
  EXPECT_EQ(Cell(4, 2).Text(), "");
  EXPECT_EQ(FocusAt(), std::make_pair(4, 2));
  EXPECT_EQ(changes, 2) << "the blank, then the emptied cell";
  // Over a letter as well.
  Type(u"л");
  ASSERT_EQ(FocusAt(), std::make_pair(4, 3));
  FocusCell(4, 2);
  Type(u" ");
  EXPECT_EQ(Cell(4, 2).Text(), "");
  EXPECT_EQ(FocusAt(), std::make_pair(4, 2));
}

TEST_F(Crossword, BackspaceAndDeleteEmptyTheCellAndKeepTheFocus) {
  FillAll();
  Check();
  FocusCell(6, 4);
  Press(VK_BACK);
  EXPECT_EQ(Cell(6, 4).Text(), "");
  EXPECT_EQ(FocusAt(), std::make_pair(6, 4));
  EXPECT_GT(CellShare(Cell(6, 4), WindowColour()), 0.9);
  FocusCell(6, 5);
  Press(VK_DELETE);
  EXPECT_EQ(Cell(6, 5).Text(), "");
  EXPECT_EQ(FocusAt(), std::make_pair(6, 5));
  // An empty cell: nothing to delete, nothing moves.
  Press(VK_BACK);
  Press(VK_DELETE);
  EXPECT_EQ(FocusAt(), std::make_pair(6, 5));
  Check();
  EXPECT_GT(CellShare(Cell(6, 4), kRed), 0.7);
  EXPECT_GT(CellShare(Cell(6, 5), kRed), 0.7);
}

TEST_F(Crossword, ArrowKeysMoveBetweenCellsAndWords) {
  struct Move {
    int n, i;
    WORD key;
    int toN, toI;
  };
  const Move moves[] = {
      {2, 0, VK_LEFT, 1, 8},   // first of word 2 to the last of word 1
      {1, 8, VK_RIGHT, 2, 0},  // and back
      {1, 0, VK_LEFT, 1, 0},   // first cell of all: nothing
      {7, 4, VK_RIGHT, 7, 4},  // last cell of all: nothing
      {3, 1, VK_LEFT, 3, 0},
      {3, 1, VK_RIGHT, 3, 2},
      {5, 6, VK_RIGHT, 6, 0},
      {6, 0, VK_LEFT, 5, 6},
      {4, 3, VK_UP, 3, 0},     // up and down go to the first cell of the word
      {4, 3, VK_DOWN, 5, 0},
      {1, 5, VK_UP, 1, 5},
      {7, 2, VK_DOWN, 7, 2},
      {2, 6, VK_DOWN, 3, 0},
  };
  for (const Move& m : moves) {
    FocusCell(m.n, m.i);
    Press(m.key);
    EXPECT_EQ(FocusAt(), std::make_pair(m.toN, m.toI))
        << "key " << m.key << " in cell " << m.i << " of word " << m.n;
  }
  // Shift, Control and Alt do not change the moves.
  FocusCell(2, 0);
  Press(VK_LEFT, VK_SHIFT);
  EXPECT_EQ(FocusAt(), std::make_pair(1, 8));
  Press(VK_DOWN, VK_CONTROL);
  EXPECT_EQ(FocusAt(), std::make_pair(2, 0));
  Press(VK_RIGHT, VK_MENU);  // with Alt the keys come as system keys
  EXPECT_EQ(FocusAt(), std::make_pair(2, 1));
  Press(VK_UP, VK_MENU);
  EXPECT_EQ(FocusAt(), std::make_pair(1, 0));
  // Landing on a filled cell selects its letter.
  Cell(3, 0).SetText(FromUtf16(u"д"));
  FocusCell(3, 1);
  Press(VK_LEFT);
  ASSERT_EQ(FocusAt(), std::make_pair(3, 0));
  EXPECT_EQ(Cell(3, 0).SelStart(), 0);
  EXPECT_EQ(Cell(3, 0).SelLength(), 1);
}

TEST_F(Crossword, KeyDownIsRaisedBeforeTheCellHandlesTheKey) {
  std::vector<int> keys;
  std::string textAtKey;
  auto inner = form->txtQ2.KeyDown;
  form->txtQ2.KeyDown = [&](int i, int& k, int s) {
    keys.push_back(k);
    textAtKey = form->txtQ2[i].Text();
    inner(i, k, s);
  };
  Cell(2, 2).SetText("x");
  FocusCell(2, 2);
  Press(VK_DELETE);
  ASSERT_EQ(keys, std::vector<int>{VK_DELETE});
  EXPECT_EQ(textAtKey, "x") << "the handler saw the cell before Delete took effect";
  EXPECT_EQ(Cell(2, 2).Text(), "");
  // A handler that sets the key code to 0 cancels the key.
  form->txtQ2.KeyDown = [&](int, int& k, int) { k = 0; };
  Cell(2, 3).SetText("y");
  FocusCell(2, 3);
  Press(VK_DELETE);
  EXPECT_EQ(Cell(2, 3).Text(), "y");
}

TEST_F(Crossword, ChangeIsRaisedForTextSetByTheProgramToo) {
  std::vector<int> seen;
  auto inner = form->txtQ7.Change;
  form->txtQ7.Change = [&](int i) {
    seen.push_back(i);
    inner(i);
  };
  FocusCell(7, 0);
  Cell(7, 1).SetText(FromUtf16(u"и"));
  EXPECT_EQ(seen, std::vector<int>{1});
  EXPECT_EQ(FocusAt(), std::make_pair(7, 2)) << "the handler moved the focus on";
  Cell(7, 1).SetText(FromUtf16(u"и"));  // the same text: no change
  EXPECT_EQ(seen.size(), 1u);
  // A blank set by the program is emptied by the handler, which raises
  // Change again from inside Change.
  Cell(7, 3).SetText(" ");
  EXPECT_EQ((std::vector<int>{1, 3, 3}), seen);
  EXPECT_EQ(Cell(7, 3).Text(), "");
  // The last letter of word 7 set by the program hands the focus to the button.
  Cell(7, 4).SetText(FromUtf16(u"а"));
  EXPECT_EQ(FocusAt(), std::make_pair(0, 0));
  // A checked cell given a text by the program loses its check colour.
  Check();
  ASSERT_GT(CellShare(Cell(7, 0), kRed), 0.7);
  Cell(7, 0).SetText(FromUtf16(u"ц"));
  EXPECT_GT(CellShare(Cell(7, 0), WindowColour()), 0.8);
}

TEST_F(Crossword, TextIsWindows1251WhateverTheCodePage) {
  // The system code page of this prefix need not be 1251 (it is noted in the
  // results): conversions are our own in both directions.
  RecordProperty("AnsiCodePage", static_cast<int>(GetACP()));
  FocusCell(1, 0);
  Type(u"ё");
  EXPECT_EQ(Cell(1, 0).Text(), "\xB8");
  Cell(1, 1).SetText("\xDF");  // Я
  EXPECT_EQ(WindowTextOf(Cell(1, 1).Handle()), u"Я");
  SetWindowTextW(Cell(1, 2).Handle(), L"\u2116");  // №
  EXPECT_EQ(Cell(1, 2).Text(), "\xB9");
  SetWindowTextW(Cell(1, 3).Handle(), L"\u00E4");  // not in the code page
  EXPECT_EQ(Cell(1, 3).Text(), "?");
}

TEST_F(Crossword, ClickingIntoAFilledCellSelectsItsLetterSoTypingReplacesIt) {
  FillAll();
  HWND c = Cell(5, 2).Handle();
  RECT r;
  GetClientRect(c, &r);
  Click(c, r.right - 3, r.bottom / 2);  // right of the letter, where the caret would go
  ASSERT_EQ(FocusAt(), std::make_pair(5, 2));
  EXPECT_EQ(Cell(5, 2).SelStart(), 0);
  EXPECT_EQ(Cell(5, 2).SelLength(), 1);
  Type(u"Ж");
  EXPECT_EQ(Cell(5, 2).Text(), FromUtf16(u"Ж"));
  EXPECT_EQ(FocusAt(), std::make_pair(5, 3));
  // Clicking again into the same focused cell selects once more.
  Click(Cell(5, 3).Handle(), r.right - 3, r.bottom / 2);
  Click(Cell(5, 3).Handle(), r.right - 3, r.bottom / 2);
  EXPECT_EQ(Cell(5, 3).SelLength(), 1);
}

TEST_F(Crossword, TheButtonChecksFromTheMouseSpaceAndEnter) {
  int clicks = 0;
  auto inner = form->Command1.Click;
  form->Command1.Click = [&] {
    ++clicks;
    inner();
  };
  Check();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(FocusAt(), std::make_pair(0, 0)) << "the button takes the focus when clicked";
  Press(VK_SPACE);
  EXPECT_EQ(clicks, 2);
  Press(VK_RETURN);
  EXPECT_EQ(clicks, 3);
  // Two quick clicks are two checks, not one click and a double-click.
  ClickCentre(form->Command1.Handle());
  ClickCentre(form->Command1.Handle());
  EXPECT_EQ(clicks, 5);
  // A press released outside the button is no click.
  HWND b = form->Command1.Handle();
  POINT p{10, 10};
  ClientToScreen(b, &p);
  SetCursorPos(p.x, p.y);
  INPUT d{}, u{};
  d.type = u.type = INPUT_MOUSE;
  d.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  u.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Send({d});
  SetCursorPos(p.x, p.y - 100);
  Pump(20);
  Send({u});
  Pump(20);
  EXPECT_EQ(clicks, 5);
  // Enter in a cell is no click.
  FocusCell(1, 0);
  Press(VK_RETURN);
  EXPECT_EQ(clicks, 5);
}

TEST_F(Crossword, TabRunsThroughTheWordsInOrderThenTheButton) {
  FocusCell(1, 8);
  Press(VK_TAB);
  EXPECT_EQ(FocusAt(), std::make_pair(2, 0));
  FocusCell(7, 4);
  Press(VK_TAB);
  EXPECT_EQ(FocusAt(), std::make_pair(0, 0));
  Press(VK_TAB, VK_SHIFT);
  EXPECT_EQ(FocusAt(), std::make_pair(7, 4));
  Press(VK_TAB);
  Press(VK_TAB);
  EXPECT_EQ(FocusAt(), std::make_pair(1, 0)) << "round from the button to the first cell";
  EXPECT_EQ(Cell(1, 0).Text(), "") << "a Tab is no character";
}


TEST_F(Crossword, BackFromAnotherWindowTheFocusIsInTheCellItLeft) {
  FocusCell(4, 2);
  Form other;
  other.SetCaption("other");
  other.Show();
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == other.Handle(); }));
  EXPECT_EQ(FocusAt(), std::make_pair(-1, -1));
  // The other window closes: the crossword is active again, and its focus is
  // in the cell the pupil left, not on the form itself.
  other.Unload();
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == form->Handle(); }));
  EXPECT_TRUE(PumpUntil([&] { return FocusAt() == std::make_pair(4, 2); }, 1000));
  Type(u"о");
  EXPECT_EQ(Cell(4, 2).Text(), FromUtf16(u"о"));
  EXPECT_EQ(FocusAt(), std::make_pair(4, 3));
}

TEST_F(Crossword, AHandlerThatThrowsIsReportedAndTheFormGoesOn) {
  std::vector<String> errors;
  struct Sink {
    explicit Sink(std::vector<String>& e) {
      SetErrorHandler([&e](const String& m) { e.push_back(m); });
    }
    ~Sink() { SetErrorHandler(nullptr); }
  } sink(errors);
  // Change is raised from the form's procedure, KeyDown from the cell's.
  form->Word(1).Change = [](int) { throw std::runtime_error("change failed"); };
  FocusCell(1, 0);
  Type(u"к");
  EXPECT_EQ(errors, std::vector<String>{"change failed"});
  EXPECT_EQ(Cell(1, 0).Text(), FromUtf16(u"к")) << "the letter typed stays";
  form->Word(1).KeyDown = [](int, int&, int) { throw 42; };
  Press(VK_DELETE);
  EXPECT_EQ((std::vector<String>{"change failed", "Unknown exception"}), errors);
  EXPECT_EQ(Cell(1, 0).Text(), FromUtf16(u"к")) << "the key whose handler failed was not handled";
  // The form still answers input.
  FocusCell(2, 0);
  Type(u"м");
  EXPECT_EQ(Cell(2, 0).Text(), FromUtf16(u"м"));
  EXPECT_EQ(errors.size(), 2u);
}
