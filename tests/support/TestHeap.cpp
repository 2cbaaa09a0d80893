#include "TestHeap.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {
long g_Live = 0;
bool g_Quarantine = false;
constexpr int kKept = 4096;
void* g_Kept[kKept];
int g_KeptCount = 0;
}  // namespace

void* operator new(std::size_t N) {
    void* p = HeapAlloc(GetProcessHeap(), 0, N ? N : 1);
    if (!p) throw std::bad_alloc();
    ++g_Live;
    return p;
}

void operator delete(void* P) noexcept {
    if (!P) return;
    --g_Live;
    if (g_Quarantine && g_KeptCount < kKept) {
        std::memset(P, 0xDD, HeapSize(GetProcessHeap(), 0, P));
        g_Kept[g_KeptCount++] = P;
    } else {
        HeapFree(GetProcessHeap(), 0, P);
    }
}

void operator delete(void* P, std::size_t) noexcept { operator delete(P); }

namespace testheap {

long LiveBlocks() { return g_Live; }

void BeginQuarantine() { g_Quarantine = true; }

int EndQuarantine() {
    g_Quarantine = false;
    int written = 0;
    for (int i = 0; i < g_KeptCount; ++i) {
        const auto* b = static_cast<const unsigned char*>(g_Kept[i]);
        written += std::any_of(b, b + HeapSize(GetProcessHeap(), 0, b), [](unsigned char c) { return c != 0xDD; });
        HeapFree(GetProcessHeap(), 0, g_Kept[i]);
    }
    g_KeptCount = 0;
    return written;
}

}  // namespace testheap
