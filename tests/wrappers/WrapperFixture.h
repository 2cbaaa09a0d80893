// What the wrapper tests share: the engine units and one manager per test
// skin for the whole run, the windows the tests wrap (a system multi-line
// "EDIT" and "LISTBOX" with both bars, and a class-library multi-line edit),
// a log taken below the wrapper, and real mouse input.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "MessageLog.h"
#include "StdCtrls.h"
#include "WinTestSupport.h"
#include "acSBUtils.h"
#include "sSkinManager.h"

namespace wraptest {

// The managers of the test skins, loaded once: Birch (the default manager)
// and Night.
TsSkinManager* Birch();
TsSkinManager* Night();

void Pump(int Ms);
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 3000);

// The class library's multi-line edit with both bars.
class TTestMemo : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
    const char* ClassName() const override { return "TTestMemo"; }

protected:
    void CreateParams(TCreateParams& P) override {
        TCustomEdit::CreateParams(P);
        P.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL;
    }
};

enum Kind { kEdit, kListBox, kClassLib };
const char* KindName(Kind K);

// A window of one kind on the test form; with Lines of text (the last one
// wide enough for the horizontal bar).
struct Subject {
    Kind K = kEdit;
    HWND H = nullptr;
    TTestMemo* Memo = nullptr;
    std::unique_ptr<TsCommonData> Data;
    ~Subject();
};
struct SubjectSpec {
    Kind K = kEdit;
    TRect Bounds = Rect(20, 20, 260, 200);
    int Lines = 200;
    DWORD Bars = WS_HSCROLL | WS_VSCROLL;
};
std::unique_ptr<Subject> MakeSubject(TWinControl* Parent, const SubjectSpec& Spec);
// A scroll wrapper (or a base wrapper) over the subject under Manager; a
// class-library control's own skin state is given that manager first.
template <class T = TacScrollWnd>
T* Wrap(Subject& S, TsSkinManager* Manager, const char* Section = "EDIT") {
    if (S.Data) {
        S.Data->SetSkinSection(Section);
        S.Data->WriteSkinManager(Manager);
    }
    return CreateWrapper<T>(S.H, true, Section, Manager, S.Data.get());
}

// A log of what reaches the window below whatever is on top: for a foreign
// window its window procedure, for a class-library control its WindowProc.
class BelowLog {
public:
    BelowLog(testwin::MessageLog& Log, Subject& S);
    ~BelowLog();

private:
    static void Record(void* Self, TMessage& M);
    testwin::MessageLog& FLog;
    Subject& FSubject;
    std::unique_ptr<testwin::LogWindow> FWindow;
    TWndMethod FPrevious;
};
// What a window's messages go to first: its window procedure and, for a
// class-library control, its WindowProc.
struct Entry {
    LONG_PTR Proc = 0;
    TWndMethod Method;
    friend bool operator==(const Entry& A, const Entry& B) { return A.Proc == B.Proc && A.Method == B.Method; }
};
Entry EntryOf(const Subject& S);

// Of a log: only the scroll messages and the engine commands that bracket
// them (51 and 52), in order.
testwin::MessageLog ScrollTraffic(const testwin::MessageLog& Log);

// Real mouse input at screen points.
void MouseMove(POINT P);
void MouseButton(bool Down);
void Click(POINT P);

// The form the subjects live on, shown and in front.
struct FormFixture : ::testing::Test {
    TForm* Form = nullptr;
    void SetUp() override;
    void TearDown() override;
};

}  // namespace wraptest
