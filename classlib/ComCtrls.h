// The system's list view ("SysListView32") and tree view ("SysTreeView32")
// windows, taken over. The control holds the model (columns, items, nodes);
// the window shows it and is filled again from it whenever it is made, so a
// recreated window loses nothing. Color is the background and Font.Color the
// text, told to the window by its own messages.
#pragma once

#include "Controls.h"

#include <commctrl.h>

#include <memory>
#include <vector>

class TCustomListView;
class TCustomTreeView;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

// A column of the report view: its header caption and width in pixels.
class TListColumn : public TCollectionItem {
public:
    // Made whole before its collection takes it (and tells the view).
    TListColumn() : TCollectionItem(nullptr) {}
    const char* ClassName() const override { return "TListColumn"; }
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);

private:
    AnsiString FCaption;
    int FWidth = 50;
};

class TListColumns : public TCollection {
public:
    explicit TListColumns(TCustomListView* Owner);
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomListView* FView;
};

// A row: its caption (first column) and the texts of the further columns.
class TListItem : public TCollectionItem {
public:
    TListItem();
    ~TListItem() override;
    const char* ClassName() const override { return "TListItem"; }
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    TStringList* SubItems() const { return FSubItems.get(); }
    void SetSubItems(TStringList* Value) { FSubItems->Assign(Value); }

private:
    void SubItemsChanged(TObject*) { Changed(); }
    AnsiString FCaption;
    std::unique_ptr<TStringList> FSubItems;
};

class TListItems : public TCollection {
public:
    explicit TListItems(TCustomListView* Owner);
    // A new row at the end (one row added to the window, not all made again).
    TListItem* Add();
    TListItem* Items(int Index) const { return static_cast<TListItem*>(TCollection::Items(Index)); }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomListView* FView;
    bool FAppending = false;
};

class TCustomListView : public TWinControl {
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;
    const char* ClassName() const override { return "TCustomListView"; }
    TViewStyle ViewStyle() const { return FViewStyle; }
    virtual void SetViewStyle(TViewStyle Value);
    TListColumns* Columns() const { return FColumns.get(); }
    TListItems* Items() const { return FItems.get(); }
    // The first selected row, -1 for none; setting selects that row alone.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TListItem* Selected() const;

protected:
    friend class TListColumns;
    friend class TListItems;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void ColumnsChanged();
    // Item null: the rows are made again; else that row's texts are set.
    void ItemChanged(TListItem* Item);
    void ItemAppended(TListItem* Item);

private:
    void ApplyColors();
    void FillColumns();
    void FillItems();
    void SetItemTexts(int Index, TListItem* Item);
    TViewStyle FViewStyle = vsIcon;
    std::unique_ptr<TListColumns> FColumns;
    std::unique_ptr<TListItems> FItems;
    int FItemIndex = -1;
    int FColumnsShown = 0;  // columns the window has
};

class TListView : public TCustomListView {
public:
    using TCustomListView::TCustomListView;
    const char* ClassName() const override { return "TListView"; }
};

class TTreeNodes;

// A node of a tree view: its text and child nodes, owned by the tree's
// TTreeNodes.
class TTreeNode {
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;
    ~TTreeNode();
    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value);
    TTreeNode* Parent() const { return FParent; }
    int Count() const { return int(FChildren.size()); }
    TTreeNode* Item(int Index) const;
    // Position among its parent's children (or the top nodes).
    int Index() const;
    // 0 for a top node.
    int Level() const;
    bool HasChildren() const { return !FChildren.empty(); }
    bool Expanded() const;
    void SetExpanded(bool Value);
    void Expand() { SetExpanded(true); }
    void Collapse() { SetExpanded(false); }
    bool Selected() const;
    // The window's item, null while the tree has no window.
    HTREEITEM ItemId() const { return FItemId; }
    TTreeNodes* Owner() const { return FOwner; }

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    TTreeNode(TTreeNodes* Owner, TTreeNode* Parent, const AnsiString& Text);
    TTreeNodes* FOwner;
    TTreeNode* FParent;
    AnsiString FText;
    std::vector<std::unique_ptr<TTreeNode>> FChildren;
    HTREEITEM FItemId = nullptr;
    bool FExpanded = false;
};

// The nodes of a tree view. In form data, "Strings" lists the nodes in
// outline order, each string's leading tabs giving its depth.
class TTreeNodes : public TPersistent {
public:
    explicit TTreeNodes(TCustomTreeView* Owner);
    ~TTreeNodes() override;
    const char* ClassName() const override { return "TTreeNodes"; }
    TCustomTreeView* Owner() const { return FView; }
    // Every node, top nodes and their descendants.
    int Count() const;
    // The node at that position of the outline (depth first).
    TTreeNode* Item(int Index) const;
    int TopCount() const { return int(FTop.size()); }
    TTreeNode* TopItem(int Index) const;
    TTreeNode* GetFirstNode() const { return FTop.empty() ? nullptr : FTop.front().get(); }
    // A node after the last sibling of Sibling (a top node for null).
    TTreeNode* Add(TTreeNode* Sibling, const AnsiString& Text);
    // A node after the last child of Parent (a top node for null).
    TTreeNode* AddChild(TTreeNode* Parent, const AnsiString& Text);
    void Delete(TTreeNode* Node);
    void Clear();
    // The outline: one line per node, indented by one tab per level.
    void SetStrings(const std::vector<AnsiString>& Lines);

private:
    friend class TCustomTreeView;
    friend class TTreeNode;
    std::vector<std::unique_ptr<TTreeNode>>& Siblings(TTreeNode* Parent) {
        return Parent ? Parent->FChildren : FTop;
    }
    TCustomTreeView* FView;
    std::vector<std::unique_ptr<TTreeNode>> FTop;
};

using TTVChangedEvent = Method<void(TObject* Sender, TTreeNode* Node)>;

// Buttons, lines and lines at the root are shown; the selection stays
// visible without the focus.
class TCustomTreeView : public TWinControl {
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;
    const char* ClassName() const override { return "TCustomTreeView"; }
    TTreeNodes* Items() const { return FItems.get(); }
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* Node);
    void FullExpand();

    // The selection moved (by the user or the program).
    TTVChangedEvent OnChange;

protected:
    friend class TTreeNodes;
    friend class TTreeNode;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    // Puts Node (and its children) into the window, after its previous sibling.
    void InsertNode(TTreeNode* Node);

private:
    void ApplyColors();
    void Notify(const NMHDR* Header);
    std::unique_ptr<TTreeNodes> FItems;
    TTreeNode* FSelected = nullptr;  // while there is no window
};

class TTreeView : public TCustomTreeView {
public:
    using TCustomTreeView::TCustomTreeView;
    const char* ClassName() const override { return "TTreeView"; }
};

// Registers the classes above with the registry (part of the class library's
// own start-up).
void RegisterComCtrlsClasses();
