#include "table/scores.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "script/file_access.h"

namespace {

enum : std::uint16_t { TAG_END = 0, TAG_PLAYER = 1, TAG_RESULT = 2 };

// Names and paths keep at most 63 characters and their terminator.
void CopyField(char (&field)[64], const char* text) {
    std::memset(field, 0, sizeof(field));
    if (text == nullptr)
        return;
    std::size_t n = std::strlen(text);
    if (n > sizeof(field) - 1)
        n = sizeof(field) - 1;
    std::memcpy(field, text, n);
}

bool EqualNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
    }
    return *a == *b;
}

void PutU16(flist<std::uint8_t>* out, std::uint16_t v) {
    out->Append(std::uint8_t(v & 0xFF));
    out->Append(std::uint8_t(v >> 8));
}

void PutBytes(flist<std::uint8_t>* out, const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < n; ++i)
        out->Append(p[i]);
}

}  // namespace

std::int64_t ScoresList::Total(int player) const {
    std::int64_t sum = 0;
    for (const ScoreResult& r : players[player].results)
        sum += r.score;
    return sum;
}

void ScoresList::Record(const char* player, const char* table, std::int32_t score) {
    char name[64];
    char path[64];
    CopyField(name, player);
    CopyField(path, table);
    PlayerScores* found = nullptr;
    for (PlayerScores& p : players) {
        if (std::strcmp(p.name, name) == 0) {
            found = &p;
            break;
        }
    }
    ScoreResult result;
    std::memcpy(result.table, path, sizeof(path));
    result.score = score;
    if (found != nullptr) {
        ScoreResult* same = nullptr;
        for (ScoreResult& r : found->results) {
            if (EqualNoCase(r.table, path)) {
                same = &r;
                break;
            }
        }
        if (same != nullptr) {
            // Compared unsigned, as the file has always kept them.
            if (std::uint32_t(score) > std::uint32_t(same->score))
                same->score = score;
        } else {
            found->results.Append(result);
            std::sort(found->results.begin(), found->results.end(),
                      [](const ScoreResult& a, const ScoreResult& b) {
                          return std::strcmp(a.table, b.table) > 0;
                      });
        }
    } else {
        PlayerScores fresh;
        std::memcpy(fresh.name, name, sizeof(name));
        fresh.results.Append(result);
        players.Append(std::move(fresh));
    }
    std::vector<std::pair<std::int64_t, int>> order;
    for (int i = 0; i < players.Count; ++i)
        order.emplace_back(Total(i), i);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    flist<PlayerScores> sorted;
    const int keep = std::min<int>(players.Count, kMaxPlayers);
    for (int k = 0; k < keep; ++k)
        sorted.Append(std::move(players[order[k].second]));
    players = std::move(sorted);
}

void ScoresList::Serialize(flist<std::uint8_t>* out) const {
    for (const PlayerScores& p : players) {
        PutU16(out, TAG_PLAYER);
        PutBytes(out, p.name, sizeof(p.name));
        for (const ScoreResult& r : p.results) {
            PutU16(out, TAG_RESULT);
            PutBytes(out, r.table, sizeof(r.table));
            const std::uint32_t s = std::uint32_t(r.score);
            const std::uint8_t le[4] = {std::uint8_t(s), std::uint8_t(s >> 8),
                                        std::uint8_t(s >> 16), std::uint8_t(s >> 24)};
            PutBytes(out, le, 4);
        }
    }
    PutU16(out, TAG_END);
}

bool ScoresList::Write(const char* path) const {
    flist<std::uint8_t> bytes;
    Serialize(&bytes);
    const std::string target = ResolveLoosePath(path);
    const std::string temp = target + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr)
        return false;
    bool ok =
        std::fwrite(bytes.begin(), 1, std::size_t(bytes.Count), f) == std::size_t(bytes.Count);
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool ScoresList::Read(const char* path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadLooseFile(path, &bytes))
        return false;
    ReadBytes(bytes.data(), bytes.size());
    return true;
}

void ScoresList::ReadBytes(const std::uint8_t* bytes, std::size_t size) {
    std::size_t pos = 0;
    PlayerScores* current = nullptr;
    while (pos + 2 <= size) {
        const std::uint16_t tag = std::uint16_t(bytes[pos] | (bytes[pos + 1] << 8));
        pos += 2;
        if (tag == TAG_PLAYER) {
            if (pos + 64 > size)
                return;
            PlayerScores p;
            std::memcpy(p.name, bytes + pos, 64);
            p.name[63] = '\0';
            pos += 64;
            players.Append(std::move(p));
            current = &players[players.Count - 1];
        } else if (tag == TAG_RESULT) {
            if (pos + 68 > size)
                return;
            ScoreResult r;
            std::memcpy(r.table, bytes + pos, 64);
            r.table[63] = '\0';
            const std::uint8_t* s = bytes + pos + 64;
            r.score = std::int32_t(std::uint32_t(s[0]) | (std::uint32_t(s[1]) << 8) |
                                   (std::uint32_t(s[2]) << 16) | (std::uint32_t(s[3]) << 24));
            pos += 68;
            // A result before any player has no owner.
            if (current != nullptr)
                current->results.Append(r);
        } else {
            return;
        }
    }
}
