"""Pictures of the tables, drawn at SS times their size and scaled down. The
parts every table shares are drawn from the kit's geometry; a table's own
look is a Style: its background, its decorations and its colours."""
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

import tablekit as K
from formats import visible
from shapes import capsule, rotate

SS = 3  # supersampling factor
FONT_DIR = "/usr/share/fonts/truetype/dejavu/"


def font(name, size):
    return ImageFont.truetype(FONT_DIR + name, size)


def down(a):
    """Averages SS x SS blocks: (H*SS, W*SS, ...) -> (H, W, ...)."""
    h, w = a.shape[0] // SS, a.shape[1] // SS
    a = a[: h * SS, : w * SS]
    return a.reshape(h, SS, w, SS, *a.shape[2:]).mean(axis=(1, 3))


def poly_mask(shape, polys, scale, offset=(0.0, 0.0)):
    """Float mask of filled polygons given in table units (scale = pixels per unit)."""
    img = Image.new("L", (shape[1], shape[0]), 0)
    d = ImageDraw.Draw(img)
    for p in polys:
        d.polygon([((x - offset[0]) * scale, (y - offset[1]) * scale) for x, y in p], fill=255)
    return np.asarray(img, dtype=np.float32) / 255.0


def blur(a, radius):
    img = Image.fromarray(np.clip(a * 255.0, 0, 255).astype(np.uint8), "L")
    return np.asarray(img.filter(ImageFilter.GaussianBlur(radius)), dtype=np.float32) / 255.0


def bevel(mask, width, light=(-0.6, -0.8)):
    """Lighting term in [-1, 1] for a raised shape: the slope of the blurred mask
    seen from the light's direction."""
    b = blur(mask, width)
    gy, gx = np.gradient(b)
    k = 1.0 / max(1e-6, np.abs(np.stack([gx, gy])).max())
    return np.clip(-(gx * light[0] + gy * light[1]) * k * 1.6, -1.0, 1.0) * mask


def over(dst, colour, alpha):
    """Paints colour (array or tuple, 0..1) over dst with alpha (H, W)."""
    a = alpha.astype(np.float32)[..., None]
    return (dst + (np.asarray(colour, dtype=np.float32) - dst) * a).astype(np.float32)


def shaded(base, light, mask, shine=0.5):
    """A solid's colour: base lit by the bevel term, with a soft highlight."""
    light = light.astype(np.float32)
    c = np.asarray(base, dtype=np.float32)[None, None, :] * (0.75 + 0.45 * light[..., None])
    c += np.float32(shine) * (np.clip(light, 0, 1) ** 3)[..., None]
    return np.clip(c, 0, 1).astype(np.float32)


def text_mask(shape, text, fnt, centre, scale=1.0):
    img = Image.new("L", (shape[1], shape[0]), 0)
    d = ImageDraw.Draw(img)
    d.text(centre, text, font=fnt, fill=255, anchor="mm")
    return np.asarray(img, dtype=np.float32) / 255.0


def to_rgb8(a):
    return np.clip(np.round(a * 255.0), 0, 255).astype(np.uint8)


def sprite(rgb, alpha):
    """A colour-keyed picture: covered pixels keep their colour (never pure
    black), the rest are black."""
    a = down(alpha)
    c = down(rgb * alpha[..., None])
    c = c / np.maximum(a, 1e-6)[..., None]
    return visible(to_rgb8(c), a >= 0.35)


# ---------------------------------------------------------------------------
# The playfield

class Window:
    """A square part of the supersampled playfield around a point, so that
    small items are drawn without touching the whole picture."""

    def __init__(self, img, cx, cy, half):
        n = img.shape[0]
        sc = float(n)
        self.y0, self.y1 = max(0, int((cy - half) * sc)), min(n, int((cy + half) * sc) + 1)
        self.x0, self.x1 = max(0, int((cx - half) * sc)), min(n, int((cx + half) * sc) + 1)
        self.img = img
        yy, xx = np.mgrid[self.y0: self.y1, self.x0: self.x1].astype(np.float32)
        self.xx, self.yy = xx / sc, yy / sc
        self.sc = sc

    def get(self):
        return self.img[self.y0: self.y1, self.x0: self.x1]

    def put(self, a):
        self.img[self.y0: self.y1, self.x0: self.x1] = a

    def mask(self, polys):
        return poly_mask(self.xx.shape, polys, self.sc, (self.x0 / self.sc, self.y0 / self.sc))

    def paint(self, colour, alpha):
        self.put(over(self.get(), colour, alpha))


