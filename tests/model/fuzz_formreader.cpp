// libFuzzer target: "TPF0" bytes read into a tree of the test classes. The
// reader either refuses the input with EFormError, leaving nothing of the
// tree behind, or loads it; any other exception, or an object left alive
// once the root is gone, is a failure (leaks are ASan's).
#include <cstdio>
#include <cstdlib>

#include "ModelForms.h"

using namespace model_test;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegisterClasses();
    const int before = Alive();
    {
        auto root = std::make_unique<TTestRoot>(nullptr);
        try {
            LoadFormDefinition(root.get(), data, size);
            std::vector<uint8_t> bytes;
            for (int i = 0; i < root->ComponentCount(); ++i) {
                TComponent* c = root->Components(i);
                if (const TClassInfo* info = FindClassInfo(c->ClassName())) ReadBinaryProperty(c, *info, "Blob", bytes);
            }
        } catch (const EFormError&) {
            if (root->ComponentCount() != 0 || !root->Children.empty()) {
                std::fprintf(stderr, "a refused form left components behind\n");
                std::abort();
            }
        }
    }
    if (Alive() != before) {
        std::fprintf(stderr, "%d objects of the test classes outlived their root\n", Alive() - before);
        std::abort();
    }
    return 0;
}
