#include "platform/avi_header.h"

#include <cstring>

namespace platform {

namespace {

std::uint32_t Read32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

bool TagIs(const std::uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, 4) == 0;
}

int ToInt(std::uint32_t v) {
    return v > 0x7FFFFFFFu ? 0 : int(v);
}

struct Walk {
    const std::uint8_t* bytes;
    AviHeader* header;
    bool mainHeader = false;
    bool streamFormatWanted = false;  // the strf after the first vids strh
};

// Walks the chunks in [begin, end); lists "hdrl" and "strl" are entered.
void WalkChunks(Walk& w, std::size_t begin, std::size_t end, int depth) {
    std::size_t p = begin;
    while (p + 8 <= end) {
        const std::uint8_t* c = w.bytes + p;
        std::size_t n = Read32(c + 4);
        std::size_t bodyEnd = n > end - p - 8 ? end : p + 8 + n;  // a cut file: read what is there
        std::size_t bodySize = bodyEnd - (p + 8);
        const std::uint8_t* body = c + 8;
        if (TagIs(c, "LIST") && bodySize >= 4 && depth < 2 &&
            (TagIs(body, "hdrl") || TagIs(body, "strl"))) {
            WalkChunks(w, p + 12, bodyEnd, depth + 1);
        } else if (TagIs(c, "avih") && bodySize >= 40) {
            w.mainHeader = true;
            w.header->totalFrames = Read32(body + 16);
            w.header->suggestedBufferSize = Read32(body + 28);
            w.header->width = ToInt(Read32(body + 32));
            w.header->height = ToInt(Read32(body + 36));
        } else if (TagIs(c, "strh") && bodySize >= 36 && !w.header->hasVideo &&
                   TagIs(body, "vids")) {
            w.header->hasVideo = true;
            w.header->scale = Read32(body + 20);
            w.header->rate = Read32(body + 24);
            w.header->length = Read32(body + 32);
            w.streamFormatWanted = true;
        } else if (TagIs(c, "strf") && w.streamFormatWanted) {
            w.streamFormatWanted = false;
            if (bodySize >= 12 && (w.header->width == 0 || w.header->height == 0)) {
                w.header->width = ToInt(Read32(body + 4));
                std::int32_t h = std::int32_t(Read32(body + 8));
                w.header->height = h == INT32_MIN ? 0 : (h < 0 ? -h : h);
            }
        } else if (TagIs(c, "LIST") && bodySize >= 4 && TagIs(body, "movi")) {
            return;  // the headers are over
        }
        if (bodyEnd == end)
            return;
        p = bodyEnd + (n & 1);
    }
}

}  // namespace

bool ReadAviHeader(const std::uint8_t* bytes, std::size_t size, AviHeader* header) {
    *header = AviHeader();
    if (size < 12 || !TagIs(bytes, "RIFF") || !TagIs(bytes + 8, "AVI "))
        return false;
    Walk w{bytes, header};
    WalkChunks(w, 12, size, 0);
    return w.mainHeader;
}

}  // namespace platform
