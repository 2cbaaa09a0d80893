// The program block: the units, the application, the menu as the main form,
// the message loop.
#include <windows.h>

#include "LessonUnits.h"
#include "Unit2.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int code = 0;
    try {
        StartProgramUnits();
        Application->Initialize();
        Application->CreateForm(Form2);
        Application->Run();
    } catch (const std::exception& e) {
        // A failure before the loop runs (bad form data, a unit that cannot
        // start) is shown, and the program ends with a failure code.
        if (Application) Application->ShowException(e);
        code = 1;
    }
    if (Application) Application->DestroyForms();
    StopProgramUnits();
    return code;
}
