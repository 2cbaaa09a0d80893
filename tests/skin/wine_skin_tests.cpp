// The skin state, the engine message and the manager under Wine: real
// controls on a real form, with and without a manager.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "Forms.h"
#include "TestSupport.h"
#include "sCommonData.h"
#include "sEngineUnits.h"
#include "sGradientPaint.h"
#include "sGraphUtils.h"
#include "sControlUtils.h"
#include "sScrollBar.h"
#include "sSkinManager.h"
#include "sSkinnedForms.h"

namespace {

// A windowed control that records the engine commands it receives. It
// answers the question whether it is skinned (command 7) as a skinned
// control does, so that broadcasts are sent to it.
class TRecorder : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<uint16_t> Commands;
    std::vector<LPARAM> Params;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD) {
            if (SkinCommandOf(M.WParam) == scIsSkinned) {
                M.Result = 1;
                return;
            }
            Commands.push_back(SkinCommandOf(M.WParam));
            Params.push_back(M.LParam);
        }
        TCustomControl::WndProc(M);
    }
};

struct FormFixture : ::testing::Test {
    TForm* Form = nullptr;
    void SetUp() override {
        Form = new TForm(Application);
        Form->SetBounds(50, 50, 400, 400);
        Form->SetColor(clTeal);
    }
    void TearDown() override {
        delete Form;
        ASSERT_EQ(DefaultSkinManager, nullptr) << "a test left a manager behind";
    }
    TsScrollBar* Bar() {
        auto* b = new TsScrollBar(Form);
        b->SetKind(sbVertical);
        b->SetBounds(10, 10, 9, 313);
        b->SetParent(Form);
        return b;
    }
    LRESULT Ask(TWinControl* C, uint16_t Cmd, uint16_t Arg = 0, LPARAM L = 0) {
        return SendMessageW(C->Handle(), SM_ALPHACMD, WPARAM(SkinWParam(Cmd, Arg)), L);
    }
};

TsSkinTables ScrollSkin() {
    TsSkinTables t;
    auto sec = [](const char* n, TColor c, int transparency = 0) {
        TsGeneralData s;
        s.SectionName = n;
        s.Color = c;
        s.HotColor = c;
        s.Transparency = transparency;
        return s;
    };
    t.Sections = {sec("GLOBALINFO", 0xC0C0C0), sec("TSSCROLLBAR", 0x102030), sec("SCROLLBAR1V", 0x0000C8),
                  sec("SCROLLBAR2V", 0x00C800), sec("SCROLLBTNTOP", 0xC80000), sec("SCROLLBTNBOTTOM", 0xC80000),
                  sec("SCROLLSLIDERV", 0x00C8C8), sec("HALF", 0x000000, 50)};
    return t;
}

}  // namespace

using SkinState = FormFixture;

