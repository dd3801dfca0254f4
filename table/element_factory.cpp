#include "table/element_factory.h"

#include "table/table_object.h"

const SubBlockDef kBlockKeywords[19] = {
    {"MainBall", BLOCK_MAIN_BALL},
    {"StaticPicture", BLOCK_STATIC_PICTURE},
    {"StaticSprite", BLOCK_STATIC_SPRITE},
    {"Switch", BLOCK_SWITCH},
    {"TSwitch", BLOCK_TSWITCH},
    {"Handle", BLOCK_HANDLE},
    {"CollisionForm", BLOCK_COLLISION_FORM},
    {"Link", BLOCK_LINK},
    {"SoundObj", BLOCK_SOUND_OBJ},
    {"Spring", BLOCK_SPRING},
    {"Teleporter", BLOCK_TELEPORTER},
    {"BallGenerator", BLOCK_BALL_GENERATOR},
    {"TextMessage", BLOCK_TEXT_MESSAGE},
    {"Dummy", BLOCK_DUMMY},
    {"TravelingString", BLOCK_TRAVELING_STRING},
    {"Locker", BLOCK_LOCKER},
    {"ScreenRect", BLOCK_SCREEN_RECT},
    {"TableSettings", BLOCK_TABLE_SETTINGS},
    {nullptr, 0},
};

namespace {

ElementConstructor g_constructors[BLOCK_ELEMENT_LAST + 1] = {};
TableLoadedHook g_loadedHook = nullptr;

bool IsElementId(int id) {
    return id >= 0 && id <= BLOCK_ELEMENT_LAST;
}

}  // namespace

void RegisterElementClass(int keywordId, ElementConstructor constructor) {
    if (IsElementId(keywordId))
        g_constructors[keywordId] = constructor;
}

bool IsElementClassRegistered(int keywordId) {
    return IsElementId(keywordId) && g_constructors[keywordId] != nullptr;
}

std::unique_ptr<TableObject> CreateElement(int keywordId, Table& table) {
    if (!IsElementClassRegistered(keywordId))
        return nullptr;
    return g_constructors[keywordId](table);
}

void RegisterTableLoadedHook(TableLoadedHook hook) {
    g_loadedHook = hook;
}

void RunTableLoadedHook(Table& table) {
    if (g_loadedHook != nullptr)
        g_loadedHook(table);
}
