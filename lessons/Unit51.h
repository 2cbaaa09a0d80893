// The "Dedavirovo" sorting game: fourteen device pictures shuffled into a
// source box, browsed one at a time and dragged into three groups (output,
// input, storage). A right drop locks the picture as a thumbnail in its
// group; a wrong one is framed in red and blocks the source until the
// picture is moved again. The win is counted when the form closes.
#pragma once

#include "LessonForms.h"
#include "StdCtrls.h"

class TRzButton;
class TRzGroupBox;
class TRzPanel;
class TsScrollBar;

class Traspr : public TForm {
public:
    explicit Traspr(TComponent* AOwner);
    const char* ClassName() const override { return "Traspr"; }

    // Components of the definition that the handlers use.
    TRzLabel* RzLabel1 = nullptr;
    TImage* Image32 = nullptr;  // ball of the "ДОМ" button
    TRzLabel* RzLabel13 = nullptr;
    TRzGroupBox* RzGroupBox1 = nullptr;  // the source box
    TRzButton* RzButton1 = nullptr;      // "Вперёд"
    TRzButton* RzButton2 = nullptr;      // "Назад"
    TsScrollBar* sScrollBar1 = nullptr;
    TsScrollBar* sScrollBar2 = nullptr;
    TsScrollBar* sScrollBar3 = nullptr;
    TRzPanel* RzPanel1 = nullptr;
    TRzPanel* RzPanel2 = nullptr;
    TRzPanel* RzPanel3 = nullptr;
    TRzGroupBox* RzGroupBox2 = nullptr;  // output devices
    TRzGroupBox* RzGroupBox3 = nullptr;  // input devices
    TRzGroupBox* RzGroupBox4 = nullptr;  // storage media
    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TTimer* Timer1 = nullptr;
    TTimer* Timer2 = nullptr;
    TTimer* Timer3 = nullptr;

    // Published handlers, bound by name from the definition.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Timer1Timer(TObject* Sender);
    void Timer2Timer(TObject* Sender);
    void Timer3Timer(TObject* Sender);
    void RzButton1Click(TObject* Sender);
    void RzButton2Click(TObject* Sender);
    void RzButton3Click(TObject* Sender);
    void tImageMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void tshapeMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RzGroupBox2DragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
    void RzGroupBox3DragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
    void RzGroupBox4DragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
    void RzGroupBox2DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void RzGroupBox3DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void RzGroupBox4DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void sScrollBar1Scroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void sScrollBar2Scroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void sScrollBar3Scroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);

    void Loaded() override;

    static void Register();

private:
    // A drop on group G: thumbnail, flow layout, the next source picture, the
    // verdict, growth and the win.
    void DropOn(TRzGroupBox* G, TRzPanel* Window, TsScrollBar* Bar, const int* Set, int SetCount,
                const char* SuccessText);
};

extern Traspr* raspr;

// Game state: the unit's own variables (other units have a HomeBlink too).
namespace Unit51 {
extern int SourceIndex;
extern int KeepShown;
extern TImage* DraggedImage;
extern int DraggedNumber;
extern int ErrorCount;
extern int ErrorPending;
extern TShape* ErrorFrame;
extern int HomeBlink;
}  // namespace Unit51

// The number of a device picture: its name without the first five
// characters ("Image12" gives 12).
int PictureNumber(TComponent* Picture);
