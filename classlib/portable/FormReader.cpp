#include "FormReader.h"

#include <vector>

#include "TypeInfo.h"

namespace {

class Reader {
public:
    Reader(TComponent* root, const TClassInfo* rootInfo, const AnsiString& formName)
        : FRoot(root), FFormName(formName) {
        FCtx.Root = root;
        FCtx.RootClass = rootInfo;
    }

    [[noreturn]] void Fail(const AnsiString& where, const AnsiString& what) {
        throw EFormError("Error reading form " + FFormName + ": " + where + what);
    }

    void Props(TPersistent* obj, const TClassInfo& info, const FormObject& def, const AnsiString& where) {
        for (const FormProperty& p : def.Props) {
            FCtx.CurrentWhere = where + "property " + p.Name;
            try {
                WriteProperty(obj, info, p.Name, p.Value, FCtx);
            } catch (const EFormError&) {
                throw;
            } catch (const std::exception& e) {
                Fail(FCtx.CurrentWhere, AnsiString(": ") + e.what());
            }
        }
    }

    void Children(const FormObject& def, TComponent* container) {
        for (const FormObject& child : def.Children) {
            AnsiString where = "component " + (child.Name.empty() ? AnsiString("(unnamed)") : child.Name) + " (" +
                               child.ClassName + "), ";
            const TClassInfo* info = FindClassInfo(child.ClassName);
            if (!info || !info->Create) Fail(where, "unknown class " + child.ClassName);
            TComponent* c = nullptr;
            try {
                c = info->Create(FRoot);
            } catch (const std::exception& e) {
                Fail(where, AnsiString("cannot be created: ") + e.what());
            }
            Created.push_back(c);
            c->SetLoadingState(true);
            try {
                c->SetName(child.Name);
            } catch (const std::exception& e) {
                Fail(where, e.what());
            }
            if (c->HasParent()) {
                if (!container->HoldsControls())
                    Fail(where, "its container " + container->Name() + " cannot hold controls");
                c->SetParentComponent(container);
            } else if (!child.Children.empty() && !c->HoldsControls()) {
                // A menu lists its items inside it without being a control.
                Fail(where, "a component that is not a control cannot hold " + child.Children[0].Name);
            }
            Props(c, *info, child, where);
            Children(child, c);
        }
    }

    void Resolve() {
        for (const TReadContext::Fixup& f : FCtx.Fixups) {
            TComponent* target = SameTextAscii(f.TargetName, FRoot->Name()) ? FRoot : FRoot->FindComponent(f.TargetName);
            if (!target) Fail(f.Where, ": no component named " + f.TargetName);
            try {
                f.Apply(target);
            } catch (const std::exception& e) {
                Fail(f.Where, AnsiString(": ") + e.what());
            }
        }
    }

    TComponent* FRoot;
    AnsiString FFormName;
    TReadContext FCtx;
    std::vector<TComponent*> Created;
};

}  // namespace

void LoadFormDefinition(TComponent* Root, const FormObject& Def) {
    AnsiString formName = Root->ClassName();
    const TClassInfo* rootInfo = FindClassInfo(formName);
    if (!rootInfo) throw EFormError("Error reading form " + formName + ": class " + formName + " is not registered");
    if (!SameTextAscii(Def.ClassName, formName))
        throw EFormError("Error reading form " + formName + ": the definition is of class " + Def.ClassName);
    Reader r(Root, rootInfo, formName);
    Root->SetLoadingState(true);
    try {
        try {
            Root->SetName(Def.Name);
        } catch (const std::exception& e) {
            r.Fail("", e.what());
        }
        r.Props(Root, *rootInfo, Def, "form properties, ");
        r.Children(Def, Root);
        r.Resolve();
        Root->ClearReadingState();
        for (TComponent* c : r.Created) c->ClearReadingState();
        Root->Loaded();
        for (TComponent* c : r.Created) c->Loaded();
    } catch (...) {
        // Free what was made, the last first; the form object is the caller's.
        for (auto it = r.Created.rbegin(); it != r.Created.rend(); ++it) delete *it;
        Root->SetLoadingState(false);
        try {
            throw;
        } catch (const EFormError&) {
            throw;
        } catch (const std::exception& e) {
            throw EFormError("Error reading form " + formName + ": " + e.what());
        }
    }
    Root->SetLoadingState(false);
}

void LoadFormDefinition(TComponent* Root, const uint8_t* Data, size_t Size) {
    FormObject def;
    try {
        def = ReadFormBinary(Data, Size);
    } catch (const std::exception& e) {
        throw EFormError("Error reading form " + AnsiString(Root->ClassName()) + ": " + e.what());
    }
    LoadFormDefinition(Root, def);
}
