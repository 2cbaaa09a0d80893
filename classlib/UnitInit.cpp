#include "UnitInit.h"

#include <cstring>
#include <vector>

#include "Forms.h"
#include "Jpeg.h"
#include "Menus.h"

namespace {

struct Started {
    const char* Name;
    void (*Shutdown)();
};
std::vector<Started> g_Started;
bool g_ClassLibStarted = false;

void ControlsStartup() { Mouse = new TMouse(); }
void ControlsShutdown() {
    delete Mouse;
    Mouse = nullptr;
}
void FormsStartup() {
    Application = new TApplication(nullptr);
    Screen = new TScreen(nullptr);
}
void FormsShutdown() {
    // Forms go first (the last created first), then the objects that list them.
    if (Application) Application->DestroyForms();
    delete Screen;
    Screen = nullptr;
    delete Application;
    Application = nullptr;
}

const TUnitStep kClassLibSteps[] = {
    {"Classes", &RegisterClassLibraryClasses, nullptr},
    {"Controls", &ControlsStartup, &ControlsShutdown},
    {"Forms", &FormsStartup, &FormsShutdown},
    // The class library's picture classes beyond bitmaps and icons, known
    // before any program step reads a form.
    {"Jpeg", &JpegStartup, &JpegShutdown},
    // The menus' shared window, canvases and font, freed at the end.
    {"Menus", nullptr, &MenusFinalize},
};

bool RunStep(const TUnitStep& s) {
    if (UnitStarted(s.Name)) return false;
    if (s.Startup) s.Startup();
    g_Started.push_back({s.Name, s.Shutdown});
    return true;
}

}  // namespace

bool UnitStarted(const char* Name) {
    for (const Started& s : g_Started)
        if (std::strcmp(s.Name, Name) == 0) return true;
    return false;
}

std::vector<const char*> StartedUnits() {
    std::vector<const char*> names;
    for (const Started& s : g_Started) names.push_back(s.Name);
    return names;
}

void StartUnits(const TUnitStep* Steps, size_t Count) {
    try {
        if (!g_ClassLibStarted) {
            for (const TUnitStep& s : kClassLibSteps) RunStep(s);
            g_ClassLibStarted = true;
        }
        for (size_t i = 0; i < Count; ++i) RunStep(Steps[i]);
    } catch (...) {
        FinishUnits();
        throw;
    }
}

void FinishUnits() {
    while (!g_Started.empty()) {
        Started s = g_Started.back();
        g_Started.pop_back();
        if (s.Shutdown) s.Shutdown();
    }
    g_ClassLibStarted = false;
}
