#include "script/large_block.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kLarge = std::size_t(4) << 20;

}  // namespace

void AdviseHugePages(void* data, std::size_t bytes) {
#if defined(__linux__)
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (start + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
    const std::uintptr_t end = (start + bytes) & ~std::uintptr_t(kHugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void* AllocateLarge(std::size_t bytes) {
    if (bytes < kLarge)
        return std::malloc(bytes == 0 ? 1 : bytes);
    const std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (p != nullptr)
        AdviseHugePages(p, rounded);
    return p;
}
