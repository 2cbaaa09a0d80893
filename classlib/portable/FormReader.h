// Reads a form's definition into the form: every component listed is
// created by its registered class name with the form as owner (a control is
// placed inside the control it is listed in, through the component's parent
// hooks), its properties are set by name, its events are bound to the form
// class's published handlers, component references are resolved once all
// components exist, then every component is told Loaded.
//
// Bad data (truncated stream, unknown class, unknown property, a value of
// the wrong kind, a missing handler or component) raises EFormError naming
// the form, the component and the property; the components created so far
// are freed again, so no half-built form is left (the caller frees the form
// object itself, as TApplication::CreateForm does).
//
// Portable: no Windows headers. Finding the form's resource is the Windows
// side's (FormLoader.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "Components.h"
#include "FormData.h"

class EFormError : public EReadError {
public:
    using EReadError::EReadError;
};

void LoadFormDefinition(TComponent* Root, const FormObject& Definition);
// A binary form stream ("TPF0").
void LoadFormDefinition(TComponent* Root, const uint8_t* Data, size_t Size);
