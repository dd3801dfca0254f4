#pragma once

#include <memory>
#include <string>

#include "script/fixed_string.h"
#include "table/table.h"
#include "table/table_object.h"

class WaveSound;

// A sound effect in the element list: activating it plays the sound once,
// from the start.
class SoundObj : public TableObject {
public:
    explicit SoundObj(Table& table);
    ~SoundObj() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Activate() override;

    const WaveSound* Sound() const { return sound_.get(); }

    FixedString<260> filename;

private:
    std::unique_ptr<WaveSound> sound_;
};

// Holds a place in the element list so that indices stay put when an element
// is taken out of a script. Never enabled.
class Dummy : public TableObject {
public:
    explicit Dummy(Table& table);

    bool Load(const ScriptBlock& block) override;
    void Clear() override {}
    void Save(std::string* out) override;
};
