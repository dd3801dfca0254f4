#include "editor/editor_text.h"

#include <cstdio>

void AppendJsonString(std::string* out, std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    out->push_back('"');
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out->push_back('\\');
            out->push_back(char(c));
        } else if (c == '\n') {
            out->append("\\n");
        } else if (c == '\r') {
            out->append("\\r");
        } else if (c == '\t') {
            out->append("\\t");
        } else if (c < 0x20 || c >= 0x7F || c == '<' || c == '>' || c == '&') {
            // Markup characters too: the text never reads as a tag anywhere.
            out->append("\\u00");
            out->push_back(kHex[c >> 4]);
            out->push_back(kHex[c & 15]);
        } else {
            out->push_back(char(c));
        }
    }
    out->push_back('"');
}

std::string Utf8ToBytes(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            bytes.push_back(char(c));
            ++i;
            continue;
        }
        int extra = 0;
        std::uint32_t cp = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07;
        } else {
            bytes.push_back('?');
            ++i;
            continue;
        }
        std::size_t k = 1;
        for (; k <= std::size_t(extra) && i + k < utf8.size(); ++k) {
            const unsigned char d = static_cast<unsigned char>(utf8[i + k]);
            if ((d & 0xC0) != 0x80)
                break;
            cp = cp << 6 | (d & 0x3F);
        }
        if (k != std::size_t(extra) + 1) {
            // Broken: one '?' for the lead byte, the rest read afresh.
            bytes.push_back('?');
            i += 1;
            continue;
        }
        // Overlong forms of ASCII would smuggle quotes and braces past a reader.
        const bool overlong =
            (extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        bytes.push_back(!overlong && cp <= 0xFF ? char(cp) : '?');
        i += k;
    }
    return bytes;
}

bool ParseIndex(std::string_view text, int* value) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10)
        return false;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (negative)
        v = -v;
    if (v < -1 || v > 0x7FFFFFFF)
        return false;
    *value = int(v);
    return true;
}

bool ParseId(std::string_view text, std::uint32_t* value) {
    if (text.empty() || text.size() > 8)
        return false;
    std::uint32_t v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v << 4 | std::uint32_t(d);
    }
    *value = v;
    return true;
}

bool ParseCounter(std::string_view text, std::uint64_t* value) {
    if (text.empty() || text.size() > 19)
        return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + std::uint64_t(c - '0');
    }
    *value = v;
    return true;
}

std::string IdText(std::uint32_t id) {
    char text[12];
    std::snprintf(text, sizeof text, "%08X", unsigned(id));
    return text;
}