TEST_F(SkinState, PassiveWithoutAManager) {
    ASSERT_EQ(DefaultSkinManager, nullptr);
    TsScrollBar* b = Bar();
    b->SetColor(clYellow);
    TsCommonData* d = b->SkinData();
    EXPECT_EQ(d->SkinSection(), "TSSCROLLBAR");
    EXPECT_EQ(d->SkinSectionNo, -1);
    EXPECT_EQ(d->BorderMaskNo, -1);
    EXPECT_EQ(d->PatternNo, -1);
    EXPECT_EQ(d->HotPatternNo, -1);
    EXPECT_EQ(d->ControlTypeCode, 142);
    EXPECT_EQ(d->SkinManager(), nullptr);
    EXPECT_FALSE(d->IsSkinned());
    ASSERT_NE(d->CacheBitmap, nullptr);
    EXPECT_EQ(d->CacheBitmap->PixelFormat(), pf24bit);

    EXPECT_EQ(Ask(b, scIsSkinned), 1);
    EXPECT_EQ(Ask(b, scQuerySkinIndex), 0);
    EXPECT_EQ(Ask(b, scQueryColor), LRESULT(ColorToRGB(clYellow)));
    BackgroundInfo bi;
    Ask(b, scGetBackground, 0, LPARAM(&bi));
    EXPECT_EQ(bi.BgType, 1);
    EXPECT_EQ(bi.Color, ColorToRGB(clYellow));
    for (uint16_t unknown : {18, 24, 40, 62, 500}) {
        TMessage m{SM_ALPHACMD, WPARAM(SkinWParam(unknown)), 0, 12345};
        EXPECT_FALSE(d->HandleEngineCommand(m)) << unknown;
        EXPECT_EQ(m.Result, 0) << unknown;
        EXPECT_EQ(Ask(b, unknown), 0) << unknown;
    }
    // The command sits in the high word of the low 32 bits, whatever the upper half holds.
    TMessage wide{SM_ALPHACMD, WPARAM(0xDEAD0000ull << 32) | WPARAM(SkinWParam(scQuerySkinIndex)), 0, 0};
    EXPECT_TRUE(d->HandleEngineCommand(wide));
    EXPECT_EQ(wide.Result, 0);
    // Another message number never reaches the handler.
    const UINT other = RegisterWindowMessageA("SM_ALPHACMD");
    if (other != SM_ALPHACMD) {
        TMessage m{other, WPARAM(SkinWParam(scIsSkinned)), 0, 0};
        EXPECT_FALSE(d->HandleEngineCommand(m));
        EXPECT_EQ(m.Result, 0);
    }
    // No manager: nothing hooked, nothing wrapped.
    EXPECT_EQ(DefaultSkinManager, nullptr);
}

// Only the questions (7, 10, 11, 19, 21, 26, 36) are reported handled; the
// other commands do their work and still reach the owner's own handling.
TEST_F(SkinState, OnlyQuestionsAreReportedHandledAndTheRestReachesTheOwner) {
    TsScrollBar* b = Bar();
    TsCommonData* d = b->SkinData();
    const struct {
        uint16_t Command;
        bool Handled;
    } cases[] = {{scNewSkin, false}, {scRemoveSkin, false}, {scRefresh, false}, {scRepaint, false},
                 {scIsSkinned, true}, {scSetUpdating, false}, {scSetHalt, false}, {scQueryUpdating, true},
                 {scQueryReady, true}, {scTransparentChanged, false}, {scSectionChanged, false},
                 {scSetLinkObject, false}, {scBackgroundChanged, false}, {scQueryComplexBackground, false},
                 {scBackgroundChangedAll, false}, {scQueryColor, true}, {scSetReady, false},
                 {scQuerySkinIndex, true}, {scGetBackground, false}, {scOpacity, true}};
    for (const auto& c : cases) {
        TMessage m{SM_ALPHACMD, WPARAM(SkinWParam(c.Command)), 0, 0};
        EXPECT_EQ(d->HandleEngineCommand(m), c.Handled) << c.Command;  // 19 unskinned: not handled
    }
    // Command 13 repaints the controls of the changed section only.
    ChangedSectionName = "TSSCROLLBAR";
    SkinBroadcasting = true;
    d->BackgroundDirty = false;
    Ask(b, scSectionChanged);
    EXPECT_TRUE(d->BackgroundDirty);
    EXPECT_FALSE(SkinBroadcasting);
    ChangedSectionName = "EDIT";
    SkinBroadcasting = true;
    d->BackgroundDirty = false;
    Ask(b, scSectionChanged);
    EXPECT_FALSE(d->BackgroundDirty);
    SkinBroadcasting = false;
    ChangedSectionName = AnsiString();
    // A plain, inactive control needs no repaint, except while a fade runs.
    d->OpacityBits = 1;
    d->FocusFlag = d->HoverFlag = false;
    SetFocus(Form->Handle());
    EXPECT_FALSE(d->NeedsRepaint());
    FadeInProgress = true;
    EXPECT_TRUE(d->NeedsRepaint());
    FadeInProgress = false;
}

