#include "script/zarnik_script.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "script/file_access.h"
#include "script/message.h"
#include "script/word_pool.h"

namespace {

bool IsLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsNumberChar(unsigned char c) {
    return c == '.' || c == '+' || c == '-' || IsDigit(c);
}
bool IsIdentChar(unsigned char c) {
    return c == '_' || IsLetter(c);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

// Where the base name of a path starts: after the drive and the last folder
// separator of either kind.
std::size_t BaseNameStart(std::string_view path) {
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == ':')
        start = 2;
    std::size_t sep = path.find_last_of("/\\");
    if (sep != std::string_view::npos && sep + 1 > start)
        start = sep + 1;
    return start;
}

std::uint32_t FloatBits(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// The run converted as a C decimal literal: the longest valid prefix counts,
// no valid prefix gives 0. Integers that overflow stop at the 32-bit limits.
std::uint32_t ConvertNumber(const char* run, std::size_t length, bool real) {
    char small[64];
    std::vector<char> large;
    char* buffer = small;
    if (length + 1 > sizeof small) {
        large.resize(length + 1);
        buffer = large.data();
    }
    std::memcpy(buffer, run, length);
    buffer[length] = '\0';
    if (real)
        return FloatBits(float(std::strtod(buffer, nullptr)));
    errno = 0;
    long long v = std::strtoll(buffer, nullptr, 10);
    if (v > INT_MAX)
        v = INT_MAX;
    if (v < INT_MIN)
        v = INT_MIN;
    return std::uint32_t(std::int32_t(v));
}

void PutLe32(std::string* out, std::uint32_t v) {
    char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                 char((v >> 24) & 0xFF)};
    out->append(b, 4);
}

std::uint32_t GetLe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

}  // namespace

std::string PathExtension(const char* path) {
    std::string_view p(path ? path : "");
    std::size_t base = BaseNameStart(p);
    std::size_t dot = p.rfind('.');
    if (dot == std::string_view::npos || dot < base)
        return std::string();
    return std::string(p.substr(dot));
}

std::string ReplaceExtension(const char* path, const char* ext) {
    std::string_view p(path ? path : "");
    std::size_t base = BaseNameStart(p);
    std::size_t dot = p.rfind('.');
    std::string out(p.substr(0, (dot == std::string_view::npos || dot < base) ? p.size() : dot));
    out += ext;
    return out;
}

ZarnikScr::ZarnikScr(const char* _fileName) {
    name = _fileName ? _fileName : "";
    if (!Load()) {
        ReportMessage("Can't load '%s' !", _fileName ? _fileName : "");
        return;
    }
    if (!scrCompiled)
        Tokenize();
}

ZarnikScr::ZarnikScr(const char* _Buffer, int _bufferSize) {
    name = "AutoScript";
    if (_Buffer == nullptr || _bufferSize <= 0)
        return;
    text.reset(new char[std::size_t(_bufferSize) + 1]);
    std::memcpy(text.get(), _Buffer, std::size_t(_bufferSize));
    text[_bufferSize] = '\0';
    size = _bufferSize;
    Tokenize();
}

bool ZarnikScr::Load() {
    std::string ext = PathExtension(name.c_str());
    if (EqualsNoCase(ext, ".script")) {
        if (ReadText())
            return true;
        name = ReplaceExtension(name.c_str(), ".bin");
        ext = ".bin";
    }
    if (EqualsNoCase(ext, ".bin")) {
        if (!ReadCompiled())
            return false;
        scrCompiled = true;
        return true;
    }
    return false;
}

