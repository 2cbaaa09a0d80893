#include "Unit3.h"

#include <cstdio>

#include "Unit2.h"

Tsost* sost = nullptr;
int DraggedLabel = 0;
int PlacedCount = 0;
int DoneBlink = 0;

namespace {

// The box each name belongs on, by label number.
const char* const kBoxOfName[11] = {nullptr,    "Shape3",  "Shape2",  "Shape17", "Shape5",  "Shape4",
                                    "Shape18",  "Shape1",  "Shape6",  "Shape19", "Shape20"};

// The two star groups that take turns once the game is won.
constexpr int kFirstGroup[5] = {2, 3, 6, 7, 10};
constexpr int kSecondGroup[5] = {1, 4, 5, 8, 9};

}  // namespace

Tsost::Tsost(TComponent* AOwner) : TForm(AOwner) {}

// The components the handlers use, once the definition has been read.
void Tsost::Loaded() {
    TForm::Loaded();
    char name[32];
    for (int n = 1; n <= 10; ++n) {
        std::snprintf(name, sizeof name, "RzLabel%d", n);
        BindComponent(this, Names[n], name);
        BindComponent(this, Boxes[n], kBoxOfName[n]);
        std::snprintf(name, sizeof name, "StarShape%d", n);
        BindComponent(this, Stars[n], name);
    }
    BindComponent(this, Image32, "Image32");
    BindComponent(this, RzLabel13, "RzLabel13");
    BindComponent(this, Timer1, "Timer1");
}

void Tsost::Register() {
    RegisterFormClass<Tsost>("Tsost")
        .Handler<&Tsost::FormShow>("FormShow")
        .Handler<&Tsost::FormClose>("FormClose")
        .Handler<&Tsost::RzLabel1MouseDown>("RzLabel1MouseDown")
        .Handler<&Tsost::RzLabel2MouseDown>("RzLabel2MouseDown")
        .Handler<&Tsost::RzLabel3MouseDown>("RzLabel3MouseDown")
        .Handler<&Tsost::RzLabel4MouseDown>("RzLabel4MouseDown")
        .Handler<&Tsost::RzLabel5MouseDown>("RzLabel5MouseDown")
        .Handler<&Tsost::RzLabel6MouseDown>("RzLabel6MouseDown")
        .Handler<&Tsost::RzLabel7MouseDown>("RzLabel7MouseDown")
        .Handler<&Tsost::RzLabel8MouseDown>("RzLabel8MouseDown")
        .Handler<&Tsost::RzLabel9MouseDown>("RzLabel9MouseDown")
        .Handler<&Tsost::RzLabel10MouseDown>("RzLabel10MouseDown")
        .Handler<&Tsost::Shape3DragOver>("Shape3DragOver")
        .Handler<&Tsost::Shape1DragDrop>("Shape1DragDrop")
        .Handler<&Tsost::Shape2DragDrop>("Shape2DragDrop")
        .Handler<&Tsost::Shape3DragDrop>("Shape3DragDrop")
        .Handler<&Tsost::Shape4DragDrop>("Shape4DragDrop")
        .Handler<&Tsost::Shape5DragDrop>("Shape5DragDrop")
        .Handler<&Tsost::Shape6DragDrop>("Shape6DragDrop")
        .Handler<&Tsost::Shape17DragDrop>("Shape17DragDrop")
        .Handler<&Tsost::Shape18DragDrop>("Shape18DragDrop")
        .Handler<&Tsost::Shape19DragDrop>("Shape19DragDrop")
        .Handler<&Tsost::Shape20DragDrop>("Shape20DragDrop")
        .Handler<&Tsost::Timer1Timer>("Timer1Timer")
        .Handler<&Tsost::RzLabel13Click>("RzLabel13Click");
}

void Tsost::FormShow(TObject*) {
    DraggedLabel = 0;
    PlacedCount = 0;
    DoneBlink = 0;
}

// Any button records the name; only the left one drags it, and only once the
// mouse has moved by the drag threshold, so a plain click starts nothing.
void Tsost::PressName(int Number, TMouseButton Button) {
    DraggedLabel = Number;
    if (Button == mbLeft) Names[Number]->BeginDrag(false, -1);
}

void Tsost::RzLabel1MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(1, B); }
void Tsost::RzLabel2MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(2, B); }
void Tsost::RzLabel3MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(3, B); }
void Tsost::RzLabel4MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(4, B); }
void Tsost::RzLabel5MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(5, B); }
void Tsost::RzLabel6MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(6, B); }
void Tsost::RzLabel7MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(7, B); }
void Tsost::RzLabel8MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(8, B); }
void Tsost::RzLabel9MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(9, B); }
void Tsost::RzLabel10MouseDown(TObject*, TMouseButton B, TShiftState, int, int) { PressName(10, B); }

// The background and every box take any name; only the boxes have drops.
void Tsost::Shape3DragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
    Accept = dynamic_cast<TRzLabel*>(Source) != nullptr;
}

// A name on its own box covers it (same bounds, above it in z-order), so it
// cannot be dropped there twice.
void Tsost::DropOnBoxOf(int Number) {
    if (DraggedLabel != Number) return;
    ++PlacedCount;
    TShape* box = Boxes[Number];
    box->Brush()->SetColor(clYellow);
    Names[Number]->SetBounds(box->Left(), box->Top(), Names[Number]->Width(), Names[Number]->Height());
    Stars[Number]->Show();
}

void Tsost::Shape1DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(7); }
void Tsost::Shape2DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(2); }
void Tsost::Shape3DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(1); }
void Tsost::Shape4DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(5); }
void Tsost::Shape5DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(4); }
void Tsost::Shape6DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(8); }
void Tsost::Shape17DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(3); }
void Tsost::Shape18DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(6); }
void Tsost::Shape19DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(9); }
void Tsost::Shape20DragDrop(TObject*, TObject*, int, int) { DropOnBoxOf(10); }

// The win is seen by the tick after the tenth placement; the first blink
// phase runs in that same tick. The timer keeps running while the form is
// hidden, so the counter (and the menu's prize check) may follow a close.
void Tsost::Timer1Timer(TObject*) {
    if (DoneBlink == 0 && PlacedCount == 10) {
        RzLabel13->SetEnabled(true);
        RaiseCompletedGames();
        DoneBlink = 1;
    }
    if (DoneBlink == 1) {
        RzLabel13->Font()->SetColor(clRed);
        for (int n : kSecondGroup) Stars[n]->Hide();
        for (int n : kFirstGroup) Stars[n]->Show();
        DoneBlink = 2;
    } else if (DoneBlink == 2) {
        RzLabel13->Font()->SetColor(clYellow);
        for (int n : kFirstGroup) Stars[n]->Hide();
        for (int n : kSecondGroup) Stars[n]->Show();
        DoneBlink = 1;
    }
}

// "ДОМ", enabled once the game is won: the button shows as used.
void Tsost::RzLabel13Click(TObject*) {
    Image32->Hide();
    Close();
}

// The form is only hidden (the default for a form that is not the main one).
void Tsost::FormClose(TObject*, TCloseAction&) { Form2->Show(); }
