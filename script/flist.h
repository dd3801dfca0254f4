#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#include "script/large_block.h"

// The growable array used by every list of the system: elements, balls,
// pictures, fonts, menu children, sound slots, tokens. Its capacity
// (`array_size`) grows 32 records at a time. The allocation behind it grows
// by half again whenever the capacity outruns it, so appending the millions
// of tokens of a large script costs a few dozen reallocations instead of one
// per 32 records (each of those was a call into the allocator, and for large
// arrays a page remapping). Large arrays live in huge pages (large_block.h).
template <typename T>
class flist {
public:
    static constexpr int kGrowBy = 32;
    static constexpr std::size_t kLargeBytes = std::size_t(4) << 20;

    flist() = default;
    ~flist() { Clear(); }
    flist(const flist&) = delete;
    flist& operator=(const flist&) = delete;
    flist(flist&& other) noexcept { *this = std::move(other); }
    flist& operator=(flist&& other) noexcept {
        if (this != &other) {
            Clear();
            element = std::exchange(other.element, nullptr);
            array_size = std::exchange(other.array_size, 0);
            Count = std::exchange(other.Count, 0);
            allocated_ = std::exchange(other.allocated_, 0);
        }
        return *this;
    }

    void Append(T record) {
        if (Count == array_size)
            Grow();
        new (&element[Count]) T(std::move(record));
        ++Count;
    }

    T& operator[](int i) {
        assert(i >= 0 && i < Count);
        return element[i];
    }
    const T& operator[](int i) const {
        assert(i >= 0 && i < Count);
        return element[i];
    }

    // Sets the capacity to exactly s records (the allocation too); never
    // below Count.
    void SetSize(int s) {
        if (s < Count)
            s = Count;
        if (s != array_size || s != allocated_)
            Reserve(s);
    }

    // Removes record i, keeping the order of the rest.
    void RemoveAt(int i) {
        assert(i >= 0 && i < Count);
        for (int k = i; k + 1 < Count; ++k)
            element[k] = std::move(element[k + 1]);
        --Count;
        element[Count].~T();
    }

    // Inserts before index i (0..Count), growing by 32 when full.
    void InsertAt(int i, T record) {
        assert(i >= 0 && i <= Count);
        if (Count == array_size)
            Grow();
        if (i == Count) {
            new (&element[Count]) T(std::move(record));
        } else {
            new (&element[Count]) T(std::move(element[Count - 1]));
            for (int k = Count - 1; k > i; --k)
                element[k] = std::move(element[k - 1]);
            element[i] = std::move(record);
        }
        ++Count;
    }

    void Clear() {
        for (int k = 0; k < Count; ++k)
            element[k].~T();
        std::free(element);
        element = nullptr;
        array_size = 0;
        allocated_ = 0;
        Count = 0;
    }

    T* begin() { return element; }
    T* end() { return element + Count; }
    const T* begin() const { return element; }
    const T* end() const { return element + Count; }

    T* element = nullptr;  // array_size slots, the first Count in use
    int array_size = 0;
    int Count = 0;

private:
    // Capacity plus 32; a new allocation only when that outruns the old one.
    void Grow() {
        const int capacity = array_size + kGrowBy;
        if (capacity > allocated_) {
            const long long ample = (long long)allocated_ + allocated_ / 2;
            const int limit = std::numeric_limits<int>::max();
            Reserve(int(std::min<long long>(std::max<long long>(capacity, ample), limit)));
        }
        array_size = capacity;
    }

    // Allocates exactly `capacity` records; array_size becomes it too.
    void Reserve(int capacity) {
        if constexpr (std::is_trivially_copyable_v<T>) {
            const std::size_t bytes = std::size_t(capacity) * sizeof(T);
            if (bytes >= kLargeBytes) {
                // A fresh block for huge pages (realloc would remap the old
                // pages instead); the copy costs less than the faults.
                T* grown = static_cast<T*>(AllocateLarge(bytes));
                if (grown == nullptr)
                    throw std::bad_alloc();
                if (Count > 0)
                    std::memcpy(static_cast<void*>(grown), element, std::size_t(Count) * sizeof(T));
                std::free(element);
                element = grown;
            } else {
                void* grown = std::realloc(element, bytes);
                if (grown == nullptr && capacity > 0)
                    throw std::bad_alloc();
                element = static_cast<T*>(grown);
            }
        } else {
            T* grown = static_cast<T*>(std::malloc(std::size_t(capacity) * sizeof(T)));
            if (grown == nullptr && capacity > 0)
                throw std::bad_alloc();
            for (int k = 0; k < Count; ++k) {
                new (&grown[k]) T(std::move(element[k]));
                element[k].~T();
            }
            std::free(element);
            element = grown;
        }
        array_size = capacity;
        allocated_ = capacity;
    }

    int allocated_ = 0;  // records the allocation holds, >= array_size
};
