#include "script/zarnik_script.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "script/file_access.h"
#include "script/message.h"
#include "script/pool_builder.h"

namespace {

// Character classes of the tokenizer, one table lookup per byte. Bytes of
// 128 and above are never letters or digits.
enum : std::uint8_t { C_OTHER, C_BLANK, C_SLASH, C_NUMBER, C_QUOTE, C_IDENT };

constexpr std::array<std::uint8_t, 256> MakeClasses() {
    std::array<std::uint8_t, 256> k{};
    for (int c = 'A'; c <= 'Z'; ++c)
        k[std::size_t(c)] = C_IDENT;
    for (int c = 'a'; c <= 'z'; ++c)
        k[std::size_t(c)] = C_IDENT;
    k['_'] = C_IDENT;
    for (int c = '0'; c <= '9'; ++c)
        k[std::size_t(c)] = C_NUMBER;
    k['.'] = k['+'] = k['-'] = C_NUMBER;
    k[' '] = k['\r'] = k['\n'] = k['\t'] = C_BLANK;
    k['/'] = C_SLASH;
    k['"'] = C_QUOTE;
    return k;
}
constexpr std::array<std::uint8_t, 256> kClass = MakeClasses();

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
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

// Number runs hold only digits, '.', '+' and '-', and are converted as C's
// strtoll and strtod convert them: the longest valid prefix counts, no valid
// prefix gives 0. Integers that overflow stop at the 32-bit limits.
std::uint32_t IntValue(const unsigned char* run, std::int32_t length) {
    std::int32_t i = 0;
    bool negative = false;
    if (i < length && (run[i] == '+' || run[i] == '-'))
        negative = run[i++] == '-';
    std::int64_t v = 0;
    for (; i < length && IsDigit(run[i]); ++i) {
        if (v <= INT64_C(1) << 32)
            v = v * 10 + (run[i] - '0');
    }
    if (negative)
        v = -v;
    return std::uint32_t(std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)));
}

// strtod through a terminated copy: the slow path for runs the quick one
// can't do exactly.
double StrtodRun(const unsigned char* run, std::int32_t length) {
    char small[64];
    std::vector<char> large;
    char* buffer = small;
    if (std::size_t(length) + 1 > sizeof small) {
        large.resize(std::size_t(length) + 1);
        buffer = large.data();
    }
    std::memcpy(buffer, run, std::size_t(length));
    buffer[length] = '\0';
    return std::strtod(buffer, nullptr);
}

// A run with a dot, as strtod reads it, rounded to single precision. The
// run has no exponent, so its value is digits / 10^fraction digits; when the
// digits fit a double exactly and 10^fraction does too, one division is
// correctly rounded, which is strtod's result (and it is the common case:
// "0.2500"). Anything longer goes through strtod itself.
std::uint32_t RealValue(const unsigned char* run, std::int32_t length) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::int32_t i = 0;
    bool negative = false;
    if (i < length && (run[i] == '+' || run[i] == '-'))
        negative = run[i++] == '-';
    std::uint64_t digits = 0;
    int significant = 0;  // digits from the first non-zero one
    int fraction = 0;
    bool any = false;
    for (bool afterDot = false; i < length; ++i) {
        if (run[i] == '.' && !afterDot) {
            afterDot = true;
            continue;
        }
        if (!IsDigit(run[i]))
            break;
        any = true;
        if (digits != 0 || run[i] != '0')
            ++significant;
        if (significant > 19)
            return FloatBits(float(StrtodRun(run, length)));
        digits = digits * 10 + std::uint64_t(run[i] - '0');
        fraction += afterDot ? 1 : 0;
    }
    if (!any)
        return FloatBits(0.0f);
    if (digits > (UINT64_C(1) << 53) || fraction > 22)
        return FloatBits(float(StrtodRun(run, length)));
    const double value = double(digits) / kPow10[fraction];
    return FloatBits(float(negative ? -value : value));
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
        AdviseHugePages(buffer.get(), std::size_t(fileSize));
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

