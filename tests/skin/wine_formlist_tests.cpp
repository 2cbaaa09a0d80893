// The skinned-form list on real forms: who hears a broadcast, and the redraw
// lock seen on the window (no repaint while locked, a repaint on unlock).
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "Forms.h"
#include "TestSupport.h"
#include "TypeInfo.h"
#include "sCommonData.h"
#include "sSkinManager.h"
#include "sSkinnedForms.h"

namespace {

// Records the engine commands a window hears; asked whether it is skinned
// (command 7), it answers as a skinned control does unless Skinned is cleared.
class TListener : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<uint16_t> Commands;
    bool Skinned = true;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD) {
            if (SkinCommandOf(M.WParam) == scIsSkinned) {
                M.Result = Skinned ? 1 : 0;
                return;
            }
            Commands.push_back(SkinCommandOf(M.WParam));
        }
        TCustomControl::WndProc(M);
    }
};

class TTestProvider : public TacFormProvider {
public:
    explicit TTestProvider(TsSkinManager* M) : Data(nullptr, false) { Data.WriteSkinManager(M); }
    TsCommonData* SkinData() const override { return const_cast<TsCommonData*>(&Data); }
    bool DrawNonClientArea() const override { return NonClient; }
    void UpdateRegionRects() override { ++RegionRects; }
    void UpdateWindowRegion() override { ++WindowRegions; }
    TsCommonData Data;
    bool NonClient = true;
    int RegionRects = 0, WindowRegions = 0;
};

// A form that answers the engine as a skinned form does (or as a plain one),
// counts its paints and the engine commands it hears.
class TProbeForm : public TForm {
public:
    TProbeForm(TComponent* AOwner, TacFormProvider* P) : TForm(AOwner), Provider(P) {
        SetBounds(60, 60, 200, 160);
        SetColor(clRed);
    }
    TacFormProvider* Provider;
    std::vector<uint16_t> Commands;
    // Whether the window's redraw was on when each command came.
    std::vector<bool> RedrawOn;
    int Paints = 0;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_PAINT) ++Paints;
        if (M.Msg == SM_ALPHACMD) {
            const uint16_t c = SkinCommandOf(M.WParam);
            if (c == scGetProvider) {
                M.Result = LRESULT(Provider);
                return;
            }
            if (c == scIsSkinned) {
                M.Result = Provider ? 1 : 0;
                return;
            }
            Commands.push_back(c);
            RedrawOn.push_back(IsWindowVisible(HandleIfAllocated()));
        }
        TForm::WndProc(M);
    }
};

TMessage EngineMessage(uint16_t Command, TsSkinManager* M) {
    TMessage m;
    m.Msg = SM_ALPHACMD;
    m.WParam = WPARAM(SkinWParam(Command));
    m.LParam = LPARAM(M);
    return m;
}

// What the window's device context holds at a client point, without asking
// the window to paint first (TColor layout).
TColor Shown(TForm* F, int X, int Y) {
    HDC dc = GetDC(F->Handle());
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(F->Handle(), dc);
    return TColor(c);
}

// What the screen shows at a client point of the form.
TColor OnScreen(TForm* F, int X, int Y) {
    POINT p{X, Y};
    ClientToScreen(F->Handle(), &p);
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    return TColor(c);
}

