#pragma once

// The startup films, played before anything else is set up, each in a window
// of its own and to its end. A key press or a click skips the film; a missing
// file or one no decoder reads is passed over without a word. Without a real
// display (headless runs) nothing is played.
void PlayLogoFilms(bool safemode);

// Plays one film; returns the number of frames shown (0 when it was passed over).
int PlayLogoFilm(const char* fileName, bool fullscreen);
