#include "Unit1.h"

#include <utility>

#include "Unit2.h"

Tkros* kros = nullptr;

int SelectedWord = 0;
int WordSolved[Tkros::WordCount + 1] = {};
int AllSolved = 0;
int HomeBlink = 0;

namespace {

struct TWordInfo {
    int Cells[11];  // typing order, 0-terminated
    const char* Answer;
    int Tile;       // RzLabel<Tile>
    int Upper, Lower;  // Image<Upper> over Image<Lower>
    int Picture;    // Image<Picture>, shown when solved
    const char* Title;
    const char* Riddle;
};

// Words 1 ... 10 at [1] ... [10]; the crossings agree on their letters.
const TWordInfo kWords[Tkros::WordCount + 1] = {
    {},
    {{1, 2, 3, 4, 5, 6}, "сканер", 1, 11, 12, 1, "Вопрос1",
     "Луч летит по строчкам быстро, словно планер. Текст с картинкой мигом вводит в память ..."},
    {{2, 7, 8, 9, 10, 11, 12}, "колонки", 2, 14, 13, 2, "Вопрос2",
     "Друг без друга не живут, словно две сестрёнки. Песенки для нас поют стерео ..."},
    {{30, 31, 32, 33, 18, 34, 35}, "монитор", 5, 20, 19, 3, "Вопрос3",
     "В графическом редакторе рисую косогор. Выводит на экран его цветной наш ..."},
    {{36, 37, 38, 39, 31, 40, 41, 42}, "микрофон", 3, 18, 17, 4, "Вопрос4",
     "Чтобы голос записать, нужен был магнитофон. А сейчас нужен компьютер и, конечно, ..."},
    {{11, 13, 14, 15, 16, 17, 18, 19, 20, 21}, "клавиатура", 4, 16, 15, 5, "Вопрос5",
     "Учусь печатать с тренажёром, но только здесь не физкультура. Запомнить где Alt, Shift и Ctrl "
     "поможет мне ..."},
    {{22, 14, 23, 24, 25, 26}, "память", 7, 24, 23, 7, "Вопрос6",
     "Программы для работы загрузятся опять, в очень ёмкую и быструю внутреннюю ..."},
    {{43, 20, 44, 45, 46, 47, 48}, "принтер", 9, 28, 27, 8, "Вопрос7",
     "Текст и картинки на бумагу выведет без литер. Виртуальное в реальное превращает ..."},
    {{27, 28, 29, 26}, "мышь", 6, 22, 21, 6, "Вопрос8",
     "Зверушка бегает по коврику, и не по нраву ей речной камыш. Нам помогает управлять программами, "
     "зовут её компьютерная ..."},
    {{49, 50, 51, 52, 47, 53, 54, 55, 56}, "процессор", 8, 26, 25, 10, "Вопрос9",
     "В секунду тысячи задач осилит наш профессор. Он для компьютера как мозг, зовётся он ..."},
    {{57, 58, 54, 59}, "диск", 10, 30, 29, 9, "Вопрос10",
     "Его я правильно храню, мне не нужен риск. От царапин берегу оптический свой ..."},
};

// The check visits the words in this order.
const int kCheckOrder[Tkros::WordCount] = {1, 2, 5, 6, 8, 3, 4, 7, 9, 10};

// A cell's place in the words through it: up to two (word, index) pairs.
struct TCellPlace {
    int Count = 0;
    int Word[2] = {};
    int Index[2] = {};
};

struct TCellTable {
    TCellPlace Place[Tkros::SinkCell + 1];
    TCellTable() {
        for (int w = 1; w <= Tkros::WordCount; ++w)
            for (int i = 0; kWords[w].Cells[i]; ++i) {
                TCellPlace& p = Place[kWords[w].Cells[i]];
                p.Word[p.Count] = w;
                p.Index[p.Count] = i;
                ++p.Count;
            }
    }
};

const TCellTable& CellTable() {
    static const TCellTable t;
    return t;
}

int WordLength(int W) {
    int n = 0;
    while (kWords[W].Cells[n]) ++n;
    return n;
}

bool IsCrossing(int Cell) { return CellTable().Place[Cell].Count == 2; }

bool IsLastOf(int Cell, int K) {
    const TCellPlace& p = CellTable().Place[Cell];
    return p.Index[K] == WordLength(p.Word[K]) - 1;
}

// The cell after place K of a cell, stepping over a locked crossing cell;
// the sink past the end of the word.
int NextInWord(int Cell, int K, const bool* ReadOnly) {
    const TCellPlace& p = CellTable().Place[Cell];
    const TWordInfo& w = kWords[p.Word[K]];
    int i = p.Index[K] + 1;
    if (!w.Cells[i]) return Tkros::SinkCell;
    if (IsCrossing(w.Cells[i]) && ReadOnly[w.Cells[i]]) ++i;
    return w.Cells[i] ? w.Cells[i] : Tkros::SinkCell;
}

template <class F, int... N>
void RegisterKeyHandlers(TFormReg<F>& r, std::integer_sequence<int, N...>) {
    (r.template Handler<&F::template RzEditKeyDown<N + 1>>(("RzEdit" + IntToStr(N + 1) + "KeyDown").c_str()), ...);
}

template <class F, int... N>
void RegisterTileHandlers(TFormReg<F>& r, std::integer_sequence<int, N...>) {
    (r.template Handler<&F::template RzLabelMouseDown<N + 1>>(("RzLabel" + IntToStr(N + 1) + "MouseDown").c_str()),
     ...);
}

template <class F, int... N>
void RegisterPressHandlers(TFormReg<F>& r) {
    (r.template Handler<&F::template RzEditMouseDown<N>>(("RzEdit" + IntToStr(N) + "MouseDown").c_str()), ...);
}

}  // namespace

