"""Drawing for flat screen art (menus, panels, films): antialiased shapes and
text painted into float RGB images, each primitive rasterised only over its
own bounding box."""
import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SS = 4  # supersampling of shape and text masks

BOLD = "DejaVuSans-Bold.ttf"
COND = "DejaVuSansCondensed-Bold.ttf"
SANS = "DejaVuSans.ttf"
MONO = "DejaVuSansMono-Bold.ttf"

_fonts = {}


def font(face, px):
    key = (face, px)
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(FONT_DIR + face, px)
    return _fonts[key]


def f32(c):
    return np.asarray(c, dtype=np.float32) / (255.0 if max(c) > 1.0 else 1.0)


def _down(a, k):
    h, w = a.shape[0] // k, a.shape[1] // k
    return a[: h * k, : w * k].reshape(h, k, w, k).mean(axis=(1, 3))


def blur(a, radius):
    if radius <= 0:
        return a
    img = Image.fromarray(np.clip(a * 255.0, 0, 255).astype(np.uint8), "L")
    return np.asarray(img.filter(ImageFilter.GaussianBlur(radius)), dtype=np.float32) / 255.0


class Canvas:
    """An RGB float image (0..1) placed at (ox, oy) of a larger screen; all
    drawing takes screen coordinates."""

    def __init__(self, w, h, ox=0, oy=0, colour=(0, 0, 0)):
        self.a = np.empty((h, w, 3), dtype=np.float32)
        self.a[:] = f32(colour)
        self.ox, self.oy = ox, oy

    @property
    def w(self):
        return self.a.shape[1]

    @property
    def h(self):
        return self.a.shape[0]

    def copy(self):
        c = Canvas(1, 1)
        c.a, c.ox, c.oy = self.a.copy(), self.ox, self.oy
        return c

    def crop(self, x, y, w, h):
        """A copy of the screen rectangle (x, y, w, h)."""
        c = Canvas(1, 1)
        c.a = self.a[y - self.oy: y - self.oy + h, x - self.ox: x - self.ox + w].copy()
        c.ox, c.oy = x, y
        assert c.a.shape[:2] == (h, w), (x, y, w, h)
        return c

    def paste(self, other):
        y, x = other.oy - self.oy, other.ox - self.ox
        self.a[y: y + other.h, x: x + other.w] = other.a

    # -- masks ---------------------------------------------------------------
    def _box(self, x0, y0, x1, y1):
        """The part of the screen box inside the canvas, in canvas pixels."""
        bx0 = max(0, int(np.floor(x0)) - self.ox)
        by0 = max(0, int(np.floor(y0)) - self.oy)
        bx1 = min(self.w, int(np.ceil(x1)) - self.ox)
        by1 = min(self.h, int(np.ceil(y1)) - self.oy)
        return bx0, by0, bx1, by1

    def mask(self, bbox, draw, margin=2):
        """Rasterises draw(ImageDraw, to_pixel) over bbox (screen x0, y0, x1,
        y1) at SS times; returns (canvas box, mask) or None when outside."""
        x0, y0, x1, y1 = bbox
        bx0, by0, bx1, by1 = self._box(x0 - margin, y0 - margin, x1 + margin, y1 + margin)
        if bx1 <= bx0 or by1 <= by0:
            return None
        img = Image.new("L", ((bx1 - bx0) * SS, (by1 - by0) * SS), 0)
        ox, oy = bx0 + self.ox, by0 + self.oy

        def px(x, y):
            return ((x - ox) * SS, (y - oy) * SS)

        draw(ImageDraw.Draw(img), px)
        m = _down(np.asarray(img, dtype=np.float32) / 255.0, SS)
        return (bx0, by0, bx1, by1), m

    def paint(self, box_mask, colour, alpha=1.0):
        """colour: a tuple or an (h, w, 3) array of the box's size."""
        if box_mask is None:
            return
        (bx0, by0, bx1, by1), m = box_mask
        region = self.a[by0:by1, bx0:bx1]
        c = colour if isinstance(colour, np.ndarray) else f32(colour)
        k = (m * alpha)[..., None]
        region += (c - region) * k

    def box_coords(self, box_mask):
        """Screen coordinates (ys, xs) of the pixel centres of a mask's box."""
        (bx0, by0, bx1, by1), _ = box_mask
        ys, xs = np.mgrid[by0:by1, bx0:bx1].astype(np.float32)
        return ys + self.oy + 0.5, xs + self.ox + 0.5

    # -- shapes --------------------------------------------------------------
    def rrect_mask(self, x, y, w, h, r):
        def d(dr, px):
            a, b = px(x, y), px(x + w, y + h)
            dr.rounded_rectangle([a[0], a[1], b[0] - 1, b[1] - 1], radius=r * SS, fill=255)
        return self.mask((x, y, x + w, y + h), d)

    def ellipse_mask(self, cx, cy, rx, ry=None):
        ry = rx if ry is None else ry

        def d(dr, px):
            a, b = px(cx - rx, cy - ry), px(cx + rx, cy + ry)
            dr.ellipse([a[0], a[1], b[0], b[1]], fill=255)
        return self.mask((cx - rx, cy - ry, cx + rx, cy + ry), d)

    def polygon_mask(self, pts):
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]

        def d(dr, px):
            dr.polygon([px(x, y) for x, y in pts], fill=255)
        return self.mask((min(xs), min(ys), max(xs), max(ys)), d)

    def line_mask(self, pts, width):
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]

        def d(dr, px):
            dr.line([px(x, y) for x, y in pts], fill=255, width=max(1, int(width * SS)), joint="curve")
            r = width * SS / 2
            for x, y in (pts[0], pts[-1]):
                cx, cy = px(x, y)
                dr.ellipse([cx - r, cy - r, cx + r, cy + r], fill=255)
        return self.mask((min(xs) - width, min(ys) - width, max(xs) + width, max(ys) + width), d)

    def text_mask(self, text, x, y, face, size, anchor="mm", spacing=0):
        """Text at (x, y) by PIL's anchor; spacing adds pixels between letters."""
        fnt = font(face, size * SS)
        if spacing:
            widths = [fnt.getlength(ch) / SS + spacing for ch in text]
            total = sum(widths) - spacing
            if anchor[0] == "m":
                x -= total / 2
            elif anchor[0] == "r":
                x -= total
            a = None
            for ch, wdt in zip(text, widths):
                m = self.text_mask(ch, x, y, face, size, "l" + anchor[1])
                a = m if a is None else _union(a, m)
                x += wdt
            return a
        l, t, r, b = fnt.getbbox(text, anchor=anchor)
        bbox = (x + l / SS, y + t / SS, x + r / SS, y + b / SS)

        def d(dr, px):
            dr.text(px(x, y), text, font=fnt, fill=255, anchor=anchor)
        return self.mask(bbox, d)

    # -- effects -------------------------------------------------------------
    def glow(self, box_mask, colour, radius, strength=1.0):
        """A soft halo around a mask."""
        if box_mask is None:
            return
        (bx0, by0, bx1, by1), m = box_mask
        pad = int(radius * 2.5) + 1
        big = np.zeros((by1 - by0 + 2 * pad, bx1 - bx0 + 2 * pad), dtype=np.float32)
        big[pad: pad + m.shape[0], pad: pad + m.shape[1]] = m
        g = np.clip(blur(big, radius) * strength, 0, 1)
        # Clip the padded box to the canvas.
        gx0, gy0 = bx0 - pad, by0 - pad
        cx0, cy0 = max(0, gx0), max(0, gy0)
        cx1, cy1 = min(self.w, gx0 + big.shape[1]), min(self.h, gy0 + big.shape[0])
        if cx1 <= cx0 or cy1 <= cy0:
            return
        g = g[cy0 - gy0: cy1 - gy0, cx0 - gx0: cx1 - gx0]
        region = self.a[cy0:cy1, cx0:cx1]
        region += f32(colour) * g[..., None]  # light adds up
        np.clip(region, 0, 1, out=region)

    def vgradient(self, box_mask, top, bottom, y0=None, y1=None):
        """An (h, w, 3) vertical gradient for a mask's box, from y0 to y1."""
        (bx0, by0, bx1, by1), _ = box_mask
        ys = np.arange(by0, by1, dtype=np.float32) + self.oy + 0.5
        y0 = ys[0] if y0 is None else y0
        y1 = ys[-1] if y1 is None else y1
        t = np.clip((ys - y0) / max(1e-6, y1 - y0), 0, 1)[:, None, None]
        g = f32(top) * (1 - t) + f32(bottom) * t
        return np.broadcast_to(g, (by1 - by0, bx1 - bx0, 3)).copy()

    def rgb8(self):
        """Bytes for a picture that must show every pixel: pure black is the
        colour key, so it becomes near-black."""
        out = np.clip(np.round(self.a * 255.0), 0, 255).astype(np.uint8)
        out[out.max(axis=2) == 0] = 1
        return out


