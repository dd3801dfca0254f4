#include "app/table_list.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

#include "render/font.h"
#include "table/scores.h"

void TableList::Read(const ScriptBlock& section) {
    std::int32_t count = 0;
    FixedString<256> start, end;
    ReadKeys(section, {KeyDef::Int("tablecount", &count), KeyDef::Word("filestart", &start),
                       KeyDef::Word("fileend", &end)});
    paths.Clear();
    current = 0;
    if (count <= 0 || start.empty() || end.empty())
        return;
    if (count > kMaxTables)
        count = kMaxTables;
    for (int i = 0; i < count; ++i) {
        char path[260];
        std::snprintf(path, sizeof path, "%s%04d%s", start.c_str(), i, end.c_str());
        paths.Append(FixedString<260>(path));
    }
}

int TableList::Find(const char* path) const {
    for (int i = 0; i < paths.Count; ++i) {
        if (strcasecmp(paths[i].c_str(), path) == 0)
            return i;
    }
    return -1;
}

int TableList::SelectorFrames(bool forward) const {
    const int count = paths.Count;
    if (count <= 0)
        return 0;
    const bool wraps = forward ? current == count - 1 : current == 0;
    return (wraps ? 144 : 72) / (count + 1);
}

void TableList::Step(bool forward) {
    const int count = paths.Count;
    if (count <= 0)
        return;
    current = forward ? (current + 1) % count : (current - 1 + count) % count;
}

namespace {

// The longest start of `text` that is narrower than `width` pixels, and
// without the two-character line break of the fonts.
FixedString<64> FitText(const Font& font, const char* text, int width) {
    FixedString<64> out;
    char one[2] = {0, 0};
    int used = 0;
    for (const char* p = text; *p; ++p) {
        if (p[0] == '\\' && p[1] == 'n')
            break;
        one[0] = *p;
        used += font.TextWidth(one);
        if (used >= width || !out.Append(one))
            break;
    }
    return out;
}

}  // namespace

void DrawScoresTable(Picture* target, int x, int y, const Font* font, const ScoresList& scores,
                     const TableList& tables) {
    if (!target || !font)
        return;
    static const char* const kHeader[4] = {"Name", "Table 1", "Table 2", "Table 3"};
    for (int c = 0; c < 4; ++c)
        font->DrawText(target, x + kScoresColumnX[c], y, kHeader[c], 0);

    const int rows = scores.players.Count < 6 ? scores.players.Count : 6;
    for (int r = 0; r < rows; ++r) {
        const PlayerScores& player = scores.players[r];
        const int rowY = y + kScoresRowY[r];
        const int nameWidth = kScoresColumnX[1] - kScoresColumnX[0] - 4;
        font->DrawText(target, x, rowY, FitText(*font, player.name, nameWidth).c_str(), 0);
        // Column j is table j of the list, wherever the player's results keep it.
        // Scores keep 63 characters of a path.
        for (int j = 0; j < 3 && j < tables.Count(); ++j) {
            const FixedString<64> want(tables.Path(j));
            for (const ScoreResult& result : player.results) {
                FixedString<64> table(std::string_view(result.table, strnlen(result.table, 64)));
                if (strcasecmp(table.c_str(), want.c_str()) != 0)
                    continue;
                char text[16];
                std::snprintf(text, sizeof text, "%u", unsigned(result.score));
                font->DrawText(target, x + kScoresColumnX[j + 1], rowY, text, 0);
                break;
            }
        }
    }
}
