#pragma once

#include <memory>

#include "audio/sound_system.h"
#include "script/fixed_string.h"
#include "script/flist.h"

struct ScriptBlock;

// A named place for one sound of a menu control ("up", "down").
struct SoundSlot {
    FixedString<32> name;
    FixedString<260> fileName;
    std::unique_ptr<WaveSound> sound;
};

// A control's sound slots, in the order added; its script block fills them
// from a `SoundPack { up = "a.wav"; ... };` statement.
class SoundPack {
public:
    ~SoundPack() { Destroy(); }

    // Index of the new slot; its sound is none.
    int AddSlot(const char* slotName);
    // Index of the slot of that name, or -1.
    int FindSlot(const char* slotName) const;

    // Reads the first `SoundPack { ... }` statement of the block.
    void Read(const ScriptBlock& block);
    // Appends the pack as a menu control saves it: `SoundPack {`, the lines
    // `up = "...";` and `down = "...";` in that order (a slot that is empty
    // or missing writes ""), then "};". Inner lines are indented by `indent`
    // plus a tab. Those two are the only slots a saved pack has.
    void Write(std::string* out, const char* indent) const;

    // Plays the slot's sound once; an empty slot or bad index does nothing.
    void Play(int slot) const;
    void Destroy();

    flist<SoundSlot> slots;
};
