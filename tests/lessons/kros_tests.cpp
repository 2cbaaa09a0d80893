// The crossword game from its definition, played under Wine with real
// keyboard input and mouse messages: every cell where the grid puts it with
// its own handlers, number tiles selecting words, letters typed from cell to
// cell, keys that empty cells, locked crossings skipped, the check timer's
// colours and locks counted in real ticks, a pasted long text, and a whole
// game to the win and back to the menu. Each test plays a fresh game form.
#include <gtest/gtest.h>

#include <utility>

#include "FormData.h"
#include "LessonUnits.h"
#include "RzPanel.h"
#include "kros_drive.h"

using namespace kros_drive;

namespace {

// The grid as the pupil sees it: row r, column c holds the cell named
// RzEdit<n> at Left 408 + 32c, Top 104 + 32r.
const char* const kGrid[] = {
    "",
    ". 1 2 3 4 5 6 . . . . . . . .",
    ". . 7 . . . . . 30 . . . . . .",
    ". . 8 . 36 37 38 39 31 40 41 42 . . .",
    ". . 9 . . . . . 32 . . . . . .",
    ". . 10 . 22 . . . 33 . 43 . . . .",
    ". . 11 13 14 15 16 17 18 19 20 21 . . .",
    ". . 12 . 23 . . . 34 . 44 . . . .",
    ". . . . 24 . . . 35 . 45 . 57 . .",
    ". . . . 25 . . . . . 46 . 58 . .",
    ". 27 28 29 26 . 49 50 51 52 47 53 54 55 56",
    ". . . . . . . . . . 48 . 59 . .",
};

struct TPlace {
    int Left = -1, Top = -1;
};

std::vector<TPlace> GridPlaces() {
    std::vector<TPlace> at(61);
    for (int r = 1; r <= 11; ++r) {
        std::string row = kGrid[r];
        size_t p = 0;
        for (int c = 0; p < row.size(); ++c) {
            size_t e = row.find(' ', p);
            if (e == std::string::npos) e = row.size();
            std::string tok = row.substr(p, e - p);
            if (tok != ".") at[std::stoi(tok)] = {408 + 32 * c, 104 + 32 * r};
            p = e + 1;
        }
    }
    return at;
}

// Handler of each cell's press, by the number in its name (0: none).
int PressHandlerOf(int Cell) {
    static const std::pair<int, std::vector<int>> kPress[] = {
        {1, {1, 3, 4, 5, 6}},         {2, {2, 7, 8, 9, 10, 12}},  {11, {11, 13, 15, 16, 17, 19, 21}},
        {22, {22, 23, 24, 25}},       {27, {27, 28, 29}},         {30, {30, 32, 33, 34, 35}},
        {36, {36}},                   {37, {37, 38, 39, 40, 41, 42}}, {43, {43, 44, 45, 46, 48}},
        {49, {49, 50, 51, 52, 53, 55, 56}}, {57, {57, 58, 59}},
    };
    for (auto& [h, cells] : kPress)
        for (int c : cells)
            if (c == Cell) return h;
    return 0;
}

template <int... N>
std::vector<TKeyEvent> KeyHandlers(Tkros* F, std::integer_sequence<int, N...>) {
    return {TKeyEvent(), TKeyEvent::Of<&Tkros::RzEditKeyDown<N + 1>>(F)...};
}

TMouseEvent PressHandler(Tkros* F, int H) {
    switch (H) {
    case 1: return TMouseEvent::Of<&Tkros::RzEditMouseDown<1>>(F);
    case 2: return TMouseEvent::Of<&Tkros::RzEditMouseDown<2>>(F);
    case 11: return TMouseEvent::Of<&Tkros::RzEditMouseDown<11>>(F);
    case 22: return TMouseEvent::Of<&Tkros::RzEditMouseDown<22>>(F);
    case 27: return TMouseEvent::Of<&Tkros::RzEditMouseDown<27>>(F);
    case 30: return TMouseEvent::Of<&Tkros::RzEditMouseDown<30>>(F);
    case 36: return TMouseEvent::Of<&Tkros::RzEditMouseDown<36>>(F);
    case 37: return TMouseEvent::Of<&Tkros::RzEditMouseDown<37>>(F);
    case 43: return TMouseEvent::Of<&Tkros::RzEditMouseDown<43>>(F);
    case 49: return TMouseEvent::Of<&Tkros::RzEditMouseDown<49>>(F);
    case 57: return TMouseEvent::Of<&Tkros::RzEditMouseDown<57>>(F);
    }
    return TMouseEvent();
}

template <int... N>
std::vector<TMouseEvent> TileHandlers(Tkros* F, std::integer_sequence<int, N...>) {
    return {TMouseEvent(), TMouseEvent::Of<&Tkros::RzLabelMouseDown<N + 1>>(F)...};
}

// A fresh game form in front of a hidden menu, its timer behind the gate.
void NewGame() {
    if (kros) {
        delete kros;
        kros = nullptr;
    }
    Form2->Label1->SetCaption("0");
    Form2->Hide();
    Application->CreateForm(kros);
    Gate().Attach(kros);
    Activate(kros);
}

// Letters of a word's cells, in typing order.
AnsiString Letters(int W) {
    AnsiString s;
    for (const int* c = Tkros::WordCells(W); *c; ++c) s += kros->Cells[*c]->Text();
    return s;
}

bool Locked(int W) {
    for (const int* c = Tkros::WordCells(W); *c; ++c)
        if (!kros->Cells[*c]->ReadOnly()) return false;
    return true;
}

// Pixels of a cell's inside (its edge left out).
struct CellLook {
    int Red = 0, Dark = 0, Yellow = 0, White = 0, Total = 0;
};

CellLook LookAt(const Pixels& Px, TControl* Cell) {
    CellLook l;
    for (int y = Cell->Top() + 4; y < Cell->Top() + Cell->Height() - 4; ++y)
        for (int x = Cell->Left() + 4; x < Cell->Left() + Cell->Width() - 4; ++x) {
            uint32_t c = Px.At(x, y);
            int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            ++l.Total;
            if (r > 170 && g < 90 && b < 90) ++l.Red;
            if (r < 70 && g < 70 && b < 70) ++l.Dark;
            if (r > 230 && g > 230 && b < 40) ++l.Yellow;
            if (r > 240 && g > 240 && b > 240) ++l.White;
        }
    return l;
}

// Mean colour of a rectangle of the client area.
void MeanColour(const Pixels& Px, int X, int Y, int W, int H, int& R, int& G, int& B) {
    long sr = 0, sg = 0, sb = 0, n = 0;
    for (int y = Y; y < Y + H; ++y)
        for (int x = X; x < X + W; ++x, ++n) {
            uint32_t c = Px.At(x, y);
            sr += (c >> 16) & 0xFF;
            sg += (c >> 8) & 0xFF;
            sb += c & 0xFF;
        }
    R = int(sr / n), G = int(sg / n), B = int(sb / n);
}

}  // namespace

