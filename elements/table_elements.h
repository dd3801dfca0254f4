#pragma once

// Registers the rule links and the playfield elements (lights, gates,
// generators, teleporters, pictures, sprites, texts, sounds, placeholders)
// with the table's element factory. Safe to call more than once.
void RegisterTableElements();
