// The wrapper base on real windows: attachment and give-back (foreign
// windows and class-library controls), pass-through, one wrapper a window,
// self-removal under a subclass, transparency without an active manager,
// and a stress run of create, wrap, use and destroy in every order.
#include <memory>

#include "SkinFixture.h"
#include "WrapperFixture.h"

using namespace wraptest;
using testwin::ExpectedMessage;
using testwin::kLParamAny;
using testwin::kOptional;
using testwin::kParamsAny;
using testwin::kRepeated;

namespace {

constexpr Kind kKinds[] = {kEdit, kListBox, kClassLib};
constexpr UINT kProbe = WM_USER + 77;

int Count(const testwin::MessageLog& Log, UINT Msg) {
    int n = 0;
    for (const auto& m : Log.Entries()) n += m.Msg == Msg;
    return n;
}

// Messages of a wrapper made by hand, for each of the two base classes.
using WrapFn = TacMainWnd* (*)(Subject&, TsSkinManager*);
TacMainWnd* WrapMain(Subject& S, TsSkinManager* M) { return Wrap<TacMainWnd>(S, M); }
TacMainWnd* WrapScroll(Subject& S, TsSkinManager* M) { return Wrap<TacScrollWnd>(S, M); }
struct WrapperKind {
    const char* Name;
    WrapFn Make;
};
constexpr WrapperKind kWrappers[] = {{"TacMainWnd", WrapMain}, {"TacScrollWnd", WrapScroll}};

void Detach(TacMainWnd*& W, bool Free) {
    if (auto* s = dynamic_cast<TacScrollWnd*>(W)) {
        DetachScrollWrapper(W->CtrlHandle, Free, true, s);
        W = s;
    } else {
        DetachWrapper(W->CtrlHandle, Free, true, W);
    }
}

}  // namespace

using Attachment = FormFixture;

TEST_F(Attachment, PassesOnOnceGivesBackExactlyAndDetachesOnce) {
    for (const WrapperKind& wk : kWrappers)
        for (Kind k : kKinds) {
            SCOPED_TRACE(std::string(wk.Name) + " on a " + KindName(k));
            auto s = MakeSubject(Form, {k});
            testwin::MessageLog log;
            BelowLog below(log, *s);
            const Entry before = EntryOf(*s);
            TacMainWnd* w = wk.Make(*s, Birch());
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(GetWrapper(s->H), w);
            EXPECT_FALSE(EntryOf(*s) == before);
            EXPECT_EQ(wk.Make(*s, Birch()), nullptr) << "a second wrapper on the same window";

            log.Clear();
            SendMessageW(s->H, kProbe, 5, 6);
            EXPECT_TRUE(log.Matches({{kProbe, 5, 6}}));
            log.Clear();
            SetWindowTextW(s->H, L"abc");
            EXPECT_EQ(Count(log, WM_SETTEXT), 1);
            EXPECT_EQ(w->WndText, "abc");

            // The visual styles the wrapper switched off come back with the window.
            log.Clear();
            Detach(w, false);
            EXPECT_EQ(Count(log, WM_THEMECHANGED), 1);
            EXPECT_TRUE(EntryOf(*s) == before);
            EXPECT_EQ(GetPropW(s->H, acWrapperProp), nullptr);
            log.Clear();
            Detach(w, false);  // the second time does nothing
            EXPECT_TRUE(log.Matches({}));
            EXPECT_TRUE(EntryOf(*s) == before);
            delete w;
            EXPECT_TRUE(EntryOf(*s) == before);
            SendMessageW(s->H, kProbe, 1, 2);
            EXPECT_EQ(Count(log, kProbe), 1);
        }
}

TEST_F(Attachment, LeavesAPassThroughWhenSubclassedOnTop) {
    for (Kind k : {kEdit, kClassLib}) {
        SCOPED_TRACE(KindName(k));
        auto s = MakeSubject(Form, {k});
        const Entry original = EntryOf(*s);
        TacMainWnd* w = Wrap<TacScrollWnd>(*s, Birch());
        ASSERT_NE(w, nullptr);
        testwin::MessageLog top;
        {
            BelowLog onTop(top, *s);  // subclassed after the wrapper
            const Entry withTop = EntryOf(*s);
            Detach(w, true);
            EXPECT_EQ(w, nullptr);
            EXPECT_TRUE(EntryOf(*s) == withTop) << "the subclass on top was cut off";
            EXPECT_EQ(GetPropW(s->H, acWrapperProp), nullptr);
            SetWindowTextW(s->H, L"still reached");
            wchar_t buf[32] = {};
            GetWindowTextW(s->H, buf, 32);
            EXPECT_STREQ(buf, L"still reached");
            EXPECT_EQ(Count(top, WM_SETTEXT), 1);
        }
        // The subclass gave back the pass-through, which hands on.
        SetWindowTextW(s->H, L"again");
        wchar_t buf[32] = {};
        GetWindowTextW(s->H, buf, 32);
        EXPECT_STREQ(buf, L"again");
        EXPECT_FALSE(EntryOf(*s) == original);
        // A wrapper made now sits on top of the pass-through and goes cleanly.
        const Entry passThrough = EntryOf(*s);
        TacMainWnd* again = Wrap<TacScrollWnd>(*s, Birch());
        ASSERT_NE(again, nullptr);
        Detach(again, true);
        EXPECT_TRUE(EntryOf(*s) == passThrough);
        EXPECT_EQ(GetPropW(s->H, acWrapperProp), nullptr);
    }
}

