// The bookkeeping behind the skinned-form list: forms in the order they were
// registered (not owned), and which of them a redraw lock has switched off and
// for whom. Portable: the window side (sSkinnedForms) sends the messages.
#pragma once

#include <algorithm>
#include <vector>

template <class T>
class TsFormList {
public:
    // Appends, even a form already listed: each provider that skins a form
    // registers it once, and the list does not judge.
    void Register(T* Form) {
        if (Form) FItems.push_back(Form);
    }
    // Every entry of the form goes (a form registered twice leaves no stale
    // entry behind), the others keep their order; a lock noted for the form
    // is forgotten with it.
    void Unregister(T* Form) {
        FItems.erase(std::remove(FItems.begin(), FItems.end(), Form), FItems.end());
        FLocked.erase(std::remove_if(FLocked.begin(), FLocked.end(), [Form](const Lock& L) { return L.Form == Form; }),
                      FLocked.end());
    }
    int Count() const { return int(FItems.size()); }
    T* operator[](int Index) const {
        return Index >= 0 && Index < Count() ? FItems[size_t(Index)] : nullptr;
    }
    bool Contains(const T* Form) const { return std::find(FItems.begin(), FItems.end(), Form) != FItems.end(); }
    // A copy to walk while the messages sent may change the list.
    std::vector<T*> Snapshot() const { return FItems; }
    void Clear() {
        FItems.clear();
        FLocked.clear();
    }

    // A lock switched the form's redraw off for Owner. Noted once: a second
    // lock before the unlock changes nothing, and one unlock undoes both.
    void NoteLocked(T* Form, const void* Owner) {
        if (!Form || IsLocked(Form)) return;
        FLocked.push_back(Lock{Form, Owner});
    }
    bool IsLocked(const T* Form) const {
        return std::any_of(FLocked.begin(), FLocked.end(), [Form](const Lock& L) { return L.Form == Form; });
    }
    int LockedCount() const { return int(FLocked.size()); }
    // The forms locked for Owner, in the order they were locked; they are no
    // longer noted as locked afterwards. Only forms still listed are locked.
    std::vector<T*> TakeLocked(const void* Owner) {
        std::vector<T*> out;
        auto keep = FLocked.begin();
        for (auto it = FLocked.begin(); it != FLocked.end(); ++it) {
            if (it->Owner == Owner)
                out.push_back(it->Form);
            else
                *keep++ = *it;
        }
        FLocked.erase(keep, FLocked.end());
        return out;
    }

private:
    struct Lock {
        T* Form;
        const void* Owner;
    };
    std::vector<T*> FItems;
    std::vector<Lock> FLocked;
};
