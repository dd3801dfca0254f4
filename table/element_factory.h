#pragma once

#include <memory>

#include "script/script_block.h"

class Table;
class TableObject;

// Block keyword ids. 0 to 15 create an element; the two settings blocks are
// read by the table itself.
enum BlockKeyword : int {
    BLOCK_MAIN_BALL = 0,
    BLOCK_STATIC_PICTURE = 1,
    BLOCK_STATIC_SPRITE = 2,
    BLOCK_SWITCH = 3,
    BLOCK_TSWITCH = 4,
    BLOCK_HANDLE = 5,
    BLOCK_COLLISION_FORM = 6,
    BLOCK_LINK = 7,
    BLOCK_SOUND_OBJ = 8,
    BLOCK_SPRING = 9,
    BLOCK_TELEPORTER = 10,
    BLOCK_BALL_GENERATOR = 11,
    BLOCK_TEXT_MESSAGE = 12,
    BLOCK_DUMMY = 13,
    BLOCK_TRAVELING_STRING = 14,
    BLOCK_LOCKER = 15,
    BLOCK_ELEMENT_LAST = 15,
    BLOCK_SCREEN_RECT = 66,
    BLOCK_TABLE_SETTINGS = 67,
};

// Block names and ids in their fixed order, ended by an empty row. Names
// match with case.
extern const SubBlockDef kBlockKeywords[19];

// The classes live above table/: their folders register a constructor per
// keyword id at start-up. Elements that resolve indices get the table.
using ElementConstructor = std::unique_ptr<TableObject> (*)(Table& table);

void RegisterElementClass(int keywordId, ElementConstructor constructor);
bool IsElementClassRegistered(int keywordId);

// A fresh element of the class registered for the id, or nullptr when the
// id names no registered class.
std::unique_ptr<TableObject> CreateElement(int keywordId, Table& table);

// Called at the end of every table load, before the table counts as loaded:
// the links validate themselves here (they live above table/).
using TableLoadedHook = void (*)(Table& table);
void RegisterTableLoadedHook(TableLoadedHook hook);
void RunTableLoadedHook(Table& table);
