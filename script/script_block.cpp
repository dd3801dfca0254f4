#include "script/script_block.h"

#include <cstring>

namespace {

const ZarnikTokDef* TokAt(const ZarnikScr& scr, int i) {
    return scr.IsValidIndex(i) ? &scr.tokens[i] : nullptr;
}

}  // namespace

std::uint32_t TokType(const ZarnikScr& scr, int i) {
    const ZarnikTokDef* t = TokAt(scr, i);
    return t ? t->type : TOK_PUNCT;
}

char TokChar(const ZarnikScr& scr, int i) {
    const ZarnikTokDef* t = TokAt(scr, i);
    return t ? char(t->value & 0xFF) : '\0';
}

std::int32_t TokInt(const ZarnikScr& scr, int i) {
    const ZarnikTokDef* t = TokAt(scr, i);
    return t ? std::int32_t(t->value) : 0;
}

float TokReal(const ZarnikScr& scr, int i) {
    const ZarnikTokDef* t = TokAt(scr, i);
    if (t == nullptr)
        return 0.0f;
    float f;
    std::memcpy(&f, &t->value, sizeof f);
    return f;
}

std::string_view TokText(const ZarnikScr& scr, int i) {
    const ZarnikTokDef* t = TokAt(scr, i);
    if (t == nullptr || t->length <= 0 || scr.text == nullptr)
        return {};
    if (std::int64_t(t->offset) + t->length > scr.size)
        return {};
    return std::string_view(scr.text.get() + t->offset, std::size_t(t->length));
}

std::int32_t TokLength(const ZarnikScr& scr, int i) {
    const ZarnikTokDef* t = TokAt(scr, i);
    return t ? t->length : 0;
}

bool TokIsPunct(const ZarnikScr& scr, int i, char c) {
    const ZarnikTokDef* t = TokAt(scr, i);
    return t != nullptr && t->type == TOK_PUNCT && char(t->value & 0xFF) == c;
}

bool TokIsWord(const ZarnikScr& scr, int i, std::string_view name) {
    const ZarnikTokDef* t = TokAt(scr, i);
    return t != nullptr && t->type == TOK_WORD && std::size_t(t->length) == name.size() &&
           TokText(scr, i) == name;
}

ScriptBlock WholeScript(const ZarnikScr& scr) {
    return ScriptBlock{&scr, nullptr, 0, scr.TokenCount()};
}

ScriptBlock SubBlock(const ScriptBlock& parent, int brace) {
    ScriptBlock sub{parent.script, &parent, parent.first + brace + 1, 0};
    const ZarnikScr& scr = *parent.script;
    const int total = scr.TokenCount();
    int depth = -1;
    int i = sub.first;
    for (; i < total; ++i) {
        if (TokIsPunct(scr, i, '{')) {
            --depth;
        } else if (TokIsPunct(scr, i, '}')) {
            if (++depth == 0)
                break;
        }
    }
    sub.count = i > sub.first ? i - sub.first : 0;
    return sub;
}

int SkipStatement(const ScriptBlock& block, int i) {
    while (i < block.count) {
        if (block.IsPunct(i, '{')) {
            int depth = 1;
            ++i;
            while (i < block.count && depth > 0) {
                if (block.IsPunct(i, '{')) {
                    ++depth;
                } else if (block.IsPunct(i, '}')) {
                    --depth;
                }
                ++i;
            }
            continue;
        }
        if (block.IsPunct(i, ';'))
            return i + 1;
        ++i;
    }
    return block.count;
}

int SkipNamedBlock(const ScriptBlock& block, const ScriptBlock& sub, int i) {
    int past = i + sub.count + 3;
    return past < block.count ? past : block.count;
}

void ReadKeys(const ScriptBlock& block, std::span<const KeyDef> table) {
    ForEachStatement(block, [&](int i) {
        if (block.Type(i) != TOK_WORD || block.Type(i + 1) != TOK_PUNCT || i + 2 >= block.count)
            return;
        // Only a token inside the block may be a value.
        if (i + 1 >= block.count)
            return;
        const std::string_view key = block.Text(i);
        const std::uint32_t valueType = block.Type(i + 2);
        for (const KeyDef& row : table) {
            if (row.key == nullptr)
                break;
            if (key != row.key)
                continue;
            if (row.kind == KeyDef::REAL && valueType == TOK_REAL) {
                *static_cast<float*>(row.destination) = block.Real(i + 2);
            } else if (row.kind == KeyDef::INT && valueType == TOK_INT) {
                *static_cast<std::int32_t*>(row.destination) = block.Int(i + 2);
            } else if (row.kind == KeyDef::WORD && valueType == TOK_WORD && row.capacity > 0) {
                std::string_view word = block.Text(i + 2);
                std::size_t n = word.size() < row.capacity - 1 ? word.size() : row.capacity - 1;
                char* dest = static_cast<char*>(row.destination);
                if (n > 0)
                    std::memcpy(dest, word.data(), n);
                dest[n] = '\0';
            } else {
                continue;  // same key under another kind: look further
            }
            return;
        }
    });
}

int MatchSubBlock(const ScriptBlock& block, std::span<const SubBlockDef> table, int i) {
    if (block.Type(i) != TOK_WORD)
        return -1;
    const std::string_view word = block.Text(i);
    for (const SubBlockDef& row : table) {
        if (row.name == nullptr)
            break;
        if (word != row.name)
            continue;
        // Sound choice: a listed name without a brace is not a block.
        if (i + 1 >= block.count || !block.IsPunct(i + 1, '{'))
            return -1;
        return row.id;
    }
    return -1;
}