bool ZarnikScr::ReadText() {
    const std::uint8_t* data = nullptr;
    std::uint32_t length = 0;
    if (FindResource(name.c_str(), &data, &length)) {
        text.reset(new char[std::size_t(length) + 1]);
        if (length > 0)
            std::memcpy(text.get(), data, length);
        text[length] = '\0';
        size = std::int32_t(length);
        return true;
    }

    std::FILE* f = OpenLooseFile(name.c_str(), "rb");
    if (f == nullptr)
        return false;
    bool ok = false;
    long fileSize = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        fileSize = std::ftell(f);
    std::rewind(f);
    if (fileSize == 0) {
        ReportMessage("zero-length file: '%s'...", name.c_str());
    } else if (fileSize < 0 || fileSize > INT32_MAX - 1) {
        ReportMessage("error reading file '%s'...", name.c_str());
    } else {
        std::unique_ptr<char[]> buffer(new char[std::size_t(fileSize) + 1]);
        std::size_t got = std::fread(buffer.get(), 1, std::size_t(fileSize), f);
        if (got < std::size_t(fileSize)) {
            ReportMessage("error reading file '%s'...", name.c_str());
        } else {
            buffer[fileSize] = '\0';
            text = std::move(buffer);
            size = std::int32_t(fileSize);
            ok = true;
        }
    }
    std::fclose(f);
    return ok;
}

bool ZarnikScr::ReadCompiled() {
    const std::uint8_t* data = nullptr;
    std::uint32_t length = 0;
    if (FindResource(name.c_str(), &data, &length))
        return LoadCompiledImage(data, length);

    std::vector<std::uint8_t> bytes;
    if (!ReadLooseFile(name.c_str(), &bytes))
        return false;
    return LoadCompiledImage(bytes.data(), bytes.size());
}

bool ZarnikScr::LoadCompiledImage(const std::uint8_t* bytes, std::size_t length) {
    if (bytes == nullptr || length < kHeaderSize)
        return false;
    const std::uint32_t headerSize = GetLe32(bytes);
    const std::uint64_t poolSize = GetLe32(bytes + 4);
    const std::uint64_t poolOffset = GetLe32(bytes + 8);
    const std::uint64_t tokenCount = GetLe32(bytes + 12);
    const std::uint64_t tokenOffset = GetLe32(bytes + 16);
    if (headerSize != kHeaderSize)
        return false;
    if (poolOffset + poolSize > length)
        return false;
    if (tokenOffset + tokenCount * sizeof(ZarnikTokDef) > length)
        return false;
    if (poolSize > INT32_MAX || tokenCount > INT32_MAX)
        return false;

    flist<ZarnikTokDef> loaded;
    loaded.SetSize(int(tokenCount));
    for (std::uint64_t i = 0; i < tokenCount; ++i) {
        const std::uint8_t* rec = bytes + tokenOffset + i * sizeof(ZarnikTokDef);
        ZarnikTokDef t;
        t.offset = GetLe32(rec);
        t.length = std::int32_t(GetLe32(rec + 4));
        t.type = GetLe32(rec + 8);
        t.value = GetLe32(rec + 12);
        // A word must lie inside the pool; nothing else reads text.
        if (t.type == TOK_WORD &&
            (t.length < 0 || std::uint64_t(t.offset) + std::uint64_t(t.length) > poolSize)) {
            return false;
        }
        loaded.Append(t);
    }

    std::unique_ptr<char[]> pool(new char[poolSize + 1]);
    if (poolSize > 0)
        std::memcpy(pool.get(), bytes + poolOffset, poolSize);
    pool[poolSize] = '\0';
    text = std::move(pool);
    size = std::int32_t(poolSize);
    tokens = std::move(loaded);
    pos = 0;
    return true;
}

void ZarnikScr::Tokenize() {
    if (scrCompiled)
        return;
    pos = 0;
    while (pos < size)
        TokenizerStep();
    scrCompiled = true;
}

