// What every lesson unit uses: the class library's forms and controls, the
// framed label, and the binding of a form's component fields.
#pragma once

#include "ExtControls.h"
#include "Forms.h"
#include "TypeInfo.h"
#if __has_include("RzLabel.h")
#include "RzLabel.h"
#else
#include "LabelStandIn.h"
#endif

// Points Field at the form's component of that name and class; raises when the
// definition lacks it, so a handler never meets a null component.
template <class T>
void BindComponent(TForm* Form, T*& Field, const char* Name) {
    Field = dynamic_cast<T*>(Form->FindComponent(Name));
    if (!Field)
        throw EComponentError(AnsiString(Form->ClassName()) + ": the definition has no component " + Name);
}