def f32(c):
    return np.asarray(c, dtype=np.float32)


class Style:
    """How a table looks: background(img, xx, yy, n) paints the field,
    decorate(img, n) adds what lies under the solids; the rest are colours
    (0..1) of the shared parts."""

    def __init__(self, background, decorate=None, wood=(0.23, 0.13, 0.07), cabinet=(0.55, 0.32, 0.18),
                 wall=(0.72, 0.75, 0.82), sling=(0.92, 0.92, 0.95), sling_face=(0.85, 0.15, 0.12),
                 bumper_skirt=(0.85, 0.12, 0.15), bumper_cap=(0.45, 0.08, 0.06), star=(1.0, 0.85, 0.3),
                 ring=(0.9, 0.5, 1.0), stripe=(0.95, 0.75, 0.25), grain=60.0):
        self.background, self.decorate = background, decorate
        self.wood, self.cabinet, self.wall, self.sling, self.sling_face = wood, cabinet, wall, sling, sling_face
        self.bumper_skirt, self.bumper_cap, self.star, self.ring = bumper_skirt, bumper_cap, star, ring
        self.stripe, self.grain = stripe, grain


def glows(img, xx, yy, spots):
    """Soft coloured light: spots = [(cx, cy, r, colour)]."""
    for cx, cy, r, col in spots:
        g = np.exp(-(((xx - cx) ** 2 + (yy - cy) ** 2) / np.float32(r * r)))
        img += g[..., None] * f32(col) * np.float32(0.6)


def title(img, n, text, sub, y, colours=((1.0, 0.55, 0.15), None), size=0.075):
    """The table's name painted on the field, with a glow and a subtitle."""
    sc = float(n)
    w = Window(img, K.MIRROR, y + 0.02, 0.24)
    m = text_mask(w.mask([]).shape, text, font("DejaVuSans-Bold.ttf", int(size * n)),
                  ((K.MIRROR * sc - w.x0), (y * sc - w.y0)))
    glow = blur(m, 0.012 * n)
    w.paint(f32(colours[0]), np.clip(glow * 1.6, 0, 1) * 0.8)
    t = w.yy - y
    grad = colours[1](t) if colours[1] else np.clip(np.stack([np.ones_like(t), 0.85 - 2.5 * t, 0.35 - 2.0 * t], -1), 0, 1)
    w.paint(grad * (0.8 + 0.3 * bevel(m, 4)[..., None]), m)
    if sub:
        sm = text_mask(m.shape, sub, font("DejaVuSans-Bold.ttf", int(0.02 * n)),
                       (K.MIRROR * sc - w.x0, (y + 0.045) * sc - w.y0))
        w.paint(f32((0.75, 0.85, 1.0)), sm * 0.9)