// A wrapper whose own handling throws: the error goes to the application's
// handler, the window gets the default answer, and user32 never sees it.
class TThrowingWnd : public TacScrollWnd {
public:
    using TacScrollWnd::TacScrollWnd;
    void WndProc(TMessage& M) override {
        if (M.Msg == kProbe) throw Exception("thrown in a wrapper");
        TacScrollWnd::WndProc(M);
    }
};
std::string g_Caught;
void CatchInTest(TObject*, const std::exception& E) { g_Caught = E.what(); }
void FailOnException(TObject*, const std::exception& E) { ADD_FAILURE() << "exception in a window procedure: " << E.what(); }

TEST_F(Attachment, NoExceptionCrossesTheProcedure) {
    SetExceptionSink(&CatchInTest);
    for (Kind k : {kEdit, kClassLib}) {
        SCOPED_TRACE(KindName(k));
        g_Caught.clear();
        auto s = MakeSubject(Form, {k});
        TacMainWnd* w = Wrap<TThrowingWnd>(*s, Birch());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(SendMessageW(s->H, kProbe, 0, 0), 0);
        EXPECT_EQ(g_Caught, "thrown in a wrapper");
        delete w;
    }
    SetExceptionSink(&FailOnException);
}

// A parent that answers the background query with one colour.
class TColourParent : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    static constexpr TColor Colour = 0x00FF00;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD && SkinCommandOf(M.WParam) == scGetBackground && M.LParam) {
            auto* info = reinterpret_cast<BackgroundInfo*>(M.LParam);
            info->BgType = 1;
            info->Color = Colour;
            return;
        }
        TCustomControl::WndProc(M);
    }
};

// The cache at the window's size, painted from the section; the key-coloured
// corner pixels of the border image's state cell take the parent's
// background, except in dialog mode.
TEST_F(Attachment, CacheAtWindowSizeAndCornersFromTheParent) {
    std::unique_ptr<TsSkinManager> m(skinfixture::MakeManager());
    auto* parent = new TColourParent(Form);
    parent->SetBounds(10, 10, 300, 250);
    parent->SetParent(Form);
    struct Case {
        bool Dialog;
        int State, Keyed;
    };
    for (const Case& c : {Case{false, 1, 1}, Case{false, 5, 1}, Case{true, 1, 0}}) {
        SCOPED_TRACE(c.Dialog ? "dialog mode" : "state " + std::to_string(c.State));
        auto s = MakeSubject(parent, {kEdit, Rect(20, 20, 220, 160), 5});
        WrappingDialogChildren = c.Dialog;
        TacMainWnd* w = Wrap<TacMainWnd>(*s, m.get(), "PANELX");
        WrappingDialogChildren = false;
        ASSERT_NE(w, nullptr);
        TsCommonData* d = w->SkinData;
        d->BackgroundDirty = true;
        UpdateWndCache(d, s->H, false);
        ASSERT_EQ(d->CacheBitmap->Width(), 200);
        ASSERT_EQ(d->CacheBitmap->Height(), 140);
        skinfixture::FillRect24(d->CacheBitmap, Rect(0, 0, 200, 140), clBlack);
        FillCornersByMask(d, c.State, w);
        int keyed = 0;
        for (int y = 0; y < 140; ++y)
            for (int x = 0; x < 200; ++x) keyed += d->CacheBitmap->Canvas()->Pixels(x, y) == TColourParent::Colour;
        EXPECT_EQ(keyed, c.Keyed);
        EXPECT_EQ(d->CacheBitmap->Canvas()->Pixels(0, 0) == TColourParent::Colour, c.Keyed == 1);
        DetachWrapper(s->H, true, false, w);
    }
}

namespace {

// A foreign window holding the wrapped one; skinned, it answers the colour
// query with its colour.
bool g_HostSkinned = false;
constexpr TColor kHostColour = 0xC86400;
LRESULT CALLBACK HostProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
    if (Msg == SM_ALPHACMD && g_HostSkinned) {
        if (SkinCommandOf(W) == scIsSkinned) return 1;
        if (SkinCommandOf(W) == scQueryColor) return kHostColour;
    }
    return DefWindowProcW(H, Msg, W, L);
}

}  // namespace

