#include "audio/sound_pack.h"

#include <string>

#include "script/script_block.h"
#include "script/script_writer.h"

int SoundPack::AddSlot(const char* slotName) {
    SoundSlot slot;
    slot.name = slotName;
    slots.Append(std::move(slot));
    return slots.Count - 1;
}

int SoundPack::FindSlot(const char* slotName) const {
    for (int i = 0; i < slots.Count; ++i) {
        if (slots[i].name == slotName)
            return i;
    }
    return -1;
}

void SoundPack::Read(const ScriptBlock& block) {
    static constexpr SubBlockDef kPack[] = {{"SoundPack", 0}};
    bool found = false;
    ForEachSubBlock(block, kPack, [&](int, const ScriptBlock& sub, int) {
        if (found)
            return;
        found = true;
        ForEachStatement(sub, [&](int i) {
            if (sub.Type(i) != TOK_WORD || !sub.IsPunct(i + 1, '=') ||
                sub.Type(i + 2) != TOK_WORD) {
                return;
            }
            std::string key(sub.Text(i));
            int index = FindSlot(key.c_str());
            if (index < 0)
                return;
            SoundSlot& slot = slots[index];
            slot.fileName = sub.Text(i + 2);
            // `down = "";` (as a control with no sound writes itself back)
            // is an empty slot, not a file that can't be found.
            if (slot.fileName.empty()) {
                SoundSystem::Destroy(slot.sound.get());
                slot.sound.reset();
                return;
            }
            slot.sound = GetSoundSystem().LoadSound(slot.fileName.c_str());
        });
    });
}

void SoundPack::Write(std::string* out, const char* indent) const {
    auto file = [this](const char* slotName) {
        const int index = FindSlot(slotName);
        return index < 0 ? "" : slots[index].fileName.c_str();
    };
    AppendFormat(out, "%sSoundPack {\r\n%s\tup = \"%s\";\r\n%s\tdown = \"%s\";\r\n%s};\r\n", indent,
                 indent, file("up"), indent, file("down"), indent);
}

void SoundPack::Play(int slot) const {
    if (slot < 0 || slot >= slots.Count)
        return;
    SoundSystem::Play(slots[slot].sound.get(), false);
}

void SoundPack::Destroy() {
    for (SoundSlot& slot : slots)
        SoundSystem::Destroy(slot.sound.get());
}
