"""Grid fonts: 16 x 16 cells of equal size, cell c holding the byte c of the
Windows-1251 code page."""
import numpy as np
from PIL import Image, ImageDraw, ImageFont

from formats import visible

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SS = 4


def char_of(code):
    """The character byte `code` stands for, or None where the page has none."""
    if code < 32 or code == 127:
        return None
    try:
        return bytes([code]).decode("cp1251")
    except UnicodeDecodeError:
        return None


def grid_font(face, cell_w, cell_h, size, top, bottom, outline=True):
    """A 16 x 16 grid of glyphs with a vertical colour gradient from top to
    bottom and a near-black outline; the cell background is black (transparent)."""
    W, H = cell_w * 16 * SS, cell_h * 16 * SS
    img = Image.new("L", (W, H), 0)
    fnt = ImageFont.truetype(FONT_DIR + face, size * SS)
    room = (cell_w - 2) * SS  # a free column each side keeps neighbours apart
    for code in range(256):
        ch = char_of(code)
        if ch is None or ch.isspace():
            continue
        left, top_, right, bottom_ = fnt.getbbox(ch, anchor="mm")
        w = max(1, right - left)
        glyph = Image.new("L", (w + 2 * SS, cell_h * SS), 0)
        ImageDraw.Draw(glyph).text((glyph.width / 2, cell_h * SS / 2), ch, font=fnt, fill=255, anchor="mm")
        if glyph.width > room:  # squeeze wide glyphs into the cell
            glyph = glyph.resize((room, glyph.height), Image.LANCZOS)
        x = (code % 16) * cell_w * SS + (cell_w * SS - glyph.width) // 2
        img.paste(glyph, (x, (code // 16) * cell_h * SS))
    a = np.asarray(img, dtype=np.float32) / 255.0
    h, w = a.shape[0] // SS, a.shape[1] // SS
    cover = a.reshape(h, SS, w, SS).mean(axis=(1, 3))
    ys, xs = np.mgrid[0:h, 0:w]
    inside_cell = (ys % cell_h != 0) & (xs % cell_w != 0)
    glyph = (cover >= 0.42) & inside_cell
    rows = (np.arange(h) % cell_h) / max(1, cell_h - 1)
    t = rows[:, None, None]
    colour = np.asarray(top, np.float32) * (1 - t) + np.asarray(bottom, np.float32) * t
    rgb = np.broadcast_to(colour, (h, w, 3)) * (0.75 + 0.25 * np.clip(cover * 1.5, 0, 1))[..., None]
    rgb = np.clip(np.round(rgb), 0, 255).astype(np.uint8)
    out = visible(rgb, glyph)
    if outline:
        # Grow the glyphs by a pixel, staying inside each cell, for a dark rim.
        grown = glyph.copy()
        grown[1:, :] |= glyph[:-1, :]
        grown[:-1, :] |= glyph[1:, :]
        grown[:, 1:] |= glyph[:, :-1]
        grown[:, :-1] |= glyph[:, 1:]
        rim = grown & ~glyph & inside_cell
        out[rim] = 1
    return out


FONTS = {
    # name: (file, face, cell w, cell h, size, top colour, bottom colour)
    "msgfnt": ("data\\fonts\\msgfnt.bmp", "DejaVuSansCondensed-Bold.ttf", 12, 22, 16,
               (255, 240, 150), (255, 140, 20)),
    "bigfnt": ("data\\fonts\\bigfnt.bmp", "DejaVuSans-Bold.ttf", 26, 36, 30,
               (255, 120, 120), (200, 20, 40)),
    "scorefnt": ("data\\fonts\\scorefnt.bmp", "DejaVuSansMono-Bold.ttf", 16, 24, 20,
                 (180, 255, 255), (40, 160, 255)),
    "smallfnt": ("data\\fonts\\smallfnt.bmp", "DejaVuSans.ttf", 9, 14, 11,
                 (235, 235, 235), (190, 190, 200)),
    # The menus' text fields.
    "menufnt": ("data\\fonts\\menufnt.bmp", "DejaVuSansMono-Bold.ttf", 12, 22, 16,
                (255, 255, 255), (150, 215, 255)),
    # The game screen beside the table: score, player, ball and messages.
    "panelfnt": ("data\\fonts\\panelfnt.bmp", "DejaVuSansMono-Bold.ttf", 13, 24, 18,
                 (255, 250, 220), (255, 170, 60)),
}
SYSTEM_FONT = ("data\\fonts\\default.bmp", "DejaVuSansMono.ttf", 10, 16, 13,
               (255, 255, 255), (210, 215, 225))