def playfield(T):
    """The whole playfield picture of table module T."""
    n = K.SIZE * SS
    sc = float(n)
    yy, xx = np.mgrid[0:n, 0:n].astype(np.float32) / np.float32(sc)
    st = T.STYLE
    img = np.zeros((n, n, 3), dtype=np.float32)
    st.background(img, xx, yy, n)

    # Inlane and outlane guide stripes, painted on the field.
    for x0 in (K.LEFT_WALL + 0.034, K.mx(K.LEFT_WALL + 0.034)):
        w = Window(img, x0, 0.75, 0.06)
        w.paint(f32(st.stripe), w.mask([capsule([(x0, 0.70), (x0, 0.80)], 0.006)]) * 0.55)

    # Circles around the bumpers.
    for bx, by in T.BUMPERS:
        w = Window(img, bx, by, K.BUMPER_RADIUS + 0.03)
        r = np.hypot(w.xx - bx, w.yy - by)
        w.paint(f32(st.ring), np.clip(1 - np.abs(r - K.BUMPER_RADIUS - 0.02) / 0.004, 0, 1) * 0.7)
    if st.decorate:
        st.decorate(img, n)

    # Unlit lamp inserts and arrow inserts.
    for name, (lx, ly, lr, col) in T.lamp_spots().items():
        if name.startswith("bumper"):
            continue
        w = Window(img, lx, ly, lr + 0.01)
        r = np.hypot(w.xx - lx, w.yy - ly)
        ins = np.clip((lr - r) * sc / 1.5, 0, 1)
        rim = np.clip(1 - np.abs(r - lr) * sc / 2.0, 0, 1)
        w.paint(f32(col) / 255.0 * 0.30 + 0.12 * np.clip(1 - r / lr, 0, 1)[..., None], ins)
        w.paint(f32((0.85, 0.85, 0.9)), rim * 0.8)
    for name, (ax, ay, angle, key) in T.arrow_spots().items():
        w = Window(img, ax, ay, 0.03)
        m = w.mask([arrow_points(ax, ay, angle, 0.028)])
        w.paint(f32((0.30, 0.12, 0.05)), m * 0.85)
        w.paint(f32((0.9, 0.7, 0.4)), np.clip(m - blur(m, 2.0) * 0.9, 0, 1))

    # Holes: dark pits with a metal rim.
    forms = T.forms()
    for f in forms:
        if f.style == "hole":
            hx = sum(p[0] for p in f.points) / len(f.points)
            hy = sum(p[1] for p in f.points) / len(f.points)
            hole_r = K.HOLE_RADIUS + 0.012
            w = Window(img, hx, hy, hole_r + 0.01)
            r = np.hypot(w.xx - hx, w.yy - hy)
            w.paint(f32((0.0, 0.0, 0.0)), np.clip((hole_r - r) * sc / 1.5, 0, 1) * (0.6 + 0.4 * np.clip(1 - r / hole_r, 0, 1)))
            w.paint(f32((0.8, 0.8, 0.85)), np.clip(1 - np.abs(r - hole_r) * sc / 3.0, 0, 1))

    # Rollover buttons on the lane sensors.
    for f in forms:
        if f.style == "sensor":
            (x0, y0), (x1, y1) = f.points[0], f.points[-1]
            cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
            w = Window(img, cx, cy, 0.03)
            m = w.mask([capsule([(cx, cy - 0.012), (cx, cy + 0.012)], 0.008)])
            w.paint(shaded((0.8, 0.8, 0.85), bevel(m, 2), m, 0.6), m)

    # Solids: the area outside the outline, walls, posts, guides and slings.
    walls, slings, faces, bumpers = [], [], [], []
    for f in forms:
        if f.style in ("wall", "post"):
            walls.append(f.points)
        elif f.style == "sling":
            slings.append(f.points)
        elif f.style == "sling face":
            faces.append(capsule(f.points, 0.010))
        elif f.style in ("bumper", "target"):
            bumpers.append(f.points)
    outside = 1.0 - poly_mask((n, n), [T.playfield_polygon()], sc)
    wall = poly_mask((n, n), walls, sc)
    sling = poly_mask((n, n), slings, sc)
    face = poly_mask((n, n), faces, sc)
    allsolid = np.clip(outside + wall + sling + face + poly_mask((n, n), bumpers, sc), 0, 1)
    shadow = np.roll(np.roll(blur(allsolid, 0.006 * n), int(0.007 * n), axis=0), int(0.005 * n), axis=1)
    img *= (1.0 - 0.55 * shadow * (1 - allsolid))[..., None]

    # Cabinet with a chrome lip along the outline.
    grain = np.sin(xx * st.grain + 3 * np.sin(yy * 9))
    wood = np.stack([st.wood[0] + 0.05 * grain, st.wood[1] + 0.03 * grain, st.wood[2] + 0.0 * grain], -1)
    lip = np.clip(outside - np.clip(blur(outside, 0.005 * n) - 0.5, 0, 1) * 2, 0, 1) * outside
    img = over(img, shaded(st.cabinet, bevel(outside, 6), outside, 0.1) * 0.5 + wood * 0.5, outside)
    img = over(img, shaded((0.75, 0.78, 0.85), bevel(lip, 2), lip, 0.6), lip)
    img = over(img, shaded(st.wall, bevel(wall, 3), wall, 0.7), wall)
    for f in forms:
        if f.style in ("sling", "sling face"):
            cx = sum(p[0] for p in f.points) / len(f.points)
            cy = sum(p[1] for p in f.points) / len(f.points)
            w = Window(img, cx, cy, 0.08)
            if f.style == "sling":
                m = w.mask([f.points])
                w.paint(shaded(st.sling, bevel(m, 4), m, 0.5), m)
            else:
                m = w.mask([capsule(f.points, 0.010)])
                w.paint(shaded(st.sling_face, bevel(m, 2), m, 0.6), m)
    # Bumpers: a skirt, a white body and a dark cap; the cap lights on hits.
    for bx, by in T.BUMPERS:
        w = Window(img, bx, by, K.BUMPER_RADIUS + 0.005)
        r = np.hypot(w.xx - bx, w.yy - by)
        m = np.clip((K.BUMPER_RADIUS - r) * sc / 1.5, 0, 1)
        body = np.clip(1 - r / K.BUMPER_RADIUS, 0, 1)
        col = np.where((r < K.BUMPER_RADIUS * 0.78)[..., None], f32((0.95, 0.95, 0.97)), f32(st.bumper_skirt))
        lit = shaded((1.0, 1.0, 1.0), bevel(m, 4), m, 0.6)
        w.paint(col * lit * (0.7 + 0.3 * body[..., None]), m)
        capm = np.clip((K.BUMPER_RADIUS * 0.62 - r) * sc / 1.5, 0, 1)
        w.paint(shaded(st.bumper_cap, bevel(capm, 3), capm, 0.5), capm)
        w.paint(f32(st.star), w.mask([star_points(bx, by, K.BUMPER_RADIUS * 0.45, 5)]) * 0.5)
    # Round targets: a rubber ring round a coloured face.
    for f in forms:
        if f.style == "target":
            tx, ty = f.pivot
            tr = max(np.hypot(x - tx, y - ty) for x, y in f.points)
            w = Window(img, tx, ty, tr + 0.005)
            r = np.hypot(w.xx - tx, w.yy - ty)
            m = np.clip((tr - r) * sc / 1.5, 0, 1)
            w.paint(shaded((0.15, 0.15, 0.18), bevel(m, 3), m, 0.4), m)
            face_m = np.clip((tr * 0.72 - r) * sc / 1.5, 0, 1)
            w.paint(shaded(st.star, bevel(face_m, 3), face_m, 0.6), face_m)

    # The plunger lane's one-way flap, a thin metal leaf at the lane top.
    blocker = [f for f in forms if f.style == "blocker"][0]
    w = Window(img, K.LANE_OUTER - 0.03, K.LANE_TOP - 0.03, 0.05)
    w.paint(f32((0.6, 0.62, 0.7)), w.mask([capsule(blocker.points, 0.004)]) * 0.6)
    return to_rgb8(down(img))


