#include "elements/sound_obj.h"

#include "audio/sound_system.h"
#include "script/script_block.h"
#include "script/script_writer.h"

SoundObj::SoundObj(Table& /*table*/) {
    type = ELEMENT_SOUND;
}

SoundObj::~SoundObj() {
    SoundObj::Clear();
}

bool SoundObj::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block, {KeyDef::Word("filename", &filename)});
    sound_ = GetSoundSystem().LoadSound(filename.c_str());
    SetEnabled(true);
    return true;
}

void SoundObj::Clear() {
    if (sound_) {
        SoundSystem::Stop(sound_.get());
        SoundSystem::Destroy(sound_.get());
        sound_.reset();
    }
}

void SoundObj::Save(std::string* out) {
    AppendFormat(out, "SoundObj {\r\n filename = \"%s\";\r\n};;\r\n", filename.c_str());
}

void SoundObj::Activate() {
    // From the start again: one sound object never sounds twice at once.
    SoundSystem::Stop(sound_.get());
    SoundSystem::Play(sound_.get(), false);
}

Dummy::Dummy(Table& /*table*/) {
    type = ELEMENT_DUMMY;
}

bool Dummy::Load(const ScriptBlock& /*block*/) {
    Clear();
    return true;
}

void Dummy::Save(std::string* out) {
    out->append("Dummy {\r\n ;;\r\n};;\r\n");
}
