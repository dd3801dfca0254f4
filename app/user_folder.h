#pragma once

#include <string>

// Where the game's files live on an installed system. The program's folder
// holds data.pak and the loose data; an installed game keeps them in
// PREFIX/share/zarnik beside PREFIX/bin/zarnik. When that folder can't be
// written, the player's own files (settings, scores, replays, the log) go to
// the user data folder instead.

// The folder with the game's data for a program in `programFolder`: the
// folder itself when data.pak or data/ is there, else ../share/zarnik when
// that has them, else the folder itself.
std::string DataFolderFor(const std::string& programFolder);

// "$XDG_DATA_HOME/zarnik", else "$HOME/.local/share/zarnik"; an empty or
// relative XDG_DATA_HOME is ignored, as the XDG rules say. "" without either.
std::string UserDataFolderFor(const char* xdgDataHome, const char* home);

// True when the game can write its files in `folder` (and in its data/).
bool FolderWritable(const std::string& folder);

// Called in the data folder at start-up: when it isn't writable, makes the
// user data folder (and its data/) and sends the player's files there.
// Returns the folder in use for them ("" for the working folder).
std::string ChooseUserDataFolder();