// One pass over the bytes: each token is classified by its first byte, its
// run is scanned once and the token appended; nothing is copied out.
void ZarnikScr::Tokenize() {
    if (scrCompiled)
        return;
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text.get());
    const std::int32_t n = size;
    std::int32_t p = 0;
    while (p < n) {
        const unsigned char c = t[p];
        switch (kClass[c]) {
            case C_BLANK:
                ++p;
                continue;
            case C_SLASH:
                // A // comment runs to the line end; the line ends are blanks.
                if (p + 1 < n && t[p + 1] == '/') {
                    p += 2;
                    while (p < n && t[p] != '\r' && t[p] != '\n')
                        ++p;
                    continue;
                }
                break;
            case C_NUMBER: {
                // A run of . + - and digits; a dot makes it real. A run starting
                // with + - or . is a number even with nothing after it.
                std::int32_t end = p + 1;
                bool real = c == '.';
                while (end < n && kClass[t[end]] == C_NUMBER) {
                    real = real || t[end] == '.';
                    ++end;
                }
                const std::int32_t length = end - p;
                tokens.Append(
                    ZarnikTokDef{std::uint32_t(p), length, real ? TOK_REAL : TOK_INT,
                                 real ? RealValue(t + p, length) : IntValue(t + p, length)});
                p = end;
                continue;
            }
            case C_QUOTE: {
                // No escapes; an unclosed quote is a punctuation token.
                const void* close = std::memchr(t + p + 1, '"', std::size_t(n - p - 1));
                if (close == nullptr)
                    break;
                const std::int32_t end = std::int32_t(static_cast<const unsigned char*>(close) - t);
                tokens.Append(ZarnikTokDef{std::uint32_t(p + 1), end - p - 1, TOK_WORD, 0});
                p = end + 1;
                continue;
            }
            case C_IDENT: {
                // '_' and letters; digits end an identifier, so does the text.
                std::int32_t end = p + 1;
                while (end < n && kClass[t[end]] == C_IDENT)
                    ++end;
                tokens.Append(ZarnikTokDef{std::uint32_t(p), end - p, TOK_WORD, 0});
                p = end;
                continue;
            }
            default:
                break;
        }
        tokens.Append(ZarnikTokDef{std::uint32_t(p), 1, TOK_PUNCT, c});
        ++p;
    }
    pos = n;
    scrCompiled = true;
}

namespace {

// The text of a word token; a range outside the text reads as empty.
std::string_view WordText(const ZarnikScr& scr, const ZarnikTokDef& tok) {
    if (tok.length > 0 && std::int64_t(tok.offset) + tok.length <= scr.size)
        return std::string_view(scr.text.get() + tok.offset, std::size_t(tok.length));
    return std::string_view();
}

// Places the word tokens in a fresh pool, in token order. Fails on a token
// of an unknown type and on a script without words.
bool PlaceWords(const ZarnikScr& scr, PoolBuilder* placed) {
    for (const ZarnikTokDef& tok : scr.tokens) {
        if (tok.type == TOK_WORD)
            placed->Add(WordText(scr, tok));
        else if (tok.type > TOK_PUNCT)
            return false;
    }
    if (placed->WordCount() == 0)
        return false;
    placed->Build();
    return true;
}

void PutLe32(char* out, std::uint32_t v) {
    out[0] = char(v & 0xFF);
    out[1] = char((v >> 8) & 0xFF);
    out[2] = char((v >> 16) & 0xFF);
    out[3] = char((v >> 24) & 0xFF);
}

// Hands the compiled image to `write` in pieces: header, pool, then the token
// table a slice at a time, so that it is never held whole a second time.
template <typename Write>
bool EmitCompiled(const ZarnikScr& scr, const PoolBuilder& placed, Write&& write) {
    const std::string& pool = placed.Bytes();
    char header[ZarnikScr::kHeaderSize];
    PutLe32(header, ZarnikScr::kHeaderSize);
    PutLe32(header + 4, std::uint32_t(pool.size()));
    PutLe32(header + 8, ZarnikScr::kHeaderSize);
    PutLe32(header + 12, std::uint32_t(scr.tokens.Count));
    PutLe32(header + 16, ZarnikScr::kHeaderSize + std::uint32_t(pool.size()));
    if (!write(header, sizeof header) || !write(pool.data(), pool.size()))
        return false;

    constexpr std::size_t kSlice = 4096;
    std::vector<char> slice(kSlice * sizeof(ZarnikTokDef));
    std::size_t filled = 0;
    std::size_t word = 0;
    for (const ZarnikTokDef& tok : scr.tokens) {
        ZarnikTokDef copy = tok;
        if (tok.type == TOK_WORD) {
            copy.offset = placed.Offset(word++);
            copy.length = std::int32_t(WordText(scr, tok).size());
            copy.value = 0;
        }
        char* rec = slice.data() + filled * sizeof(ZarnikTokDef);
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(rec, &copy, sizeof copy);  // the record is the file's layout
        } else {
            PutLe32(rec, copy.offset);
            PutLe32(rec + 4, std::uint32_t(copy.length));
            PutLe32(rec + 8, copy.type);
            PutLe32(rec + 12, copy.value);
        }
        if (++filled == kSlice) {
            if (!write(slice.data(), slice.size()))
                return false;
            filled = 0;
        }
    }
    return write(slice.data(), filled * sizeof(ZarnikTokDef));
}

}  // namespace

bool ZarnikScr::BuildCompiled(std::string* out) const {
    PoolBuilder placed;
    if (!PlaceWords(*this, &placed))
        return false;
    out->clear();
    out->reserve(kHeaderSize + placed.Bytes().size() +
                 std::size_t(tokens.Count) * sizeof(ZarnikTokDef));
    return EmitCompiled(*this, placed, [out](const char* bytes, std::size_t n) {
        out->append(bytes, n);
        return true;
    });
}

bool ZarnikScr::WriteCompiled(const char* path) const {
    PoolBuilder placed;
    if (!PlaceWords(*this, &placed))
        return false;
    std::FILE* f = OpenLooseFile(path, "wb");
    if (f == nullptr)
        return false;
    bool ok = EmitCompiled(*this, placed, [f](const char* bytes, std::size_t n) {
        return std::fwrite(bytes, 1, n, f) == n;
    });
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}
