#include "sSkinnedForms.h"

#include <shellapi.h>

#include <string>

#include "Graphics.h"
#include "WinText.h"
#include "acntUtilsWin.h"
#include "sCommonData.h"
#include "sControlUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"

TsFormList<TForm> SkinnedFormList;
TIcon* AppSmallIcon = nullptr;
TIcon* AppLargeIcon = nullptr;
AnsiString ChangedSectionName;

namespace {

// Drops the entries of a listed form that goes without being unregistered,
// so that no broadcast or lock ever reaches a freed form.
class TFormWatcher : public TComponent {
public:
    TFormWatcher() : TComponent(nullptr) {}
    const char* ClassName() const override { return "TFormWatcher"; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        // Heard from the component's own destructor, when it is no longer a
        // form: matched by address.
        if (Operation != opRemove) return;
        for (TForm* f : SkinnedFormList.Snapshot())
            if (static_cast<TComponent*>(f) == AComponent) SkinnedFormList.Unregister(f);
    }
};
TFormWatcher* Watcher = nullptr;

HWND FormHandle(TForm* F) { return F ? F->HandleIfAllocated() : nullptr; }

bool Destroying(TComponent* C) { return C->ComponentState() & csDestroying; }

// The form by its window (through its window procedure before it has one),
// then the controls inside it as the control utilities walk them; an MDI
// form's client window, which is none of its controls, hears it last.
void SendToFormAndControls(TForm* F, TMessage& M) {
    if (const HWND h = FormHandle(F))
        SendMessageW(h, M.Msg, M.WParam, M.LParam);
    else
        F->Perform(M.Msg, M.WParam, M.LParam);
    SendToControlTree(F, M.Msg, M.WParam, M.LParam);
    if (F->FormStyle() == fsMDIForm && F->ClientHandle()) SendMessageW(F->ClientHandle(), M.Msg, M.WParam, M.LParam);
}

bool UsesManager(TacFormProvider* P, TsSkinManager* Manager) {
    TsCommonData* d = P ? P->SkinData() : nullptr;
    return d && d->SkinManager() == Manager;
}

// A shown top-level form of the class library. An MDI child is none: its
// frame is locked and faded with it inside.
bool ShownTopLevel(TForm* F) {
    return F && !Destroying(F) && !F->Parent() && F->FormStyle() != fsMDIChild && F->Visible();
}

bool WindowsBeforeVista() {
    const DWORD v = GetVersion();
    return LOBYTE(LOWORD(v)) < 6;
}

// The skin-change animation of a form, played before its redraw comes back
// (for the manager's skin-change time when the provider paints the form's
// frame, else for 0).
void PlaySkinChangeFade(TForm* F, TsSkinManager* Manager, bool OwnFrame) {
    if (auto* a = Manager->AnimEffects()->SkinChanging(); a->Active()) FadeOutControl(F, OwnFrame ? a->Time() : 0);
}

// The redraw switched on again on a form a lock switched off.
void RestoreRedraw(TForm* F, bool Repaint) {
    const HWND h = FormHandle(F);
    if (!h) return;
    SendMessageW(h, WM_SETREDRAW, 1, 0);
    // The redraw switch doubles as the window's visible bit: a form hidden
    // while it was off was never taken off the screen, so hide it now.
    if (!F->Visible())
        ShowWindow(h, SW_HIDE);
    else if (Repaint)
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

}  // namespace

void RegisterSkinnedForm(TForm* Form) {
    if (!Form) return;
    SkinnedFormList.Register(Form);
    if (!Watcher) Watcher = new TFormWatcher;
    Watcher->FreeNotification(Form);
}

void UnregisterSkinnedForm(TForm* Form) {
    if (!Form || !SkinnedFormList.Contains(Form)) return;
    const bool locked = SkinnedFormList.IsLocked(Form);
    SkinnedFormList.Unregister(Form);
    // No unlock will reach it any more: a form that stays gets its redraw back now.
    if (locked && !Destroying(Form)) RestoreRedraw(Form, true);
    if (Watcher) Watcher->RemoveFreeNotification(Form);
}

TacFormProvider* FormProvider(TForm* Form) {
    const HWND h = FormHandle(Form);
    if (!h) return nullptr;
    return reinterpret_cast<TacFormProvider*>(SendMessageW(h, SM_ALPHACMD, WPARAM(SkinWParam(scGetProvider)), 0));
}

bool ApplicationMinimized() {
    TForm* main = Application ? Application->MainForm() : nullptr;
    const HWND h = FormHandle(main);
    return h && IsIconic(h);
}

void BroadcastToAllForms(TMessage& Message) {
    if (Application) {
        // From the last form to the first; a form freed by a handler shortens
        // the list, so the index is checked against the count each time.
        for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
            if (i >= Application->ComponentCount()) continue;
            auto* f = dynamic_cast<TForm*>(Application->Components(i));
            // An MDI child hears it through its own provider, never as a form of the application.
            if (!f || f->FormStyle() == fsMDIChild || (f->ComponentState() & (csDestroying | csLoading))) continue;
            // A skinned form hears it once, through the list.
            if (AnswersEngineCommand(FormHandle(f), scIsSkinned)) continue;
            SendToFormAndControls(f, Message);
        }
    }
    BroadcastToSkinnedForms(Message);
}

