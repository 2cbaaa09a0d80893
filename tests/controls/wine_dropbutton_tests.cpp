// The edit cell's drop button, as a descendant shows it, and masked input,
// driven by real mouse and keyboard input: dropping down by a press, a
// double click, Alt+Down and F4, the capture given up with the focus, the
// strip's place and its four looks read back from the screen, the frame
// controller's pushes, and a masked cell refusing keys and raising its
// validate error.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FormReader.h"
#include "RzEdit.h"
#include "WineUi.h"
#include "WinText.h"

using namespace wineui;

namespace {

// A descendant that shows the drop button and records what it sees when
// its list drops.
class TTestDropEdit : public TRzCustomEdit {
public:
    explicit TTestDropEdit(TComponent* AOwner) : TRzCustomEdit(AOwner) {
        SetDropButtonVisible(true);
        OnDropDown = TNotifyEvent::Of<&TTestDropEdit::Dropped>(this);
        OnCloseUp = TNotifyEvent::Of<&TTestDropEdit::Closed>(this);
    }
    const char* ClassName() const override { return "TTestDropEdit"; }
    using TRzCustomEdit::OnValidateError;
    using TRzCustomEdit::SetButtonState;
    using TRzCustomEdit::SetDropButtonVisible;

    int Drops = 0, Closes = 0;
    bool DownWhenDropped = false, CapturedWhenDropped = false, FocusedWhenDropped = false;
    AnsiString ValidateMessage;
    AnsiString Validating(TObject*) { return ValidateMessage; }

private:
    void Dropped(TObject*) {
        ++Drops;
        DownWhenDropped = ButtonState() == bsDown && DroppedDown();
        CapturedWhenDropped = GetCapture() == HandleIfAllocated();
        FocusedWhenDropped = GetFocus() == HandleIfAllocated();
    }
    void Closed(TObject*) { ++Closes; }
};

void RegisterTestDropEdit() {
    if (FindClassInfo("TTestDropEdit")) return;
    auto reg = RegisterComponentClass<TTestDropEdit>("TTestDropEdit", "TRzCustomEdit");
    RzPublishDropButton(reg);
}

// One shared window for every test: a form, the descendant and a plain
// edit to take the focus.
struct DropCell {
    std::unique_ptr<TForm> Form{NewForm(260, 120)};
    TTestDropEdit* Cell;
    TEdit* Other;
    explicit DropCell(TBiDiMode BiDi = bdLeftToRight) {
        RegisterTestDropEdit();
        Cell = new TTestDropEdit(Form.get());
        Cell->SetBiDiMode(BiDi);
        Cell->SetParent(Form.get());
        Cell->SetBounds(20, 20, 140, 24);
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(20, 70, 100, 24);
        Other->SetFocus();
        Pump(60);
    }
    // The button's centre on the screen.
    POINT ButtonCentre() {
        TRect b = Cell->DropButtonRect();
        RECT w;
        GetWindowRect(Cell->Handle(), &w);
        return POINT{w.left + (b.Left + b.Right) / 2, w.top + (b.Top + b.Bottom) / 2};
    }
    void Mouse(POINT P, DWORD Buttons = 0) {
        ASSERT_TRUE(testwin::MouseAt(P.x, P.y, Buttons));
        Pump(40);
    }
    void Keys(const std::vector<std::pair<WORD, bool>>& Strokes) {
        std::vector<INPUT> in;
        for (auto [vk, up] : Strokes) in.push_back(testwin::KeyStroke(vk, up));
        ASSERT_TRUE(testwin::SendInputs(in));
        Pump(60);
    }
    void Type(const char* Text) {
        for (const char* c = Text; *c; ++c) {
            SHORT vk = VkKeyScanW(wchar_t(*c));
            Keys({{WORD(vk & 0xFF), false}, {WORD(vk & 0xFF), true}});
        }
    }
};

// What the user does: Clicks clicks (Down, Up) at Where, or Keys stroked
// in the focused cell.
struct DropCase {
    const char* Name;
    enum { OnButton, OnText, Keyboard } Where;
    int Clicks;
    DWORD Down, Up;
    std::vector<std::pair<WORD, bool>> Keys;
    int Drops;
    bool Captured;  // the mouse was the control's while the list was down
};

}  // namespace

