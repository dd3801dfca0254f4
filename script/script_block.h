#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "script/fixed_string.h"
#include "script/zarnik_script.h"

// Token accessors. Unlike a raw array walk they are safe on any index: an
// index outside the token array reads as an empty TOK_PUNCT with value 0, and
// a token whose text would run past the buffer reads as empty text.
std::uint32_t TokType(const ZarnikScr& scr, int i);
char TokChar(const ZarnikScr& scr, int i);
std::int32_t TokInt(const ZarnikScr& scr, int i);
float TokReal(const ZarnikScr& scr, int i);
std::string_view TokText(const ZarnikScr& scr, int i);
std::int32_t TokLength(const ZarnikScr& scr, int i);

bool TokIsPunct(const ZarnikScr& scr, int i, char c);
// A word token equal to `name`: same length, same bytes, case counts.
bool TokIsWord(const ZarnikScr& scr, int i, std::string_view name);

// A stretch of tokens between braces (the braces excluded), or a whole script.
struct ScriptBlock {
    const ZarnikScr* script = nullptr;
    const ScriptBlock* parent = nullptr;
    std::int32_t first = 0;
    std::int32_t count = 0;

    // Absolute index of the block-relative index i.
    int At(int i) const { return first + i; }
    std::uint32_t Type(int i) const { return TokType(*script, first + i); }
    bool IsPunct(int i, char c) const { return TokIsPunct(*script, first + i, c); }
    bool IsWord(int i, std::string_view name) const { return TokIsWord(*script, first + i, name); }
    std::string_view Text(int i) const { return TokText(*script, first + i); }
    std::int32_t Int(int i) const { return TokInt(*script, first + i); }
    float Real(int i) const { return TokReal(*script, first + i); }
};

// The block of a whole script: all its tokens.
ScriptBlock WholeScript(const ZarnikScr& scr);

// The block whose opening brace is at parent-relative index `brace`. Its
// body runs to the matching '}' or, without one, to the end of the script.
ScriptBlock SubBlock(const ScriptBlock& parent, int brace);

// From statement start i, the index just past the statement's ';' (a braced
// group inside is skipped whole), or the block's end.
int SkipStatement(const ScriptBlock& block, int i);

// Index just past a named block at statement start i (name, '{', body, '}').
int SkipNamedBlock(const ScriptBlock& block, const ScriptBlock& sub, int i);

// One row of a key table: where a key's value goes and which token it takes.
struct KeyDef {
    enum Kind : int { REAL = 0, INT = 2, WORD = 4 };

    const char* key = nullptr;
    int kind = REAL;
    void* destination = nullptr;
    std::size_t capacity = 0;  // bytes of a WORD destination, terminator included

    static KeyDef Real(const char* key, float* dest) { return {key, REAL, dest, 0}; }
    static KeyDef Int(const char* key, std::int32_t* dest) { return {key, INT, dest, 0}; }
    static KeyDef Word(const char* key, char* dest, std::size_t capacity) {
        return {key, WORD, dest, capacity};
    }
    template <std::size_t N>
    static KeyDef Word(const char* key, FixedString<N>* dest) {
        return {key, WORD, dest->data(), N};
    }
};

// Reads `key = value;` statements of the block (not of nested blocks) through
// the table. The first row whose key matches and whose kind fits the value's
// token type takes the value; a destination no statement sets keeps what it
// held. A table may end early with a row whose key is nullptr.
void ReadKeys(const ScriptBlock& block, std::span<const KeyDef> table);
inline void ReadKeys(const ScriptBlock& block, std::initializer_list<KeyDef> table) {
    ReadKeys(block, std::span<const KeyDef>(table.begin(), table.size()));
}

// One row of a sub-block table.
struct SubBlockDef {
    const char* name = nullptr;
    int id = 0;
};

// Calls handler(id, sub, i) for each statement `Name { ... }` of the block
// whose Name is in the table (first matching row wins). A name not followed
// by '{' is skipped with its statement.
template <typename Handler>
void ForEachSubBlock(const ScriptBlock& block, std::span<const SubBlockDef> table,
                     Handler&& handler);

// Calls handler(i) at every statement start of the block.
template <typename Handler>
void ForEachStatement(const ScriptBlock& block, Handler&& handler) {
    int i = 0;
    while (i < block.count) {
        handler(i);
        i = SkipStatement(block, i);
    }
}

// The id of the sub-block table row named by the word at statement start i,
// or -1 when the statement is not a listed block.
int MatchSubBlock(const ScriptBlock& block, std::span<const SubBlockDef> table, int i);

template <typename Handler>
void ForEachSubBlock(const ScriptBlock& block, std::span<const SubBlockDef> table,
                     Handler&& handler) {
    ForEachStatement(block, [&](int i) {
        int id = MatchSubBlock(block, table, i);
        if (id < 0)
            return;
        ScriptBlock sub = SubBlock(block, i + 1);
        handler(id, sub, i);
    });
}
