// The program's units in their start-up order (a unit after the units it
// uses); the class library runs them after its own and shuts them down in
// the reverse order.
#pragma once

// Starts the class library's units, then the program's.
void StartProgramUnits();
// Shut-down steps, last started first; each once.
void StopProgramUnits();

// Start-up step of the lesson units: registers the six form classes and their
// published handlers.
void RegisterLessonForms();
