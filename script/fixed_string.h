#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

// A text field of the data model with a fixed capacity of N bytes, terminator
// included. Everything copied in is cut to N - 1 characters: script words,
// names and paths can be any length, the fields cannot.
template <std::size_t N>
class FixedString {
    static_assert(N >= 1);

public:
    FixedString() { data_[0] = '\0'; }
    FixedString(std::string_view text) { Assign(text); }  // NOLINT: implicit on purpose
    FixedString(const char* text) { Assign(text ? std::string_view(text) : std::string_view()); }

    FixedString& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }
    FixedString& operator=(const char* text) {
        Assign(text ? std::string_view(text) : std::string_view());
        return *this;
    }

    void Assign(std::string_view text) {
        std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
        // memmove: the source may be this very buffer.
        if (n > 0)
            std::memmove(data_, text.data(), n);
        data_[n] = '\0';
    }

    // Appends what fits; returns false when something was cut.
    bool Append(std::string_view text) {
        std::size_t len = size();
        std::size_t room = N - 1 - len;
        std::size_t n = text.size() < room ? text.size() : room;
        if (n > 0)
            std::memmove(data_ + len, text.data(), n);
        data_[len + n] = '\0';
        return n == text.size();
    }

    const char* c_str() const { return data_; }
    char* data() { return data_; }
    std::size_t size() const { return std::strlen(data_); }
    bool empty() const { return data_[0] == '\0'; }
    static constexpr std::size_t capacity() { return N; }
    std::string_view view() const { return std::string_view(data_); }
    operator std::string_view() const { return view(); }  // NOLINT: implicit on purpose

    bool operator==(std::string_view other) const { return view() == other; }

private:
    char data_[N];
};