struct FormList : ::testing::Test {
    TsSkinManager* Manager = nullptr;
    std::vector<TForm*> Forms;
    std::vector<TTestProvider*> Providers;
    void SetUp() override {
        ASSERT_EQ(SkinnedFormList.Count(), 0);
        Manager = new TsSkinManager(nullptr);
    }
    void TearDown() override {
        for (size_t i = Forms.size(); i-- > 0;) delete Forms[i];
        for (TTestProvider* p : Providers) delete p;
        delete Manager;
        EXPECT_EQ(SkinnedFormList.Count(), 0) << "freed forms must leave the list";
        EXPECT_EQ(SkinnedFormList.LockedCount(), 0);
    }
    TTestProvider* Provider(TsSkinManager* M) {
        Providers.push_back(new TTestProvider(M));
        return Providers.back();
    }
    TProbeForm* MakeForm(TacFormProvider* P, bool Show = true) {
        auto* f = new TProbeForm(Application, P);
        Forms.push_back(f);
        f->HandleNeeded();
        if (Show) {
            f->Show();
            Pump(60);
        }
        return f;
    }
    TListener* Child(TForm* F, TWinControl* Parent = nullptr) {
        auto* c = new TListener(F);
        c->SetBounds(5, 5, 20, 20);
        c->SetParent(Parent ? Parent : F);
        c->HandleNeeded();
        return c;
    }
};

}  // namespace

TEST_F(FormList, BroadcastsReachEachFormOnce) {
    TProbeForm* plain = MakeForm(nullptr, false);
    TListener* plainChild = Child(plain);
    // An unskinned windowed child is not sent the message; its children are.
    TListener* box = Child(plain);
    box->Skinned = false;
    TListener* inBox = Child(plain, box);
    TProbeForm* skinned = MakeForm(Provider(Manager), false);
    TListener* skinnedChild = Child(skinned);
    // Answers as skinned but no provider listed it: reached by neither road.
    TProbeForm* unlisted = MakeForm(Provider(Manager), false);
    TProbeForm* loading = MakeForm(nullptr, false);
    loading->SetLoadingState(true);

    RegisterSkinnedForm(skinned);
    RegisterSkinnedForm(skinned);  // its provider re-registered it
    UnregisterSkinnedForm(skinned);
    EXPECT_EQ(SkinnedFormList.Count(), 0);
    RegisterSkinnedForm(skinned);

    TMessage m = EngineMessage(scRefresh, Manager);
    BroadcastToAllForms(m);
    EXPECT_EQ(plain->Commands, std::vector<uint16_t>{scRefresh});
    EXPECT_EQ(plainChild->Commands, std::vector<uint16_t>{scRefresh});
    EXPECT_TRUE(box->Commands.empty());
    EXPECT_EQ(inBox->Commands, std::vector<uint16_t>{scRefresh});
    EXPECT_EQ(skinned->Commands, std::vector<uint16_t>{scRefresh});
    EXPECT_EQ(skinnedChild->Commands, std::vector<uint16_t>{scRefresh});
    EXPECT_TRUE(unlisted->Commands.empty());
    EXPECT_TRUE(loading->Commands.empty());
    loading->SetLoadingState(false);

    // Only the listed forms.
    plain->Commands.clear();
    skinned->Commands.clear();
    skinnedChild->Commands.clear();
    m = EngineMessage(scNewSkin, Manager);
    BroadcastToSkinnedForms(m);
    EXPECT_TRUE(plain->Commands.empty());
    EXPECT_EQ(skinned->Commands, std::vector<uint16_t>{scNewSkin});
    EXPECT_EQ(skinnedChild->Commands, std::vector<uint16_t>{scNewSkin});

    // The manager's own broadcasts take the same road.
    skinned->Commands.clear();
    plain->Commands.clear();
    Manager->BroadcastRemoveSkin();
    EXPECT_EQ(skinned->Commands, std::vector<uint16_t>{scRemoveSkin});
    EXPECT_EQ(plain->Commands, std::vector<uint16_t>{scRemoveSkin});

    // A listed form freed without unregistering leaves the list, and the next
    // broadcast does not reach for it.
    Forms.erase(std::find(Forms.begin(), Forms.end(), skinned));
    delete skinned;
    EXPECT_EQ(SkinnedFormList.Count(), 0);
    m = EngineMessage(scRefresh, Manager);
    BroadcastToAllForms(m);
    EXPECT_EQ(plain->Commands.back(), scRefresh);
}