TEST(DropButton, OpensAndClosesByPressDoubleClickAltDownAndF4Only) {
    const DWORD L = MOUSEEVENTF_LEFTDOWN, LU = MOUSEEVENTF_LEFTUP;
    const DropCase cases[] = {
        {"press on the button", DropCase::OnButton, 1, L, LU, {}, 1, true},
        {"double click on the button", DropCase::OnButton, 2, L, LU, {}, 2, true},
        {"press on the text", DropCase::OnText, 1, L, LU, {}, 0, false},
        {"right click on the button", DropCase::OnButton, 1, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, {}, 0, false},
        {"Alt+Down", DropCase::Keyboard, 0, 0, 0, {{VK_MENU, false}, {VK_DOWN, false}, {VK_DOWN, true}, {VK_MENU, true}}, 1, false},
        {"F4", DropCase::Keyboard, 0, 0, 0, {{VK_F4, false}, {VK_F4, true}}, 1, false},
        {"Down alone", DropCase::Keyboard, 0, 0, 0, {{VK_DOWN, false}, {VK_DOWN, true}}, 0, false},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.Name);
        DropCell d;
        TPoint text = d.Cell->ClientToScreen(Point(10, 8));
        POINT at = c.Where == DropCase::OnButton ? d.ButtonCentre() : POINT{text.X, text.Y};
        for (int i = 0; i < c.Clicks; ++i) {
            d.Mouse(at, c.Down);
            d.Mouse(at, c.Up);
        }
        if (c.Where == DropCase::Keyboard) {
            d.Cell->SetFocus();
            d.Keys(c.Keys);
        }
        EXPECT_EQ(d.Cell->Drops, c.Drops);
        EXPECT_EQ(d.Cell->Closes, c.Drops);
        if (c.Drops > 0) {
            EXPECT_TRUE(d.Cell->DownWhenDropped);
            EXPECT_TRUE(d.Cell->FocusedWhenDropped);
            EXPECT_EQ(d.Cell->CapturedWhenDropped, c.Captured);
        }
        // Up again, list closed, the mouse free, no context menu over the button.
        EXPECT_EQ(d.Cell->ButtonState(), bsUp);
        EXPECT_FALSE(d.Cell->DroppedDown());
        EXPECT_NE(GetCapture(), d.Cell->Handle());
        EXPECT_EQ(FindWindowW(L"#32768", nullptr), nullptr);
    }
}

TEST(DropButton, TheMouseOverTheStripIsTracked) {
    DropCell d;
    d.Mouse(POINT{250, 110});
    d.Mouse(d.ButtonCentre());
    EXPECT_TRUE(d.Cell->OverDropButton());
    // The arrow over the button, the text beam over the text.
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    TPoint text = d.Cell->ClientToScreen(Point(10, 8));
    d.Mouse(POINT{text.X, text.Y});
    EXPECT_FALSE(d.Cell->OverDropButton());
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32513)));
    d.Mouse(d.ButtonCentre());
    d.Mouse(POINT{250, 110});
    EXPECT_FALSE(d.Cell->OverDropButton());
}

