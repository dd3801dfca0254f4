#include "physics/animated_part.h"

#include "physics/collision_form.h"
#include "render/display.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "table/table.h"

void DrawAnimatedPart(const Table& table, FrameAnimation* animation, float atX, float atY,
                      Picture* target, int offsetX, int offsetY) {
    if (animation == nullptr)
        return;
    animation->Draw(target, table.ScreenX(atX) + offsetX, table.ScreenY(atY) + offsetY);
}

void DrawAnimatedPartEditor(const Table& table, FrameAnimation* animation, float atX, float atY,
                            CollisionForm* form, Picture* surface) {
    if (animation == nullptr)
        return;
    const Picture* frame = animation->Frame(animation->frame);
    if (frame != nullptr && CurrentDisplay() != nullptr) {
        const int x = table.ScreenX(atX), y = table.ScreenY(atY);
        CurrentDisplay()->DrawOutline(surface, x, y, x + frame->Width(), y + frame->Height());
    }
    if (form != nullptr)
        form->DrawEditor(surface);
}

bool AnimatedPartAnchor(const Table& table, FrameAnimation* animation, float atX, float atY, int* x,
                        int* y) {
    if (animation == nullptr)
        return false;
    const Picture* frame = animation->Frame(animation->frame);
    *x = table.ScreenX(atX) + (frame ? frame->Width() / 2 : 0);
    *y = table.ScreenY(atY) + (frame ? frame->Height() / 2 : 0);
    return true;
}
