#include "Unit51.h"

#include <chrono>
#include <random>

#include "RzButton.h"
#include "RzPanel.h"
#include "Unit2.h"
#include "Unit52.h"
#include "sScrollBar.h"

Traspr* raspr = nullptr;

namespace Unit51 {
int SourceIndex = 0;
int KeepShown = 0;
TImage* DraggedImage = nullptr;
int DraggedNumber = 0;
int ErrorCount = 0;
int ErrorPending = 0;
TShape* ErrorFrame = nullptr;
int HomeBlink = 0;
}  // namespace Unit51

using namespace Unit51;

namespace {

const char* const kRightText = "Распредели устройства по назначению";
const char* const kErrorText = "Исправь ошибку!";

// The pictures in the order the source box's caption looks for them.
struct Device {
    const char* Name;
    const char* Shown;
};
const Device kDevices[] = {
    {"Image2", "Дискета"},      {"Image3", "Принтер"},        {"Image4", "Цифровая камера"},
    {"Image5", "Карта памяти"}, {"Image6", "Колонки"},        {"Image7", "Микрофон"},
    {"Image8", "Жёсткий диск"}, {"Image9", "Мышь"},           {"Image10", "Клавиатура"},
    {"Image12", "Монитор"},     {"Image13", "Наушники"},      {"Image15", "Оптический диск"},
    {"Image16", "Сканер"},      {"Image17", "Флэш память"},
};

const int kOutput[] = {3, 6, 12, 13};
const int kInput[] = {4, 7, 9, 10, 16};
const int kStorage[] = {2, 5, 8, 15, 17};

// Seeded from the clock, so the shuffle differs from run to run.
std::mt19937& Generator() {
    static std::mt19937 g;
    return g;
}
void Randomize() { Generator().seed(unsigned(std::chrono::steady_clock::now().time_since_epoch().count())); }
// An integer from 0 to N - 1.
int Random(int N) { return N <= 0 ? 0 : int(std::uniform_int_distribution<int>(0, N - 1)(Generator())); }

}  // namespace

int PictureNumber(TComponent* Picture) {
    const AnsiString& name = Picture->Name();
    return name.size() > 5 ? StrToInt(name.substr(5)) : 0;
}

Traspr::Traspr(TComponent* AOwner) : TForm(AOwner) {}

void Traspr::Loaded() {
    TForm::Loaded();
    BindComponent(this, RzLabel1, "RzLabel1");
    BindComponent(this, Image32, "Image32");
    BindComponent(this, RzLabel13, "RzLabel13");
    BindComponent(this, RzGroupBox1, "RzGroupBox1");
    BindComponent(this, RzButton1, "RzButton1");
    BindComponent(this, RzButton2, "RzButton2");
    BindComponent(this, sScrollBar1, "sScrollBar1");
    BindComponent(this, sScrollBar2, "sScrollBar2");
    BindComponent(this, sScrollBar3, "sScrollBar3");
    BindComponent(this, RzPanel1, "RzPanel1");
    BindComponent(this, RzPanel2, "RzPanel2");
    BindComponent(this, RzPanel3, "RzPanel3");
    BindComponent(this, RzGroupBox2, "RzGroupBox2");
    BindComponent(this, RzGroupBox3, "RzGroupBox3");
    BindComponent(this, RzGroupBox4, "RzGroupBox4");
    BindComponent(this, Panel1, "Panel1");
    BindComponent(this, Label1, "Label1");
    BindComponent(this, Timer1, "Timer1");
    BindComponent(this, Timer2, "Timer2");
    BindComponent(this, Timer3, "Timer3");
}

void Traspr::Register() {
    RegisterFormClass<Traspr>("Traspr")
        .Handler<&Traspr::FormCreate>("FormCreate")
        .Handler<&Traspr::FormShow>("FormShow")
        .Handler<&Traspr::FormClose>("FormClose")
        .Handler<&Traspr::Timer1Timer>("Timer1Timer")
        .Handler<&Traspr::Timer2Timer>("Timer2Timer")
        .Handler<&Traspr::Timer3Timer>("Timer3Timer")
        .Handler<&Traspr::RzButton1Click>("RzButton1Click")
        .Handler<&Traspr::RzButton2Click>("RzButton2Click")
        .Handler<&Traspr::RzButton3Click>("RzButton3Click")
        .Handler<&Traspr::tImageMouseDown>("tImageMouseDown")
        .Handler<&Traspr::tshapeMouseDown>("tshapeMouseDown")
        .Handler<&Traspr::RzGroupBox2DragOver>("RzGroupBox2DragOver")
        .Handler<&Traspr::RzGroupBox3DragOver>("RzGroupBox3DragOver")
        .Handler<&Traspr::RzGroupBox4DragOver>("RzGroupBox4DragOver")
        .Handler<&Traspr::RzGroupBox2DragDrop>("RzGroupBox2DragDrop")
        .Handler<&Traspr::RzGroupBox3DragDrop>("RzGroupBox3DragDrop")
        .Handler<&Traspr::RzGroupBox4DragDrop>("RzGroupBox4DragDrop")
        .Handler<&Traspr::sScrollBar1Scroll>("sScrollBar1Scroll")
        .Handler<&Traspr::sScrollBar2Scroll>("sScrollBar2Scroll")
        .Handler<&Traspr::sScrollBar3Scroll>("sScrollBar3Scroll");
}