namespace {
// Under an MDI client's window procedure: the engine commands it hears.
struct ClientSpy {
    static inline WNDPROC Prev = nullptr;
    static inline std::vector<uint16_t> Commands;
    static LRESULT CALLBACK Proc(HWND H, UINT M, WPARAM W, LPARAM L) {
        if (M == SM_ALPHACMD) Commands.push_back(SkinCommandOf(W));
        return CallWindowProcW(Prev, H, M, W, L);
    }
    explicit ClientSpy(HWND H) : Wnd(H) {
        Commands.clear();
        Prev = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~ClientSpy() { SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Prev)); }
    HWND Wnd;
};
}  // namespace

// An MDI form's client window hears what its form hears, whether the form
// is reached as a form of the application or through the list; an MDI child
// is no form of the application to broadcast to.
TEST_F(FormList, AnMDIFormsClientHearsBroadcastsAndItsChildrenAreLeftOut) {
    for (bool listed : {false, true}) {
        SCOPED_TRACE(listed ? "listed" : "plain");
        auto* frame = new TProbeForm(Application, listed ? Provider(Manager) : nullptr);
        frame->SetFormStyle(fsMDIForm);
        Forms.push_back(frame);
        frame->Show();
        auto* kid = new TProbeForm(Application, nullptr);
        kid->SetFormStyle(fsMDIChild);
        Forms.push_back(kid);
        kid->Show();
        Pump(50);
        ASSERT_EQ(GetParent(kid->Handle()), frame->ClientHandle());
        if (listed) RegisterSkinnedForm(frame);
        ClientSpy spy(frame->ClientHandle());
        frame->Commands.clear();
        kid->Commands.clear();
        for (uint16_t c : {scBeforeRefresh, scRefresh}) {
            TMessage m = EngineMessage(c, Manager);
            BroadcastToAllForms(m);
        }
        const std::vector<uint16_t> both{scBeforeRefresh, scRefresh};
        EXPECT_EQ(ClientSpy::Commands, both);
        EXPECT_EQ(frame->Commands, both);
        EXPECT_TRUE(kid->Commands.empty());
        Forms.pop_back();
        delete kid;
        Forms.pop_back();
        if (listed) UnregisterSkinnedForm(frame);
        delete frame;
    }
}

TEST_F(FormList, LockedFormDoesNotRepaintAndUnlockRepaints) {
    TTestProvider* p = Provider(Manager);
    TProbeForm* f = MakeForm(p);
    auto* other = new TsSkinManager(nullptr);
    TProbeForm* g = MakeForm(Provider(other));  // skinned by another manager
    TProbeForm* plain = MakeForm(nullptr);      // not listed
    RegisterSkinnedForm(f);
    RegisterSkinnedForm(g);
    ASSERT_EQ(Shown(f, 100, 80), clRed);

    LockFormsRedraw(Manager);
    EXPECT_TRUE(SkinnedFormList.IsLocked(f));
    EXPECT_FALSE(SkinnedFormList.IsLocked(g));
    EXPECT_FALSE(IsWindowVisible(f->Handle()));  // redraw off
    EXPECT_TRUE(IsWindowVisible(g->Handle()));
    EXPECT_TRUE(IsWindowVisible(plain->Handle()));

    // Repainting is asked for, but the locked form keeps its old look.
    const int paints = f->Paints;
    f->SetColor(clBlue);
    f->Invalidate();
    Pump(100);
    EXPECT_EQ(f->Paints, paints);
    EXPECT_EQ(Shown(f, 100, 80), clRed);
    // The other manager's form repaints as usual.
    const int gPaints = g->Paints;
    g->SetColor(clLime);
    Pump(100);
    EXPECT_GT(g->Paints, gPaints);

    UnlockFormsRedraw(Manager, true);
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    EXPECT_GT(f->Paints, paints);  // painted at once, not left for the loop
    EXPECT_EQ(Shown(f, 100, 80), clBlue);
    EXPECT_EQ(p->RegionRects, 2);  // once for the fade's shape, once for the form's
    EXPECT_EQ(p->WindowRegions, 1);
    EXPECT_FALSE(SkinnedFormList.IsLocked(f));

    // Without the fade the redraw is only let go: the caller repaints.
    p->NonClient = false;
    LockFormsRedraw(Manager);
    f->SetColor(clYellow);
    Pump(60);
    EXPECT_EQ(Shown(f, 100, 80), clBlue);
    const int unlocked = f->Paints;
    UnlockFormsRedraw(Manager, false);
    EXPECT_EQ(f->Paints, unlocked);
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    f->Invalidate();
    Pump(60);
    EXPECT_EQ(Shown(f, 100, 80), clYellow);
    EXPECT_EQ(p->RegionRects, 2);

    // Two locks (a skin change that repaints locks again) and one unlock:
    // the form is not left switched off.
    LockFormsRedraw(Manager);
    LockFormsRedraw(Manager);
    UnlockFormsRedraw(Manager, true);
    EXPECT_TRUE(IsWindowVisible(f->Handle()));

    // Hidden forms and minimized ones are not locked.
    f->SetWindowState(wsMinimized);
    Pump(60);
    LockFormsRedraw(Manager);
    EXPECT_FALSE(SkinnedFormList.IsLocked(f));
    f->SetWindowState(wsNormal);
    Pump(60);

    g->Hide();
    LockFormsRedraw(other);
    EXPECT_FALSE(SkinnedFormList.IsLocked(g));
    UnlockFormsRedraw(other, true);
    EXPECT_FALSE(IsWindowVisible(g->Handle()));  // an unlock does not show a hidden form
    delete other;
}

