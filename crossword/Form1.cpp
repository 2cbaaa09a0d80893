#include "Form1.h"

using namespace crossrt;

namespace {

constexpr Colour kRight = 0x0080FF80;  // light green
constexpr Colour kWrong = 0x000000FF;  // red
constexpr Colour kYellow = 0x0000FFFF;

constexpr int kFirstColumn[Form1::kWords] = {3, 0, 5, 6, 0, 2, 3};
constexpr int kLength[Form1::kWords] = {9, 7, 4, 4, 7, 9, 5};

constexpr int kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;

FontSpec Bold(double size) {
  FontSpec f;
  f.Size = size;
  f.Bold = true;
  return f;
}

}  // namespace

Form1::Form1()
    : lblCapt(AddLabel(2040, 0, 5172, 612, "Разгадайте кроссворд")),
      lblQG(AddLabel(7200, 960, 2412, 372, "По горизонтали:")),
      lblV(AddLabel(7680, 5160, 2412, 372, "По вертикали:")),
      lblQ(AddLabelArray()),
      lblNum(AddLabelArray()),
      txtQ1(AddWord(1)),
      txtQ2(AddWord(2)),
      txtQ3(AddWord(3)),
      txtQ4(AddWord(4)),
      txtQ5(AddWord(5)),
      txtQ6(AddWord(6)),
      txtQ7(AddWord(7)),
      Command1(AddButton(2520, 5400, 2292, 612, "Ввод")) {
  SetCaption("Разгадайте кроссворд");
  SetClientSize(11232, 7104);
  SetBackColor(0x0000C000);

  lblCapt.SetAlignment(alCenter);
  lblCapt.SetBackColor(0x00004080);
  lblCapt.SetForeColor(kYellow);
  lblCapt.SetFont(Bold(18));

  for (Label* l : {&lblQG, &lblV}) {
    l->SetAlignment(alCenter);
    l->SetBackColor(kYellow);
    l->SetFont(Bold(12));
  }

  struct Clue {
    int top, height;
    const char* caption;
  };
  static const Clue clues[] = {
      {1440, 492, "1.  Универсальное устройство для хранения. обработки и передачи информации"},
      {2040, 492, "2. Устройство для отображения текстовой и графической информации"},
      {2640, 372, "3. Устройство хранения информации"},
      {3120, 372, "4. Число, на которое нельзя делить"},
      {3600, 372, "5. Множество символов, используемых в языках"},
      {4080, 372, "6. Устройство для обработки информации в ЭВМ"},
      {4560, 372, "7. Знак, обозначающий число"},
      {5640, 372, "8. Печатающее устройство"},
  };
  for (const Clue& c : clues) lblQ.Add(7200, c.top, 3852, c.height, c.caption).SetBackColor(kRight);

  struct Number {
    int left, top;
  };
  static const Number numbers[] = {{1920, 960}, {480, 1320},  {2880, 2040}, {3360, 2520},
                                   {480, 2760}, {1440, 3480}, {1920, 3960}, {3720, 840}};
  for (int i = 0; i < 8; ++i) {
    Label& l = lblNum.Add(numbers[i].left, numbers[i].top, 252, 252, CStr(i + 1));
    l.SetAlignment(alCenter);
    l.SetBackColor(0x000000FF);
    l.SetForeColor(kSysHighlightText);
    l.SetFont(Bold(10.8));
  }

  txtQ1.Change = [this](int i) { txtQ1_Change(i); };
  txtQ2.Change = [this](int i) { txtQ2_Change(i); };
  txtQ3.Change = [this](int i) { txtQ3_Change(i); };
  txtQ4.Change = [this](int i) { txtQ4_Change(i); };
  txtQ5.Change = [this](int i) { txtQ5_Change(i); };
  txtQ6.Change = [this](int i) { txtQ6_Change(i); };
  txtQ7.Change = [this](int i) { txtQ7_Change(i); };
  txtQ1.GotFocus = [this](int i) { txtQ1_GotFocus(i); };
  txtQ2.GotFocus = [this](int i) { txtQ2_GotFocus(i); };
  txtQ3.GotFocus = [this](int i) { txtQ3_GotFocus(i); };
  txtQ4.GotFocus = [this](int i) { txtQ4_GotFocus(i); };
  txtQ5.GotFocus = [this](int i) { txtQ5_GotFocus(i); };
  txtQ6.GotFocus = [this](int i) { txtQ6_GotFocus(i); };
  txtQ7.GotFocus = [this](int i) { txtQ7_GotFocus(i); };
  txtQ1.KeyDown = [this](int i, int& k, int s) { txtQ1_KeyDown(i, k, s); };
  txtQ2.KeyDown = [this](int i, int& k, int s) { txtQ2_KeyDown(i, k, s); };
  txtQ3.KeyDown = [this](int i, int& k, int s) { txtQ3_KeyDown(i, k, s); };
  txtQ4.KeyDown = [this](int i, int& k, int s) { txtQ4_KeyDown(i, k, s); };
  txtQ5.KeyDown = [this](int i, int& k, int s) { txtQ5_KeyDown(i, k, s); };
  txtQ6.KeyDown = [this](int i, int& k, int s) { txtQ6_KeyDown(i, k, s); };
  txtQ7.KeyDown = [this](int i, int& k, int s) { txtQ7_KeyDown(i, k, s); };

  Command1.SetBackColor(kYellow);
  Command1.SetFont(Bold(19.2));
  Command1.Click = [this] { Command1_Click(); };
}

