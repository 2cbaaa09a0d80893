#include "ComCtrls.h"

#include <algorithm>

#include "Graphics.h"
#include "Guards.h"
#include "TypeInfo.h"
#include "WinText.h"

namespace {

// The window classes are registered by the common controls library on request, once.
void InitListAndTreeClasses() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)registered;
}

// The window style of each TViewStyle.
constexpr DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};

}  // namespace

// ======================================================================
// TListColumn, TListItem and their collections

void TListColumn::SetCaption(const AnsiString& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Changed();
}

void TListColumn::SetWidth(int Value) {
    if (FWidth == Value) return;
    FWidth = Value;
    Changed();
}

TListColumns::TListColumns(TCustomListView* Owner)
    : TCollection([](TCollection*) -> TCollectionItem* { return new TListColumn(); }, "TListColumn", Owner),
      FView(Owner) {}

void TListColumns::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    FView->ColumnsChanged();
}

TListItem::TListItem() : TCollectionItem(nullptr), FSubItems(new TStringList()) {
    FSubItems->OnChange = TNotifyEvent::Of<&TListItem::SubItemsChanged>(this);
}

TListItem::~TListItem() { FSubItems->OnChange = nullptr; }

void TListItem::SetCaption(const AnsiString& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Changed();
}

TListItems::TListItems(TCustomListView* Owner)
    : TCollection([](TCollection*) -> TCollectionItem* { return new TListItem(); }, "TListItem", Owner),
      FView(Owner) {}

TListItem* TListItems::Add() {
    TListItem* item;
    {
        FAppending = true;
        ScopeExit done([this] { FAppending = false; });
        item = static_cast<TListItem*>(TCollection::Add());
    }
    FView->ItemAppended(item);
    return item;
}

void TListItems::Update(TCollectionItem* Item) {
    if (FAppending) return;
    TCollection::Update(Item);
    FView->ItemChanged(static_cast<TListItem*>(Item));
}

// ======================================================================
// TCustomListView

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FColumns(new TListColumns(this)), FItems(new TListItems(this)) {
    FWidth = 250;
    FHeight = 150;
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
    // The view tracks its presses itself (a drag test of its own); NM_CLICK is the click.
    FControlStyle &= ~(csSetCaption | csCaptureMouse | csClickEvents);
}

TCustomListView::~TCustomListView() {
    // The window goes while the rows it shows are still there.
    DestroyHandle();
}

void TCustomListView::CreateParams(TCreateParams& P) {
    InitListAndTreeClasses();
    TWinControl::CreateParams(P);
    P.WinClassName = WC_LISTVIEWW;
    P.SystemClass = true;
    P.Caption.clear();
    P.Style |= kViewStyles[FViewStyle] | LVS_SHAREIMAGELISTS;
    P.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::CreateWnd() {
    TWinControl::CreateWnd();
    FColumnsShown = 0;
    ApplyColors();
    FillColumns();
    FillItems();
}

void TCustomListView::ApplyColors() {
    COLORREF back = ColorToRGB(FColor);
    SendMessageW(FHandle, LVM_SETBKCOLOR, 0, LPARAM(back));
    SendMessageW(FHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(back));
    SendMessageW(FHandle, LVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(FFont->Color())));
    // The view paints its empty room only when erasing.
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TCustomListView::CMColorChanged(TMessage& m) {
    if (FHandle) ApplyColors();
    TWinControl::CMColorChanged(m);
}

void TCustomListView::CMFontChanged(TMessage& m) {
    if (FHandle) ApplyColors();
    TWinControl::CMFontChanged(m);
}

void TCustomListView::SetViewStyle(TViewStyle Value) {
    if (FViewStyle == Value) return;
    FViewStyle = Value;
    if (!FHandle) return;
    // The style bits switch the view in place: the window (and whatever
    // subclasses it) stays.
    LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    SetWindowLongPtrW(FHandle, GWL_STYLE, (style & ~LONG_PTR(LVS_TYPEMASK)) | LONG_PTR(kViewStyles[Value]));
}

void TCustomListView::FillColumns() {
    int n = FColumns->Count();
    for (int i = 0; i < n; ++i) {
        TListColumn* c = FColumns->Items(i);
        std::wstring text = ToWide(c->Caption());
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.cx = c->Width();
        col.pszText = text.data();
        col.iSubItem = i;
        if (i < FColumnsShown) {
            SendMessageW(FHandle, LVM_SETCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&col));
        } else if (SendMessageW(FHandle, LVM_INSERTCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&col)) >= 0) {
            ++FColumnsShown;
        }
    }
    while (FColumnsShown > n && SendMessageW(FHandle, LVM_DELETECOLUMN, WPARAM(FColumnsShown - 1), 0)) --FColumnsShown;
}

