#pragma once

#include <cstdint>
#include <vector>

#include "physics/vec2.h"
#include "tools/zarnik-sim/sim_report.h"

class InputManager;
class GameScreenLink;
class Table;

// The seeded search for ways out of a table: balls launched from random free
// points at random speeds up to the speed cap, each followed until it drains,
// is held, leaves the outline or comes to rest.
struct Shot {
    Vec2 from;
    Vec2 speed;
};

struct ShotSearchOptions {
    int shots = 1000;
    std::uint32_t seed = 1;
    float dt = 0.01f;
    TableOutline outline = TableOutline::Default();
    float restRadius = RestTracker::kDefaultRadius;
    float restSeconds = RestTracker::kDefaultSeconds;
    // Most shots are short; every `longEvery`th runs long enough to see a
    // ball come to rest.
    int shortFrames = 160;
    int longFrames = 700;
    int longEvery = 20;
    // Cases kept for the caller, escapes first.
    std::size_t maxCases = 10;
};

enum ShotOutcome { SHOT_RUNNING, SHOT_DRAINED, SHOT_HELD, SHOT_ESCAPED, SHOT_STUCK };

struct ShotCase {
    ShotOutcome outcome = SHOT_RUNNING;
    int shot = 0;
    Shot launch;
    Vec2 at;        // where it left or rests
    int frame = 0;  // frames into the shot
};

struct ShotSearchResult {
    int shots = 0;
    int drained = 0, held = 0, escapes = 0, stuck = 0;
    std::vector<ShotCase> cases;
    bool noRoom = false;  // no free point to start from was found
};

// Puts the table's first ball at the shot's point and speed, in play.
void PlaceShot(Table& table, const Shot& shot);

// What became of a placed ball after one more frame; *rest follows it.
ShotOutcome JudgeShot(const Table& table, const TableOutline& outline, RestTracker* rest, float dt);

// The search, on a loaded table past its light show (the table's game is
// made endless). Deterministic for a table, options and seed.
ShotSearchResult RandomShotSearch(Table& table, InputManager& input, GameScreenLink* screen,
                                  const ShotSearchOptions& options);
