#include "HostMenus.h"

namespace {

struct ItemSpec {
    const char* Name;
    const char* Caption;
    int Level;  // 0: in the menu, 1: in the item above of level 0, ...
    TShortCut ShortCut = scNone;
    bool Enabled = true, Checked = false, Radio = false, Default = false;
};

// Items in outline order; an item holds the items of deeper level below it.
void Fill(TMenu* Menu, TComponent* Owner, const std::vector<ItemSpec>& Items) {
    std::vector<TMenuItem*> parents{Menu->Items()};
    for (const ItemSpec& s : Items) {
        auto* item = new TMenuItem(Owner);
        item->SetName(s.Name);
        item->SetCaption(s.Caption);
        item->SetShortCut(s.ShortCut);
        item->SetEnabled(s.Enabled);
        item->SetRadioItem(s.Radio);
        item->SetChecked(s.Checked);
        item->SetDefault(s.Default);
        parents.resize(size_t(s.Level) + 1);
        parents.back()->Add(item);
        parents.push_back(item);
    }
}

void FormMouseUp(void* Context, TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    auto* form = static_cast<TForm*>(Context);
    TPopupMenu* popup = HostPopupMenu(form);
    if (Button != mbRight || !popup) return;
    const TPoint o = form->ClientOrigin();
    popup->Popup(o.X + X, o.Y + Y);
}

}  // namespace

void AddHostMenus(TForm* Form) {
    auto* main = new TMainMenu(Form);
    main->SetName("MainMenu1");
    Fill(main, Form,
         {{"FileMenu", "&File", 0},
          {"FileNew", "&New", 1, ShortCutOf('N', scCtrl)},
          {"FileOpen", "&Open...", 1, ShortCutOf('O', scCtrl), true, false, false, true},
          {"FileLine1", "-", 1},
          {"FileRecent", "&Recent", 1},
          {"Recent1", "Birch.asz", 2},
          {"Recent2", "Night.asz", 2},
          {"FileLine2", "-", 1},
          {"FileExit", "E&xit", 1, ShortCutOf(0x73, scAlt)},
          {"EditMenu", "&Edit", 0},
          {"EditUndo", "&Undo", 1, ShortCutOf('Z', scCtrl), false},
          {"EditLine", "-", 1},
          {"EditCut", "Cu&t", 1, ShortCutOf('X', scCtrl)},
          {"EditCopy", "&Copy", 1, ShortCutOf('C', scCtrl)},
          {"EditPaste", "&Paste", 1, ShortCutOf('V', scCtrl), false},
          {"ViewMenu", "&View", 0},
          {"ViewToolbar", "&Toolbar", 1, scNone, true, true},
          {"ViewCaption", "-Icons-", 1},
          {"ViewLarge", "&Large icons", 1, scNone, true, true, true},
          {"ViewSmall", "&Small icons", 1, scNone, true, false, true},
          {"HelpMenu", "&Help", 0},
          {"HelpAbout", "&About", 1}});
    Form->SetMenu(main);
    auto* popup = new TPopupMenu(Form);
    popup->SetName("PopupMenu1");
    Fill(popup, Form,
         {{"PopupCut", "Cu&t", 0, ShortCutOf('X', scCtrl)},
          {"PopupCopy", "&Copy", 0, ShortCutOf('C', scCtrl)},
          {"PopupPaste", "&Paste", 0, ShortCutOf('V', scCtrl), false},
          {"PopupLine", "-", 0},
          {"PopupWrap", "&Word wrap", 0, scNone, true, true},
          {"PopupProps", "P&roperties", 0},
          {"PropsGeneral", "&General", 1},
          {"PropsDetails", "&Details", 1}});
    Form->OnMouseUp = TMouseEvent::Fn(Form, &FormMouseUp);
}

TPopupMenu* HostPopupMenu(TForm* Form) { return dynamic_cast<TPopupMenu*>(Form->FindComponent("PopupMenu1")); }

void ShowHostPopup(TForm* Form) {
    TPopupMenu* popup = HostPopupMenu(Form);
    if (!popup) return;
    const TPoint o = Form->ClientOrigin();
    popup->Popup(o.X + Form->ClientWidth() / 2, o.Y + Form->ClientHeight() / 2);
}
