#pragma once

#include <cassert>
#include <cstddef>
#include <memory>
#include <utility>

// The growable array used by every list of the system: elements, balls,
// pictures, fonts, menu children, sound slots. It grows 32 records at a time
// so a list that gains one record a frame reallocates rarely and predictably.
template <typename T>
class flist {
public:
    static constexpr int kGrowBy = 32;

    flist() = default;
    flist(const flist&) = delete;
    flist& operator=(const flist&) = delete;
    flist(flist&& other) noexcept { *this = std::move(other); }
    flist& operator=(flist&& other) noexcept {
        if (this != &other) {
            element = std::move(other.element);
            array_size = std::exchange(other.array_size, 0);
            Count = std::exchange(other.Count, 0);
        }
        return *this;
    }

    void Append(T record) {
        if (Count == array_size)
            Reserve(array_size + kGrowBy);
        element[Count++] = std::move(record);
    }

    T& operator[](int i) {
        assert(i >= 0 && i < Count);
        return element[i];
    }
    const T& operator[](int i) const {
        assert(i >= 0 && i < Count);
        return element[i];
    }

    // Sets the capacity to exactly s records; never below Count.
    void SetSize(int s) {
        if (s < Count)
            s = Count;
        if (s != array_size)
            Reserve(s);
    }

    // Removes record i, keeping the order of the rest.
    void RemoveAt(int i) {
        assert(i >= 0 && i < Count);
        for (int k = i; k + 1 < Count; ++k)
            element[k] = std::move(element[k + 1]);
        --Count;
        element[Count] = T();
    }

    // Inserts before index i (0..Count), growing by 32 when full.
    void InsertAt(int i, T record) {
        assert(i >= 0 && i <= Count);
        if (Count == array_size)
            Reserve(array_size + kGrowBy);
        for (int k = Count; k > i; --k)
            element[k] = std::move(element[k - 1]);
        element[i] = std::move(record);
        ++Count;
    }

    void Clear() {
        element.reset();
        array_size = 0;
        Count = 0;
    }

    T* begin() { return element.get(); }
    T* end() { return element.get() + Count; }
    const T* begin() const { return element.get(); }
    const T* end() const { return element.get() + Count; }

    std::unique_ptr<T[]> element;
    int array_size = 0;
    int Count = 0;

private:
    void Reserve(int capacity) {
        std::unique_ptr<T[]> grown(new T[capacity]());
        for (int k = 0; k < Count; ++k)
            grown[k] = std::move(element[k]);
        element = std::move(grown);
        array_size = capacity;
    }
};
