// The start of most lesson test programs: the program's units and its menu,
// shown, as the running program has them when a pupil starts playing.
#include <gtest/gtest.h>

#include "LessonTestUtil.h"
#include "LessonUnits.h"
#include "Unit2.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application->Initialize();
    StartProgramUnits();
    Application->CreateForm(Form2);
    Form2->Show();
    Pump();
    int rc = RUN_ALL_TESTS();
    Application->DestroyForms();
    StopProgramUnits();
    return rc;
}
