#pragma once

#include <cstdint>

class Picture;

// Solid one-pixel lines in the editor view (0xRRGGBB); points off the
// surface are skipped.
void DrawSolidLine(Picture* target, int x0, int y0, int x1, int y1, std::uint32_t rgb);
