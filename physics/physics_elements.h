#pragma once

// Registers MainBall, CollisionForm, Handle and Spring with the table's
// element factory. Safe to call more than once.
void RegisterPhysicsElements();

// Frames a flipper or plunger animation takes at most: a script asking for
// millions would stall the load picture by picture.
inline constexpr int kMaxElementFrames = 4096;