Tkros::Tkros(TComponent* AOwner) : TForm(AOwner) {}

int Tkros::WordOfTile(int Label) {
    for (int w = 1; w <= WordCount; ++w)
        if (kWords[w].Tile == Label) return w;
    return 0;
}
const int* Tkros::WordCells(int W) { return kWords[W].Cells; }
const char* Tkros::WordAnswer(int W) { return kWords[W].Answer; }
int Tkros::TileLabel(int W) { return kWords[W].Tile; }
int Tkros::UpperTile(int W) { return kWords[W].Upper; }
int Tkros::LowerTile(int W) { return kWords[W].Lower; }
int Tkros::WordPicture(int W) { return kWords[W].Picture; }

char Tkros::CellLetter(int Cell) {
    const TCellPlace& p = CellTable().Place[Cell];
    return p.Count ? kWords[p.Word[0]].Answer[p.Index[0]] : 0;
}

int Tkros::Successor(int Cell, int Selected, const bool* ReadOnly) {
    const TCellPlace& p = CellTable().Place[Cell];
    if (p.Count == 0) return Cell;  // the sink keeps the focus
    if (p.Count == 1) return NextInWord(Cell, 0, ReadOnly);
    // A crossing cell that ends both its words leads out whatever is selected.
    if (IsLastOf(Cell, 0) && IsLastOf(Cell, 1)) return SinkCell;
    for (int k = 0; k < 2; ++k)
        if (p.Word[k] == Selected) return NextInWord(Cell, k, ReadOnly);
    return Cell;
}

// The components the handlers use, once the definition has been read.
void Tkros::Loaded() {
    TForm::Loaded();
    for (int n = 1; n <= SinkCell; ++n) BindComponent(this, Cells[n], ("RzEdit" + IntToStr(n)).c_str());
    for (int n = 1; n <= 33; ++n) BindComponent(this, Images[n], ("Image" + IntToStr(n)).c_str());
    for (int n = 1; n <= WordCount; ++n) BindComponent(this, Tiles[n], ("RzLabel" + IntToStr(n)).c_str());
    BindComponent(this, Timer1, "Timer1");
    BindComponent(this, Image32, "Image32");
    BindComponent(this, RzLabel13, "RzLabel13");
    BindComponent(this, RzLabel12, "RzLabel12");
    BindComponent(this, RzLabel11, "RzLabel11");
}

void Tkros::Register() {
    auto r = RegisterFormClass<Tkros>("Tkros");
    r.Handler<&Tkros::FormShow>("FormShow")
        .Handler<&Tkros::FormClose>("FormClose")
        .Handler<&Tkros::Timer1Timer>("Timer1Timer")
        .Handler<&Tkros::RzLabel13Click>("RzLabel13Click");
    RegisterKeyHandlers(r, std::make_integer_sequence<int, SinkCell>());
    RegisterTileHandlers(r, std::make_integer_sequence<int, WordCount>());
    RegisterPressHandlers<Tkros, 1, 2, 11, 22, 27, 30, 36, 37, 43, 49, 57>(r);
}

