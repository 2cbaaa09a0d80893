#include "Dialogs.h"

#include <algorithm>
#include <vector>

#include "Buttons.h"
#include "ExtControls.h"
#include "Graphics.h"
#include "Guards.h"
#include "WinText.h"

namespace {

struct TacDlgTypeInfo {
    const char* Caption;
    LPCWSTR Icon;
};
const TacDlgTypeInfo kTypes[] = {
    {"Warning", IDI_WARNING}, {"Error", IDI_ERROR}, {"Information", IDI_INFORMATION},
    {"Confirm", IDI_QUESTION}, {"", nullptr},
};

struct TacDlgButtonInfo {
    TMsgDlgBtn Button;
    const char* Caption;
    TModalResult Result;
};
// In the order they stand in the row.
const TacDlgButtonInfo kButtons[] = {
    {mbYes, "&Yes", mrYes},           {mbNo, "&No", mrNo},          {mbOK, "OK", mrOk},
    {mbCancel, "Cancel", mrCancel},   {mbAbort, "&Abort", mrAbort}, {mbRetry, "&Retry", mrRetry},
    {mbIgnore, "&Ignore", mrIgnore},  {mbAll, "&All", mrAll},       {mbNoToAll, "N&o to All", mrAll + 1},
    {mbYesToAll, "Yes to &All", mrAll + 2}, {mbHelp, "&Help", mrNone},
};

constexpr int kMargin = 12, kIconSide = 32, kButtonW = 75, kButtonH = 25, kGap = 8, kTextMaxW = 400;

BOOL CALLBACK CollectEnabled(HWND W, LPARAM L) {
    if (IsWindowVisible(W) && IsWindowEnabled(W)) reinterpret_cast<std::vector<HWND>*>(L)->push_back(W);
    return TRUE;
}

}  // namespace

TMessageForm::TMessageForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    OnPaint = TNotifyEvent::Of<&TMessageForm::PaintIcon>(this);
}

void TMessageForm::PaintIcon(TObject*) {
    if (DialogIcon) DrawIconEx(Canvas()->Handle(), kMargin, kMargin, DialogIcon, kIconSide, kIconSide, 0, nullptr, DI_NORMAL);
}

TMessageForm* CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    auto* f = new TMessageForm(Application);
    const TacDlgTypeInfo& t = kTypes[DlgType];
    f->SetCaption(t.Caption);
    if (t.Icon) f->DialogIcon = LoadIconW(nullptr, t.Icon);
    const int textX = kMargin + (f->DialogIcon ? kIconSide + kMargin : 0);
    // The text measured with the form's font, wrapped at a fixed width.
    TRect r = Rect(0, 0, kTextMaxW, 0);
    {
        WindowDC dc(nullptr);
        SelectGuard font(dc.Get(), f->Font()->Handle());
        RECT rr{0, 0, kTextMaxW, 0};
        const std::wstring w = ToWide(Msg);
        DrawTextW(dc.Get(), w.c_str(), int(w.size()), &rr, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        r = Rect(0, 0, rr.right, rr.bottom);
    }
    auto* label = new TLabel(f);
    label->SetParent(f);
    label->SetWordWrap(true);
    label->SetShowAccelChar(false);
    label->SetCaption(Msg);
    label->SetBounds(textX, kMargin, r.Width() + 4, r.Height());
    std::vector<const TacDlgButtonInfo*> row;
    for (const TacDlgButtonInfo& b : kButtons)
        if (HasButton(Buttons, b.Button)) row.push_back(&b);
    if (row.empty()) row.push_back(&kButtons[2]);
    const int rowW = int(row.size()) * kButtonW + (int(row.size()) - 1) * kGap;
    const int contentH = std::max(r.Height(), f->DialogIcon ? kIconSide : 0);
    const int clientW = std::max(textX + r.Width() + kMargin, rowW + 2 * kMargin);
    f->SetClientWidth(clientW);
    f->SetClientHeight(kMargin + contentH + kMargin + kButtonH + kMargin);
    int x = (clientW - rowW) / 2;
    const bool hasCancel = HasButton(Buttons, mbCancel) || HasButton(Buttons, mbNo);
    for (size_t i = 0; i < row.size(); ++i) {
        auto* b = new TButton(f);
        b->SetParent(f);
        b->SetCaption(row[i]->Caption);
        b->SetModalResult(row[i]->Result);
        b->SetBounds(x, kMargin + contentH + kMargin, kButtonW, kButtonH);
        if (i == 0) b->SetDefault(true);
        if (row[i]->Button == mbCancel || (row[i]->Button == mbNo && !HasButton(Buttons, mbCancel)) ||
            (!hasCancel && row.size() == 1))
            b->SetCancel(true);
        x += kButtonW + kGap;
    }
    return f;
}

int ShowModalForm(TForm* Form) {
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, LPARAM(&disabled));
    for (HWND w : disabled) EnableWindow(w, FALSE);
    Form->SetModalResult(mrNone);
    Form->Show();
    while (Form->ModalResult() == mrNone && Form->Visible() && !Application->Terminated()) Application->HandleMessage();
    const int result = Form->ModalResult() == mrNone ? mrCancel : Form->ModalResult();
    for (HWND w : disabled)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    Form->Hide();
    return result;
}

int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
    std::unique_ptr<TMessageForm> f(CreateMessageDialog(Msg, DlgType, Buttons));
    return ShowModalForm(f.get());
}