TEST_F(FormList, FormHiddenWhileLockedIsUnlockedAndGoesFromTheScreen) {
    TProbeForm* f = MakeForm(Provider(Manager));
    RegisterSkinnedForm(f);
    ASSERT_EQ(OnScreen(f, 100, 80), clRed);

    LockFormsRedraw(Manager);
    ASSERT_TRUE(SkinnedFormList.IsLocked(f));
    f->Hide();
    Pump(60);
    UnlockFormsRedraw(Manager, true);
    Pump(100);
    EXPECT_FALSE(SkinnedFormList.IsLocked(f));
    EXPECT_FALSE(f->Visible());
    EXPECT_FALSE(IsWindowVisible(f->Handle()));
    // Its redraw is back on, and it is no longer on the screen.
    EXPECT_NE(OnScreen(f, 100, 80), clRed);

    // Shown again, it paints as any form does.
    f->SetColor(clBlue);
    f->Show();
    Pump(100);
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    EXPECT_EQ(OnScreen(f, 100, 80), clBlue);

    // Unregistered while locked (its provider let go of it): no unlock would
    // reach it, so it gets its redraw back and repaints at once.
    LockFormsRedraw(Manager);
    ASSERT_FALSE(IsWindowVisible(f->Handle()));
    f->SetColor(clLime);
    Pump(60);
    EXPECT_EQ(OnScreen(f, 100, 80), clBlue);
    UnregisterSkinnedForm(f);
    Pump(100);
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    EXPECT_EQ(OnScreen(f, 100, 80), clLime);
    RegisterSkinnedForm(f);

    // Freed while locked: the unlock does not reach for it.
    LockFormsRedraw(Manager);
    Forms.clear();
    delete f;
    UnlockFormsRedraw(Manager, true);
    EXPECT_EQ(SkinnedFormList.LockedCount(), 0);
}

