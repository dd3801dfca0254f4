#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "script/fixed_string.h"
#include "script/flist.h"

// Token types of the script language.
enum : std::uint32_t {
    TOK_WORD = 0,   // identifier or quoted string
    TOK_INT = 1,    // signed 32-bit integer in value
    TOK_REAL = 2,   // single-precision float in value
    TOK_PUNCT = 3,  // one character, in the low byte of value
};

// One token: 16 bytes, the field order of the compiled file.
struct ZarnikTokDef {
    std::uint32_t offset = 0;  // first character in the text buffer (after an opening quote)
    std::int32_t length = 0;   // characters, quotes excluded
    std::uint32_t type = TOK_WORD;
    std::uint32_t value = 0;  // int, float bits or character; see the type
};
static_assert(sizeof(ZarnikTokDef) == 16);

// One script: its text (or, compiled, its string pool) and its tokens.
class ZarnikScr {
public:
    static constexpr std::size_t kNameSize = 260;
    static constexpr std::uint32_t kHeaderSize = 20;

    // Loads a ".script" (text, falling back to the ".bin" of the same name)
    // or a ".bin" (compiled). On failure "Can't load '%s' !" is reported and
    // the script is empty; the object is usable either way.
    explicit ZarnikScr(const char* _fileName);

    // Tokenizes a copy of a text buffer; the script is named "AutoScript".
    ZarnikScr(const char* _Buffer, int _bufferSize);

    ZarnikScr(const ZarnikScr&) = delete;
    ZarnikScr& operator=(const ZarnikScr&) = delete;

    // Writes the compiled form: word tokens re-pointed into a fresh string
    // pool, every other token copied. Fails, writing nothing, when the script
    // has no word token or a token of an unknown type.
    bool WriteCompiled(const char* path) const;

    // Builds the compiled form in memory (what WriteCompiled writes).
    bool BuildCompiled(std::string* out) const;

    // Reads a compiled image. Checks every size and offset against `size` and
    // every word token against the pool; refuses what does not fit.
    bool LoadCompiledImage(const std::uint8_t* bytes, std::size_t size);

    const char* Name() const { return name.c_str(); }
    int TokenCount() const { return tokens.Count; }
    const ZarnikTokDef& Token(int i) const { return tokens[i]; }
    bool IsCompiled() const { return scrCompiled; }
    bool IsValidIndex(int i) const { return i >= 0 && i < tokens.Count; }

    FixedString<kNameSize> name;
    std::unique_ptr<char[]> text;
    std::int32_t size = 0;
    flist<ZarnikTokDef> tokens;
    bool scrCompiled = false;
    std::int32_t pos = 0;

private:
    bool Load();
    bool ReadText();
    bool ReadCompiled();
    void Tokenize();
};

// Replaces the extension of a path (drive, folders and base name kept; '/'
// and '\' both separate folders). A path without extension gets `ext` added.
std::string ReplaceExtension(const char* path, const char* ext);

// The extension of a path, with its dot ("" when there is none).
std::string PathExtension(const char* path);
