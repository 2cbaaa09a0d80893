// The gradient background on an MDI form: it fills the form's MDI client
// window (aligned to it, whatever the form data said), painting when the
// client erases and leaving the children alone; hidden, the client erases as
// it would without it. Its taking over of the client's procedure is given
// back exactly, or left as a pass-through under a later subclass and taken
// up by the next background; an exception while painting stays on our side
// of the procedure; made and freed, nothing is left behind.
#include <gtest/gtest.h>

#include <memory>

#include "Forms.h"
#include "MessageLog.h"
#include "RzBckgnd.h"
#include "TypeInfo.h"
#include "WineUi.h"

namespace {

using wineui::Pump;

class TMDIBackForm : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TMDIBackForm"; }
};

// A background whose gradient cannot be painted.
class TFailingBackground : public TRzBackground {
public:
    using TRzBackground::TRzBackground;

protected:
    void PaintGradientLayer(TCanvas*) override { throw Exception("no gradient"); }
};

std::unique_ptr<TMDIBackForm> ShownForm(const char8_t* Text) {
    static bool registered = false;
    if (!registered) RegisterFormClass<TMDIBackForm>("TMDIBackForm");
    registered = true;
    auto form = wineui::LoadFormText<TMDIBackForm>(Text, "mdi.form");
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump(60);
    return form;
}

const char8_t kPlainForm[] = u8R"(object MDIBack: TMDIBackForm
  Left = 0
  Top = 0
  BorderStyle = bsNone
  ClientWidth = 400
  ClientHeight = 300
  FormStyle = fsMDIForm
end
)";

const char8_t kFormWithBackground[] = u8R"(object MDIBack: TMDIBackForm
  Left = 0
  Top = 0
  BorderStyle = bsNone
  ClientWidth = 400
  ClientHeight = 300
  FormStyle = fsMDIForm
  object Back: TRzBackground
    Left = 0
    Top = 0
    Width = 50
    Height = 40
    Align = alTop
    GradientColorStart = clRed
    GradientColorStop = clBlue
    GradientDirection = gdHorizontalEnd
  end
end
)";

// What the client window shows once it has erased and painted again.
testwin::Pixels ClientShot(HWND Client) {
    RedrawWindow(Client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(30);
    RECT r;
    GetClientRect(Client, &r);
    return testwin::CopyFromWindow(Client, r);
}

uint32_t Workspace() { return testwin::SwapRedBlue(GetSysColor(COLOR_APPWORKSPACE) & 0xFFFFFF); }

// The gradient from red to blue: both ends are there at the middles of two
// opposite edges, and nothing of the client's own colour.
::testing::AssertionResult ShowsTheGradient(const testwin::Pixels& Px) {
    const uint32_t edges[] = {Px.At(3, Px.Height / 2), Px.At(Px.Width - 4, Px.Height / 2), Px.At(Px.Width / 2, 3),
                              Px.At(Px.Width / 2, Px.Height - 4)};
    bool red = false, blue = false;
    for (uint32_t e : edges) {
        red = red || wineui::Near(e, 0xFF0000, 40);
        blue = blue || wineui::Near(e, 0x0000FF, 40);
    }
    if (!red || !blue || Px.Count(Workspace()) > Px.Width) {
        auto failure = ::testing::AssertionFailure() << std::hex;
        for (uint32_t e : edges) failure << e << " ";
        return failure << std::dec << "at the edges, " << Px.Count(Workspace()) << " pixels of the client's own colour";
    }
    return ::testing::AssertionSuccess();
}

bool Logged(const testwin::MessageLog& Log, UINT Msg) {
    for (const testwin::LoggedMessage& m : Log.Entries())
        if (m.Msg == Msg) return true;
    return false;
}

LONG_PTR ProcOf(HWND Wnd) { return GetWindowLongPtrW(Wnd, GWLP_WNDPROC); }

}  // namespace

TEST(MDIBackground, FillsTheClientAroundTheChildrenWhileVisible) {
    auto form = ShownForm(kFormWithBackground);
    auto* back = wineui::Find<TRzBackground>(form.get(), "Back");
    ASSERT_NE(back, nullptr);
    HWND client = form->ClientHandle();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(back->Align(), alClient) << "an MDI form's background fills the client";
    EXPECT_EQ(back->MDIClient(), client);
    EXPECT_EQ(back->BoundsRect(), Rect(0, 0, 400, 300));
    EXPECT_TRUE(ShowsTheGradient(ClientShot(client)));

    auto* child = new TForm(form.get());
    child->SetFormStyle(fsMDIChild);
    child->SetColor(clLime);
    child->SetBounds(50, 50, 150, 100);
    child->Show();
    Pump(30);
    TPoint centre = child->ClientToScreen(Point(child->ClientWidth() / 2, child->ClientHeight() / 2));
    POINT c{centre.X, centre.Y};
    ScreenToClient(client, &c);
    testwin::Pixels px = ClientShot(client);
    EXPECT_EQ(px.At(c.x, c.y), 0x00FF00u) << "the child keeps its own colour";
    EXPECT_EQ(px.Count(Workspace()), 0) << "the background fills the rest";

    back->SetVisible(false);
    px = ClientShot(client);
    EXPECT_GT(px.Count(Workspace()), px.Width * px.Height / 2) << "hidden, the client erases as its own";
    back->SetVisible(true);
    EXPECT_TRUE(ShowsTheGradient(ClientShot(client))) << "shown again";
}

