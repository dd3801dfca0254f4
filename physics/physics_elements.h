#pragma once

// Registers MainBall, CollisionForm, Handle and Spring with the table's
// element factory. Safe to call more than once.
void RegisterPhysicsElements();