void Traspr::FormCreate(TObject*) {
    // Placeholders until the first press and the first wrong drop.
    DraggedImage = new TImage(this);
    ErrorFrame = new TShape(this);
    SourceIndex = 0;
    KeepShown = 0;
    DraggedNumber = 0;
    ErrorCount = 0;
}

void Traspr::FormShow(TObject*) {
    const int n = RzGroupBox1->ControlCount() - 1;
    Randomize();
    for (int i = 0; i < 499; ++i) RzGroupBox1->Controls(Random(n))->BringToFront();
    if (RzGroupBox1->ControlCount() > 0) RzGroupBox1->Controls(0)->Show();
    Timer1->SetEnabled(true);
    ErrorPending = 0;
    HomeBlink = 0;
}

void Traspr::Timer1Timer(TObject*) {
    for (const Device& d : kDevices) {
        TControl* c = dynamic_cast<TControl*>(FindComponent(d.Name));
        if (c && c->Parent() == RzGroupBox1 && c->Visible()) RzGroupBox1->SetCaption(d.Shown);
    }
}

void Traspr::RzButton1Click(TObject*) {
    const int count = RzGroupBox1->ControlCount();
    if (SourceIndex >= count - 1) return;
    ++SourceIndex;
    if (!KeepShown && SourceIndex - 1 < count) RzGroupBox1->Controls(SourceIndex - 1)->Hide();
    RzGroupBox1->Controls(SourceIndex)->Show();
    if (SourceIndex == 1) RzButton2->SetEnabled(true);
    if (SourceIndex == count - 1) RzButton1->SetEnabled(false);
    KeepShown = 0;
}

void Traspr::RzButton2Click(TObject*) {
    const int count = RzGroupBox1->ControlCount();
    if (SourceIndex > 0) {
        --SourceIndex;
        // The previous position may be gone (the last picture was taken).
        if (!KeepShown && SourceIndex + 1 < count) RzGroupBox1->Controls(SourceIndex + 1)->Hide();
        if (SourceIndex < count) RzGroupBox1->Controls(SourceIndex)->Show();
        if (SourceIndex == count - 2) RzButton1->SetEnabled(true);
        if (SourceIndex == 0) RzButton2->SetEnabled(false);
    }
    KeepShown = 0;
}

void Traspr::tImageMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
    if (ErrorPending) return;
    POINT cur;
    GetCursorPos(&cur);
    const TPoint origin = ClientOrigin();
    const int x = cur.x - origin.X, y = cur.y - origin.Y;
    const TRect box = RzGroupBox1->BoundsRect();
    if (!(x > box.Left && x < box.Right && y > box.Top && y < box.Bottom)) return;
    TImage* shown = nullptr;
    for (int i = 0; i < RzGroupBox1->ControlCount() && !shown; ++i)
        if (RzGroupBox1->Controls(i)->Visible()) shown = dynamic_cast<TImage*>(RzGroupBox1->Controls(i));
    // Only a picture that is shown in the source box can be taken.
    if (!shown) return;
    DraggedImage = shown;
    DraggedNumber = PictureNumber(shown);
    if (Button == mbLeft) DraggedImage->BeginDrag(false, -1);
}

void Traspr::tshapeMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
    if (Button == mbLeft && ErrorPending && DraggedImage) DraggedImage->BeginDrag(false, -1);
}

void Traspr::RzGroupBox2DragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
    Accept = dynamic_cast<TImage*>(Source) != nullptr;
}
void Traspr::RzGroupBox3DragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
    Accept = dynamic_cast<TImage*>(Source) != nullptr;
}
void Traspr::RzGroupBox4DragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
    Accept = dynamic_cast<TImage*>(Source) != nullptr;
}

void Traspr::RzGroupBox2DragDrop(TObject*, TObject*, int, int) {
    DropOn(RzGroupBox2, RzPanel1, sScrollBar1, kOutput, 4, "Вы правильно справились с заданием!");
}
void Traspr::RzGroupBox3DragDrop(TObject*, TObject*, int, int) {
    DropOn(RzGroupBox3, RzPanel2, sScrollBar2, kInput, 5, "Вы правильно справились с заданием!");
}
void Traspr::RzGroupBox4DragDrop(TObject*, TObject*, int, int) {
    DropOn(RzGroupBox4, RzPanel3, sScrollBar3, kStorage, 5, "Вы правильно выполнили  задание!");
}

