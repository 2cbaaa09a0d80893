// Compiled into every Windows test program: after each test case every heap
// of the process is validated. Under the test environment's heap flags a
// freed block keeps a fill pattern, so a write into it made by the test case
// is reported at its end (with Wine's err:heap lines naming the block).
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

class HeapCheck : public testing::EmptyTestEventListener {
  void OnTestEnd(const testing::TestInfo &info) override {
    std::vector<HANDLE> heaps(64);
    DWORD n = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (n > heaps.size()) {
      heaps.resize(n);
      n = GetProcessHeaps(n, heaps.data());
    }
    for (DWORD i = 0; i < n && i < heaps.size(); ++i)
      if (!HeapValidate(heaps[i], 0, nullptr))
        std::fprintf(stderr, "heap check: heap %p corrupt after %s.%s\n", heaps[i],
                     info.test_suite_name(), info.name());
  }
};

const bool installed = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new HeapCheck);
  return true;
}();

}  // namespace
