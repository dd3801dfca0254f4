#pragma once

#include "table/table.h"
#include "table/table_object.h"

class Picture;

// The game's random numbers, 0 to 32767 (table/game_random.h): the light and
// blink odds of table scripts are stated on that range.
int GameRand();

// Seconds of the blink rule: (2 * (r / 32767 - 0.5)) * 0.6 + 0.4, so -0.2 to
// 1.0, with a fresh rand value r; blink_value takes another.
void DrawBlink(TableObject* object);

// The tres countdown the lights and sprites share: the mode ends when its
// time runs out, the blink values are redrawn when their timer does.
void StepTresMode(TableObject* object, float dt);

// Whether the element shows in tres mode (an odd blink value).
inline bool BlinkShows(const TableObject& object) {
    return (object.blink_value & 1) != 0;
}

// XOR outline of a w x h rectangle at (x, y) on an editor surface.
void DrawEditorOutline(Picture* surface, int x, int y, int w, int h);
// XOR line in white on an editor surface.
void DrawEditorLine(Picture* surface, int x0, int y0, int x1, int y1);
