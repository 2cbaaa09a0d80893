#include "acShellCtrls.h"

#include <cstring>

#include "ComObj.h"

TacShellFolder* DesktopFolder = nullptr;

namespace {

CRITICAL_SECTION ShellLock;
bool ShellLockMade = false;
bool OleUp = false;

uint16_t ItemSize(LPCITEMIDLIST Item) {
    uint16_t cb;
    std::memcpy(&cb, Item, sizeof cb);
    return cb;
}

IMalloc* ShellAllocator() {
    IMalloc* m = nullptr;
    return SUCCEEDED(SHGetMalloc(&m)) ? m : nullptr;
}

}  // namespace

LPITEMIDLIST AllocItemIdList(UINT Size) {
    IMalloc* m = ShellAllocator();
    if (!m) return nullptr;
    auto* list = static_cast<LPITEMIDLIST>(m->Alloc(Size));
    m->Release();
    if (list) std::memset(list, 0, Size);
    return list;
}

LPITEMIDLIST NextItemId(LPCITEMIDLIST Item) {
    return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(reinterpret_cast<const BYTE*>(Item)) + ItemSize(Item));
}

int ItemIdListSize(LPCITEMIDLIST List) {
    if (!List) return 0;
    int size = 2;
    for (LPCITEMIDLIST item = List; ItemSize(item) != 0; item = NextItemId(item)) size += ItemSize(item);
    return size;
}

LPITEMIDLIST CloneItemIdList(LPCITEMIDLIST List) {
    if (!List) return nullptr;
    const int size = ItemIdListSize(List);
    LPITEMIDLIST copy = AllocItemIdList(UINT(size));
    if (copy) std::memcpy(copy, List, size_t(size));
    return copy;
}

LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second) {
    const int head = First ? ItemIdListSize(First) - 2 : 0;
    const int tail = Second ? ItemIdListSize(Second) : 2;
    LPITEMIDLIST joined = AllocItemIdList(UINT(head + tail));
    if (!joined) return nullptr;
    if (head > 0) std::memcpy(joined, First, size_t(head));
    // Without a second list the zero-filled block already ends the list.
    if (Second) std::memcpy(reinterpret_cast<BYTE*>(joined) + head, Second, size_t(tail));
    return joined;
}

void FreeItemIdList(LPITEMIDLIST List) {
    if (!List) return;
    if (IMalloc* m = ShellAllocator()) {
        m->Free(List);
        m->Release();
    }
}

IShellFolder* DesktopShellFolder() {
    IShellFolder* folder = nullptr;
    OleCheck(SHGetDesktopFolder(&folder));
    return folder;
}

LPITEMIDLIST DesktopItemIdList() {
    LPITEMIDLIST list = nullptr;
    OleCheck(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list));
    return list;
}

TacShellFolder::TacShellFolder(TacShellFolder* Parent, IShellFolder* Folder, LPCITEMIDLIST RelativeID)
    : FParent(Parent), FShellFolder(Folder) {
    if (FShellFolder) FShellFolder->AddRef();
    FPIDL = CloneItemIdList(RelativeID);
    if (FParent) {
        FFullPIDL = JoinItemIdLists(FParent->FFullPIDL, FPIDL);
        for (TacShellFolder* p = FParent->FParent; p; p = p->FParent) ++FLevel;
    } else {
        LPITEMIDLIST desktop = DesktopItemIdList();
        FFullPIDL = JoinItemIdLists(desktop, FPIDL);
        FreeItemIdList(desktop);
        FParent = DesktopFolder;
    }
}

TacShellFolder::~TacShellFolder() {
    FreeItemIdList(FFullPIDL);
    FreeItemIdList(FPIDL);
    if (FShellFolder) FShellFolder->Release();
}

bool ShellUnitOleInitialized() { return OleUp; }

void acShellCtrlsInitialize() {
    LPITEMIDLIST desktop = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)) && desktop) {
        IShellFolder* folder = nullptr;
        if (SUCCEEDED(SHGetDesktopFolder(&folder))) {
            delete DesktopFolder;
            DesktopFolder = nullptr;
            DesktopFolder = new TacShellFolder(nullptr, folder, desktop);
            folder->Release();
        }
        FreeItemIdList(desktop);
    }
    InitializeCriticalSection(&ShellLock);
    ShellLockMade = true;
    // S_FALSE (already initialised on this thread) counts too and is undone.
    OleUp = SUCCEEDED(OleInitialize(nullptr));
}

void acShellCtrlsFinalize() {
    delete DesktopFolder;
    DesktopFolder = nullptr;
    if (ShellLockMade) DeleteCriticalSection(&ShellLock);
    ShellLockMade = false;
    if (OleUp) OleUninitialize();
    OleUp = false;
}
