#pragma once

#include <cmath>

class CollisionForm;
class FrameAnimation;
class Picture;
class Table;

// What the flipper and the plunger share: a frame sequence drawn with its
// top-left corner at (atX, atY) in table units, and a collision form.

// Draws the current frame in the game view, moved by the shake offset.
void DrawAnimatedPart(const Table& table, FrameAnimation* animation, float atX, float atY,
                      Picture* target, int offsetX, int offsetY);

// Editor view: the frame's outline and the collision form.
void DrawAnimatedPartEditor(const Table& table, FrameAnimation* animation, float atX, float atY,
                            CollisionForm* form, Picture* surface);

// The editor anchor: the centre of the current frame. False without frames.
bool AnimatedPartAnchor(const Table& table, FrameAnimation* animation, float atX, float atY, int* x,
                        int* y);

// A position p moved by delta. A move of no size in floats (no time times
// an endless speed, with a frame time of 0) leaves p where it was.
inline float MovedBy(float p, float delta) {
    const float moved = p + delta;
    return std::isnan(moved) ? p : moved;
}