def _union(a, b):
    """Union of two masks with different boxes: the result covers both."""
    (ax0, ay0, ax1, ay1), ma = a
    (bx0, by0, bx1, by1), mb = b
    x0, y0, x1, y1 = min(ax0, bx0), min(ay0, by0), max(ax1, bx1), max(ay1, by1)
    m = np.zeros((y1 - y0, x1 - x0), dtype=np.float32)
    m[ay0 - y0: ay1 - y0, ax0 - x0: ax1 - x0] = ma
    sub = m[by0 - y0: by1 - y0, bx0 - x0: bx1 - x0]
    np.maximum(sub, mb, out=sub)
    return (x0, y0, x1, y1), m


def union(*masks):
    out = None
    for m in masks:
        if m is not None:
            out = m if out is None else _union(out, m)
    return out


def ring(outer, inner):
    """outer minus inner, both over the same canvas."""
    if inner is None:
        return outer
    (ox0, oy0, ox1, oy1), mo = outer
    (ix0, iy0, ix1, iy1), mi = inner
    m = mo.copy()
    x0, y0 = max(ox0, ix0), max(oy0, iy0)
    x1, y1 = min(ox1, ix1), min(oy1, iy1)
    if x1 > x0 and y1 > y0:
        sub = m[y0 - oy0: y1 - oy0, x0 - ox0: x1 - ox0]
        sub *= 1 - mi[y0 - iy0: y1 - iy0, x0 - ix0: x1 - ix0]
    return (ox0, oy0, ox1, oy1), m
