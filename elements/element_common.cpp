#include "elements/element_common.h"

#include "physics/editor_lines.h"
#include "platform/surface.h"
#include "render/picture.h"
#include "table/game_random.h"

int GameRand() {
    return GameRandom();
}

void DrawBlink(TableObject* object) {
    const float r = float(GameRand());
    object->blink_timer = (2.0f * (r * 3.0518509e-05f - 0.5f)) * 0.6f + 0.4f;
    object->blink_value = GameRand();
}

void StepTresMode(TableObject* object, float dt) {
    if (!object->tres_mode)
        return;
    object->tres_time_left -= dt;
    object->blink_timer -= dt;
    if (object->tres_time_left <= 0.0f)
        object->tres_mode = 0;
    if (object->blink_timer <= 0.0f)
        DrawBlink(object);
}

void DrawEditorOutline(Picture* surface, int x, int y, int w, int h) {
    if (surface == nullptr || !surface->HasSurface())
        return;
    surface->Surface()->XorOutline(platform::Rect{x, y, x + w, y + h});
}

void DrawEditorLine(Picture* surface, int x0, int y0, int x1, int y1) {
    if (surface == nullptr || !surface->HasSurface())
        return;
    platform::Surface* s = surface->Surface();
    if (ClipEditorLine(&x0, &y0, &x1, &y1, s->Width(), s->Height()))
        s->XorLine(x0, y0, x1, y1);
}