TEST(DropButton, CaptureEndsWhenTheCellLosesTheFocus) {
    DropCell d;
    d.Mouse(d.ButtonCentre(), MOUSEEVENTF_LEFTDOWN);
    ASSERT_EQ(d.Cell->Drops, 1);
    EXPECT_EQ(GetCapture(), d.Cell->Handle());
    d.Other->SetFocus();
    Pump(40);
    EXPECT_NE(GetCapture(), d.Cell->Handle());
    EXPECT_EQ(d.Cell->ButtonState(), bsUp);
    d.Mouse(d.ButtonCentre(), MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(d.Cell->Drops, 1);
}

TEST(DropButton, TheStripTakesAScrollBarsWidthOnTheReadingSide) {
    struct Case {
        TBiDiMode BiDi;
        int Themed;
    } cases[] = {{bdLeftToRight, 0}, {bdRightToLeft, 0}, {bdLeftToRight, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bidi " << c.BiDi << " themed " << c.Themed);
        RzForceVisualStyles(c.Themed);
        DropCell d(c.BiDi);
        int w = GetSystemMetrics(SM_CXVSCROLL) - c.Themed;
        auto* plain = new TRzEdit(d.Form.get());
        plain->SetParent(d.Form.get());
        plain->SetBounds(20, 20, 140, 24);
        plain->HandleNeeded();
        EXPECT_EQ(d.Cell->ClientWidth(), plain->ClientWidth() - w);
        TRect b = d.Cell->DropButtonRect();
        EXPECT_EQ(b.Right - b.Left, w);
        RECT wr;
        GetWindowRect(d.Cell->Handle(), &wr);
        TPoint origin = d.Cell->ClientToScreen(Point(0, 0));
        int clientLeft = origin.X - wr.left;
        if (c.BiDi == bdRightToLeft)
            EXPECT_EQ(b.Right, clientLeft);
        else
            EXPECT_EQ(b.Left, clientLeft + d.Cell->ClientWidth());
        // Hidden again, the text has the whole width.
        d.Cell->SetDropButtonVisible(false);
        Pump();
        EXPECT_EQ(d.Cell->ClientWidth(), plain->ClientWidth());
        RzForceVisualStyles(-1);
    }
}

namespace {

// What a look shows at the button: its top-left and bottom-right corners
// and a face pixel inside the border; 0xFFFFFFFF: not checked.
struct LookCase {
    const char* Name;
    int Themed;
    bool Flat;
    TColor FlatColor;
    bool Focused;
    bool Down;
    uint32_t TopLeft, BottomRight, Face;
};

constexpr uint32_t kAny = 0xFFFFFFFFu;
constexpr TColor kCellColor = TColor(0xC0FFC0);
constexpr TColor kOrange = TColor(0x00A0FF);

bool Matches(uint32_t Want, uint32_t Got) { return Want == kAny || Want == Got; }

}  // namespace

TEST(DropButton, PaintsItsFourLooks) {
    const uint32_t face = Rgb(clBtnFace), shadow = Rgb(clBtnShadow), light = Rgb(clBtnHighlight);
    const LookCase cases[] = {
        {"frame control", 0, false, clBtnFace, false, false, kAny, Rgb(cl3DDkShadow), face},
        {"frame control pushed", 0, false, clBtnFace, false, true, shadow, shadow, face},
        {"flat, cold: the arrow on the cell's colour", 0, true, clBtnFace, false, false, Rgb(kCellColor),
         Rgb(kCellColor), Rgb(kCellColor)},
        {"flat, hot: a bevelled button", 0, true, clBtnFace, true, false, light, shadow, face},
        {"flat, hot and down: the bevel swapped", 0, true, clBtnFace, true, true, shadow, light, face},
        {"flat, hot, coloured", 0, true, kOrange, true, false, kAny, kAny, Rgb(kOrange)},
        {"themed", 1, false, clBtnFace, false, false, kAny, kAny, kAny},
    };
    for (const LookCase& c : cases) {
        SCOPED_TRACE(c.Name);
        RzForceVisualStyles(c.Themed);
        DropCell d;
        d.Cell->SetColor(kCellColor);
        d.Cell->SetFlatButtons(c.Flat);
        d.Cell->SetFlatButtonColor(c.FlatColor);
        d.Mouse(POINT{250, 110});
        if (c.Focused) d.Cell->SetFocus();
        if (c.Down) d.Cell->SetButtonState(bsDown);
        Pump();
        TRect b = d.Cell->DropButtonRect();
        Shot s(d.Cell->Handle());
        EXPECT_PRED2(Matches, c.TopLeft, s.At(b.Left, b.Top));
        EXPECT_PRED2(Matches, c.BottomRight, s.At(b.Right - 1, b.Bottom - 1));
        EXPECT_PRED2(Matches, c.Face, s.At(b.Left + 2, b.Top + 2));
        // Every look has its arrow (dark) and is not the cell's text area.
        int dark = 0, cell = 0;
        for (int y = b.Top; y < b.Bottom; ++y)
            for (int x = b.Left; x < b.Right; ++x) {
                uint32_t p = s.At(x, y);
                dark += testwin::Red(p) + testwin::Green(p) + testwin::Blue(p) < 400;
                cell += p == Rgb(kCellColor);
            }
        EXPECT_GE(dark, 5);
        if (!c.Flat || c.Focused) {
            EXPECT_LT(cell, (b.Right - b.Left) * (b.Bottom - b.Top) / 4);
        }
        d.Cell->SetButtonState(bsUp);
        RzForceVisualStyles(-1);
    }
}

TEST(DropButton, TheFrameControllerPushesFlatButtonsToDescendantsThatPublishThem) {
    struct Case {
        const char* Name;
        bool Descendant;
        TRzFrameControllerNotifications Notifications;
        bool Flat;
        TColor FlatColor;
    } cases[] = {
        {"descendant", true, fcpAllNotifications, true, TColor(0x123456)},
        {"descendant without the flat-button notices", true,
         fcpAllNotifications & ~((1u << fcpFlatButtons) | (1u << fcpFlatButtonColor)), false, clBtnFace},
        {"framed edit, which has no drop button", false, fcpAllNotifications, false, clBtnFace},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        DropCell d;
        TRzCustomEdit* e = d.Cell;
        if (!c.Descendant) {
            e = new TRzEdit(d.Form.get());
            e->SetParent(d.Form.get());
        }
        auto* fc = new TRzFrameController(d.Form.get());
        e->SetFrameControllerNotifications(c.Notifications);
        e->SetFrameController(fc);
        fc->SetFlatButtonColor(TColor(0x123456));
        EXPECT_EQ(e->FlatButtons(), c.Flat);
        EXPECT_EQ(e->FlatButtonColor(), c.FlatColor);
        if (c.Flat) {
            fc->SetFlatButtons(false);
            EXPECT_FALSE(e->FlatButtons());
        }
    }
}

// ---------------------------------------------------------------- masked input

namespace {

AnsiString g_Caught;
void CatchValidation(TObject*, const std::exception& E) { g_Caught = E.what(); }

struct MaskCase {
    const char* Name;
    bool Framed;
    const char* HandlerMessage;  // the framed cell's validate-error handler
    const char* Error;           // part of the error raised
};

}  // namespace

TEST(MaskedCell, RefusesWrongKeysAndRaisesItsValidateErrorOnLeaving) {
    const MaskCase cases[] = {
        {"framed cell, its handler's message", true, "Bad date", "Bad date"},
        {"framed cell, no message from its handler", true, "", "Invalid input value"},
        {"masked edit", false, "", "Invalid input value"},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(c.Name);
        DropCell d;
        TCustomMaskEdit* e = d.Cell;
        if (c.Framed) {
            d.Cell->SetDropButtonVisible(false);
            d.Cell->ValidateMessage = c.HandlerMessage;
            d.Cell->OnValidateError = TRzValidateErrorHandler::Of<&TTestDropEdit::Validating>(d.Cell);
        } else {
            e = new TMaskEdit(d.Form.get());
            e->SetParent(d.Form.get());
            e->SetBounds(140, 70, 100, 24);
        }
        e->SetEditMask("00-00;1;_");
        e->SetFocus();
        Pump();
        d.Type("1x23");
        EXPECT_EQ(GetWindowTextAnsi(e->Handle()), "12-3_");
        EXPECT_EQ(e->Text(), "12-3 ");

        g_Caught.clear();
        SetExceptionSink(&CatchValidation);
        d.Keys({{VK_TAB, false}, {VK_TAB, true}});
        EXPECT_TRUE(PumpUntil([] { return !g_Caught.empty(); }, 1500));
        EXPECT_NE(g_Caught.find(c.Error), std::string::npos) << g_Caught;
        // The focus is back, the caret at the missing digit; Escape abandons the changes.
        EXPECT_EQ(GetFocus(), e->Handle());
        EXPECT_EQ(e->SelStart(), 4);
        d.Keys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
        EXPECT_EQ(GetWindowTextAnsi(e->Handle()), "__-__");
        g_Caught.clear();
        d.Keys({{VK_TAB, false}, {VK_TAB, true}});
        EXPECT_NE(GetFocus(), e->Handle());
        // A complete text leaves without a word.
        e->SetFocus();
        Pump();
        d.Type("1234");
        d.Keys({{VK_TAB, false}, {VK_TAB, true}});
        Pump(100);
        EXPECT_NE(GetFocus(), e->Handle());
        EXPECT_EQ(e->Text(), "12-34");
        EXPECT_TRUE(g_Caught.empty()) << g_Caught;
        SetExceptionSink(nullptr);
    }
}

int g_Errors = 0;
void CountValidation(TObject*, const std::exception&) { ++g_Errors; }

TEST(MaskedCell, TwoRefusedEditsDoNotPullTheFocusToAndFro) {
    DropCell d;
    auto* a = new TMaskEdit(d.Form.get());
    auto* b = new TMaskEdit(d.Form.get());
    for (TMaskEdit* e : {a, b}) {
        e->SetParent(d.Form.get());
        e->SetEditMask("000");
    }
    a->SetBounds(140, 70, 60, 24);
    b->SetBounds(200, 70, 60, 24);
    // B holds a refused text it was never left with (a key sent to it alone).
    SendMessageW(b->Handle(), WM_CHAR, '1', 0);
    ASSERT_TRUE(b->Modified());
    a->SetFocus();
    Pump();
    d.Type("2");
    g_Errors = 0;
    SetExceptionSink(&CountValidation);
    d.Keys({{VK_TAB, false}, {VK_TAB, true}});
    Pump(600);
    SetExceptionSink(nullptr);
    EXPECT_EQ(g_Errors, 1);
    EXPECT_EQ(GetFocus(), a->Handle());
}

namespace {
class TMaskForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TMaskForm"; }
};
}  // namespace

TEST(MaskedCell, AMalformedMaskInFormDataIsAnErrorNamingItsPlace) {
    if (!FindClassInfo("TMaskForm")) RegisterFormClass<TMaskForm>("TMaskForm");
    struct Case {
        const char* Mask;  // as the form text writes it
        const char* Text;  // what the loaded edit reads; nullptr: refused
    } cases[] = {
        {"'00-00;0;_'", "1234"},
        {"'!9999999;0;_'", "   1234"},
        {"'00\\'", nullptr},
        {"'0;2'", nullptr},
        {"'0;1;ab'", nullptr},
        {"'0;1;_;_'", nullptr},
        {"'0'#0'0'", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mask);
        std::string text = std::string("object MaskForm: TMaskForm\n  object Mask1: TMaskEdit\n    Text = '1234'\n") +
                           "    EditMask = " + c.Mask + "\n  end\nend\n";
        if (c.Text) {
            auto form = LoadFormText<TMaskForm>(reinterpret_cast<const char8_t*>(text.c_str()), "mask.form");
            EXPECT_EQ(Find<TMaskEdit>(form.get(), "Mask1")->Text(), c.Text);
            continue;
        }
        try {
            LoadFormText<TMaskForm>(reinterpret_cast<const char8_t*>(text.c_str()), "mask.form");
            ADD_FAILURE() << "loaded";
        } catch (const EFormError& e) {
            std::string m = e.what();
            for (const char* part : {"TMaskForm", "Mask1", "EditMask"}) EXPECT_NE(m.find(part), std::string::npos) << m;
        }
    }
}