// The cells of word n are created with the word, before the button, so that
// the tab order runs through the words in order and then to the button.
TextBoxArray& Form1::AddWord(int n) {
  TextBoxArray& word = AddTextBoxArray();
  for (int i = 0; i < kLength[n - 1]; ++i) {
    TextBox& cell =
        word.Add(720 + 480 * (kFirstColumn[n - 1] + i), 1080 + 480 * (n - 1), 492, 492, alCenter);
    cell.SetMaxLength(1);
    cell.SetBackColor(0x00000080);
    cell.SetFont(Bold(13.2));
  }
  return word;
}

TextBoxArray& Form1::Word(int n) {
  TextBoxArray* words[kWords] = {&txtQ1, &txtQ2, &txtQ3, &txtQ4, &txtQ5, &txtQ6, &txtQ7};
  return *words[n - 1];
}

void Form1::Form_Load() { InitAnswers(); }

void Form1::InitAnswers() {
  ansQ1 = {"к", "о", "м", "п", "ь", "ю", "т", "е", "р"};
  ansQ2 = {"м", "о", "н", "и", "т", "о", "р"};
  ansQ3 = {"д", "и", "с", "к"};
  ansQ4 = {"н", "о", "л", "ь"};
  ansQ5 = {"а", "л", "ф", "а", "в", "и", "т"};
  ansQ6 = {"п", "р", "о", "ц", "е", "с", "с", "о", "р"};
  ansQ7 = {"ц", "и", "ф", "р", "а"};
}

void Form1::CellChange(int n, int Index) {
  TextBoxArray& word = Word(n);
  TextBox& cell = word[Index];
  cell.SetBackColor(kSysWindow);
  if (cell.Text() == " ") cell.SetText("");
  // Read again: emptying the blank above ran this handler for the empty cell.
  if (cell.Text().empty()) return;
  if (Index < word.UBound())
    word[Index + 1].SetFocus();
  else if (n < kWords)
    Word(n + 1)[0].SetFocus();
  else
    Command1.SetFocus();
}

void Form1::CellGotFocus(int n, int Index) { SelectLetter(Word(n)[Index]); }

void Form1::CellKeyDown(int n, int Index, int& KeyCode, int Shift) {
  TextBoxArray& word = Word(n);
  switch (KeyCode) {
    case kKeyLeft:
      if (Index > 0)
        word[Index - 1].SetFocus();
      else if (n > 1)
        Word(n - 1)[Word(n - 1).UBound()].SetFocus();
      break;
    case kKeyRight:
      if (Index < word.UBound())
        word[Index + 1].SetFocus();
      else if (n < kWords)
        Word(n + 1)[0].SetFocus();
      break;
    case kKeyUp:
      if (n > 1) Word(n - 1)[0].SetFocus();
      break;
    case kKeyDown:
      if (n < kWords) Word(n + 1)[0].SetFocus();
      break;
  }
}

void Form1::Command1_Click() {
  const std::vector<String>* answers[kWords] = {&ansQ1, &ansQ2, &ansQ3, &ansQ4, &ansQ5, &ansQ6, &ansQ7};
  for (int n = 1; n <= kWords; ++n) {
    TextBoxArray& word = Word(n);
    for (int i = 0; i <= word.UBound(); ++i) CheckLetter(word[i], answers[n - 1]->at(static_cast<size_t>(i)));
  }
}

void Form1::CheckLetter(TextBox& cell, const String& letter) {
  cell.SetBackColor(LowerCyrillic(cell.Text()) == letter ? kRight : kWrong);
}

String Form1::LowerCyrillic(const String& text) {
  if (Len(text) > 0 && Asc(text) >= 192 && Asc(text) <= 223) return Chr(Asc(text) + 32);
  return text;
}

void Form1::SelectLetter(TextBox& cell) {
  if (Len(cell.Text()) > 0) {
    cell.SetSelStart(0);
    cell.SetSelLength(1);
  }
}
