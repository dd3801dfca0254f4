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
}
SYSTEM_FONT = ("data\\fonts\\default.bmp", "DejaVuSansMono.ttf", 10, 16, 13,
               (255, 255, 255), (210, 215, 225))


def fnt_font(face, size, height, top, bottom, picture_name, spacing=1, atlas_width=512):
    """A proportional font: (".fnt" bytes naming picture_name, the picture).
    Each glyph is as wide as its advance plus `spacing`, all `height` tall;
    glyphs sit in rows of the picture with a free column between them, and
    glyph 0 starts at the top so its bottom is the line height."""
    import struct
    fnt = ImageFont.truetype(FONT_DIR + face, size * SS)
    ascent, descent = fnt.getmetrics()
    baseline = (height * SS - (ascent + descent)) // 2 + ascent
    rects = [(0, 0, 0, 0)] * 256
    places = []
    x, y = 1, 0
    for code in range(256):
        ch = char_of(code)
        if ch is None and code != 0:
            continue
        w = 1 if code == 0 else max(1, int(round(fnt.getlength(ch) / SS))) + spacing
        if x + w + 1 > atlas_width:
            x, y = 1, y + height
        rects[code] = (x, y, x + w, y + height)
        if ch and not ch.isspace():
            places.append((ch, x, y))
        x += w + 1
    rows = y + height
    img = Image.new("L", (atlas_width * SS, rows * SS), 0)
    draw = ImageDraw.Draw(img)
    for ch, gx, gy in places:
        draw.text((gx * SS, gy * SS + baseline), ch, font=fnt, fill=255, anchor="ls")
    a = np.asarray(img, dtype=np.float32) / 255.0
    cover = a.reshape(rows, SS, atlas_width, SS).mean(axis=(1, 3))
    inside = np.zeros(cover.shape, bool)
    for l, t, r, b in rects:
        inside[t:b, l:r] = r > l
    glyph = (cover >= 0.42) & inside
    t = ((np.arange(rows) % height) / max(1, height - 1))[:, None, None]
    colour = np.asarray(top, np.float32) * (1 - t) + np.asarray(bottom, np.float32) * t
    rgb = np.broadcast_to(colour, (rows, atlas_width, 3)) * (0.75 + 0.25 * np.clip(cover * 1.5, 0, 1))[..., None]
    out = visible(np.clip(np.round(rgb), 0, 255).astype(np.uint8), glyph)
    grown = glyph.copy()
    grown[1:, :] |= glyph[:-1, :]
    grown[:-1, :] |= glyph[1:, :]
    grown[:, 1:] |= glyph[:, :-1]
    grown[:, :-1] |= glyph[:, 1:]
    out[grown & ~glyph & inside] = 1  # a dark rim, kept inside each glyph's box
    name = picture_name.encode("ascii")
    assert len(name) < 32
    data = name + b"\0" * (32 - len(name))
    data += b"".join(struct.pack("<iiii", *r) for r in rects)
    return data, out, rects


# Proportional fonts of the menus' hint line and the game screen:
# name: (".fnt" file, picture file, face, size, height, top colour, bottom colour)
FNT_FONTS = {
    "hint": ("data\\fonts\\hint.fnt", "hint.bmp", "DejaVuSansCondensed-Bold.ttf", 13, 18,
             (255, 255, 255), (200, 215, 240)),
    "panel": ("data\\fonts\\panel.fnt", "panel.bmp", "DejaVuSansCondensed-Bold.ttf", 18, 24,
              (255, 250, 220), (255, 170, 60)),
}


_widths = {}


def fnt_widths(name):
    """Pixel widths of the 256 glyphs of a proportional font."""
    if name not in _widths:
        path, picture, face, size, height, top, bottom = FNT_FONTS[name]
        _, _, rects = fnt_font(face, size, height, top, bottom, picture)
        _widths[name] = [r - l for l, t, r, b in rects]
    return _widths[name]


def text_width(name, text):
    widths = fnt_widths(name)
    return sum(widths[b] for b in text.encode("cp1251"))
