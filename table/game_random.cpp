#include "table/game_random.h"

namespace {

// One stream, used by the game thread (the editor's thread reaches the table
// only under the frame's lock).
GameRandomState g_state;

}  // namespace

void SeedGameRandom(std::uint32_t seed) {
    g_state.next = seed;
}

int GameRandom() {
    // A 32-bit linear congruential step; bits 16 to 30 are the result (the
    // low bits of such a generator repeat too soon to be used).
    g_state.next = g_state.next * 1103515245u + 12345u;
    return int((g_state.next >> 16) & 0x7FFFu);
}

GameRandomState GetGameRandomState() {
    return g_state;
}

void SetGameRandomState(const GameRandomState& state) {
    g_state = state;
}

GameRandomSwap::GameRandomSwap(GameRandomState* own) : own_(own), saved_(g_state) {
    g_state = *own;
}

GameRandomSwap::~GameRandomSwap() {
    *own_ = g_state;
    g_state = saved_;
}
