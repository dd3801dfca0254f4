#pragma once

#include <cstdint>
#include <string>

// The game's options beyond the player's settings file, whose 16 bytes are
// fixed: "data\options.script", a script of one `options` block, so a
// player edits it as any other script of the game.
//
//   options {
//    attract_seconds = 60;
//    sharpscale = -1;
//   };;
struct GameOptions {
    static constexpr const char* kPath = "data\\options.script";
    static constexpr std::int32_t kDefaultAttractSeconds = 60;
    static constexpr std::int32_t kMaxAttractSeconds = 86400;

    // How long the menu waits untouched before it plays recorded games
    // behind it; 0 never does.
    std::int32_t attract_seconds = kDefaultAttractSeconds;
    // The player's scaling of the picture to the window: 1 sharp, 0 smooth,
    // -1 as "data\config.script" says. zarnik --scale decides for one run.
    std::int32_t sharpscale = -1;
};

// The `options` block of a script text over *options. A value out of range
// leaves the option as it was.
void ParseOptionsText(const char* text, int size, GameOptions* options);
// False when there is no such loose file (nothing changed then).
bool ReadOptionsFile(const char* path, GameOptions* options);
// The file's text, comments included.
std::string OptionsText(const GameOptions& options);
// Written whole or not at all.
bool WriteOptionsFile(const char* path, const GameOptions& options);