TEST_F(SkinState, SectionNamesAndTheRemovalCommandWithoutManager) {
    TsScrollBar* b = Bar();
    TsCommonData* d = b->SkinData();
    d->SetSkinSection("");
    EXPECT_EQ(d->SkinSection(), "UNKNOWN");
    d->UpdatingFlag = false;
    d->PrepareCacheBitmap();
    EXPECT_EQ(d->CacheBitmap->Width(), 9);
    d->SetSkinSection("edit");
    EXPECT_EQ(d->SkinSection(), "EDIT");
    // The change sent scRemoveSkin with lParam nil, which the bar accepts (its manager is nil too).
    EXPECT_TRUE(d->UpdatingFlag);
    EXPECT_EQ(d->CacheBitmap->Width(), 0);
    EXPECT_EQ(d->SkinSectionNo, -1);
}

TEST_F(SkinState, FocusHoverAndMoves) {
    TsScrollBar* b = Bar();
    auto* other = new TsScrollBar(Form);
    other->SetBounds(40, 10, 9, 100);
    other->SetParent(Form);
    Form->Show();
    Pump(50);
    TsCommonData* d = b->SkinData();
    b->SetFocus();
    Pump(20);
    EXPECT_TRUE(d->FocusFlag);
    EXPECT_TRUE(d->IsActiveState());
    other->SetFocus();
    Pump(20);
    EXPECT_FALSE(d->FocusFlag);
    b->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_FALSE(d->HoverFlag);  // 142 never takes the hover state
    // A move repaints the bar: its window is invalidated at once.
    UpdateWindow(b->Handle());
    d->BackgroundDirty = false;
    b->SetBounds(20, 10, 9, 313);
    RECT upd{};
    EXPECT_TRUE(GetUpdateRect(b->Handle(), &upd, FALSE));
    EXPECT_TRUE(d->BackgroundDirty);
    Pump(20);
    EXPECT_FALSE(GetUpdateRect(b->Handle(), &upd, FALSE));
    Form->Hide();
}

// A size change of a gradient-filled owner tells the children that stay at
// its left and top of their new background; the others move or grow and
// hear of it by that change.
TEST_F(SkinState, ASizeTellsOnlyTheChildrenAnchoredLeftAndTop) {
    auto* owner = new TRecorder(Form);
    owner->SetBounds(10, 10, 200, 200);
    owner->SetParent(Form);
    const TAnchors lt = AnchorBit(akLeft) | AnchorBit(akTop);
    std::vector<TRecorder*> kids;
    for (TAnchors a : {lt, lt | AnchorBit(akRight), lt | AnchorBit(akBottom)}) {
        kids.push_back(new TRecorder(Form));
        kids.back()->SetBounds(10, 10, 20, 20);
        kids.back()->SetParent(owner);
        kids.back()->SetAnchors(a);
    }
    Form->HandleNeeded();
    TsSkinTables t = ScrollSkin();
    t.Sections.back().GradientPercent = 50;  // "HALF"
    auto* m = new TsSkinManager(nullptr);
    m->InstallSkin(std::move(t), TsSkinValues{}, nullptr);
    {
        TsCommonData d(owner, true);
        d.SetSkinSection("HALF");
        ASSERT_TRUE(d.IsSkinned());
        for (TRecorder* k : kids) k->Commands.clear();
        TMessage size{WM_SIZE, 0, MAKELPARAM(200, 200), 0};
        d.HandleControlMessage(size);
        EXPECT_EQ(kids[0]->Commands, std::vector<uint16_t>{scBackgroundChangedAll});
        EXPECT_TRUE(kids[1]->Commands.empty() && kids[2]->Commands.empty());
    }
    delete m;
}