TEST(KrosForm, EveryCellLiesWhereTheGridPutsItWithItsOwnHandlers) {
    NewGame();
    std::vector<TPlace> at = GridPlaces();
    auto keys = KeyHandlers(kros, std::make_integer_sequence<int, Tkros::SinkCell>());
    for (int n = 1; n <= Tkros::CellCount; ++n) {
        SCOPED_TRACE("RzEdit" + std::to_string(n));
        TRzEdit* c = kros->Cells[n];
        EXPECT_STREQ(c->ClassName(), "TRzEdit");
        EXPECT_EQ(c->Left(), at[n].Left);
        EXPECT_EQ(c->Top(), at[n].Top);
        EXPECT_EQ(c->Width(), 33);
        EXPECT_EQ(c->Height(), 33);
        EXPECT_EQ(c->TabOrder(), n - 1);
        EXPECT_EQ(c->Alignment(), taCenter);
        EXPECT_FALSE(c->AutoSelect());
        EXPECT_EQ(c->ReadOnlyColor(), clYellow);
        EXPECT_TRUE(c->ReadOnlyColorOnFocus());
        EXPECT_EQ(c->Font()->Height(), -21);
        EXPECT_EQ(c->Font()->Name(), "Arial");
        EXPECT_EQ(c->OnKeyDown, keys[n]);
        EXPECT_EQ(c->OnMouseDown, PressHandler(kros, PressHandlerOf(n)));
        EXPECT_TRUE(c->Text().empty());
        EXPECT_FALSE(c->ReadOnly());
        // The letter of every crossing agrees between its two words.
        int words = 0;
        for (int w = 1; w <= Tkros::WordCount; ++w)
            for (int i = 0; Tkros::WordCells(w)[i]; ++i)
                if (Tkros::WordCells(w)[i] == n) {
                    ++words;
                    EXPECT_EQ(Tkros::WordAnswer(w)[i], Tkros::CellLetter(n)) << "word " << w;
                }
        EXPECT_GE(words, 1);
        EXPECT_LE(words, 2);
    }
    EXPECT_EQ(kros->Cells[1]->FrameStyle(), fsRaised);
    EXPECT_EQ(kros->Cells[1]->FramingPreference(), fpCustomFraming);
    EXPECT_EQ(kros->Cells[2]->FrameStyle(), fsFlat);
    // The sink: under the riddle panel, last but one in tab order, no press handler.
    TRzEdit* sink = kros->Cells[Tkros::SinkCell];
    EXPECT_EQ(sink->BoundsRect(), Bounds(136, 592, 33, 33));
    EXPECT_EQ(sink->TabOrder(), 59);
    EXPECT_EQ(sink->OnKeyDown, keys[60]);
    EXPECT_FALSE(sink->OnMouseDown);
    auto* panel = dynamic_cast<TRzPanel*>(kros->FindComponent("RzPanel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->TabOrder(), 60);
    EXPECT_EQ(kros->RzLabel12->Parent(), panel);
    EXPECT_EQ(kros->RzLabel11->Parent(), panel);
    EXPECT_EQ(kros->RzLabel12->Caption(), "Внимание!");
    EXPECT_EQ(kros->RzLabel11->Caption(), "Цифру любую курсором нажмёшь, в этом окошке вопрос ты найдёшь!");
    // The focus waits in the sink, and the sink cannot be seen.
    EXPECT_EQ(FocusedCell(kros), Tkros::SinkCell);
    Pixels px = Render(kros);
    int edge = 0;
    for (int x = sink->Left(); x < sink->Left() + sink->Width(); ++x)
        edge += (px.At(x, sink->Top()) != 0xFFFFFF) + (px.At(x, sink->Top() + 1) != 0xFFFFFF);
    EXPECT_EQ(edge, 0) << "the panel's white covers the sink's edge";
    EXPECT_EQ(kros->Timer1->Interval(), 500u);
    EXPECT_TRUE(kros->Timer1->Enabled());
    EXPECT_EQ(Gate().Original, TNotifyEvent::Of<&Tkros::Timer1Timer>(kros));
    EXPECT_EQ(kros->OnShow, TNotifyEvent::Of<&Tkros::FormShow>(kros));
    EXPECT_EQ(kros->RzLabel13->OnClick, TNotifyEvent::Of<&Tkros::RzLabel13Click>(kros));
}

TEST(KrosForm, TilesAndPicturesLieInTheirOrderAndPlaces) {
    NewGame();
    struct {
        int Label, Left, Top, Upper, Lower, Picture;
        TRect Place;
    } const kTiles[] = {
        {1, 408, 136, 11, 12, 1, Bounds(272, 112, 113, 76)},  {2, 472, 104, 14, 13, 2, Bounds(512, 48, 73, 73)},
        {5, 664, 136, 20, 19, 3, Bounds(712, 16, 145, 122)},  {3, 504, 200, 18, 17, 4, Bounds(808, 176, 70, 89)},
        {4, 440, 296, 16, 15, 5, Bounds(328, 272, 97, 57)},   {7, 536, 232, 24, 23, 7, Bounds(504, 472, 73, 53)},
        {9, 728, 232, 28, 27, 8, Bounds(672, 504, 113, 80)},  {6, 408, 424, 22, 21, 6, Bounds(312, 408, 80, 54)},
        {8, 568, 424, 26, 25, 10, Bounds(856, 472, 49, 48)},  {10, 792, 328, 30, 29, 9, Bounds(840, 304, 89, 89)},
    };
    auto tiles = TileHandlers(kros, std::make_integer_sequence<int, Tkros::WordCount>());
    for (int w = 1; w <= Tkros::WordCount; ++w) {
        SCOPED_TRACE("word " + std::to_string(w));
        const auto& t = kTiles[w - 1];
        EXPECT_EQ(Tkros::TileLabel(w), t.Label);
        EXPECT_EQ(Tkros::WordOfTile(t.Label), w);
        TRzLabel* label = kros->Tiles[t.Label];
        EXPECT_EQ(label->Caption(), AnsiString(std::to_string(w).c_str()));
        EXPECT_EQ(label->BoundsRect(), Bounds(t.Left, t.Top, 33, 33));
        EXPECT_EQ(label->Cursor(), crHandPoint);
        EXPECT_EQ(label->Font()->Color(), clYellow);
        EXPECT_EQ(label->OnMouseDown, tiles[t.Label]);
        TImage* upper = kros->Images[t.Upper];
        TImage* lower = kros->Images[t.Lower];
        EXPECT_EQ(upper->BoundsRect(), label->BoundsRect());
        EXPECT_EQ(lower->BoundsRect(), label->BoundsRect());
        EXPECT_TRUE(upper->Visible());
        // Lower picture, then upper one, then the tile's label, bottom to top.
        EXPECT_LT(kros->IndexOfControl(lower), kros->IndexOfControl(upper));
        EXPECT_LT(kros->IndexOfControl(upper), kros->IndexOfControl(label));
        // The word picture: hidden, its file's own size at its place.
        TImage* pic = kros->Images[t.Picture];
        EXPECT_EQ(Tkros::WordPicture(w), t.Picture);
        EXPECT_FALSE(pic->Visible());
        EXPECT_EQ(pic->BoundsRect(), t.Place);
    }
    // Creation order: the background first, the word pictures, the tiles'
    // lower pictures under their upper ones, the round button, the owl.
    EXPECT_EQ(kros->IndexOfControl(dynamic_cast<TControl*>(kros->FindComponent("RzBackground1"))), 0);
    EXPECT_LT(kros->IndexOfControl(kros->Images[12]), kros->IndexOfControl(kros->Images[11]));
    EXPECT_LT(kros->IndexOfControl(kros->Images[10]), kros->IndexOfControl(kros->Images[12]));
    EXPECT_LT(kros->IndexOfControl(kros->Images[31]), kros->IndexOfControl(kros->Image32));
    EXPECT_LT(kros->IndexOfControl(kros->Image32), kros->IndexOfControl(kros->RzLabel13));
    EXPECT_EQ(kros->Images[33]->BoundsRect(), Bounds(56, 80, 185, 210));
    // On screen: tiles blue with yellow numbers, the owl, the gradient.
    Pixels px = Render(kros);
    int r, g, b;
    MeanColour(px, 408 + 4, 136 + 4, 25, 25, r, g, b);
    EXPECT_GT(b, r + 60) << "the upper tile is blue";
    MeanColour(px, 56, 80, 185, 210, r, g, b);
    EXPECT_LT(g, 200) << "the owl is drawn over the light background";
}

TEST(KrosPlay, ANumberTileSelectsItsWordAndShowsItsRiddle) {
    NewGame();
    Pixels before = Render(kros);
    PressTile(kros, 3);  // RzLabel5
    EXPECT_EQ(SelectedWord, 3);
    EXPECT_EQ(FocusedCell(kros), 30);
    EXPECT_FALSE(kros->Images[20]->Visible());
    for (int w = 1; w <= Tkros::WordCount; ++w)
        if (w != 3) {
            EXPECT_TRUE(kros->Images[Tkros::UpperTile(w)]->Visible()) << w;
        }
    EXPECT_EQ(kros->RzLabel12->Caption(), "Вопрос3");
    EXPECT_EQ(kros->RzLabel11->Caption(),
              "В графическом редакторе рисую косогор. Выводит на экран его цветной наш ...");
    // The tile's colour follows on the next tick, not before.
    EXPECT_EQ(kros->Tiles[5]->Font()->Color(), clYellow);
    ASSERT_TRUE(Gate().Step());
    EXPECT_EQ(kros->Tiles[5]->Font()->Color(), clRed);
    for (int w = 1; w <= Tkros::WordCount; ++w)
        if (w != 3) {
            EXPECT_EQ(kros->Tiles[Tkros::TileLabel(w)]->Font()->Color(), clYellow) << w;
        }
    Pixels after = Render(kros);
    int r0, g0, b0, r1, g1, b1;
    MeanColour(before, 664 + 3, 136 + 3, 27, 27, r0, g0, b0);
    MeanColour(after, 664 + 3, 136 + 3, 27, 27, r1, g1, b1);
    EXPECT_GT(b0, r0) << "blue before";
    EXPECT_GT(r1, b1 + 60) << "the lower, light yellow design with a red number after";
    // Another tile, pressed with the right button: the selection moves.
    PressTile(kros, 10, mbRight);
    EXPECT_EQ(SelectedWord, 10);
    EXPECT_EQ(FocusedCell(kros), 57);
    EXPECT_TRUE(kros->Images[20]->Visible());
    EXPECT_FALSE(kros->Images[30]->Visible());
    EXPECT_EQ(kros->RzLabel12->Caption(), "Вопрос10");
}

// The words as the game's text gives them, apart from the form's own tables:
// every answer, and the title and riddle its number tile shows.
TEST(KrosPlay, EachTileShowsItsTitleAndRiddleAndEachAnswerIsItsDevice) {
    static const std::u16string kText[][2] = {
        {u"сканер", u"Луч летит по строчкам быстро, словно планер. Текст с картинкой мигом "
         u"вводит в память ..."},
        {u"колонки", u"Друг без друга не живут, словно две сестрёнки. Песенки для нас поют "
         u"стерео ..."},
        {u"монитор", u"В графическом редакторе рисую косогор. Выводит на экран его цветной "
         u"наш ..."},
        {u"микрофон", u"Чтобы голос записать, нужен был магнитофон. А сейчас нужен компьютер "
         u"и, конечно, ..."},
        {u"клавиатура", u"Учусь печатать с тренажёром, но только здесь не физкультура. "
         u"Запомнить где Alt, Shift и Ctrl поможет мне ..."},
        {u"память", u"Программы для работы загрузятся опять, в очень ёмкую и быструю "
         u"внутреннюю ..."},
        {u"принтер", u"Текст и картинки на бумагу выведет без литер. Виртуальное в реальное "
         u"превращает ..."},
        {u"мышь", u"Зверушка бегает по коврику, и не по нраву ей речной камыш. Нам "
         u"помогает управлять программами, зовут её компьютерная ..."},
        {u"процессор", u"В секунду тысячи задач осилит наш профессор. Он для компьютера как "
         u"мозг, зовётся он ..."},
        {u"диск", u"Его я правильно храню, мне не нужен риск. От царапин берегу "
         u"оптический свой ..."},
    };
    NewGame();
    for (int w = 1; w <= Tkros::WordCount; ++w) {
        SCOPED_TRACE("word " + std::to_string(w));
        EXPECT_EQ(Tkros::WordAnswer(w), Utf16ToCp1251(kText[w - 1][0]));
        PressTile(kros, w);
        EXPECT_EQ(kros->RzLabel12->Caption(), Utf16ToCp1251(u"Вопрос") + std::to_string(w));
        EXPECT_EQ(kros->RzLabel11->Caption(), Utf16ToCp1251(kText[w - 1][1]));
    }
}


TEST(KrosPlay, APressInACellSelectsItsWordWithoutMovingTheFocusFurther) {
    NewGame();
    PressIn(kros->Cells[45], mbMiddle);  // RzEdit43MouseDown: word 7
    EXPECT_EQ(SelectedWord, 7);
    EXPECT_EQ(kros->RzLabel12->Caption(), "Вопрос7");
    EXPECT_FALSE(kros->Images[28]->Visible());
    PressIn(kros->Cells[37]);  // RzEdit37MouseDown: word 4
    EXPECT_EQ(SelectedWord, 4);
    EXPECT_EQ(FocusedCell(kros), 37);
    // Cells 2 and 11 are crossings with handlers of their own: words 2 and 5.
    PressIn(kros->Cells[2]);
    EXPECT_EQ(SelectedWord, 2);
    PressIn(kros->Cells[11]);
    EXPECT_EQ(SelectedWord, 5);
    PressIn(kros->Cells[1]);
    EXPECT_EQ(SelectedWord, 1);
    PressIn(kros->Cells[37]);
    // A crossing cell without a handler takes the focus and keeps the word.
    PressIn(kros->Cells[31]);
    EXPECT_EQ(FocusedCell(kros), 31);
    EXPECT_EQ(SelectedWord, 4);
    EXPECT_EQ(kros->RzLabel12->Caption(), "Вопрос4");
}

TEST(KrosPlay, TypingFillsTheWordCellByCellAndTheNextTickLocksIt) {
    NewGame();
    PressTile(kros, 1);
    const int* cells = Tkros::WordCells(1);
    AnsiString answer = Answer(1);
    for (int i = 0; cells[i]; ++i) {
        EXPECT_EQ(FocusedCell(kros), cells[i]);
        TypeChar(wchar_t(Cp1251ToUnicode(static_cast<unsigned char>(answer[i]))));
        // The letter stays in the cell it was typed in; the focus went on.
        EXPECT_EQ(kros->Cells[cells[i]]->Text(), AnsiString(1, answer[i])) << i;
    }
    EXPECT_EQ(FocusedCell(kros), Tkros::SinkCell);
    EXPECT_TRUE(kros->Cells[Tkros::SinkCell]->Text().empty());
    EXPECT_FALSE(Locked(1));
    EXPECT_FALSE(kros->Images[1]->Visible());
    ASSERT_TRUE(Gate().Step());
    EXPECT_TRUE(Locked(1));
    EXPECT_EQ(WordSolved[1], 1);
    EXPECT_TRUE(kros->Images[1]->Visible());
    for (const int* c = cells; *c; ++c) EXPECT_EQ(kros->Cells[*c]->Font()->Color(), clBlack);
    // Locked cells paint yellow; the crossing cell 2 is locked for word 2 too.
    Pixels px = Render(kros);
    for (const int* c = cells; *c; ++c) {
        CellLook l = LookAt(px, kros->Cells[*c]);
        EXPECT_GT(l.Yellow, l.Total / 2) << "cell " << *c;
        EXPECT_GT(l.Dark, 5) << "black letter in cell " << *c;
        EXPECT_EQ(l.Red, 0);
    }
    CellLook open = LookAt(px, kros->Cells[7]);
    EXPECT_EQ(open.White, open.Total);
    // The scanner shows at its place.
    int r, g, b;
    MeanColour(px, 272, 112, 113, 76, r, g, b);
    EXPECT_LT(r, 200);
}

TEST(KrosPlay, AWrongLetterShowsRedUntilItIsReplaced) {
    NewGame();
    PressTile(kros, 8);  // "мышь"
    Type("мыщь");
    ASSERT_TRUE(Gate().Step());
    EXPECT_FALSE(Locked(8));
    EXPECT_EQ(WordSolved[8], 0);
    EXPECT_EQ(kros->Cells[29]->Font()->Color(), clRed);
    for (int c : {27, 28, 26}) EXPECT_EQ(kros->Cells[c]->Font()->Color(), clBlack) << c;
    Pixels px = Render(kros);
    EXPECT_GT(LookAt(px, kros->Cells[29]).Red, 5);
    EXPECT_EQ(LookAt(px, kros->Cells[28]).Red, 0);
    EXPECT_GT(LookAt(px, kros->Cells[28]).Dark, 5);
    // Red stays, tick after tick, while the letter stays.
    ASSERT_TRUE(Gate().Step(2));
    EXPECT_EQ(kros->Cells[29]->Font()->Color(), clRed);
    // The pupil presses the wrong cell and types over it.
    PressIn(kros->Cells[29]);
    EXPECT_EQ(FocusedCell(kros), 29);
    EXPECT_EQ(SelectedWord, 8);
    Type("ш");
    EXPECT_EQ(kros->Cells[29]->Text(), "ш");
    EXPECT_EQ(FocusedCell(kros), 26);
    EXPECT_EQ(kros->Cells[26]->Text(), "ь");  // not touched
    ASSERT_TRUE(Gate().Step());
    EXPECT_TRUE(Locked(8));
    EXPECT_EQ(kros->Cells[29]->Font()->Color(), clBlack);
    EXPECT_TRUE(kros->Images[6]->Visible());
}

TEST(KrosPlay, ACapitalIsWrongAndAWordWithAGapIsNotChecked) {
    NewGame();
    PressTile(kros, 10);
    Type("Диск");
    PressTile(kros, 4);
    Type("микрXфо");  // the last cell stays empty
    ASSERT_TRUE(Gate().Step());
    EXPECT_EQ(kros->Cells[57]->Font()->Color(), clRed);
    EXPECT_FALSE(Locked(10));
    // Not checked: no colour of the check, not even on the wrong letter.
    for (const int* c = Tkros::WordCells(4); *c; ++c)
        EXPECT_EQ(kros->Cells[*c]->Font()->Color(), clWindowText) << *c;
    EXPECT_EQ(WordSolved[4], 0);
}

TEST(KrosKeys, EveryKeyEmptiesItsCellAndMovesOnButTabOnlyMoves) {
    NewGame();
    PressTile(kros, 9);  // "процессор": cells 49 50 51 52 47 53 54 55 56
    Type("процес");
    PressIn(kros->Cells[49]);
    EXPECT_EQ(FocusedCell(kros), 49);
    PressKey(VK_BACK);
    EXPECT_TRUE(kros->Cells[49]->Text().empty());
    EXPECT_EQ(FocusedCell(kros), 50);
    PressKey(VK_DELETE);
    EXPECT_TRUE(kros->Cells[50]->Text().empty());
    EXPECT_EQ(FocusedCell(kros), 51);
    PressKey(VK_LEFT);  // an arrow goes on along the word as well
    EXPECT_TRUE(kros->Cells[51]->Text().empty());
    EXPECT_EQ(FocusedCell(kros), 52);
    PressKey(VK_SHIFT);
    EXPECT_TRUE(kros->Cells[52]->Text().empty());
    EXPECT_EQ(FocusedCell(kros), 47);
    // Tab moves to the next cell in tab order (RzEdit48) and empties nothing.
    PressKey(VK_TAB);
    EXPECT_EQ(kros->Cells[47]->Text(), "е");
    EXPECT_EQ(FocusedCell(kros), 48);
    EXPECT_EQ(kros->Cells[53]->Text(), "с");
    // The sink empties itself and keeps the focus.
    kros->Cells[Tkros::SinkCell]->SetFocus();
    Pump();
    Type("ab");
    EXPECT_EQ(FocusedCell(kros), Tkros::SinkCell);
    EXPECT_EQ(kros->Cells[Tkros::SinkCell]->Text(), "b");
}

TEST(KrosKeys, ACrossingCellFollowsTheSelectedWordOrKeepsTheFocus) {
    NewGame();
    // No word selected yet: typing in a crossing cell leaves the focus there.
    PressIn(kros->Cells[14]);
    EXPECT_EQ(SelectedWord, 0);
    Type("а");
    EXPECT_EQ(FocusedCell(kros), 14);
    EXPECT_EQ(kros->Cells[14]->Text(), "а");
    // Word 6 through it: down to cell 23.
    PressIn(kros->Cells[22]);
    PressIn(kros->Cells[14]);
    Type("а");
    EXPECT_EQ(FocusedCell(kros), 23);
    // Word 5 through it: across to cell 15.
    PressIn(kros->Cells[13]);
    PressIn(kros->Cells[14]);
    Type("а");
    EXPECT_EQ(FocusedCell(kros), 15);
    // Word 3 selected, which does not pass cell 20: the focus stays.
    PressTile(kros, 3);
    PressIn(kros->Cells[20]);
    Type("р");
    EXPECT_EQ(FocusedCell(kros), 20);
    // Cell 26 ends words 6 and 8: the sink, whatever is selected.
    PressIn(kros->Cells[26]);
    Type("ь");
    EXPECT_EQ(FocusedCell(kros), Tkros::SinkCell);
    // The successor rule for every crossing and each of its words.
    bool none[Tkros::SinkCell + 1] = {};
    const int kCross[][5] = {{2, 1, 3, 2, 7},     {11, 2, 12, 5, 13}, {14, 5, 15, 6, 23},
                             {18, 5, 19, 3, 34},  {20, 5, 21, 7, 44}, {31, 3, 32, 4, 40},
                             {47, 7, 48, 9, 53},  {54, 9, 55, 10, 59}};
    for (auto& x : kCross) {
        EXPECT_EQ(Tkros::Successor(x[0], x[1], none), x[2]) << x[0];
        EXPECT_EQ(Tkros::Successor(x[0], x[3], none), x[4]) << x[0];
        EXPECT_EQ(Tkros::Successor(x[0], 0, none), x[0]) << x[0];
    }
    for (int last : {6, 12, 21, 26, 35, 42, 48, 56, 59})
        for (int w = 0; w <= Tkros::WordCount; ++w) EXPECT_EQ(Tkros::Successor(last, w, none), Tkros::SinkCell);
}

TEST(KrosKeys, TypingSkipsLockedCrossingsAndLockedCellsRefuseLetters) {
    NewGame();
    TypeWord(5);  // "клавиатура" locks 11, 14, 18, 20 on the next tick
    TypeWord(6);  // "память" through the crossing 14, ends in 26
    ASSERT_TRUE(Gate().Step());
    ASSERT_TRUE(Locked(5));
    ASSERT_TRUE(Locked(6));
    // Word 2 from its tile: cell 2 is open, so typing starts there and skips 11.
    PressTile(kros, 2);
    EXPECT_EQ(FocusedCell(kros), 2);
    Type("коло");
    EXPECT_EQ(FocusedCell(kros), 10);
    Type("н");
    EXPECT_EQ(FocusedCell(kros), 12) << "the locked crossing 11 is skipped";
    Type("и");
    EXPECT_EQ(FocusedCell(kros), Tkros::SinkCell);
    // Word 8 ends in the locked cell 26: after cell 29 the focus goes to the sink.
    PressTile(kros, 8);
    Type("мыш");
    EXPECT_EQ(FocusedCell(kros), Tkros::SinkCell);
    ASSERT_TRUE(Gate().Step());
    EXPECT_TRUE(Locked(2));
    EXPECT_TRUE(Locked(8));
    EXPECT_EQ(Letters(2), "колонки");
    // Word 5 from its tile: its first cell 11 is locked, so the second is focused.
    PressTile(kros, 5);
    EXPECT_EQ(FocusedCell(kros), 13);
    // A key in a locked cell changes nothing but the focus.
    PressIn(kros->Cells[15]);
    Type("ж");
    EXPECT_EQ(kros->Cells[15]->Text(), "в");
    EXPECT_EQ(FocusedCell(kros), 16);
    PressKey(VK_BACK);
    EXPECT_EQ(kros->Cells[16]->Text(), "и");
    EXPECT_EQ(FocusedCell(kros), 17);
    // A solved word stays solved, letters black, tick after tick.
    ASSERT_TRUE(Gate().Step());
    EXPECT_EQ(Letters(5), "клавиатура");
    EXPECT_TRUE(Locked(5));
    // Locked cells stay yellow with the focus in them.
    Pixels px = Render(kros);
    CellLook l = LookAt(px, kros->Cells[17]);
    EXPECT_GT(l.Yellow, l.Total / 2);
}

// A text pasted into a cell is read at its whole length: one cell holds it
// all, the word is checked against it and stays wrong.
TEST(KrosLongText, APastedLongTextIsReadWholeAndTheWordIsWrong) {
    NewGame();
    PressTile(kros, 10);
    Type("ди");
    std::wstring longText(300, L'\u0441');  // "ссс..."
    ASSERT_TRUE(OpenClipboard(kros->Handle()));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (longText.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(mem), longText.c_str(), (longText.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
    SendMessageW(kros->Cells[54]->Handle(), WM_PASTE, 0, 0);
    Pump();
    ASSERT_EQ(kros->Cells[54]->Text().size(), 300u);
    EXPECT_EQ(kros->Cells[54]->Text(), AnsiString(300, Tkros::CellLetter(54)));
    PressIn(kros->Cells[59]);
    Type("к");
    ASSERT_TRUE(Gate().Step());
    EXPECT_FALSE(Locked(10));
    EXPECT_EQ(kros->Cells[54]->Font()->Color(), clRed);
    EXPECT_EQ(kros->Cells[57]->Font()->Color(), clBlack);
    // Replaced by one letter, the word is right.
    PressIn(kros->Cells[54]);
    Type("с");
    EXPECT_EQ(kros->Cells[54]->Text(), "с");
    ASSERT_TRUE(Gate().Step());
    EXPECT_TRUE(Locked(10));
}

TEST(KrosWin, TheTenthWordWinsOnItsTickAndHomeBlinksTickByTick) {
    NewGame();
    for (int w : {1, 2, 3, 4, 5, 6, 7, 8, 9}) TypeWord(w);
    ASSERT_TRUE(Gate().Step());
    for (int w = 1; w <= 9; ++w) EXPECT_TRUE(Locked(w)) << w;
    EXPECT_EQ(AllSolved, 0);
    EXPECT_FALSE(kros->RzLabel13->Enabled());
    TypeWord(10);
    EXPECT_EQ(Form2->Label1->Caption(), "0");
    ASSERT_TRUE(Gate().Step());
    EXPECT_EQ(AllSolved, 1);
    EXPECT_EQ(kros->RzLabel12->Caption(), "Молодец!");
    EXPECT_EQ(kros->RzLabel11->Caption(), "Ты молодец, твой ум силён. Свой приз найдёшь в окне другом!");
    EXPECT_TRUE(kros->RzLabel13->Enabled());
    EXPECT_EQ(Form2->Label1->Caption(), "1");
    for (int p = 1; p <= 10; ++p) EXPECT_TRUE(kros->Images[p]->Visible()) << p;
    // "ДОМ": red on the tick of the win, then yellow, red, ... one colour a tick.
    // On screen the caption's red comes and goes with the ticks (its raised
    // shadow stays yellow).
    auto redOfHome = [] {
        Pixels px = Render(kros);
        TControl* home = kros->RzLabel13;
        int n = 0;
        for (int y = home->Top(); y < home->Top() + home->Height(); ++y)
            for (int x = home->Left(); x < home->Left() + home->Width(); ++x) {
                uint32_t c = px.At(x, y);
                n += ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) < 80 && (c & 0xFF) < 80;
            }
        return n;
    };
    EXPECT_EQ(kros->RzLabel13->Font()->Color(), clRed);
    EXPECT_GT(redOfHome(), 20);
    for (int t = 0; t < 4; ++t) {
        ASSERT_TRUE(Gate().Step());
        bool yellow = t % 2 == 0;
        EXPECT_EQ(kros->RzLabel13->Font()->Color(), yellow ? clYellow : clRed) << t;
        if (yellow)
            EXPECT_LT(redOfHome(), 5) << t;
        else
            EXPECT_GT(redOfHome(), 20) << t;
    }
    EXPECT_EQ(Form2->Label1->Caption(), "1") << "the counter is raised once";
    // The pictures are on screen.
    Pixels px = Render(kros);
    int r, g, b;
    MeanColour(px, 712, 16, 145, 122, r, g, b);
    EXPECT_LT(r, 150) << "the monitor";
    // KROS_HOLD_MS keeps the won game on screen for a look (or a screenshot).
    if (const char* hold = getenv("KROS_HOLD_MS")) {
        Activate(kros);
        PumpUntil([] { return false; }, DWORD(atoi(hold)));
    }
    // "ДОМ" back to the menu: the form hides, its ball is gone.
    ClickControl(kros, kros->RzLabel13);
    EXPECT_TRUE(PumpUntil([] { return !kros->Visible(); }));
    EXPECT_FALSE(kros->Image32->Visible());
    EXPECT_TRUE(Form2->Visible());
    EXPECT_EQ(Form2->Label1->Caption(), "1");
}

TEST(KrosWin, HomeDoesNothingBeforeTheWinAndTheCloseBoxCountsNothing) {
    NewGame();
    TypeWord(1);
    TypeWord(2);
    ClickControl(kros, kros->RzLabel13);
    EXPECT_TRUE(kros->Visible());
    EXPECT_TRUE(kros->Image32->Visible());
    PostMessageW(kros->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([] { return !kros->Visible(); }));
    EXPECT_TRUE(Form2->Visible());
    // The hidden form's timer goes on ticking, and counts nothing.
    ASSERT_TRUE(Gate().Step(3));
    EXPECT_TRUE(Locked(1));
    EXPECT_EQ(AllSolved, 0);
    EXPECT_EQ(Form2->Label1->Caption(), "0");
    EXPECT_TRUE(kros->Image32->Visible());
}