void TCustomListView::SetItemTexts(int Index, TListItem* Item) {
    auto set = [&](int sub, const AnsiString& s) {
        std::wstring text = ToWide(s);
        LVITEMW it{};
        it.iSubItem = sub;
        it.pszText = text.data();
        SendMessageW(FHandle, LVM_SETITEMTEXTW, WPARAM(Index), reinterpret_cast<LPARAM>(&it));
    };
    set(0, Item->Caption());
    for (int s = 0; s < Item->SubItems()->Count(); ++s) set(s + 1, Item->SubItems()->Strings(s));
}

void TCustomListView::FillItems() {
    SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
    SendMessageW(FHandle, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < FItems->Count(); ++i) {
        LVITEMW it{};
        it.iItem = i;
        SendMessageW(FHandle, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
        SetItemTexts(i, FItems->Items(i));
    }
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    SetItemIndex(FItemIndex);
    SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TCustomListView::ColumnsChanged() {
    if (!FHandle) return;
    FItemIndex = ItemIndex();
    FillColumns();
    // Texts of columns the window did not have yet were dropped: set them again.
    FillItems();
}

void TCustomListView::ItemChanged(TListItem* Item) {
    if (!FHandle) return;
    if (Item) {
        SetItemTexts(Item->Index(), Item);
        return;
    }
    FItemIndex = ItemIndex();
    FillItems();
}

void TCustomListView::ItemAppended(TListItem* Item) {
    if (!FHandle) return;
    LVITEMW it{};
    it.iItem = Item->Index();
    SendMessageW(FHandle, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
    SetItemTexts(it.iItem, Item);
}

int TCustomListView::ItemIndex() const {
    return FHandle ? int(SendMessageW(FHandle, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) : FItemIndex;
}

void TCustomListView::SetItemIndex(int Value) {
    FItemIndex = Value;
    if (!FHandle) return;
    LVITEMW st{};
    st.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(FHandle, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&st));
    if (Value < 0 || Value >= FItems->Count()) return;
    st.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(FHandle, LVM_SETITEMSTATE, WPARAM(Value), reinterpret_cast<LPARAM>(&st));
    SendMessageW(FHandle, LVM_ENSUREVISIBLE, WPARAM(Value), FALSE);
}

TListItem* TCustomListView::Selected() const {
    int i = ItemIndex();
    return i >= 0 && i < FItems->Count() ? FItems->Items(i) : nullptr;
}

void TCustomListView::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY) {
        if (reinterpret_cast<NMHDR*>(m.LParam)->code == NM_CLICK) Click();
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

// ======================================================================
// TTreeNode

TTreeNode::TTreeNode(TTreeNodes* Owner, TTreeNode* Parent, const AnsiString& Text)
    : FOwner(Owner), FParent(Parent), FText(Text) {}

TTreeNode::~TTreeNode() = default;

namespace {
HWND TreeWindow(const TTreeNodes* Nodes) { return Nodes->Owner()->HandleIfAllocated(); }
}  // namespace

void TTreeNode::SetText(const AnsiString& Value) {
    FText = Value;
    HWND tree = TreeWindow(FOwner);
    if (!tree || !FItemId) return;
    std::wstring text = ToWide(Value);
    TVITEMW it{};
    it.mask = TVIF_TEXT;
    it.hItem = FItemId;
    it.pszText = text.data();
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("Tree node index out of bounds (" + IntToStr(Index) + ")");
    return FChildren[size_t(Index)].get();
}

int TTreeNode::Index() const {
    const auto& v = FParent ? FParent->FChildren : FOwner->FTop;
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i].get() == this) return int(i);
    return -1;
}

int TTreeNode::Level() const {
    int n = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent) ++n;
    return n;
}

bool TTreeNode::Expanded() const {
    HWND tree = TreeWindow(FOwner);
    if (!tree || !FItemId) return FExpanded;
    return (SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FItemId), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TTreeNode::SetExpanded(bool Value) {
    FExpanded = Value;
    HWND tree = TreeWindow(FOwner);
    if (tree && FItemId)
        SendMessageW(tree, TVM_EXPAND, Value ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItemId));
}

bool TTreeNode::Selected() const { return FOwner->Owner()->Selected() == this; }

