// Start-up and shut-down of the program's units, in one explicit order: no
// unit relies on the order in which the compiler runs static initialisers.
//
// The class library's own units start first ("Classes": the registry of its
// published classes; "Controls": the mouse object; "Forms": the application
// and screen objects; "Jpeg": the JPEG picture class); they are started before main already, so Application
// exists from the program's first line. Then the program's steps run, in the
// order given to StartUnits. Each
// step runs once; shut-down runs the steps' Shutdown in the reverse order,
// each once. When a start-up step fails, the steps already started are shut
// down again and the exception goes on.
//
//   static const TUnitStep kUnits[] = {{"RzCommon", RzCommonStartup, RzCommonShutdown}, ...};
//   StartUnits(kUnits);
//   Application->Initialize(); Application->CreateForm(Form2); Application->Run();
//   FinishUnits();
#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

struct TUnitStep {
    const char* Name;
    void (*Startup)();   // may be null
    void (*Shutdown)();  // may be null
};

void StartUnits(const TUnitStep* Steps, size_t Count);
template <size_t N>
void StartUnits(const TUnitStep (&Steps)[N]) {
    StartUnits(Steps, N);
}
inline void StartUnits(std::initializer_list<TUnitStep> Steps) { StartUnits(Steps.begin(), Steps.size()); }
void FinishUnits();
// Whether the step of that name has started and not yet shut down.
bool UnitStarted(const char* Name);
// The names of the steps running now, in the order they started (the class
// library's own first); shut-down goes through them backwards.
std::vector<const char*> StartedUnits();

// The class library's own steps, as StartUnits runs them first.
void RegisterClassLibraryClasses();
