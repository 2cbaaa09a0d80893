#include "acSBUtils.h"

TacScrollMouse acScrollMouse;

TacScrollWnd::TacScrollWnd(HWND AHandle, bool Repaint, const AnsiString& Section, TsSkinManager* Manager,
                           TsCommonData* Data)
    : TacMainWnd(AHandle, Repaint, Section, Manager, Data) {}

TacScrollWnd::~TacScrollWnd() { DetachOnFree(); }

void TacScrollWnd::WndProc(TMessage& Message) { TacMainWnd::WndProc(Message); }

void InitScrollBars(TacScrollWnd* Wrapper, HWND Handle, bool) { Attach(Wrapper, Handle); }
TacScrollBar* GetScrollBarObject(HWND, int) { return nullptr; }
void UpdateScrollWrapper(TsCommonData*, TacScrollWnd*&) {}
void UpdateScrollInfo(TacScrollWnd*, bool) {}
void DetachScrollWrapper(HWND Handle, bool Free, bool Refresh, TacScrollWnd*& Wrapper) {
    TacMainWnd* w = Wrapper;
    DetachWrapper(Handle, Free, Refresh, w);
    if (!w) Wrapper = nullptr;
}
int GetScrollMetric(const TacScrollBar*, int, bool) { return 0; }
TRect GetHorzBarRect(TacScrollWnd*, HWND) { return TRect{}; }
TRect GetVertBarRect(TacScrollWnd*, HWND) { return TRect{}; }
bool InParentCorner(TacScrollWnd*, HWND, const TRect&) { return false; }
void PaintScrollBars(TacScrollWnd*, HWND, HDC, int, HRGN) {}
void SendScrollMessage(HWND, UINT, int, int) {}
bool ScrollBarUsable(HWND, int) { return false; }