TEST_F(SkinState, ManagerLifecycleBroadcastsAndLookUps) {
    TRecorder* rec = new TRecorder(Form);
    rec->SetBounds(100, 100, 50, 50);
    rec->SetParent(Form);
    TsScrollBar* b = Bar();
    Form->HandleNeeded();

    auto* m = new TsSkinManager(nullptr);
    EXPECT_EQ(DefaultSkinManager, m);
    EXPECT_TRUE(m->IsDefault());
    EXPECT_FALSE(m->HookInstalled());
    EXPECT_EQ(m->SkinInfo(), "N/A");
    EXPECT_EQ(m->Version(), "6.10");
    EXPECT_EQ(m->SkinDirectory(), "c:\\Skins");
    EXPECT_EQ(m->ThirdParty()->Get(3), " ");
    EXPECT_EQ(m->ThirdParty()->Get(17), "");
    m->SetIsDefault(false);  // the only manager stays the default
    EXPECT_EQ(DefaultSkinManager, m);

    TsSkinValues v;
    v.Version = 7.5;
    m->InstallSkin(ScrollSkin(), v, nullptr);
    m->BroadcastNewSkin(false);
    EXPECT_TRUE(m->HookInstalled());
    EXPECT_EQ(m->SkinInfo(), "7.5");
    ASSERT_FALSE(rec->Commands.empty());
    EXPECT_EQ(rec->Commands[0], scNewSkin);
    EXPECT_EQ(rec->Params[0], LPARAM(m));
    // The bar heard scNewSkin from its (default) manager and resolved its section.
    EXPECT_EQ(b->SkinData()->SkinSectionNo, 1);
    EXPECT_TRUE(b->SkinData()->IsSkinned(true));
    EXPECT_EQ(Ask(b, scQuerySkinIndex), 2);
    EXPECT_EQ(m->SectionIndex("SCROLLBAR1V"), 2);
    EXPECT_EQ(m->SectionIndex("scrollbar1v"), -1);
    EXPECT_EQ(m->GlobalColor(), 0xC0C0C0);
    EXPECT_EQ(m->GlobalFontColor(), 0);

    // The hot window: the old one hears 30, the new one 29.
    rec->Commands.clear();
    m->SetHotWindow(rec->Handle());
    m->SetHotWindow(b->Handle());
    ASSERT_EQ(rec->Commands.size(), 2u);
    EXPECT_EQ(rec->Commands[0], scMouseEnter);
    EXPECT_EQ(rec->Commands[1], scMouseLeave);

    // Off: the tables empty and every index invalid; the hook goes.
    m->SetActive(false);
    EXPECT_TRUE(m->gd().empty());
    EXPECT_FALSE(m->IsValidSectionIndex(0));
    EXPECT_FALSE(m->HookInstalled());
    EXPECT_EQ(b->SkinData()->SkinSectionNo, -1);

    // A control that held the manager as its own forgets it when it goes.
    auto* second = new TsSkinManager(nullptr);
    EXPECT_EQ(DefaultSkinManager, m);
    b->SetSkinManager(second);
    EXPECT_EQ(b->SkinData()->OwnManager, second);
    b->SetSkinManager(m);  // the default one is kept as nil
    EXPECT_EQ(b->SkinData()->OwnManager, nullptr);
    // Made the default, it takes over and hooks; given back, the first is the default again.
    TsSkinValues sv;
    second->InstallSkin(ScrollSkin(), sv, nullptr);
    second->SetIsDefault(true);
    EXPECT_EQ(DefaultSkinManager, second);
    EXPECT_TRUE(second->HookInstalled());
    m->SetIsDefault(true);
    EXPECT_EQ(DefaultSkinManager, m);
    b->SetSkinManager(second);
    delete second;
    EXPECT_EQ(b->SkinData()->OwnManager, nullptr);
    EXPECT_EQ(b->SkinManager(), m);
    delete m;
    EXPECT_EQ(DefaultSkinManager, nullptr);
    EXPECT_EQ(b->SkinManager(), nullptr);
}

