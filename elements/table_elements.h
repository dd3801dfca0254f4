#pragma once

// Registers the rule links and the playfield elements (lights, gates,
// generators, teleporters, pictures, sprites, texts, sounds, placeholders)
// with the table's element factory, and the check that validates the links
// after every table load. Safe to call more than once.
void RegisterTableElements();
