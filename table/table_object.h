#pragma once

#include <cstdint>
#include <string>

#include "script/fixed_string.h"
#include "script/script_block.h"

class Picture;

// A rectangle of screen pixels, right and bottom exclusive.
struct PixelArea {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Element type codes, as stored in TableObject::type.
enum ElementType : std::int32_t {
    ELEMENT_UNKNOWN = 0,
    ELEMENT_STATIC_PICTURE = 1,
    ELEMENT_STATIC_SPRITE = 2,
    ELEMENT_SWITCH = 3,
    ELEMENT_TSWITCH = 4,
    ELEMENT_BALL = 5,
    ELEMENT_HANDLE = 6,
    ELEMENT_FORM = 7,
    ELEMENT_LINK = 8,
    ELEMENT_SOUND = 9,
    ELEMENT_SPRING = 10,
    ELEMENT_TELEPORTER = 11,
    ELEMENT_BALL_GENERATOR = 12,
    ELEMENT_TEXT_MESSAGE = 13,
    ELEMENT_DUMMY = 14,
    ELEMENT_TRAVELING_STRING = 15,
    ELEMENT_LOCKER = 16,
};

// Base of every playfield element. The table owns its elements, steps and
// draws them through these operations and writes them back as script text.
class TableObject {
public:
    static constexpr std::uint32_t kEnabled = 1;

    TableObject() = default;
    TableObject(const TableObject&) = delete;
    TableObject& operator=(const TableObject&) = delete;
    virtual ~TableObject() = default;

    virtual void Reset() {}
    virtual void Activate() {}
    virtual void Step(float /*dt*/) {}
    // offsetX/offsetY: the table's shake offset in pixels.
    virtual void Draw(Picture* /*target*/, int /*offsetX*/, int /*offsetY*/) {}
    virtual void DrawEditor(Picture* /*surface*/) {}
    // The rectangle Draw at this shake offset paints with no pixel left out,
    // if it has one (an opaque picture); what it covers needs no clearing.
    virtual bool CoveredArea(int /*offsetX*/, int /*offsetY*/, PixelArea* /*area*/) const {
        return false;
    }
    virtual void MoveBy(float /*dx*/, float /*dy*/) {}
    virtual bool GetAnchor(int* /*x*/, int* /*y*/) { return false; }
    virtual void AddVertex() {}
    virtual void RemoveVertex() {}
    virtual void ToggleHandle(int /*step*/) {}
    virtual bool CanEdit() { return true; }
    virtual bool Load(const ScriptBlock& block) = 0;
    virtual void Clear() = 0;
    // Appends the element's script text (block name to closing "};;").
    virtual void Save(std::string* /*out*/) {}
    virtual void SetHighlight(bool /*on*/) {}

    bool Enabled() const { return (flags & kEnabled) != 0; }
    void SetEnabled(bool on) { flags = on ? (flags | kEnabled) : (flags & ~kEnabled); }

    FixedString<32> elementName;
    std::int32_t type = ELEMENT_UNKNOWN;
    std::uint32_t flags = 0;
    std::uint8_t event_flag = 0;
    std::uint8_t menu_request = 0;
    FixedString<34> name;
    TableObject* contact = nullptr;
    TableObject* previousContact = nullptr;
    std::int32_t ball_index = -1;
    std::uint8_t tres_mode = 0;
    float tres_time_left = 0.0f;
    float blink_timer = 0.2f;
    std::int32_t blink_value = 0;
};

// One row of the code tables; each table ends with a row whose text is null.
struct ElementCodeName {
    const char* text;
    std::int32_t code;
};

// Four-character codes, in their lookup order.
extern const ElementCodeName kElementFourCC[];
// Display names, in the order the editor lists element kinds.
extern const ElementCodeName kElementDisplayNames[];

// "????" for a code that is not listed.
const char* ElementFourCC(std::int32_t type);
// nullptr for a code that is not listed.
const char* ElementDisplayName(std::int32_t type);
