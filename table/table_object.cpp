#include "table/table_object.h"

const ElementCodeName kElementFourCC[] = {
    {"????", ELEMENT_UNKNOWN},       {"PICT", ELEMENT_STATIC_PICTURE},
    {"ANIM", ELEMENT_STATIC_SPRITE}, {"HNDL", ELEMENT_HANDLE},
    {"TELE", ELEMENT_TELEPORTER},    {"BGEN", ELEMENT_BALL_GENERATOR},
    {"SPRN", ELEMENT_SPRING},        {"BALL", ELEMENT_BALL},
    {"PIN1", ELEMENT_SWITCH},        {"PIN2", ELEMENT_TSWITCH},
    {"LOCK", ELEMENT_LOCKER},        {"FORM", ELEMENT_FORM},
    {"LINK", ELEMENT_LINK},          {"SND1", ELEMENT_SOUND},
    {"TEXT", ELEMENT_TEXT_MESSAGE},  {"TSTR", ELEMENT_TRAVELING_STRING},
    {"----", ELEMENT_DUMMY},         {nullptr, 0},
};

// The editor's creation list reads in this order; "Srping" is how the list
// has always spelled it (the block name is Spring).
const ElementCodeName kElementDisplayNames[] = {
    {"Static picture", ELEMENT_STATIC_PICTURE},
    {"Sound", ELEMENT_SOUND},
    {"Text Message", ELEMENT_TEXT_MESSAGE},
    {"Traveling String", ELEMENT_TRAVELING_STRING},
    {"Link", ELEMENT_LINK},
    {"Static sprite", ELEMENT_STATIC_SPRITE},
    {"Switch", ELEMENT_SWITCH},
    {"Switch #2", ELEMENT_TSWITCH},
    {"Locker", ELEMENT_LOCKER},
    {"Ball", ELEMENT_BALL},
    {"Handle", ELEMENT_HANDLE},
    {"Dummy object", ELEMENT_DUMMY},
    {"Teleporter", ELEMENT_TELEPORTER},
    {"Ball generator", ELEMENT_BALL_GENERATOR},
    {"Srping", ELEMENT_SPRING},
    {"Collision Form", ELEMENT_FORM},
    {nullptr, 0},
};

const char* ElementFourCC(std::int32_t type) {
    for (const ElementCodeName* row = kElementFourCC; row->text; ++row) {
        if (row->code == type)
            return row->text;
    }
    return "????";
}

const char* ElementDisplayName(std::int32_t type) {
    for (const ElementCodeName* row = kElementDisplayNames; row->text; ++row) {
        if (row->code == type)
            return row->text;
    }
    return nullptr;
}