// A subclass below: the background's procedure goes on top of it, answers
// the erasing itself, and gives back exactly the spy's procedure. A subclass
// above: the background's procedure stays in the chain as a pass-through,
// taken up again by the next background, which gives back the client's own
// procedure in the end.
TEST(MDIBackground, ClientProcedureIsGivenBackExactlyOrLeftAsAPassThrough) {
    using testwin::LogWindow;
    auto form = ShownForm(kPlainForm);
    HWND client = form->ClientHandle();
    ASSERT_NE(client, nullptr);
    const LONG_PTR original = ProcOf(client);
    testwin::MessageLog log;
    {
        LogWindow below(log, client);
        const LONG_PTR spy = ProcOf(client);
        auto* back = new TRzBackground(form.get());
        back->SetGradientColorStart(clRed);
        back->SetGradientColorStop(clBlue);
        back->SetParent(form.get());  // by code: it takes the client over at once
        EXPECT_EQ(back->Align(), alClient);
        EXPECT_EQ(back->MDIClient(), client);
        EXPECT_NE(ProcOf(client), spy);
        log.Clear();
        EXPECT_TRUE(ShowsTheGradient(ClientShot(client)));
        EXPECT_TRUE(Logged(log, WM_PAINT)) << "painting goes on to the client's procedure";
        EXPECT_FALSE(Logged(log, WM_ERASEBKGND)) << "erasing is the background's";
        delete back;
        EXPECT_EQ(ProcOf(client), spy) << "given back exactly";
        log.Clear();
        EXPECT_GT(ClientShot(client).Count(Workspace()), 0);
        EXPECT_TRUE(Logged(log, WM_ERASEBKGND));
    }
    EXPECT_EQ(ProcOf(client), original);

    auto* first = new TRzBackground(form.get());
    first->SetParent(form.get());
    const LONG_PTR ours = ProcOf(client);
    {
        LogWindow above(log, client);
        const LONG_PTR spy = ProcOf(client);
        delete first;
        EXPECT_EQ(ProcOf(client), spy) << "a later subclass is not cut off";
        EXPECT_GT(ClientShot(client).Count(Workspace()), 400 * 300 / 2) << "the pass-through paints nothing";
        auto* second = new TRzBackground(form.get());
        second->SetGradientColorStart(clRed);
        second->SetGradientColorStop(clBlue);
        second->SetParent(form.get());
        EXPECT_EQ(second->MDIClient(), client);
        EXPECT_EQ(ProcOf(client), spy) << "taken up without a second swap";
        EXPECT_TRUE(ShowsTheGradient(ClientShot(client)));
        delete second;
    }
    EXPECT_EQ(ProcOf(client), ours) << "the subclass above gave back our pass-through";
    auto* third = new TRzBackground(form.get());
    third->SetParent(form.get());
    EXPECT_EQ(third->MDIClient(), client);
    // A second background on the same client leaves it to the first.
    auto* extra = new TRzBackground(form.get());
    extra->SetParent(form.get());
    EXPECT_EQ(extra->MDIClient(), nullptr);
    delete extra;
    delete third;
    EXPECT_EQ(ProcOf(client), original) << "the last one gives back the client's own procedure";
}

// An exception while the background paints reaches the application's
// handler; the client erases as its own, and nothing crosses into the system.
TEST(MDIBackground, AnExceptionWhilePaintingGoesToTheApplicationsHandler) {
    struct Sink {
        std::vector<AnsiString> Messages;
        void Handle(TObject*, const std::exception& E) { Messages.push_back(E.what()); }
    } sink;
    Application->OnException = TExceptionEvent::Of<&Sink::Handle>(&sink);
    auto form = ShownForm(kPlainForm);
    auto* back = new TFailingBackground(form.get());
    back->SetParent(form.get());
    testwin::Pixels px = ClientShot(form->ClientHandle());
    Application->OnException = nullptr;
    ASSERT_FALSE(sink.Messages.empty());
    EXPECT_EQ(sink.Messages.front(), "no gradient");
    EXPECT_GT(px.Count(Workspace()), px.Width * px.Height / 2) << "the client's own erasing answered";
}

TEST(MDIBackground, MadeAndFreedItLeavesNoObjectsBehind) {
    auto round = [] {
        auto form = ShownForm(kFormWithBackground);
        auto* child = new TForm(form.get());
        child->SetFormStyle(fsMDIChild);
        child->Show();
        ClientShot(form->ClientHandle());
    };
    round();
    const testwin::GuiObjects before = testwin::CountGuiObjects();
    for (int i = 0; i < 10; ++i) round();
    const testwin::GuiObjects after = testwin::CountGuiObjects();
    EXPECT_EQ(after.Gdi, before.Gdi);
    EXPECT_EQ(after.User, before.User);
}