// A wrapped foreign window has no owner control: a transparent section
// answers its parent window's colour, a semi-transparent one blends with it
// (40 % of the section's pure red, 60 % of the host's), and a parent that is
// not skinned counts as button face.
TEST_F(Attachment, ColourWithoutAnOwnerControlComesFromTheParentWindow) {
    std::unique_ptr<TsSkinManager> m(skinfixture::MakeManager());
    testwin::RegisterWindowClass(L"TuvreliColourHost", HostProc);
    HWND host = CreateWindowExW(0, L"TuvreliColourHost", L"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 250,
                                Form->Handle(), nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    const TColor face = ColorToRGB(clBtnFace);
    const TColor blendFace = BlendColors(skinfixture::PanelColor, face, 0.4);
    struct Case {
        const char* Section;
        bool HostSkinned;
        TColor Expected;
    };
    for (const Case& c : {Case{"CLEARX", true, kHostColour}, Case{"PANELX", true, 0x783C66},
                          Case{"CLEARX", false, face}, Case{"PANELX", false, blendFace}}) {
        SCOPED_TRACE(std::string(c.Section) + (c.HostSkinned ? " in a skinned host" : " in a plain host"));
        g_HostSkinned = c.HostSkinned;
        HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 20, 20, 200, 100, host, nullptr,
                                    nullptr, nullptr);
        TacMainWnd* w = CreateWrapper<TacMainWnd>(edit, true, c.Section, m.get(), nullptr);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(TColor(SendMessageW(edit, SM_ALPHACMD, WPARAM(SkinWParam(scQueryColor)), TransparentKeyColor)),
                  c.Expected);
        DetachWrapper(edit, true, false, w);
        DestroyWindow(edit);
    }
    g_HostSkinned = false;
    DestroyWindow(host);
}

// A manager whose skin is not active leaves a wrapped window to itself, but
// for the messages the base always answers.
TEST_F(Attachment, TransparentWithoutAnActiveSkin) {
    std::unique_ptr<TsSkinManager> m(skinfixture::MakeManager());
    struct Case {
        bool Active;
        LRESULT IsSkinned;
    };
    for (const Case& c : {Case{true, 1}, Case{false, 0}}) {
        SCOPED_TRACE(c.Active ? "active" : "inactive");
        m->SkinData()->Values.SkinLoaded = c.Active;
        auto s = MakeSubject(Form, {kEdit});
        testwin::MessageLog log;
        BelowLog below(log, *s);
        TacMainWnd* w = Wrap<TacMainWnd>(*s, m.get());
        ASSERT_NE(w, nullptr);
        log.Clear();
        EXPECT_EQ(SendMessageW(s->H, SM_ALPHACMD, WPARAM(SkinWParam(scIsSkinned)), 0), c.IsSkinned);
        EXPECT_EQ(Count(log, SM_ALPHACMD), c.Active ? 0 : 1);
        // Consumed whatever the manager: never handed to the window.
        SendMessageW(s->H, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
        EXPECT_EQ(Count(log, WM_UPDATEUISTATE), 0);
        DetachWrapper(s->H, true, false, w);
    }
    m->SkinData()->Values.SkinLoaded = true;
}

// Create, wrap, use and destroy a thousand windows, in every order: the
// wrapper freed first, the window destroyed first (which detaches the
// wrapper, so that freeing it later touches no window), the skin removed in
// between. Afterwards no window keeps the property or a replaced
// procedure, and the process holds the GDI and USER objects it held before.
TEST_F(Attachment, ThousandWrappedWindowsInEveryOrder) {
    enum Order { kWrapperFirst, kWindowFirst, kSkinRemoved };
    std::unique_ptr<TsSkinManager> m(skinfixture::MakeManager());
    // One round of each kind and order before counting: the system's own
    // first-use caches (fonts, brushes of the classes) are no leak.
    auto round = [&](int I) {
        const Kind k = kKinds[I % 3];
        const Order order = Order((I / 3) % 3);
        auto s = MakeSubject(Form, {k, Rect(10 + I % 50, 10, 210, 150), 2});
        const Entry original = EntryOf(*s);
        TacScrollWnd* w = Wrap(*s, m.get(), "TSSCROLLBAR");
        ASSERT_NE(w, nullptr);
        SendScrollMessage(s->H, WM_HSCROLL, SB_LINEDOWN, 0);
        SendMessageW(s->H, WM_NCPAINT, 1, 0);
        if (order == kSkinRemoved) {
            m.reset();
            SendScrollMessage(s->H, WM_HSCROLL, SB_LINEUP, 0);
        }
        if (order == kWindowFirst) {
            if (s->Memo) {
                delete s->Memo;
                s->Memo = nullptr;
            } else {
                DestroyWindow(s->H);
            }
            EXPECT_TRUE(w->Destroyed);
            delete w;
        } else {
            delete w;
            ASSERT_EQ(GetPropW(s->H, acWrapperProp), nullptr);
            ASSERT_TRUE(EntryOf(*s) == original);
        }
        s.reset();
        if (!m) m.reset(skinfixture::MakeManager());
    };
    for (int i = 0; i < 9; ++i) round(i);
    Pump(20);
    const testwin::GuiObjects start = testwin::CountGuiObjects();
    for (int i = 9; i < 1000 && !HasFatalFailure(); ++i) round(i);
    m.reset();
    m.reset(skinfixture::MakeManager());  // as many managers as at the start
    Pump(20);
    EXPECT_EQ(testwin::CountGuiObjects(), start);
}
