#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Scripts are bytes; the page speaks Unicode. A byte is the code point of the
// same number (Latin-1) both ways, so every byte an element writes comes back
// unchanged when the page sends the text again.

// A JSON string literal of the bytes: pure ASCII, quotes included.
void AppendJsonString(std::string* out, std::string_view bytes);

// UTF-8 from the page back to bytes. A code point above 255 or a broken
// sequence becomes '?'; nothing is dropped.
std::string Utf8ToBytes(std::string_view utf8);

// Strict number parsing of request parameters: the whole text or nothing.
// An int from -1 up; an id of 1 to 8 hexadecimal digits.
bool ParseIndex(std::string_view text, int* value);
bool ParseId(std::string_view text, std::uint32_t* value);
bool ParseCounter(std::string_view text, std::uint64_t* value);

// "0012ABCD"
std::string IdText(std::uint32_t id);