TEST_F(FormList, ManagerLocksItsFormsWhileTheNewSkinIsBroadcast) {
    TTestProvider* p = Provider(Manager);
    TProbeForm* f = MakeForm(p);
    TProbeForm* plain = MakeForm(nullptr);
    RegisterSkinnedForm(f);

    Manager->BroadcastNewSkin(true);
    // New skin, before-refresh and refresh: all heard with the redraw off,
    // then the form is unlocked and repainted with its region.
    EXPECT_EQ(f->Commands, (std::vector<uint16_t>{scNewSkin, scBeforeRefresh, scRefresh}));
    EXPECT_EQ(f->RedrawOn, (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    EXPECT_EQ(SkinnedFormList.LockedCount(), 0);
    EXPECT_EQ(p->WindowRegions, 1);
    // A form no provider skins is never locked.
    EXPECT_EQ(plain->Commands, (std::vector<uint16_t>{scNewSkin, scBeforeRefresh, scRefresh}));
    EXPECT_EQ(plain->RedrawOn, (std::vector<bool>{true, true, true}));

    // A broadcast without repaint does not lock.
    f->Commands.clear();
    f->RedrawOn.clear();
    Manager->BroadcastNewSkin(false);
    EXPECT_EQ(f->Commands, std::vector<uint16_t>{scNewSkin});
    EXPECT_EQ(f->RedrawOn, std::vector<bool>{true});
    Manager->SetActive(false);
}

class TMainProbe : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TMainProbe"; }
};

// While the application is minimized a skin change neither locks nor repaints.
TEST_F(FormList, NothingIsLockedOrRepaintedWhileTheApplicationIsMinimized) {
    RegisterFormClass<TMainProbe>("TMainProbe");
    TMainProbe* main = nullptr;
    Application->CreateForm(main);
    ASSERT_EQ(Application->MainForm(), main);
    main->Show();
    main->SetWindowState(wsMinimized);
    Pump(60);
    ASSERT_TRUE(IsIconic(main->Handle()));
    TTestProvider* p = Provider(Manager);
    TProbeForm* f = MakeForm(p);
    RegisterSkinnedForm(f);

    LockFormsRedraw(Manager);
    EXPECT_FALSE(SkinnedFormList.IsLocked(f));
    EXPECT_TRUE(IsWindowVisible(f->Handle()));
    const int paints = f->Paints;
    UnlockFormsRedraw(Manager, true);
    EXPECT_EQ(p->RegionRects, 0);
    EXPECT_EQ(p->WindowRegions, 0);
    EXPECT_EQ(f->Paints, paints);

    // Restored, the same change locks and repaints.
    main->SetWindowState(wsNormal);
    Pump(60);
    LockFormsRedraw(Manager);
    EXPECT_TRUE(SkinnedFormList.IsLocked(f));
    UnlockFormsRedraw(Manager, true);
    EXPECT_EQ(p->WindowRegions, 1);
    delete main;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(FormListUnit, IconsAtStartAndEverythingGoneAtTheEnd) {
    sSkinnedFormsInitialize();
    ASSERT_NE(AppSmallIcon, nullptr);
    ASSERT_NE(AppLargeIcon, nullptr);
    EXPECT_FALSE(AppSmallIcon->Empty());
    ICONINFO small{}, large{};
    ASSERT_TRUE(GetIconInfo(AppSmallIcon->Handle(), &small));
    ASSERT_TRUE(GetIconInfo(AppLargeIcon->Handle(), &large));
    BITMAP bs{}, bl{};
    GetObjectW(small.hbmMask, sizeof bs, &bs);
    GetObjectW(large.hbmMask, sizeof bl, &bl);
    EXPECT_LT(bs.bmWidth, bl.bmWidth);  // two sizes, not one icon twice
    for (HBITMAP b : {small.hbmColor, small.hbmMask, large.hbmColor, large.hbmMask})
        if (b) DeleteObject(b);

    auto* f = new TForm(Application);
    RegisterSkinnedForm(f);
    ChangedSectionName = "BUTTON";
    sSkinnedFormsFinalize();
    EXPECT_EQ(AppSmallIcon, nullptr);
    EXPECT_EQ(AppLargeIcon, nullptr);
    EXPECT_EQ(SkinnedFormList.Count(), 0);
    EXPECT_TRUE(ChangedSectionName.empty());
    delete f;  // no longer watched: freeing it touches nothing of the unit
    EXPECT_EQ(SkinnedFormList.Count(), 0);
}