void ZarnikScr::TokenizerStep() {
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text.get());

    // 1. Blanks and // comments, until neither applies.
    for (;;) {
        while (pos < size && (t[pos] == ' ' || t[pos] == '\r' || t[pos] == '\n' || t[pos] == '\t'))
            ++pos;
        if (size - pos >= 2 && t[pos] == '/' && t[pos + 1] == '/') {
            while (pos < size && t[pos] != '\r' && t[pos] != '\n')
                ++pos;
            while (pos < size && (t[pos] == '\r' || t[pos] == '\n'))
                ++pos;
            continue;
        }
        break;
    }
    // 2. Nothing left.
    if (pos >= size)
        return;

    ZarnikTokDef tok;
    tok.offset = std::uint32_t(pos);
    const unsigned char c = t[pos];

    // 3. Numbers: a run of . + - and digits; a dot makes it real.
    if (IsNumberChar(c)) {
        std::int32_t end = pos;
        bool real = false;
        while (end < size && IsNumberChar(t[end])) {
            if (t[end] == '.')
                real = true;
            ++end;
        }
        tok.length = end - pos;
        tok.type = real ? TOK_REAL : TOK_INT;
        tok.value = ConvertNumber(text.get() + pos, std::size_t(tok.length), real);
        tokens.Append(tok);
        pos = end;
        return;
    }

    // 4. Quoted strings: no escapes; an unclosed quote falls through to 6.
    if (c == '"') {
        const void* close = std::memchr(t + pos + 1, '"', std::size_t(size - pos - 1));
        if (close != nullptr) {
            std::int32_t end = std::int32_t(static_cast<const unsigned char*>(close) - t);
            tok.offset = std::uint32_t(pos + 1);
            tok.length = end - pos - 1;
            tok.type = TOK_WORD;
            tokens.Append(tok);
            pos = end + 1;
            return;
        }
    }

    // 5. Identifiers: '_' and letters; digits end them, so does the text.
    if (c != '"' && IsIdentChar(c)) {
        std::int32_t end = pos;
        while (end < size && IsIdentChar(t[end]))
            ++end;
        tok.length = end - pos;
        tok.type = TOK_WORD;
        tokens.Append(tok);
        pos = end;
        return;
    }

    // 6. Any other single character.
    tok.length = 1;
    tok.type = TOK_PUNCT;
    tok.value = c;
    tokens.Append(tok);
    ++pos;
}

bool ZarnikScr::BuildCompiled(std::string* out) const {
    WordPool pool;
    std::vector<ZarnikTokDef> compiled;
    compiled.reserve(std::size_t(tokens.Count));
    bool sawWord = false;
    for (const ZarnikTokDef& tok : tokens) {
        ZarnikTokDef copy = tok;
        if (tok.type == TOK_WORD) {
            sawWord = true;
            std::string_view word;
            if (tok.length > 0 && std::int64_t(tok.offset) + tok.length <= size)
                word = std::string_view(text.get() + tok.offset, std::size_t(tok.length));
            copy.offset = pool.Place(word);
            copy.length = std::int32_t(word.size());
            copy.value = 0;
        } else if (tok.type > TOK_PUNCT) {
            return false;
        }
        compiled.push_back(copy);
    }
    if (!sawWord)
        return false;

    const std::string& bytes = pool.Bytes();
    out->clear();
    out->reserve(kHeaderSize + bytes.size() + compiled.size() * sizeof(ZarnikTokDef));
    PutLe32(out, kHeaderSize);
    PutLe32(out, std::uint32_t(bytes.size()));
    PutLe32(out, kHeaderSize);
    PutLe32(out, std::uint32_t(compiled.size()));
    PutLe32(out, kHeaderSize + std::uint32_t(bytes.size()));
    out->append(bytes);
    for (const ZarnikTokDef& tok : compiled) {
        PutLe32(out, tok.offset);
        PutLe32(out, std::uint32_t(tok.length));
        PutLe32(out, tok.type);
        PutLe32(out, tok.value);
    }
    return true;
}

bool ZarnikScr::WriteCompiled(const char* path) const {
    std::string image;
    if (!BuildCompiled(&image))
        return false;
    std::FILE* f = OpenLooseFile(path, "wb");
    if (f == nullptr)
        return false;
    bool ok = std::fwrite(image.data(), 1, image.size(), f) == image.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}
