// The forms a form provider skins, and how the engine reaches forms when a
// skin changes: the engine message to every form of the application or to the
// listed ones, and the redraw of the listed forms switched off and on again
// around the change. Also the program file's shell icons for skinned title
// bars, fetched once when the unit starts.
#pragma once

#include "Forms.h"
#include "sFormList.h"

class TIcon;
class TsCommonData;
class TsSkinManager;

// What a skinned form answers to scGetProvider (a pointer to this): the redraw
// lock asks it whose skin the form wears and how it is framed.
class TacFormProvider {
public:
    virtual ~TacFormProvider() = default;
    virtual TsCommonData* SkinData() const = 0;
    // The provider paints the form's frame and caption itself.
    virtual bool DrawNonClientArea() const = 0;
    virtual void UpdateRegionRects() = 0;
    virtual void UpdateWindowRegion() = 0;
    // The form's shape at (X, Y) from the prepared region rectangles, owned by
    // the caller; nullptr when the form has no shape of its own.
    virtual HRGN CreateFormRegion(int /*X*/, int /*Y*/) const { return nullptr; }
    // The form the provider skins (its skin state reaches the form through it).
    virtual TForm* ProviderForm() const { return nullptr; }
    // The skin state's section changed: the frame is painted anew.
    virtual void SectionChanged() {}
    // A message the engine hands to the form's provider (DispatchToProvider).
    virtual void DispatchSkinMessage(TMessage&) {}
};

// Forms skinned by a provider, in the order of registration; not owned.
extern TsFormList<TForm> SkinnedFormList;
extern TIcon* AppSmallIcon;
extern TIcon* AppLargeIcon;
// The section name scSectionChanged compares with.
extern AnsiString ChangedSectionName;

// Appends the form (a form may be listed more than once).
void RegisterSkinnedForm(TForm* Form);
// Removes every entry of the form; an unlisted form changes nothing.
void UnregisterSkinnedForm(TForm* Form);

// The message to every form the application owns that is not skinned yet,
// and to all the controls inside it; then to the listed forms.
void BroadcastToAllForms(TMessage& Message);
// The message to every listed form and the controls inside it, then to the
// windows of the visible skinned dialogs.
void BroadcastToSkinnedForms(TMessage& Message);

// The provider a form answers to scGetProvider, or nil.
TacFormProvider* FormProvider(TForm* Form);
// Whether the application's main window is minimized.
bool ApplicationMinimized();

// Switches the redraw off on every shown top-level listed form skinned by
// Manager. Each form locked here gets its redraw back from the next unlock
// for that manager, whatever happened to the form in between.
void LockFormsRedraw(TsSkinManager* Manager);
// Switches the redraw on again and repaints the forms, frames included. A
// form hidden while it was locked gets its redraw back and stays hidden.
// With Fade each shown form plays the skin-change animation first (none is
// played until the engine's fade is there).
void UnlockFormsRedraw(TsSkinManager* Manager, bool Fade);

// Unit start: the icons. Unit end: the icons freed, the list and the changed
// section name emptied.
void sSkinnedFormsInitialize();
void sSkinnedFormsFinalize();
