// Dozuviva: the crossword of ten device names. Number tiles and cells select a
// word and show its riddle; typing moves the focus from cell to cell; a 500 ms
// check colours the letters, locks solved words and shows their pictures.
#pragma once

#include "LessonForms.h"
#include "RzEdit.h"

class Tkros : public TForm {
public:
    static constexpr int CellCount = 59;  // RzEdit1 ... RzEdit59
    static constexpr int SinkCell = 60;   // RzEdit60, under the riddle panel
    static constexpr int WordCount = 10;

    explicit Tkros(TComponent* AOwner);
    const char* ClassName() const override { return "Tkros"; }

    // Components of the definition that the handlers use.
    TRzEdit* Cells[SinkCell + 1] = {};  // RzEdit<N> in [N]
    TImage* Images[34] = {};            // Image<N> in [N]
    TRzLabel* Tiles[WordCount + 1] = {};  // number tile RzLabel<N> in [N]
    TTimer* Timer1 = nullptr;
    TImage* Image32 = nullptr;              // ball of the "ДОМ" button
    TRzLabel* RzLabel13 = nullptr;          // "ДОМ"
    TRzLabel* RzLabel12 = nullptr;          // riddle title
    TRzLabel* RzLabel11 = nullptr;          // riddle text

    // Published handlers, bound by name from the definition.
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Timer1Timer(TObject* Sender);
    void RzLabel13Click(TObject* Sender);
    // RzLabel1MouseDown ... RzLabel10MouseDown: the number tile RzLabel<N>.
    template <int N>
    void RzLabelMouseDown(TObject*, TMouseButton, TShiftState, int, int) { TileDown(N); }
    // RzEdit1KeyDown ... RzEdit60KeyDown: a key in the cell RzEdit<N>.
    template <int N>
    void RzEditKeyDown(TObject*, Word&, TShiftState) { CellKeyDown(N); }
    // RzEdit1MouseDown, RzEdit2MouseDown, ...: a press in a cell of one word
    // only selects that word (RzEdit<N> names the handler, not the cell).
    template <int N>
    void RzEditMouseDown(TObject*, TMouseButton, TShiftState, int, int) { CellPressed(N); }

    void Loaded() override;

    static void Register();

    // The game's rules, by cell and word number.
    // Number of the word whose number tile is the label RzLabel<Label>.
    static int WordOfTile(int Label);
    // Cells of a word in typing order (0-terminated), its answer (lower case).
    static const int* WordCells(int W);
    static const char* WordAnswer(int W);
    // Label, upper and lower tile picture and word picture of a word.
    static int TileLabel(int W);
    static int UpperTile(int W);
    static int LowerTile(int W);
    static int WordPicture(int W);
    // The letter a cell must hold.
    static char CellLetter(int Cell);
    // Where the focus goes from a cell after a key, given the selected word
    // and which cells are locked: the cell itself when it stays.
    static int Successor(int Cell, int Selected, const bool* CellReadOnly);

private:
    void SelectWord(int W, bool FocusFirstCell);
    void TileDown(int Label);
    void CellPressed(int HandlerCell);
    void CellKeyDown(int Cell);
    bool WordFilled(int W) const;
};

extern Tkros* kros;

// Unit state, zeroed by FormShow.
extern int SelectedWord;             // 1 ... 10; 0 = none
extern int WordSolved[Tkros::WordCount + 1];  // [1] ... [10]: 1 once locked
extern int AllSolved;                // 1 once the win has been handled
extern int HomeBlink;                // 0 off; 1 next tick red; 2 next tick yellow
