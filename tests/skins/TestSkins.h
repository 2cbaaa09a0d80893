// A skin manager over a skin of a folder, for the tests and the skin host.
#pragma once

#include "sSkinManager.h"

// The manager of the skin Name in the folder Dir, loaded once both settings
// are in (a manager loads as each is set while it is active).
inline TsSkinManager* MakeSkinManager(TComponent* Owner, const AnsiString& Dir, const AnsiString& Name) {
    auto* m = new TsSkinManager(Owner);
    m->SetActive(false);
    m->SetSkinDirectory(Dir);
    m->SetSkinName(Name);
    m->SetActive(true);
    return m;
}