TEST_F(SkinState, TransparentSectionColourAndBackground) {
    Form->SetColor(TColor(0x00FF00));
    auto* m = new TsSkinManager(nullptr);
    m->InstallSkin(ScrollSkin(), TsSkinValues{}, nullptr);
    TsScrollBar* b = Bar();
    b->SkinData()->SetSkinSection("HALF");
    ASSERT_EQ(b->SkinData()->SkinSectionNo, 7);
    // 50 per cent: each channel (50 * (p - c) + c * 256) shr 8, the parent being an unskinned form.
    const TColor c = TColor(Ask(b, scQueryColor));
    EXPECT_EQ(c, TColor((50 * 255) >> 8) << 8);
    b->SkinData()->SetSkinSection("SCROLLBAR1V");
    EXPECT_EQ(TColor(Ask(b, scQueryColor)), 0x0000C8);
    BackgroundInfo bi;
    Ask(b, scGetBackground, 0, LPARAM(&bi));
    EXPECT_EQ(bi.BgType, 1);
    EXPECT_EQ(bi.Color, 0x0000C8);
    b->SkinData()->SetCustomColor(true);
    BackgroundInfo bc;
    Ask(b, scGetBackground, 0, LPARAM(&bc));
    EXPECT_EQ(bc.Color, ColorToRGB(b->Color()));
    delete m;
}

TEST(SkinManagerStatics, SkinNamesOfARealDirectory) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const AnsiString dir = AnsiString(tmp) + "sorting_skins_test\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "Zeta").c_str(), nullptr);
    CreateDirectoryA((dir + "Alpha").c_str(), nullptr);
    CreateDirectoryA((dir + "Empty").c_str(), nullptr);
    auto touch = [](const AnsiString& f) {
        HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
    };
    touch(dir + "Zeta\\Options.dat");
    touch(dir + "Alpha\\Options.dat");
    touch(dir + "Packed.asz");
    touch(dir + "Upper.ASZ");
    TsSkinManager m(nullptr);
    m.SetSkinDirectory(dir);
    TStringList names;
    m.ListSkinNames(&names, 0);
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names[0], "Alpha");
    EXPECT_EQ(names[1], "Zeta");
    m.ListSkinNames(&names, 1);
    ASSERT_EQ(names.Count(), 1);
    EXPECT_EQ(names[0], "Packed");
    m.ListSkinNames(&names, 2);
    EXPECT_EQ(names.Count(), 3);
    // No such folder and no stored skin: the manager turns off, cleanly.
    m.SetSkinName("Missing");
    EXPECT_FALSE(m.Active());
    EXPECT_TRUE(m.gd().empty());
}

TEST(EngineUtilities, TextFlagsFollowTheReadingOrderAndAProviderTakesTheFormsMessage) {
    TForm form(nullptr);
    const struct {
        int Alignment;
        TBiDiMode Mode;
        unsigned Want;
    } cases[] = {{taLeftJustify, bdLeftToRight, DT_LEFT | 0x44},
                 {taRightJustify, bdRightToLeft, DT_RIGHT | 0x44 | DT_RTLREADING},
                 {taCenter, bdRightToLeftReadingOnly, DT_CENTER | 0x44 | DT_RTLREADING}};
    for (const auto& c : cases) {
        form.SetBiDiMode(c.Mode);
        EXPECT_EQ(TextDrawFlags(&form, c.Alignment), c.Want) << int(c.Mode);
    }
    struct TProbe : TComponent, TacFormProvider {
        using TComponent::TComponent;
        std::vector<UINT> Heard;
        TsCommonData* SkinData() const override { return nullptr; }
        bool DrawNonClientArea() const override { return false; }
        void UpdateRegionRects() override {}
        void UpdateWindowRegion() override {}
        void DispatchSkinMessage(TMessage& M) override { Heard.push_back(M.Msg); }
    };
    new TComponent(&form);  // no provider: passed over
    auto* first = new TProbe(&form);
    auto* second = new TProbe(&form);
    TMessage m{SM_ALPHACMD, 0, 0, 0};
    DispatchToProvider(&form, m);
    EXPECT_EQ(first->Heard, std::vector<UINT>{SM_ALPHACMD});
    EXPECT_TRUE(second->Heard.empty());
}

TEST(EngineStartUp, ConstantsAndTheMessageNumber) {
    sConstInitialize();
    EXPECT_EQ(HScrollHeight, GetSystemMetrics(SM_CXHSCROLL));
    sMessagesInitialize();
    EXPECT_EQ(SkinCommandMessage, 0xA100u);
    sSkinManagerInitialize();
    EXPECT_TRUE(IsNTPlatform);
    sDateUtilsInitialize();
    char buf[80] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, sizeof buf);
    EXPECT_EQ(FourDigitYear, HasFourDigitYear(buf));
}