void BroadcastToSkinnedForms(TMessage& Message) {
    for (TForm* f : SkinnedFormList.Snapshot()) {
        // A handler may have unregistered (or freed) a later form.
        if (!SkinnedFormList.Contains(f) || Destroying(f)) continue;
        SendToFormAndControls(f, Message);
    }
    // The skinned system dialogs hear it too, or keep stale indexes.
    if (CreationHookSide.Broadcast) CreationHookSide.Broadcast(Message);
}

void LockFormsRedraw(TsSkinManager* Manager) {
    if (ApplicationMinimized()) return;
    if (Manager && Manager->IsDefault() && Manager->AnimEffects()->SkinChanging()->Active()) FadeInProgress = true;
    for (TForm* f : SkinnedFormList.Snapshot()) {
        if (!SkinnedFormList.Contains(f) || !ShownTopLevel(f) || f->WindowState() == wsMinimized) continue;
        const HWND h = FormHandle(f);
        if (!h || !UsesManager(FormProvider(f), Manager)) continue;
        SendMessageW(h, WM_SETREDRAW, 0, 0);
        SkinnedFormList.NoteLocked(f, Manager);
    }
}

void UnlockFormsRedraw(TsSkinManager* Manager, bool Fade) {
    // Every form this manager locked gets its redraw back, even one hidden,
    // minimized or re-parented since; otherwise it would stay switched off.
    std::vector<TForm*> locked = SkinnedFormList.TakeLocked(Manager);
    auto restore = [&locked](TForm* f) {
        auto it = std::find(locked.begin(), locked.end(), f);
        if (it == locked.end()) return false;
        locked.erase(it);
        RestoreRedraw(f, false);
        return true;
    };
    if (!ApplicationMinimized()) {
        if (Manager && Manager->IsDefault()) FadeInProgress = false;
        for (TForm* f : SkinnedFormList.Snapshot()) {
            if (!SkinnedFormList.Contains(f) || !ShownTopLevel(f)) continue;
            const HWND h = FormHandle(f);
            if (!h || IsIconic(h)) continue;
            TacFormProvider* p = FormProvider(f);
            if (!p || !UsesManager(p, Manager)) continue;
            if (Fade) PlaySkinChangeFade(f, Manager, p->DrawNonClientArea());
            if (!restore(f)) SendMessageW(h, WM_SETREDRAW, 1, 0);
            // Without the fade the caller repaints: the redraw is only let go.
            if (!Fade) continue;
            if (p->DrawNonClientArea()) {
                if (WindowsBeforeVista()) SetWindowRgn(h, nullptr, FALSE);
                p->UpdateRegionRects();
                p->UpdateWindowRegion();
                RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            } else {
                RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            }
        }
    }
    for (TForm* f : std::vector<TForm*>(locked)) restore(f);
}

void sSkinnedFormsInitialize() {
    const AnsiString exe = Application ? Application->ExeName() : AnsiString();
    delete AppSmallIcon;
    delete AppLargeIcon;
    AppSmallIcon = FileIcon(exe, SHGFI_SMALLICON);
    AppLargeIcon = FileIcon(exe, SHGFI_LARGEICON);
}

void sSkinnedFormsFinalize() {
    delete AppSmallIcon;
    AppSmallIcon = nullptr;
    delete AppLargeIcon;
    AppLargeIcon = nullptr;
    for (TForm* f : SkinnedFormList.Snapshot()) UnregisterSkinnedForm(f);
    SkinnedFormList.Clear();
    delete Watcher;
    Watcher = nullptr;
    ChangedSectionName = AnsiString();
}
