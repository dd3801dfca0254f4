#pragma once

#include <memory>

#include "script/fixed_string.h"
#include "script/flist.h"

class Picture;
class FrameAnimation;
struct ScriptBlock;

// One mouse pointer image, drawn with its offset (dx, dy) from the pointer.
class Cursor {
public:
    virtual ~Cursor();
    // Reads the common keys ("name", "dx", "dy") and then its own.
    virtual bool Read(const ScriptBlock& block);
    virtual void Draw(Picture* target, int x, int y) = 0;
    virtual void Update(float dt);

    FixedString<32> name = "Unnamed";
    int dx = 0, dy = 0;
};

// Block "simple": key "picture".
class SimpleCursor : public Cursor {
public:
    bool Read(const ScriptBlock& block) override;
    void Draw(Picture* target, int x, int y) override;
    std::unique_ptr<Picture> image;
};

// Block "animated": keys "animFileStart", "animFileEnd", "animFileCount";
// loops at 0.03 s a frame.
class AnimatedCursor : public Cursor {
public:
    ~AnimatedCursor() override;
    bool Read(const ScriptBlock& block) override;
    void Draw(Picture* target, int x, int y) override;
    void Update(float dt) override;
    std::unique_ptr<FrameAnimation> image;
};

// The game's own pointer, drawn last into the back surface.
//   GlobalCursorSet().Read(pointersSection);  Select("ACTM");  visible = true;
//   each frame: Update(dt, mouseX, mouseY); ...; Draw(display.BackPicture());
class CursorSet {
public:
    ~CursorSet();
    // Replaces the set with the section's "simple" and "animated" blocks. A
    // cursor whose read failed is kept (it draws nothing). False when the
    // section gave no cursor that read correctly.
    bool Read(const ScriptBlock& section);
    // Case-insensitive; no match leaves no cursor shown.
    bool Select(const char* cursorName);
    void Update(float dt, int pointerX, int pointerY);
    void Draw(Picture* target);
    void Clear();

    flist<Cursor*> cursors;  // owned
    int x = 0, y = 0;
    int current = -1;
    bool visible = false;
};
CursorSet& GlobalCursorSet();
