// The Zudaderir game: ten device names dragged from the tray onto the boxes
// that point at the parts of a computer; won when all ten are placed.
#pragma once

#include "LessonForms.h"
#include "Shapes.h"

class Tsost : public TForm {
public:
    explicit Tsost(TComponent* AOwner);
    const char* ClassName() const override { return "Tsost"; }

    // Components the handlers use, indexed by label number 1..10 (0 unused):
    // the name, the box it belongs on and the star shown where it lay.
    TRzLabel* Names[11] = {};
    TShape* Boxes[11] = {};
    TStarShape* Stars[11] = {};
    TImage* Image32 = nullptr;  // ball of the "ДОМ" button
    TRzLabel* RzLabel13 = nullptr;
    TTimer* Timer1 = nullptr;

    // Published handlers, bound by name from the definition.
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void RzLabel1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel3MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel4MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel5MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel6MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel7MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel8MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel9MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzLabel10MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Shape3DragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
    void Shape1DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Shape2DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Shape3DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Shape4DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Shape5DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Shape6DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Shape17DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Shape18DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Shape19DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Shape20DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void Timer1Timer(TObject* Sender);
    void RzLabel13Click(TObject* Sender);

    void Loaded() override;

    static void Register();

private:
    void PressName(int Number, TMouseButton Button);
    // A drop on the box that label Number belongs on.
    void DropOnBoxOf(int Number);
};

extern Tsost* sost;

// The number 1..10 of the name last pressed; 0 after FormShow.
extern int DraggedLabel;
// Names placed on their own box; the game is won at 10.
extern int PlacedCount;
// 0 until the win is handled; then 1: the next tick shows red, 2: yellow.
extern int DoneBlink;
