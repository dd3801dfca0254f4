#pragma once

#include <cstdint>

// The game's random numbers, 0 to 32767: the light show, the blink timers,
// the welcome line and the tilt's jolts draw from it. One stream for the
// whole game, seeded when a table is made and again for each new game, so a
// game is repeated exactly from its seed. The state can be set aside and put
// back, so a table played beside the player's (attract mode) does not move
// the player's stream.
struct GameRandomState {
    std::uint32_t next = 1;
};

void SeedGameRandom(std::uint32_t seed);
int GameRandom();

GameRandomState GetGameRandomState();
void SetGameRandomState(const GameRandomState& state);

// While it lives, the stream is `*own`; the one it replaced comes back, and
// `*own` keeps where it got to, when it goes.
class GameRandomSwap {
public:
    explicit GameRandomSwap(GameRandomState* own);
    ~GameRandomSwap();
    GameRandomSwap(const GameRandomSwap&) = delete;
    GameRandomSwap& operator=(const GameRandomSwap&) = delete;

private:
    GameRandomState* own_;
    GameRandomState saved_;
};