// ======================================================================
// TTreeNodes

TTreeNodes::TTreeNodes(TCustomTreeView* Owner) : FView(Owner) {}

TTreeNodes::~TTreeNodes() = default;

namespace {
// Calls Visit for every node in outline order until it answers true; answers that node.
template <class F>
TTreeNode* Walk(const std::vector<std::unique_ptr<TTreeNode>>& Top, F Visit) {
    std::vector<TTreeNode*> stack;
    for (auto it = Top.rbegin(); it != Top.rend(); ++it) stack.push_back(it->get());
    while (!stack.empty()) {
        TTreeNode* node = stack.back();
        stack.pop_back();
        if (Visit(node)) return node;
        for (int i = node->Count() - 1; i >= 0; --i) stack.push_back(node->Item(i));
    }
    return nullptr;
}
}  // namespace

int TTreeNodes::Count() const {
    int n = 0;
    Walk(FTop, [&](TTreeNode*) { return ++n, false; });
    return n;
}

TTreeNode* TTreeNodes::Item(int Index) const {
    int n = 0;
    TTreeNode* node = Index < 0 ? nullptr : Walk(FTop, [&](TTreeNode*) { return n++ == Index; });
    if (!node) throw EListError("Tree node index out of bounds (" + IntToStr(Index) + ")");
    return node;
}

TTreeNode* TTreeNodes::TopItem(int Index) const {
    if (Index < 0 || Index >= TopCount()) throw EListError("Tree node index out of bounds (" + IntToStr(Index) + ")");
    return FTop[size_t(Index)].get();
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const AnsiString& Text) {
    return AddChild(Sibling ? Sibling->Parent() : nullptr, Text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const AnsiString& Text) {
    if (Parent && Parent->FOwner != this) throw EListError("The parent node belongs to another tree");
    auto& siblings = Siblings(Parent);
    siblings.push_back(std::unique_ptr<TTreeNode>(new TTreeNode(this, Parent, Text)));
    TTreeNode* node = siblings.back().get();
    if (FView->HandleAllocated() && (!Parent || Parent->FItemId)) FView->InsertNode(node);
    return node;
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node || Node->FOwner != this) return;
    for (TTreeNode* s = FView->FSelected; s; s = s->Parent())
        if (s == Node) FView->FSelected = nullptr;
    HWND tree = FView->HandleIfAllocated();
    if (tree && Node->FItemId) SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->FItemId));
    auto& v = Siblings(Node->Parent());
    v.erase(std::find_if(v.begin(), v.end(), [Node](auto& p) { return p.get() == Node; }));
}

void TTreeNodes::Clear() {
    FView->FSelected = nullptr;
    if (HWND tree = FView->HandleIfAllocated()) SendMessageW(tree, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
    FTop.clear();
}

void TTreeNodes::SetStrings(const std::vector<AnsiString>& Lines) {
    Clear();
    std::vector<TTreeNode*> path;  // the last node of each level so far
    for (const AnsiString& line : Lines) {
        size_t depth = line.find_first_not_of('\t');
        if (depth == AnsiString::npos) depth = line.size();
        // A line more than one level deeper than the one before hangs under it.
        depth = std::min(depth, path.size());
        TTreeNode* node = AddChild(depth ? path[depth - 1] : nullptr, line.substr(depth));
        path.resize(depth);
        path.push_back(node);
    }
}

// ======================================================================
// TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner), FItems(new TTreeNodes(this)) {
    FWidth = 121;
    FHeight = 97;
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
    // The tree tracks its presses itself (a drag test of its own); NM_CLICK is the click.
    FControlStyle &= ~(csSetCaption | csCaptureMouse | csClickEvents);
}

TCustomTreeView::~TCustomTreeView() {
    // The window goes while the nodes its items point at are still there.
    DestroyHandle();
}

void TCustomTreeView::CreateParams(TCreateParams& P) {
    InitListAndTreeClasses();
    TWinControl::CreateParams(P);
    P.WinClassName = WC_TREEVIEWW;
    P.SystemClass = true;
    P.Caption.clear();
    P.Style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    P.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    ApplyColors();
    TTreeNode* selected = FSelected;
    for (auto& node : FItems->FTop) InsertNode(node.get());
    if (selected) SetSelected(selected);
}

