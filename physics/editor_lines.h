#pragma once

#include <cstdint>

class Picture;

// Solid one-pixel lines in the editor view (0xRRGGBB); points off the
// surface are skipped.
void DrawSolidLine(Picture* target, int x0, int y0, int x1, int y1, std::uint32_t rgb);

// Cuts a segment to the part that can touch a w x h surface, so a line
// between far-off points (a script may place them anywhere) costs what is
// seen of it, not its whole length. Segments with both ends near the surface
// stay exactly as they are; others may move by a pixel. False when nothing
// of the segment is near the surface.
bool ClipEditorLine(int* x0, int* y0, int* x1, int* y1, int w, int h);
