// The shell-namespace layer: item-ID lists (the shell's variable-length item
// lists, each item led by its 16-bit size, size included, ended by a 16-bit
// 0; memory from and back to the shell's allocator) and the folder-tree node.
// In this program only the unit's steps run: start-up makes the desktop's
// root node, a critical section and initialises OLE for the GUI thread;
// shut-down undoes all three.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "Components.h"

// size bytes from the shell allocator, zero-filled; nil when it has none.
LPITEMIDLIST AllocItemIdList(UINT Size);
// The item after Item (its address plus its size field).
LPITEMIDLIST NextItemId(LPCITEMIDLIST Item);
// 0 for nil; else the items' sizes plus 2 for the terminator.
int ItemIdListSize(LPCITEMIDLIST List);
// A copy of the whole list, terminator included; nil for nil.
LPITEMIDLIST CloneItemIdList(LPCITEMIDLIST List);
// First without its terminator, then the whole of Second; First may be nil.
LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second);
void FreeItemIdList(LPITEMIDLIST List);
// The desktop's folder interface and item-ID list (the caller frees the
// list); failures raise EOleSysError.
IShellFolder* DesktopShellFolder();
LPITEMIDLIST DesktopItemIdList();

// A node of a folder tree.
class TacShellFolder : public TObject {
public:
    // Parent nil: a node of its own, whose absolute list starts from the
    // desktop's, and whose parent is the root node afterwards (the root
    // itself has none). Folder is taken with a reference of its own; the
    // relative list is copied.
    TacShellFolder(TacShellFolder* Parent, IShellFolder* Folder, LPCITEMIDLIST RelativeID);
    ~TacShellFolder() override;
    const char* ClassName() const override { return "TacShellFolder"; }

    TacShellFolder* Parent() const { return FParent; }
    IShellFolder* ShellFolder() const { return FShellFolder; }
    LPCITEMIDLIST RelativeID() const { return FPIDL; }
    LPCITEMIDLIST AbsoluteID() const { return FFullPIDL; }
    // The number of ancestors above the parent.
    int Level() const { return FLevel; }

private:
    TacShellFolder* FParent;
    IShellFolder* FShellFolder;
    LPITEMIDLIST FPIDL = nullptr;
    LPITEMIDLIST FFullPIDL = nullptr;
    int FLevel = 0;
    TStringList FDetails;
};

// The desktop's node, nil when the desktop has no location (or the unit is
// not running).
extern TacShellFolder* DesktopFolder;
// Whether the unit's OLE initialisation is in force.
bool ShellUnitOleInitialized();

void acShellCtrlsInitialize();
void acShellCtrlsFinalize();