def arrow_points(x, y, angle_deg, size):
    base = [(size * 0.5, 0.0), (-size * 0.1, -size * 0.45), (-size * 0.1, -size * 0.2),
            (-size * 0.5, -size * 0.2), (-size * 0.5, size * 0.2), (-size * 0.1, size * 0.2),
            (-size * 0.1, size * 0.45)]
    return rotate([(x + p[0], y + p[1]) for p in base], x, y, math.radians(angle_deg))


def star_points(x, y, r, points, inner=0.45, phase=-90.0):
    pts = []
    for i in range(points * 2):
        a = math.radians(phase + i * 180.0 / points)
        rr = r if i % 2 == 0 else r * inner
        pts.append((x + rr * math.cos(a), y + rr * math.sin(a)))
    return pts


# ---------------------------------------------------------------------------
# Moving parts and lamps. Each returns (left px, top px, [frames]).

def box_for(polys, margin=2):
    xs = [x for p in polys for x, _ in p]
    ys = [y for p in polys for _, y in p]
    left = int(math.floor(min(xs) * K.SIZE)) - margin
    top = int(math.floor(min(ys) * K.SIZE)) - margin
    right = int(math.ceil(max(xs) * K.SIZE)) + margin
    bottom = int(math.ceil(max(ys) * K.SIZE)) + margin
    return left, top, right - left, bottom - top


def render_polys(polys_fn, box, colour, bev=3, shine=0.6, extra=None):
    """Draws a frame of polygons inside box = (left, top, w, h) in pixels."""
    left, top, w, h = box
    shape = (h * SS, w * SS)
    off = (left / K.SIZE, top / K.SIZE)
    sc = K.SIZE * SS
    m = poly_mask(shape, polys_fn, sc, off)
    rgb = shaded(colour, bevel(m, bev), m, shine)
    if extra is not None:
        rgb, m = extra(rgb, m, shape, sc, off)
    return sprite(rgb, m)


