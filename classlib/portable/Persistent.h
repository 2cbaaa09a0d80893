// Root of the class library's object model. Portable: no Windows headers.
#pragma once

#include "Method.h"
#include "RunTime.h"

class TObject;
class TPersistent;

// Notification without arguments beyond the sender (OnClick, OnChange, ...).
using TNotifyEvent = Method<void(TObject*)>;

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // Class name as the form definitions name it ("TRzLabel"); each class that
    // can be streamed overrides it.
    virtual const char* ClassName() const { return "TObject"; }
};

// Objects that can copy their settings from another object of a compatible class.
class TPersistent : public TObject {
public:
    const char* ClassName() const override { return "TPersistent"; }

    // Copies Source into this object. The default asks Source to AssignTo this;
    // when neither side knows the other, it raises "Cannot assign a X to a Y".
    virtual void Assign(TPersistent* Source) {
        if (Source) {
            Source->AssignTo(this);
            return;
        }
        AssignError(nullptr);
    }

protected:
    virtual void AssignTo(TPersistent* Dest) { Dest->AssignError(this); }
    void AssignError(TPersistent* Source) {
        AnsiString src = Source ? Source->ClassName() : "nil";
        throw EConvertError("Cannot assign a " + src + " to a " + ClassName());
    }
};