void Tkros::SelectWord(int W, bool FocusFirstCell) {
    SelectedWord = W;
    if (FocusFirstCell) {
        const int* cells = kWords[W].Cells;
        int first = cells[0];
        if (IsCrossing(first) && Cells[first]->ReadOnly()) first = cells[1];
        Cells[first]->SetFocus();
    }
    for (int w = 1; w <= WordCount; ++w) Images[kWords[w].Upper]->SetVisible(w != W);
    RzLabel12->SetCaption(kWords[W].Title);
    RzLabel11->SetCaption(kWords[W].Riddle);
}

void Tkros::TileDown(int Label) { SelectWord(WordOfTile(Label), true); }

// The press handlers by the cell in their name, and the word each selects
// (the cells 2 and 11 that name two of them are crossings).
void Tkros::CellPressed(int HandlerCell) {
    static const int kWordOfHandler[][2] = {{1, 1},  {2, 2},  {11, 5}, {22, 6}, {27, 8}, {30, 3},
                                            {36, 4}, {37, 4}, {43, 7}, {49, 9}, {57, 10}};
    for (auto& h : kWordOfHandler)
        if (h[0] == HandlerCell) SelectWord(h[1], false);
}

// Any key that reaches a cell empties it and sends the focus on; the key's
// character, if any, then arrives in this same cell (the window the key went
// to), so a letter replaces the cell's content while the focus moves on.
void Tkros::CellKeyDown(int Cell) {
    TRzEdit* cell = Cells[Cell];
    if (Cell == SinkCell) {
        cell->Clear();
        return;
    }
    if (!cell->Text().empty() && !cell->ReadOnly()) cell->Clear();
    bool readOnly[SinkCell + 1] = {};
    for (int n = 1; n <= CellCount; ++n) readOnly[n] = Cells[n]->ReadOnly();
    int next = Successor(Cell, SelectedWord, readOnly);
    if (next != Cell) Cells[next]->SetFocus();
}

bool Tkros::WordFilled(int W) const {
    for (const int* c = kWords[W].Cells; *c; ++c)
        if (Cells[*c]->Text().empty()) return false;
    return true;
}

// Twice a second: tile colours, then every fully filled word is coloured
// letter by letter and locked when all right; the tenth lock is the win.
void Tkros::Timer1Timer(TObject*) {
    for (int w = 1; w <= WordCount; ++w)
        Tiles[kWords[w].Tile]->Font()->SetColor(Images[kWords[w].Upper]->Visible() ? clYellow : clRed);
    for (int w : kCheckOrder) {
        if (!WordFilled(w)) continue;
        bool right = true;
        for (int i = 0; kWords[w].Cells[i]; ++i) {
            TRzEdit* cell = Cells[kWords[w].Cells[i]];
            // The whole text, case-sensitive: a capital or a pasted text is wrong.
            bool ok = cell->Text() == AnsiString(1, kWords[w].Answer[i]);
            cell->Font()->SetColor(ok ? clBlack : clRed);
            right = right && ok;
        }
        if (right && !WordSolved[w]) {
            for (const int* c = kWords[w].Cells; *c; ++c) Cells[*c]->SetReadOnly(true);
            Images[kWords[w].Picture]->Show();
            WordSolved[w] = 1;
        }
    }
    if (AllSolved == 0) {
        bool all = true;
        for (int w = 1; w <= WordCount; ++w) all = all && WordSolved[w];
        if (all) {
            AllSolved = 1;
            RzLabel12->SetCaption("Молодец!");
            RzLabel11->SetCaption("Ты молодец, твой ум силён. Свой приз найдёшь в окне другом!");
            RzLabel13->SetEnabled(true);
            RaiseCompletedGames();
            HomeBlink = 1;
        }
    }
    BlinkHome(RzLabel13, HomeBlink);
}

void Tkros::FormShow(TObject*) {
    SelectedWord = 0;
    for (int& s : WordSolved) s = 0;
    AllSolved = 0;
    HomeBlink = 0;
    Cells[SinkCell]->SetFocus();
}

// "ДОМ", enabled once the game is won: the button shows as used.
void Tkros::RzLabel13Click(TObject*) {
    Image32->Hide();
    Close();
}

// The form is only hidden (the default for a form that is not the main one).
void Tkros::FormClose(TObject*, TCloseAction&) { Form2->Show(); }