TEST(GradientPainter, TriangleModeThroughThePlatform) {
    TBitmap* bmp = CreateBitmap24(40, 40);
    TsGradArray bands;
    ParseGradientData("255;0;20;2;0;255;0;20;2;0;255;0;20;2;0;255;0;20;2;0;255;0;20;2;0", bands);
    PaintGradient(bmp, TRect{0, 0, 40, 40}, bands);
    const uint8_t* row = static_cast<uint8_t*>(bmp->ScanLine(20));
    EXPECT_GT(row[20 * 3 + 2], 200);  // red everywhere
    EXPECT_LT(row[20 * 3 + 1], 40);
    ParseGradientData("65280;65280;100;0;0", bands);
    PaintGradient(bmp, TRect{0, 0, 40, 40}, bands);
    row = static_cast<uint8_t*>(bmp->ScanLine(39));
    EXPECT_EQ(row[39 * 3 + 1], 255);
    EXPECT_EQ(row[39 * 3 + 2], 0);
    delete bmp;
}

TEST_F(SkinState, CacheCopiedAroundChildren) {
    auto* panel = new TPanel(Form);
    panel->SetBounds(0, 0, 100, 100);
    panel->SetParent(Form);
    auto* shape = new TShape(Form);
    shape->SetBounds(10, 10, 20, 20);
    shape->SetParent(panel);
    auto* hidden = new TShape(Form);
    hidden->SetBounds(50, 50, 20, 20);
    hidden->SetVisible(false);
    hidden->SetParent(panel);
    auto* child = new TPanel(Form);  // opaque
    child->SetBounds(60, 10, 20, 20);
    child->SetParent(panel);
    auto* clear = new TPanel(Form);
    clear->SetControlStyle(clear->ControlStyle() & ~csOpaque);
    clear->SetBounds(10, 60, 20, 20);
    clear->SetParent(panel);
    Form->Show();
    Pump(20);
    TsCommonData d(panel, true);
    d.PrepareCacheBitmap();
    d.CacheBitmap->Canvas()->Brush()->SetColor(clRed);
    d.CacheBitmap->Canvas()->FillRect(TRect{0, 0, 100, 100});
    TBitmap* target = CreateBitmap24(100, 100);
    target->Canvas()->Brush()->SetColor(clBlue);
    target->Canvas()->FillRect(TRect{0, 0, 100, 100});
    auto at = [&](int x, int y) {
        const uint8_t* p = static_cast<uint8_t*>(target->ScanLine(y)) + x * 3;
        return TColor(p[2]) | (TColor(p[1]) << 8) | (TColor(p[0]) << 16);
    };
    PaintChildControls(panel, &d, TRect{0, 0, 100, 100}, 0, 0, false, target->Canvas()->Handle(), TRect{0, 0, 90, 90});
    GdiFlush();
    EXPECT_EQ(at(5, 5), clRed);
    EXPECT_EQ(at(15, 15), clBlue);   // the windowless child is left out
    EXPECT_EQ(at(55, 55), clRed);    // an invisible one is not
    EXPECT_EQ(at(65, 15), clBlue);   // an opaque one too
    EXPECT_EQ(at(15, 65), clRed);    // a window that is not opaque is painted over
    EXPECT_EQ(at(95, 95), clBlue);   // outside the target
    // Over the windows: the child window is left out whole.
    target->Canvas()->FillRect(TRect{0, 0, 100, 100});
    PaintChildWindows(panel->Handle(), &d, TRect{0, 0, 100, 100}, 0, 0, false, target->Canvas()->Handle(),
                      TRect{0, 0, 100, 100});
    GdiFlush();
    EXPECT_EQ(at(65, 15), clBlue);
    EXPECT_EQ(at(15, 65), clBlue);
    EXPECT_EQ(at(15, 15), clRed);
    delete target;
    Form->Hide();
}
