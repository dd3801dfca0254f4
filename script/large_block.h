#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

// Memory for the few big arrays of a large script (its tokens, text and the
// pool builder's tables: tens of megabytes). On this platform a fresh page
// costs a fault, and filling 70 MB of tokens took 17,000 of them; a block
// allocated here is aligned to 2 MB and marked for huge pages, which makes
// that a few dozen. Small blocks are plain malloc. Free with std::free.
void* AllocateLarge(std::size_t bytes);

// The interior 2 MB pages of a block already allocated are marked for huge
// pages (a hint; only pages not touched yet benefit).
void AdviseHugePages(void* data, std::size_t bytes);

// std::vector's allocator for such arrays.
template <typename T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) {}
    T* allocate(std::size_t n) {
        void* p = AllocateLarge(n * sizeof(T));
        if (p == nullptr)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }
    template <typename U>
    bool operator==(const LargeAllocator<U>&) const {
        return true;
    }
};