def flipper_frames(right):
    polys = [K.flipper_outline(-K.FLIPPER_SWING * i / (K.FLIPPER_FRAMES - 1), right)
             for i in range(K.FLIPPER_FRAMES)]
    box = box_for(polys)

    def rubber(rgb, m, shape, sc, off):
        # A red rubber ring round a white bat.
        inner = blur(m, 2.0 * SS) > 0.75
        rgb = np.where(inner[..., None], rgb, rgb * np.asarray((1.0, 0.25, 0.2), dtype=np.float32))
        return rgb, m

    return box[0], box[1], [render_polys([p], box, (0.95, 0.95, 0.97), 3, 0.6, rubber) for p in polys]


def plunger_frames():
    """Frame 0 shows the head raised by the full travel, the last frame at rest."""
    x0, x1 = K.LANE_WALL[1] + 0.006, K.LANE_OUTER - 0.006
    frames_polys = []
    for i in range(K.PLUNGER_FRAMES):
        y = K.PLUNGER_Y - K.PLUNGER_TRAVEL * (1.0 - i / (K.PLUNGER_FRAMES - 1))
        frames_polys.append((y, [(x0, y), (x1, y), (x1, y + 0.012), (x0, y + 0.012)]))
    box = box_for([p for _, p in frames_polys] + [[(x0, 0.99), (x1, 0.99)]])
    frames = []
    for y, head in frames_polys:
        cx = (x0 + x1) / 2
        rod = [(cx - 0.005, y + 0.012), (cx + 0.005, y + 0.012), (cx + 0.005, 0.99), (cx - 0.005, 0.99)]
        coil = []
        turns = 7
        for k in range(turns):
            t0 = y + 0.014 + (0.985 - y - 0.014) * k / turns
            t1 = y + 0.014 + (0.985 - y - 0.014) * (k + 0.5) / turns
            coil.append(capsule([(x0 + 0.004, t0), (x1 - 0.004, t1)], 0.004))

        def parts(rgb, m, shape, sc, off, head=head, rod=rod, coil=coil):
            mh = poly_mask(shape, [head], sc, off)
            mr = poly_mask(shape, [rod], sc, off)
            mc = poly_mask(shape, coil, sc, off)
            out = shaded((0.7, 0.72, 0.78), bevel(mr, 2), mr, 0.7)
            out = over(out, shaded((0.8, 0.8, 0.85), bevel(mc, 1), mc, 0.8), mc)
            out = over(out, shaded((0.9, 0.1, 0.1), bevel(mh, 2), mh, 0.6), mh)
            return out, np.clip(mh + mr + mc, 0, 1)

        frames.append(render_polys([head], box, (1, 1, 1), 2, 0.5, parts))
    return box[0], box[1], frames


def lamp_picture(x, y, r, colour, on):
    box = box_for([[(x - r, y - r), (x + r, y + r)]], 1)
    left, top, w, h = box
    shape = (h * SS, w * SS)
    yy, xx = np.mgrid[0: shape[0], 0: shape[1]].astype(np.float32) / (K.SIZE * SS)
    rr = np.hypot(xx + left / K.SIZE - x, yy + top / K.SIZE - y)
    m = np.clip((r - rr) * K.SIZE * SS / 1.5, 0, 1)
    c = np.asarray(colour, dtype=np.float32) / 255.0
    k = np.clip(1 - rr / r, 0, 1)[..., None]
    rgb = c * (0.55 + 0.45 * k) + (1 - c) * k ** 2 * 0.9 if on else c * 0.3 + 0.12 * k
    return left, top, sprite(np.clip(rgb, 0, 1), m)


def arrow_frames(x, y, angle):
    pts = arrow_points(x, y, angle, 0.028)
    box = box_for([pts], 1)
    frames = []
    for i in range(4):
        glow = i / 3.0
        col = (0.30 + 0.70 * glow, 0.12 + 0.75 * glow, 0.05 + 0.3 * glow)
        frames.append(render_polys([pts], box, col, 2, 0.2 + 0.5 * glow))
    return box[0], box[1], frames


