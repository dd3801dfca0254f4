#pragma once

#include <string>
#include <string_view>

class Table;

// A running table's script changed on disk (hot reload, developer mode):
// loads the new text in its place and keeps the game going. Kept: the score,
// the current ball, the balls in play, the tilt, the shake, the light show's
// time left, game over; a ball whose element is still there (same name, the
// same one of its name) keeps its place, speed and state; the extra balls of
// a multi-ball are made again from the new table's first ball. The welcome
// message is not shown again.
//
// The text is first loaded on a table of its own: when that load reports a
// message (the loader's own) or gives no element, the running table stays
// as it was and *message holds the loader's words. The caller keeps scores
// away from the table meanwhile (a reload is no game's end).
bool ReloadTableKeepingPlay(Table& table, std::string_view text, std::string* message);
