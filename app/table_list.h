#pragma once

#include "script/fixed_string.h"
#include "script/flist.h"
#include "script/script_block.h"

class Font;
class Picture;
class ScoresList;

// The numbered table scripts of the `tables` section and the one the menu's
// selector points at.
class TableList {
public:
    // More would only make the selector spin for ever.
    static constexpr int kMaxTables = 1000;

    // Keys `tablecount`, `filestart`, `fileend`: paths "%s%04d%s" for 0 to
    // count - 1. A count of 0 or less, or an empty text, leaves the list empty.
    void Read(const ScriptBlock& section);

    int Count() const { return paths.Count; }
    const char* Path(int i) const { return paths[i].c_str(); }
    // Index of a path in the list (case ignored), or -1.
    int Find(const char* path) const;

    // The selector's turn for one step (menu actions 7 and 8): twice as far
    // when the step wraps round. 0 with an empty list.
    int SelectorFrames(bool forward) const;
    // One step forward or back, wrapping; nothing with an empty list.
    void Step(bool forward);

    flist<FixedString<260>> paths;
    int current = 0;
};

// The menu's scores table: the header row, then one row per player (at most
// six) with the player's best score on each of the first three tables of the
// list. Nothing is drawn outside the table's columns.
inline constexpr int kScoresTableX = 213;
inline constexpr int kScoresTableY = 167;
inline constexpr int kScoresColumnX[4] = {0, 120, 220, 320};
inline constexpr int kScoresRowY[6] = {35, 55, 75, 95, 115, 135};
void DrawScoresTable(Picture* target, int x, int y, const Font* font, const ScoresList& scores,
                     const TableList& tables);
