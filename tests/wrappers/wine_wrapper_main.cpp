// The wrapper tests' shared fixture and their program: the engine's units,
// the test skins loaded once, the windows wrapped.
#include "TestSkins.h"
#include "WrapperFixture.h"

#include <string>

#include "UnitInit.h"
#include "acPNG.h"
#include "sAlphaGraph.h"
#include "sControlUtils.h"
#include "sEngineUnits.h"
#include "sGraphUtils.h"

namespace wraptest {

namespace {

TsSkinManager* g_Birch = nullptr;
TsSkinManager* g_Night = nullptr;

TsSkinManager* LoadSkin(const char* Name) { return MakeSkinManager(nullptr, TUVRELI_TEST_SKINS_DIR, Name); }

void HandleWaiting() { Application->ProcessMessages(); }

std::wstring Lines(int Count) {
    std::wstring t;
    for (int i = 0; i < Count; ++i) t += L"Line " + std::to_wstring(i + 1) + (i + 1 < Count ? L"\r\n" : L"");
    t += L" - and a line much wider than the window, so that the horizontal bar has a range to scroll through";
    return t;
}

// Engine commands and scroll messages are what the scroll tests look at.
bool IsScrollTraffic(const testwin::LoggedMessage& M) {
    if (M.Msg == SM_ALPHACMD) {
        const uint16_t c = SkinCommandOf(M.WParam);
        return c == scBeforeScroll || c == scAfterScroll;
    }
    return M.Msg == WM_HSCROLL || M.Msg == WM_VSCROLL;
}

}  // namespace

TsSkinManager* Birch() { return g_Birch; }
TsSkinManager* Night() { return g_Night; }

void Pump(int Ms) { testwin::PumpFor(&HandleWaiting, Ms); }
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs) {
    return testwin::PumpUntil(&HandleWaiting, Done, TimeoutMs);
}

const char* KindName(Kind K) {
    switch (K) {
    case kEdit: return "system EDIT";
    case kListBox: return "system LISTBOX";
    default: return "class-library memo";
    }
}

Subject::~Subject() {
    if (Memo)
        delete Memo;
    else if (H && IsWindow(H))
        DestroyWindow(H);
}

std::unique_ptr<Subject> MakeSubject(TWinControl* Parent, const SubjectSpec& Spec) {
    auto s = std::make_unique<Subject>();
    s->K = Spec.K;
    const TRect& b = Spec.Bounds;
    const std::wstring text = Lines(Spec.Lines);
    if (Spec.K == kClassLib) {
        s->Memo = new TTestMemo(nullptr);
        s->Memo->SetBounds(b.Left, b.Top, b.Width(), b.Height());
        s->Memo->SetParent(Parent);
        s->H = s->Memo->Handle();
        SetWindowTextW(s->H, text.c_str());
        s->Data = std::make_unique<TsCommonData>(s->Memo, true);
        return s;
    }
    const DWORD style = WS_CHILD | WS_VISIBLE | Spec.Bars |
                        (Spec.K == kEdit ? ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL
                                         : LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | LBS_NOTIFY);
    s->H = CreateWindowExW(WS_EX_CLIENTEDGE, Spec.K == kEdit ? L"EDIT" : L"LISTBOX", L"", style, b.Left, b.Top,
                           b.Width(), b.Height(), Parent->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (Spec.K == kEdit) {
        SetWindowTextW(s->H, text.c_str());
    } else {
        SendMessageW(s->H, WM_SETREDRAW, FALSE, 0);
        for (int i = 0; i < Spec.Lines; ++i)
            SendMessageW(s->H, LB_ADDSTRING, 0, LPARAM((L"Item " + std::to_wstring(i + 1)).c_str()));
        SendMessageW(s->H, WM_SETREDRAW, TRUE, 0);
        SendMessageW(s->H, LB_SETHORIZONTALEXTENT, Spec.Bars & WS_HSCROLL ? 800 : 0, 0);
    }
    return s;
}

Entry EntryOf(const Subject& S) {
    Entry e;
    e.Proc = GetWindowLongPtrW(S.H, GWLP_WNDPROC);
    if (S.Memo) e.Method = S.Memo->WindowProc;
    return e;
}

BelowLog::BelowLog(testwin::MessageLog& Log, Subject& S) : FLog(Log), FSubject(S) {
    if (S.Memo) {
        FPrevious = S.Memo->WindowProc;
        S.Memo->WindowProc = TWndMethod::Fn(this, &BelowLog::Record);
    } else {
        FWindow = std::make_unique<testwin::LogWindow>(Log, S.H);
    }
}

BelowLog::~BelowLog() {
    if (FSubject.Memo) FSubject.Memo->WindowProc = FPrevious;
}

void BelowLog::Record(void* Self, TMessage& M) {
    auto* b = static_cast<BelowLog*>(Self);
    b->FLog.Record(b->FSubject.H, M.Msg, M.WParam, M.LParam);
    b->FPrevious(M);
}

testwin::MessageLog ScrollTraffic(const testwin::MessageLog& Log) {
    testwin::MessageLog out;
    for (const testwin::LoggedMessage& m : Log.Entries())
        if (IsScrollTraffic(m)) out.Record(m.Window, m.Msg, m.WParam, m.LParam);
    return out;
}

void MouseMove(POINT P) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dx = LONG((int64_t(P.x) * 65535 + (w - 1) / 2) / (w - 1));
    i.mi.dy = LONG((int64_t(P.y) * 65535 + (h - 1) / 2) / (h - 1));
    i.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    testwin::SendInputs({i});
    Pump(15);
}

void MouseButton(bool Down) {
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    testwin::SendInputs({i});
}

void Click(POINT P) {
    MouseMove(P);
    MouseButton(true);
    Pump(20);
    MouseButton(false);
    Pump(40);
}

void FormFixture::SetUp() {
    Form = new TForm(Application);
    Form->SetCaption("Wrapper tests");
    Form->SetBounds(40, 40, 460, 380);
    Form->Show();
    SetForegroundWindow(Form->Handle());
    Pump(30);
}

void FormFixture::TearDown() {
    delete Form;
    Form = nullptr;
    Pump(10);
}

}  // namespace wraptest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    static const TUnitStep kUnits[] = {
        {"sConst", sConstInitialize, sConstFinalize},
        {"sThirdParty", sThirdPartyInitialize, sThirdPartyFinalize},
        {"sControlUtils", sControlUtilsInitialize, sControlUtilsFinalize},
        {"sGraphUtils", sGraphUtilsInitialize, sGraphUtilsFinalize},
        {"sSkinManager", sSkinManagerInitialize, sSkinManagerFinalize},
        {"sMessages", sMessagesInitialize, nullptr},
        {"sAlphaGraph", sAlphaGraphInitialize, sAlphaGraphFinalize},
        {"acPNG", acPNGInitialize, acPNGFinalize},
    };
    StartUnits(kUnits);
    Application->Initialize();
    wraptest::g_Birch = wraptest::LoadSkin("Birch");
    wraptest::g_Night = wraptest::LoadSkin("Night");
    const int rc = RUN_ALL_TESTS();
    delete wraptest::g_Night;
    delete wraptest::g_Birch;
    FinishUnits();
    return rc;
}