def star_frames(x, y):
    r = 0.03
    box = box_for([[(x - r, y - r), (x + r, y + r)]], 1)
    frames = []
    for i in range(8):
        pts = star_points(x, y, r, 5, 0.42, -90.0 + i * 72.0 / 8)
        frames.append(render_polys([pts], box, (1.0, 0.8 - 0.03 * i, 0.25), 3, 0.7))
    return box[0], box[1], frames


def banner_frames(text="MULTIBALL", y=0.505, colour=(1.0, 0.3, 0.1)):
    w, h = 200, 34
    left, top = int(K.MIRROR * K.SIZE) - w // 2, int(y * K.SIZE)
    frames = []
    fnt = font("DejaVuSans-Bold.ttf", 26 * SS)
    m = text_mask((h * SS, w * SS), text, fnt, (w * SS / 2, h * SS / 2))
    for i in range(6):
        k = i / 5.0
        rgb = shaded((colour[0], colour[1] + 0.6 * k, colour[2] + 0.5 * k), bevel(m, 3), m, 0.3 + 0.6 * k)
        frames.append(sprite(rgb, m * (0.2 + 0.8 * k) if i else m * 0.0))
    return left, top, frames


def gate_frames(gate):
    (x0, y0), (x1, y1) = gate
    length = math.hypot(x1 - x0, y1 - y0)
    closed = math.atan2(y1 - y0, x1 - x0)
    polys = []
    for i in range(6):
        a = closed - (closed + math.radians(80)) * i / 5  # swings up against the wall
        tip = (x0 + length * math.cos(a), y0 + length * math.sin(a))
        polys.append(capsule([(x0, y0), tip], 0.008))
    box = box_for(polys)
    return box[0], box[1], [render_polys([p], box, (0.95, 0.75, 0.2), 2, 0.7) for p in polys]


# ---------------------------------------------------------------------------
# The glass ball

def ball_pictures(radius_px):
    n = int(math.ceil(radius_px * 2)) | 1
    c = (n - 1) / 2.0
    S = 4
    yy, xx = (np.mgrid[0: n * S, 0: n * S].astype(np.float64) + 0.5) / S - 0.5
    dx, dy = (xx - c) / radius_px, (yy - c) / radius_px
    r2 = dx * dx + dy * dy
    inside = r2 < 1.0
    z = np.sqrt(np.clip(1.0 - r2, 0, 1))

    def dn(a):
        return a.reshape(n, S, n, S, *a.shape[2:]).mean(axis=(1, 3))

    cover = dn(inside.astype(np.float64))
    mask = cover >= 0.5
    # Height of the sphere in blue: the refraction map.
    dmap = np.zeros((n, n, 3), dtype=np.uint8)
    dmap[..., 2] = np.round(dn(z) * 255).astype(np.uint8)
    # Tint: a cool glass colour, darker at the rim.
    rim = dn(1.0 - z)
    tint = np.stack([0.85 - 0.45 * rim, 0.88 - 0.45 * rim, 0.95 - 0.4 * rim], -1)
    image = visible(to_rgb8(tint), mask)
    # Highlight: a sharp spot up-left and a soft rim glow, added to the ball.
    spot = np.exp(-(((dx + 0.38) ** 2 + (dy + 0.42) ** 2) / 0.045))
    glow = np.clip((r2 - 0.75) / 0.25, 0, 1) * np.clip(-(dx + dy), 0, 1) * 0.5
    hl = dn(np.where(inside, spot * 1.0 + glow * 0.4, 0.0))
    highlight = to_rgb8(np.repeat(hl[..., None], 3, axis=2) * np.asarray((1.0, 1.0, 0.96)))
    # Shadow: a soft dark disc subtracted from the playfield beside the ball.
    m = n + 4
    sy, sx = np.mgrid[0:m, 0:m].astype(np.float64) - (m - 1) / 2.0
    sr = np.hypot(sx, sy) / (radius_px + 1.0)
    sh = np.clip(1.2 - sr, 0, 1) ** 1.5 * 90.0
    shadow = np.repeat(np.round(sh)[..., None], 3, axis=2).astype(np.uint8)
    return {"dmap": dmap, "dmplus": highlight, "image": image, "shadow": shadow}