void Traspr::DropOn(TRzGroupBox* G, TRzPanel* Window, TsScrollBar* Bar, const int* Set, int SetCount,
                    const char* SuccessText) {
    if (ErrorPending) {
        // The frame of the corrected picture leaves the group's controls.
        ErrorFrame->Hide();
        ErrorFrame->SetParent(this);
    }
    const bool fromSource = DraggedImage->Parent() == RzGroupBox1;
    if (fromSource) {
        for (int i = 0; i < raspr1->ControlCount(); ++i) {
            auto* thumb = dynamic_cast<TImage*>(raspr1->Controls(i));
            if (thumb && thumb->Name() == DraggedImage->Name()) {
                DraggedImage->Picture()->Assign(thumb->Picture());
                break;
            }
        }
        DraggedImage->SetWidth(97);
        DraggedImage->SetHeight(89);
        DraggedImage->SetCenter(true);
    }
    DraggedImage->SetParent(G);

    // Flow layout after the group's previous control.
    if (G->ControlCount() == 1) {
        DraggedImage->SetBounds(8, 40, DraggedImage->Width(), DraggedImage->Height());
    } else {
        TControl* prev = G->Controls(G->ControlCount() - 2);
        int left = prev->Left() + prev->Width() + 3, top = prev->Top();
        if (left + DraggedImage->Width() > G->Width() - 8) {
            left = 8;
            top = top + DraggedImage->Height() + 5;
        }
        DraggedImage->SetBounds(left, top, DraggedImage->Width(), DraggedImage->Height());
    }

    // The next source picture slides into view.
    if (fromSource && RzGroupBox1->ControlCount() > 0) {
        KeepShown = 1;
        if (RzGroupBox1->ControlCount() > SourceIndex) {
            --SourceIndex;
            RzButton1Click(this);
        } else {
            RzButton2Click(this);
        }
    }

    bool right = false;
    for (int i = 0; i < SetCount; ++i) right = right || Set[i] == DraggedNumber;
    if (right) {
        ErrorPending = 0;
        DraggedImage->SetEnabled(false);
        RzLabel1->SetCaption(kRightText);
    } else {
        ++ErrorCount;
        auto* frame = new TShape(this);
        frame->SetParent(G);
        frame->SetBoundsRect(DraggedImage->BoundsRect());
        frame->Brush()->SetStyle(bsClear);
        frame->Pen()->SetWidth(5);
        frame->Pen()->SetColor(clRed);
        frame->SetCursor(crHandPoint);
        frame->OnMouseDown = TMouseEvent::Of<&Traspr::tshapeMouseDown>(this);
        ErrorFrame = frame;
        ErrorPending = 1;
        RzLabel1->SetCaption(kErrorText);
    }

    // A group that overflows grows and gets its scroll bar.
    if (DraggedImage->Top() + DraggedImage->Height() > G->Height()) {
        G->SetHeight(DraggedImage->Top() + 2 * DraggedImage->Height());
        Bar->SetMax(G->Height() - Window->Height() - 5);
        Bar->Show();
    }

    if (RzGroupBox1->ControlCount() == 0 && RzLabel1->Caption() != kErrorText) {
        RzGroupBox1->SetCaption("ВСЁ!");
        Panel1->SetParent(RzGroupBox1);
        Panel1->SetBounds(8, RzGroupBox1->Height() / 2, Panel1->Width(), Panel1->Height());
        Label1->SetCaption(AnsiString("Ошибок:   ") + IntToStr(ErrorCount) + "   " +
                           (ErrorCount > 0 ? AnsiString("!") : AnsiString(SuccessText)));
        RzLabel13->SetEnabled(true);
        HomeBlink = 1;
        Timer3->SetEnabled(true);
        Panel1->SetVisible(true);
        Timer2->SetEnabled(true);
    }
}

void Traspr::sScrollBar1Scroll(TObject*, TScrollCode, int& ScrollPos) { RzGroupBox2->SetTop(-ScrollPos); }
void Traspr::sScrollBar2Scroll(TObject*, TScrollCode, int& ScrollPos) { RzGroupBox3->SetTop(-ScrollPos); }
void Traspr::sScrollBar3Scroll(TObject*, TScrollCode, int& ScrollPos) { RzGroupBox4->SetTop(-ScrollPos); }

// The result line scrolls left a pixel a tick and comes back from the right.
void Traspr::Timer2Timer(TObject*) {
    Label1->SetLeft(Label1->Left() - 1);
    if (Label1->Left() < -Label1->Width()) Label1->SetLeft(Panel1->Width());
}

void Traspr::Timer3Timer(TObject*) {
    BlinkHome(RzLabel13, HomeBlink);
}

// "ДОМ" (enabled after the win): the button shows as used; the store closes
// first, then the game.
void Traspr::RzButton3Click(TObject*) {
    Image32->Hide();
    raspr1->Close();
    Close();
}

// The sorting game counts its win when its form closes after the win, by
// "ДОМ" or by the close box; before the win it only returns to the menu.
void Traspr::FormClose(TObject*, TCloseAction&) {
    if (RzLabel13->Enabled()) RaiseCompletedGames();
    Form2->Show();
}
