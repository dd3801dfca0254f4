#include "render/cursor.h"

#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "script/script_block.h"

Cursor::~Cursor() = default;

bool Cursor::Read(const ScriptBlock& block) {
    ReadKeys(block, {KeyDef::Word("name", &name), KeyDef::Int("dx", &dx), KeyDef::Int("dy", &dy)});
    return true;
}

void Cursor::Update(float) {}

bool SimpleCursor::Read(const ScriptBlock& block) {
    Cursor::Read(block);
    FixedString<260> file;
    ReadKeys(block, {KeyDef::Word("picture", &file)});
    if (file.empty())
        return false;
    image = std::make_unique<Picture>(file.c_str(), PICTURE_SURFACE | PICTURE_TRANSPARENT);
    return true;
}

void SimpleCursor::Draw(Picture* target, int x, int y) {
    if (image)
        image->Draw(target, x + dx, y + dy);
}

AnimatedCursor::~AnimatedCursor() = default;

bool AnimatedCursor::Read(const ScriptBlock& block) {
    Cursor::Read(block);
    FixedString<260> start, end;
    std::int32_t count = 0;
    ReadKeys(block, {KeyDef::Word("animFileStart", &start), KeyDef::Word("animFileEnd", &end),
                     KeyDef::Int("animFileCount", &count)});
    if (start.empty() || end.empty() || count <= 0)
        return false;
    image = std::make_unique<FrameAnimation>(start.c_str(), end.c_str(), count, 0, 0);
    image->frameTime = 0.03f;
    image->forward = true;
    image->loop = true;
    image->remaining = -1;
    image->frame = 0;
    image->playing = true;
    return true;
}

void AnimatedCursor::Draw(Picture* target, int x, int y) {
    if (image)
        image->Draw(target, x + dx, y + dy);
}

void AnimatedCursor::Update(float dt) {
    if (image)
        image->Advance(dt);
}

CursorSet::~CursorSet() {
    Clear();
}

void CursorSet::Clear() {
    for (Cursor* c : cursors)
        delete c;
    cursors.Clear();
    current = -1;
}

bool CursorSet::Read(const ScriptBlock& section) {
    Clear();
    static const SubBlockDef kBlocks[] = {{"simple", 0}, {"animated", 1}};
    int good = 0;
    ForEachSubBlock(section, kBlocks, [&](int id, const ScriptBlock& block, int) {
        Cursor* c = id == 0 ? static_cast<Cursor*>(new SimpleCursor) : new AnimatedCursor;
        if (c->Read(block))
            ++good;
        cursors.Append(c);
    });
    return good > 0;
}

bool CursorSet::Select(const char* cursorName) {
    current = -1;
    if (!cursorName)
        return false;
    for (int i = 0; i < cursors.Count; ++i) {
        const char* a = cursors[i]->name.c_str();
        const char* b = cursorName;
        while (*a && LowerAscii(*a) == LowerAscii(*b)) {
            ++a;
            ++b;
        }
        if (*a == '\0' && *b == '\0') {
            current = i;
            return true;
        }
    }
    return false;
}

void CursorSet::Update(float dt, int pointerX, int pointerY) {
    x = pointerX;
    y = pointerY;
    if (current >= 0 && current < cursors.Count)
        cursors[current]->Update(dt);
}

void CursorSet::Draw(Picture* target) {
    if (visible && current >= 0 && current < cursors.Count)
        cursors[current]->Draw(target, x, y);
}

CursorSet& GlobalCursorSet() {
    GlobalPictureCache();  // outlives the set: animated cursors release frames to it
    static CursorSet set;
    return set;
}