void TCustomTreeView::InsertNode(TTreeNode* Node) {
    std::wstring text = ToWide(Node->FText);
    TVINSERTSTRUCTW ins{};
    ins.hParent = Node->FParent ? Node->FParent->FItemId : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = text.data();
    ins.item.lParam = reinterpret_cast<LPARAM>(Node);
    Node->FItemId = reinterpret_cast<HTREEITEM>(SendMessageW(FHandle, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    for (auto& child : Node->FChildren) InsertNode(child.get());
    if (Node->FExpanded && !Node->FChildren.empty()) Node->SetExpanded(true);
}

void TCustomTreeView::ApplyColors() {
    SendMessageW(FHandle, TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(FColor)));
    SendMessageW(FHandle, TVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(FFont->Color())));
}

void TCustomTreeView::CMColorChanged(TMessage& m) {
    if (FHandle) ApplyColors();
    TWinControl::CMColorChanged(m);
}

void TCustomTreeView::CMFontChanged(TMessage& m) {
    if (FHandle) ApplyColors();
    TWinControl::CMFontChanged(m);
}

TTreeNode* TCustomTreeView::Selected() const {
    if (!FHandle) return FSelected;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return nullptr;
    TVITEMW it{};
    it.mask = TVIF_PARAM;
    it.hItem = item;
    SendMessageW(FHandle, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    return reinterpret_cast<TTreeNode*>(it.lParam);
}

void TCustomTreeView::SetSelected(TTreeNode* Node) {
    if (Node && Node->FOwner != FItems.get()) return;
    FSelected = Node;
    if (FHandle) SendMessageW(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Node ? Node->FItemId : nullptr));
}

void TCustomTreeView::FullExpand() {
    Walk(FItems->FTop, [](TTreeNode* n) {
        if (n->HasChildren()) n->Expand();
        return false;
    });
}

void TCustomTreeView::Notify(const NMHDR* h) {
    // Items deleted with the window tell of selections that no longer matter.
    if ((ComponentState() & csDestroying) || (FControlState & csDestroyingHandle)) return;
    switch (h->code) {
    case TVN_SELCHANGEDW: {
        auto* n = reinterpret_cast<const NMTREEVIEWW*>(h);
        FSelected = reinterpret_cast<TTreeNode*>(n->itemNew.lParam);
        if (OnChange) OnChange(this, FSelected);
        break;
    }
    case TVN_ITEMEXPANDEDW: {
        auto* n = reinterpret_cast<const NMTREEVIEWW*>(h);
        if (auto* node = reinterpret_cast<TTreeNode*>(n->itemNew.lParam)) node->FExpanded = (n->itemNew.state & TVIS_EXPANDED) != 0;
        break;
    }
    case NM_CLICK: Click(); break;
    default: break;
    }
}

void TCustomTreeView::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY) {
        Notify(reinterpret_cast<const NMHDR*>(m.LParam));
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

// ======================================================================

void RegisterComCtrlsClasses() {
    const TEnumInfo& viewStyle =
        RegisterEnum("TViewStyle", {{"vsIcon", vsIcon}, {"vsSmallIcon", vsSmallIcon}, {"vsList", vsList}, {"vsReport", vsReport}});
    RegisterPersistentClass<TListColumn>("TListColumn")
        .Str("Caption", &TListColumn::Caption, &TListColumn::SetCaption)
        .Int("Width", &TListColumn::Width, &TListColumn::SetWidth);
    RegisterPersistentClass<TListItem>("TListItem")
        .Str("Caption", &TListItem::Caption, &TListItem::SetCaption)
        .Object("SubItems", &TListItem::SubItems, "TStringList");
    RegisterPersistentClass<TCustomListView>("TCustomListView", "TWinControl")
        .Enum("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle, viewStyle)
        .Collection("Columns", &TCustomListView::Columns)
        .Collection("Items", &TCustomListView::Items);
    RegisterComponentClass<TListView>("TListView", "TCustomListView");
    RegisterPersistentClass<TTreeNodes>("TTreeNodes").Custom("Strings", [](TTreeNodes* n, const FormValue& v, TReadContext&) {
        if (v.Kind != FormValueKind::List) throw EPropertyError("a list of strings expected, not " + DescribeValue(v));
        std::vector<AnsiString> lines;
        for (const FormValue& e : v.List) lines.push_back(typeinfo_detail::AsString(e));
        n->SetStrings(lines);
    });
    RegisterPersistentClass<TCustomTreeView>("TCustomTreeView", "TWinControl")
        .Object("Items", &TCustomTreeView::Items, "TTreeNodes")
        .Event("OnChange", &TCustomTreeView::OnChange);
    RegisterComponentClass<TTreeView>("TTreeView", "TCustomTreeView");
}
