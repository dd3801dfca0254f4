"""Pictures of the menus: the backdrop (also the loading picture), the three
screens, every highlight and state picture, the table selector, the splash,
the text caret and the mouse pointers.

Every screen is drawn whole over the backdrop, once idle and once with all
its controls lit; a control's pictures are cut out of those drawings, so
they sit on the screen pixel for pixel."""
import math

import numpy as np
from PIL import Image

import menu as M
from ui import BOLD, COND, SANS, Canvas, blur, f32, ring

W, H = 800, 600

# The theme: night blue glass, cyan neon edges, gold for what the pointer is on.
INK = (226, 234, 255)
DIM = (140, 156, 205)
CYAN = (70, 200, 255)
GOLD = (255, 196, 70)
ORANGE = (255, 120, 30)
PANEL_TOP = (24, 30, 78)
PANEL_BOTTOM = (10, 12, 40)


def _rng(seed):
    return np.random.default_rng(seed)


# ---------------------------------------------------------------------------
# Backdrop

def backdrop():
    c = Canvas(W, H)
    yy, xx = np.mgrid[0:H, 0:W].astype(np.float32)
    t = yy / H
    c.a[...] = np.stack([0.02 + 0.10 * t, 0.025 + 0.02 * t, 0.09 + 0.12 * t], -1)
    # Nebulae: soft colour blobs broken up by low-resolution noise.
    rng = _rng(7)
    noise = rng.random((15, 20)).astype(np.float32)
    noise = np.asarray(Image.fromarray((noise * 255).astype(np.uint8)).resize((W, H), Image.BICUBIC),
                       dtype=np.float32) / 255.0
    for cx, cy, r, col in ((150, 200, 260, (0.35, 0.08, 0.45)), (660, 150, 230, (0.05, 0.22, 0.42)),
                           (420, 330, 300, (0.18, 0.05, 0.30))):
        g = np.exp(-((xx - cx) ** 2 + (yy - cy) ** 2) / (r * r))
        c.a += (g * (0.45 + 0.55 * noise))[..., None] * f32(col) * 0.8
    # Stars, a few with a cross glint.
    stars = np.zeros((H, W), np.float32)
    for x, y, b in rng.random((420, 3)):
        stars[int(y * H * 0.72), int(x * W)] = 0.3 + 0.7 * b ** 2
    glints = stars * (stars > 0.85)
    cross = np.maximum(blur(glints, 0.6), 0)
    for k in (1, 2, 3):
        cross += 0.25 / k * (np.roll(glints, k, 0) + np.roll(glints, -k, 0) + np.roll(glints, k, 1) + np.roll(glints, -k, 1))
    c.a += (blur(stars, 0.5) * 1.8 + cross)[..., None] * f32((0.9, 0.92, 1.0))
    # A neon floor: a glowing horizon and a grid in perspective below it.
    hz = 440.0
    below = np.clip((yy - hz) / (H - hz), 0, 1)
    floor = np.zeros((H, W), np.float32)
    depth = 1.0 / np.maximum(below, 1e-3)  # distance into the floor
    floor += (np.abs((depth * 3.0) % 1.0 - 0.5) > 0.47) * (yy > hz)
    ang = (xx - W / 2) / np.maximum(yy - hz + 8, 1) * 2.2
    floor += (np.abs(ang % 1.0 - 0.5) > 0.45) * (yy > hz)
    floor = blur(np.clip(floor, 0, 1), 0.6) * below ** 0.8
    c.a += floor[..., None] * f32((0.75, 0.20, 0.85)) * 0.55
    c.a += (np.exp(-np.abs(yy - hz) / 5.0) * 0.55 + np.exp(-np.abs(yy - hz) / 40.0) * 0.12)[..., None] * f32((1.0, 0.35, 0.8))
    np.clip(c.a, 0, 1, out=c.a)
    logo(c, 400, 64, 90)
    return c


def logo(c, x, y, size):
    """The game's name in gold with an orange glow and a dark rim."""
    m = c.text_mask("ZARNIK", x, y, BOLD, size, spacing=size * 0.04)
    c.glow(m, (1.0, 0.45, 0.1), size * 0.16, 1.4)
    rim = c.text_mask("ZARNIK", x + size * 0.02, y + size * 0.03, BOLD, size, spacing=size * 0.04)
    c.paint(rim, (20, 6, 30), 0.8)
    c.paint(m, c.vgradient(m, (255, 248, 200), (255, 120, 20), y - size * 0.35, y + size * 0.35))
    # A light line across the letters, as on polished metal.
    (bx0, by0, bx1, by1), mm = m
    ys, _ = c.box_coords(m)
    shine = np.exp(-((ys - (y - size * 0.08)) / (size * 0.05)) ** 2)
    c.paint(((bx0, by0, bx1, by1), mm * shine), (255, 255, 240), 0.6)
    sub = c.text_mask("FLIPPER  TABLES", x, y + size * 0.62, COND, int(size * 0.17), spacing=size * 0.05)
    c.glow(sub, (0.1, 0.5, 1.0), 3, 0.8)
    c.paint(sub, (170, 225, 255))


# ---------------------------------------------------------------------------
# Panels and controls

def panel(c, x, y, w, h, title=None, title_dy=24, size=22, line_dy=42):
    """A night-glass panel with a neon edge."""
    outer = c.rrect_mask(x, y, w, h, 16)
    c.glow(outer, (0.05, 0.35, 0.7), 4, 0.6)
    c.paint(outer, c.vgradient(outer, PANEL_TOP, PANEL_BOTTOM), 0.86)
    edge = ring(outer, c.rrect_mask(x + 2, y + 2, w - 4, h - 4, 14))
    c.paint(edge, c.vgradient(edge, (120, 220, 255), (40, 90, 200)))
    if title:
        t = c.text_mask(title, x + w / 2, y + title_dy, BOLD, size, spacing=3)
        c.glow(t, (1.0, 0.5, 0.1), 5, 0.9)
        c.paint(t, c.vgradient(t, (255, 240, 190), (255, 150, 40)))
        line = c.rrect_mask(x + 24, y + line_dy, w - 48, 2, 1)
        c.paint(line, (60, 140, 230), 0.7)


def hint_bar(c):
    x, y, w, h = M.HINT_BAR
    m = c.rrect_mask(x, y, w, h, 8)
    c.paint(m, (8, 10, 30), 0.75)
    c.paint(ring(m, c.rrect_mask(x + 1, y + 1, w - 2, h - 2, 7)), (60, 100, 190), 0.8)
    dot = c.polygon_mask([(x + 8, y + 9), (x + 14, y + h / 2), (x + 8, y + h - 9)])
    c.paint(dot, GOLD)


def button(c, rect, label, state, size=18, strong=False):
    """state: 0 idle, 1 lit (pointer over it), 2 pressed."""
    x, y, w, h = rect
    if state == 2:
        x, y = x + 1, y + 1
    body = c.rrect_mask(x, y, w, h, min(12, h // 2))
    if state:
        c.glow(body, (1.0, 0.6, 0.15), 5, 0.9)
    if strong:
        top, bottom = ((255, 214, 110), (230, 100, 20)) if state else ((240, 150, 40), (170, 60, 10))
    else:
        top, bottom = ((54, 72, 160), (24, 30, 92)) if state else ((34, 44, 112), (14, 18, 60))
    if state == 2:
        top, bottom = bottom, top
    c.paint(body, c.vgradient(body, top, bottom))
    edge = ring(body, c.rrect_mask(x + 2, y + 2, w - 4, h - 4, min(10, h // 2 - 2)))
    c.paint(edge, GOLD if state else ((255, 220, 150) if strong else (90, 180, 255)))
    # Glass sheen on the upper half.
    sheen = c.rrect_mask(x + 4, y + 3, w - 8, h * 0.42, min(9, h // 4))
    c.paint(sheen, (255, 255, 255), 0.10 if state else 0.07)
    if label in ("<", ">"):
        cx, cy, s = x + w / 2, y + h / 2, h * 0.22
        d = -1 if label == "<" else 1
        m = c.polygon_mask([(cx - d * s * 0.7, cy - s * 1.3), (cx + d * s * 0.9, cy), (cx - d * s * 0.7, cy + s * 1.3)])
    else:
        m = c.text_mask(label, x + w / 2, y + h / 2 + 1, BOLD, size, spacing=2)
    ink = (40, 16, 4) if strong else ((255, 236, 180) if state else INK)
    if not strong:
        c.glow(m, (1.0, 0.7, 0.2) if state else (0.2, 0.5, 1.0), 3, 0.6)
    c.paint(m, ink)


def label(c, text, x, y, lit=False, size=15):
    m = c.text_mask(text, x, y, COND, size, anchor="lm", spacing=1)
    if lit:
        c.glow(m, (1.0, 0.6, 0.1), 3, 0.8)
    c.paint(m, GOLD if lit else DIM)


def toggle(c, rect, on, lit=False):
    x, y, w, h = rect
    body = c.rrect_mask(x, y, w, h, h // 2)
    c.paint(body, c.vgradient(body, (40, 110, 60) if on else (36, 36, 70), (20, 60, 30) if on else (18, 18, 44)))
    c.paint(ring(body, c.rrect_mask(x + 2, y + 2, w - 4, h - 4, h // 2 - 2)),
            GOLD if lit else ((120, 255, 150) if on else (90, 120, 200)))
    t = c.text_mask("ON" if on else "OFF", x + (w * 0.36 if on else w * 0.64), y + h / 2 + 1, BOLD, 14, spacing=1)
    c.paint(t, (210, 255, 220) if on else (150, 160, 210))
    kx = x + w - h / 2 if on else x + h / 2
    knob = c.ellipse_mask(kx, y + h / 2, h / 2 - 5)
    if on:
        c.glow(knob, (0.3, 1.0, 0.5), 5, 0.9)
    c.paint(knob, c.vgradient(knob, (250, 250, 255), (170, 180, 210)))


def field_box(c, rect, state):
    """state: 0 idle, 1 focused."""
    x, y, w, h = rect
    m = c.rrect_mask(x, y, w, h, 6)
    if state:
        c.glow(m, (1.0, 0.6, 0.15), 6, 0.8)
    c.paint(m, (6, 8, 26) if not state else (16, 18, 44))
    c.paint(ring(m, c.rrect_mask(x + 1.5, y + 1.5, w - 3, h - 3, 5)), GOLD if state else (70, 110, 200))


def slider_frame(c, value):
    x, y, w, h = M.SLIDER
    t0, t1 = M.SLIDER_TRACK
    cy = y + h / 2
    groove = c.rrect_mask(t0 - 6, cy - 5, t1 - t0 + 12, 10, 5)
    c.paint(groove, (6, 8, 24))
    c.paint(ring(groove, c.rrect_mask(t0 - 5, cy - 4, t1 - t0 + 10, 8, 4)), (60, 90, 170))
    end = t0 + value * (t1 - t0)
    if value > 0:
        fill = c.rrect_mask(t0 - 4, cy - 3, end - t0 + 8, 6, 3)
        c.glow(fill, (0.2, 0.6, 1.0), 4, 0.6)
        (bx0, by0, bx1, by1), _ = fill
        _, xs = c.box_coords(fill)
        k = np.clip((xs - t0) / (t1 - t0), 0, 1)[..., None]
        c.paint(fill, f32((40, 150, 255)) * (1 - k) + f32((130, 255, 220)) * k)
    # Tick marks, and the handle over the end of the fill.
    for i in range(11):
        tx = t0 + (t1 - t0) * i / 10
        c.paint(c.rrect_mask(tx - 0.5, y + 1, 1, 4, 0), (90, 110, 180), 0.8)
    handle = c.rrect_mask(end - 6, y + 3, 12, h - 6, 4)
    c.paint(handle, c.vgradient(handle, (250, 250, 255), (150, 160, 200)))
    c.paint(ring(handle, c.rrect_mask(end - 5, y + 4, 10, h - 8, 3)), (60, 70, 120), 0.8)


def knob_frame(c, value):
    x, y, w, h = M.KNOB
    cx, cy, r = x + w / 2, y + h / 2, w / 2 - 8
    # The scale: dots along the sweep, lit up to the value.
    for i in range(28):
        k = i / 27
        a = M.KNOB_START + M.KNOB_SWEEP * k
        d = c.ellipse_mask(cx + (r + 4) * math.cos(a), cy + (r + 4) * math.sin(a), 1.6)
        if k <= value + 1e-6:
            c.paint(d, (120, 230, 255))
        else:
            c.paint(d, (50, 60, 110))
    body = c.ellipse_mask(cx, cy, r - 2)
    c.glow(body, (0.1, 0.4, 0.9), 4, 0.5)
    c.paint(body, c.vgradient(body, (90, 100, 150), (20, 24, 50)))
    cap = c.ellipse_mask(cx, cy, r - 8)
    c.paint(cap, c.vgradient(cap, (40, 46, 90), (70, 80, 130)))
    a = M.KNOB_START + M.KNOB_SWEEP * value
    mark = c.line_mask([(cx + 6 * math.cos(a), cy + 6 * math.sin(a)),
                        (cx + (r - 11) * math.cos(a), cy + (r - 11) * math.sin(a))], 3.5)
    c.glow(mark, (1.0, 0.7, 0.2), 3, 0.9)
    c.paint(mark, (255, 226, 150))


def music_bar(c, full):
    x, y, w, h = M.KNOB_BAR
    n = 16
    for i in range(n):
        seg = c.rrect_mask(x + i * w / n + 1, y + 1, w / n - 3, h - 2, 2)
        k = i / (n - 1)
        col = f32((60, 200, 255)) * (1 - k) + f32((255, 170, 60)) * k
        if full:
            c.paint(seg, col)
        else:
            c.paint(seg, col * 0.22)


# ---------------------------------------------------------------------------
# Screens

def title_screen(base, state):
    c = base.copy()
    x, y, w, h = M.SELECTOR
    bez = c.rrect_mask(x - 12, y - 12, w + 24, h + 24, 18)
    c.glow(bez, (0.1, 0.4, 0.9), 10, 0.6)
    c.paint(bez, c.vgradient(bez, (30, 40, 96), (12, 14, 44)))
    c.paint(ring(bez, c.rrect_mask(x - 10, y - 10, w + 20, h + 20, 16)), (110, 210, 255))
    for name, (bx, by, bw, bh, text, hint) in M.ROOT_BUTTONS.items():
        button(c, (bx, by, bw, bh), text, state, 26 if name == "START" else 17, strong=(name == "START"))
    return c


def options_screen(base, lit):
    """lit: labels gold and the switches ringed, as when the pointer is on them."""
    c = base.copy()
    x, y, w, h = M.OPTIONS_PANEL
    panel(c, x, y, w, h, "OPTIONS")
    for text, hx in (("DISPLAY  &  SOUND", M.LEFT_X), ("CONTROLS", M.RIGHT_X)):
        m = c.text_mask(text, hx, y + 64, BOLD, 12, anchor="lm", spacing=2)
        c.paint(m, (100, 200, 255))
    for name, (text, ly, tx, ty, tw, th, hint) in M.SWITCHES.items():
        label(c, text, M.LEFT_X, ly + 4, lit)
        if lit:
            c.glow(c.rrect_mask(tx, ty, tw, th, th // 2), (1.0, 0.6, 0.15), 5, 1.0)
        toggle(c, (tx, ty, tw, th), False, lit)
    label(c, "EFFECTS VOLUME", M.LEFT_X, M.SLIDER_LABEL_Y, lit)
    slider_frame(c, 0.0)
    label(c, "MUSIC VOLUME", M.LEFT_X, M.KNOB_LABEL_Y, lit)
    knob_frame(c, 0.0)
    music_bar(c, False)
    for name, (text, fy, caption, hint) in M.FIELDS.items():
        label(c, text, M.RIGHT_X, fy + M.FIELD_H / 2, lit)
        field_box(c, (M.FIELD_X, fy, M.FIELD_W, M.FIELD_H), 0)
    label(c, "PLAYER NAME", M.RIGHT_X, M.NAME_LABEL_Y, lit)
    field_box(c, M.NAME_FIELD, 0)
    small = c.text_mask("Keys and name take effect when the game starts", M.RIGHT_X, M.NAME_FIELD[1] + 54,
                        SANS, 11, anchor="lm")
    c.paint(small, (110, 120, 170))
    button(c, M.BACK_OPTIONS, "BACK", 1 if lit else 0, 16)
    return c


def scores_screen(base, lit):
    c = base.copy()
    x, y, w, h = M.SCORES_PANEL
    # The game writes its header row 39 pixels below the panel's top.
    panel(c, x, y, w, h, "HIGH SCORES", title_dy=14, size=16, line_dy=27)
    sx, sy = M.SCORES_AT
    # The game writes the header row at the top and the players below it.
    band = c.rrect_mask(sx - 14, sy - 6, 420, 26, 6)
    c.paint(band, (40, 60, 140), 0.6)
    for i in range(5):
        row = c.rrect_mask(sx - 14, sy + 33 + 20 * i, 420, 18, 4)
        c.paint(row, (255, 255, 255), 0.035 if i % 2 == 0 else 0.0)
    button(c, M.BACK_SCORES, "BACK", 1 if lit else 0, 16)
    return c


def hot_crop(screen, rect, margin=M.GLOW):
    x, y, w, h = rect
    return screen.crop(x - margin, y - margin, w + 2 * margin, h + 2 * margin)


def crop_rect(screen, rect):
    return screen.crop(*rect)


def with_hole(canvas, rect):
    """A picture black inside the pill of rect, so the switch drawn under it
    shows; its lit rim and halo stay."""
    out = canvas.rgb8()
    x, y, w, h = rect
    (bx0, by0, bx1, by1), m = canvas.rrect_mask(x + 3, y + 3, w - 6, h - 6, h // 2 - 3)
    out[by0:by1, bx0:bx1][m > 0.5] = 0
    return out


# ---------------------------------------------------------------------------
# The table selector

def _quad_coeffs(src, dst):
    """PIL perspective coefficients mapping output points dst to input src."""
    a = []
    b = []
    for (x, y), (u, v) in zip(dst, src):
        a.append([x, y, 1, 0, 0, 0, -u * x, -u * y])
        a.append([0, 0, 0, x, y, 1, -v * x, -v * y])
        b += [u, v]
    return np.linalg.solve(np.asarray(a, np.float64), np.asarray(b, np.float64))


def selector_faces(thumbs, names):
    """The four faces of the drum: the tables, then the emblem."""
    fw, fh = 148, 184
    faces = []
    for i in range(4):
        c = Canvas(fw, fh, colour=(14, 16, 44))
        frame = c.rrect_mask(0, 0, fw, fh, 10)
        c.paint(frame, c.vgradient(frame, (34, 44, 110), (14, 16, 48)))
        if i < len(thumbs):
            tw = fw - 16
            pic = np.asarray(Image.fromarray(thumbs[i]).resize((tw, tw), Image.LANCZOS), np.float32) / 255.0
            c.a[8: 8 + tw, 8: 8 + tw] = pic
            c.paint(ring(c.rrect_mask(7, 7, tw + 2, tw + 2, 2), c.rrect_mask(8, 8, tw, tw, 0)), (140, 200, 255))
            t = c.text_mask(names[i], fw / 2, fh - 24, BOLD, 16, spacing=1)
            c.paint(t, GOLD)
            n = c.text_mask("TABLE %d" % (i + 1), fw / 2, fh - 9, COND, 10, spacing=2)
            c.paint(n, DIM)
        else:
            m = c.text_mask("Z", fw / 2, fh / 2 - 14, BOLD, 88)
            c.glow(m, (1.0, 0.45, 0.1), 10, 1.2)
            c.paint(m, c.vgradient(m, (255, 248, 200), (255, 120, 20)))
            t = c.text_mask("ZARNIK", fw / 2, fh - 32, BOLD, 18, spacing=3)
            c.paint(t, INK)
        c.paint(ring(frame, c.rrect_mask(2, 2, fw - 4, fh - 4, 8)), (110, 210, 255))
        faces.append(Image.fromarray(c.rgb8()))
    return faces


def selector_frames(thumbs, names):
    """SELECTOR_FRAMES frames of the drum turning a quarter every 18 frames,
    each eased so the drum settles on a face."""
    faces = selector_faces(thumbs, names)
    fw, fh = faces[0].size
    x, y, w, h = M.SELECTOR
    a = fw / 2.0  # half a face; the drum is square in section
    dist = 4.2 * a  # camera distance from the drum's axis
    focal = (dist - a)  # a face turned to the camera shows at its own size
    step = M.SELECTOR_FRAMES // 4
    frames = []
    for f in range(M.SELECTOR_FRAMES):
        k, part = divmod(f, step)
        t = part / step
        t = t * t * (3 - 2 * t)  # ease in and out
        turn = (k + t) * math.pi / 2
        c = Canvas(w, h, colour=(14, 16, 46))
        img = Image.fromarray(c.rgb8())
        shown = []
        for i in range(4):
            phi = i * math.pi / 2 - turn  # the face's normal, 0 toward the camera
            if math.cos(phi) <= 1e-3:
                continue
            cxz = (a * math.sin(phi), a * math.cos(phi))
            tang = (math.cos(phi), -math.sin(phi))
            corners = []
            for sx in (-1, 1):
                px, pz = cxz[0] + sx * a * tang[0], cxz[1] + sx * a * tang[1]
                s = focal / (dist - pz)
                corners.append((w / 2 + px * s, h / 2, fh / 2 * s))
            (x0, _, h0), (x1, _, h1) = corners
            quad = [(x0, h / 2 - h0), (x1, h / 2 - h1), (x1, h / 2 + h1), (x0, h / 2 + h0)]
            shown.append((math.cos(phi), i, quad))
        for light, i, quad in sorted(shown):
            coeffs = _quad_coeffs([(0, 0), (fw, 0), (fw, fh), (0, fh)], quad)
            face = faces[i].transform((w, h), Image.PERSPECTIVE, tuple(coeffs), Image.BICUBIC)
            mask = Image.new("L", (w * 4, h * 4), 0)
            from PIL import ImageDraw
            ImageDraw.Draw(mask).polygon([(px * 4, py * 4) for px, py in quad], fill=255)
            mask = mask.resize((w, h), Image.BOX)
            shade = 0.35 + 0.65 * light
            face = Image.fromarray((np.asarray(face, np.float32) * shade).astype(np.uint8))
            img.paste(face, (0, 0), mask)
        out = np.asarray(img).copy()
        out[out.max(axis=2) == 0] = 1
        frames.append(out)
    return frames


# ---------------------------------------------------------------------------
# Splash, caret, pointers

def splash_frames(base):
    x, y, w, h = M.SPLASH_RECT
    n = M.SPLASH[2]
    frames = []
    for f in range(n):
        c = base.crop(x, y, w, h)
        cx, cy, r = x + w / 2, y + 36, 26
        for i in range(8):
            a = 2 * math.pi * i / 8 - math.pi / 2
            age = ((f / n) * 8 - i) % 8 / 8.0  # 0 for the newest lit ball
            d = c.ellipse_mask(cx + r * math.cos(a), cy + r * math.sin(a), 6.0 - 2.6 * age)
            k = (1 - age) ** 1.5
            c.glow(d, (1.0, 0.55, 0.15), 4, 0.8 * k)
            c.paint(d, f32((255, 220, 140)) * (0.3 + 0.7 * k))
        t = c.text_mask("LOADING", cx, y + h - 16, BOLD, 16, spacing=5)
        c.paint(t, f32(INK) * (0.7 + 0.3 * math.cos(2 * math.pi * f / n)))
        frames.append(c.rgb8())
    return frames


def caret_frames():
    n = M.CARET[2]
    frames = []
    for f in range(n):
        out = np.zeros((M.FIELD_FONT_SIZE[1] - 4, 3, 3), np.uint8)
        if f < n // 2:
            out[:, 1] = (255, 200, 80)
            out[:, 0] = out[:, 2] = (120, 80, 30)
        frames.append(out)
    return frames


def arrow_pointer():
    """A white arrow with a dark rim; its tip is the picture's top-left pixel."""
    c = Canvas(22, 30)
    pts = [(0, 0), (0, 22), (6, 17), (10, 27), (14, 25.5), (10, 16), (17.5, 16)]
    rim = c.polygon_mask(pts)
    c.paint(rim, (10, 10, 30))
    inner = c.polygon_mask([(2, 4), (2, 18.5), (6.6, 14.4), (10.6, 24.5), (12.2, 23.8), (8.3, 14), (14, 14)])
    c.paint(inner, c.vgradient(inner, (255, 255, 255), (190, 210, 255)))
    keep = (rim[1] > 0.35)
    out = np.zeros((30, 22, 3), np.uint8)
    rgb = c.rgb8()
    (bx0, by0, bx1, by1), _ = rim
    sub = out[by0:by1, bx0:bx1]
    sub[keep] = rgb[by0:by1, bx0:bx1][keep]
    out[0, 0] = out[1, 0] = out[0, 1] = (10, 10, 30)  # the hot spot itself shows
    return out


def spinner_pointer_frames(n=12):
    frames = []
    for f in range(n):
        c = Canvas(24, 24)
        m = c.ellipse_mask(12, 12, 11)
        hole = c.ellipse_mask(12, 12, 6)
        ringm = ring(m, hole)
        _, mm = ringm
        ys, xs = c.box_coords(ringm)
        ang = (np.arctan2(ys - 12, xs - 12) / (2 * np.pi) - f / n) % 1.0
        col = f32((255, 190, 60)) * ang[..., None] + f32((40, 60, 140)) * (1 - ang[..., None])
        c.paint(ringm, col)
        out = c.rgb8()
        (bx0, by0, bx1, by1), _ = ringm
        keep = np.zeros((24, 24), bool)
        keep[by0:by1, bx0:bx1] = mm > 0.4
        out[~keep] = 0
        frames.append(out)
    return frames


# ---------------------------------------------------------------------------

def pictures(thumbs, names):
    """Every menu picture: {system path: (h, w, 3) uint8}."""
    P = M.FOLDER
    out = {}
    base = backdrop()
    out[M.LOADING] = base.rgb8()

    idle = title_screen(base, 0)
    lit = title_screen(base, 1)
    down = title_screen(base, 2)
    tx, ty = M.TITLE_ORIGIN
    tw, th = M.TITLE_SIZE
    out[P + "title.bmp"] = idle.crop(tx, ty, tw, th).rgb8()
    bar = base.copy()
    hint_bar(bar)
    out[P + "hintbar.bmp"] = bar.crop(*M.HINT_BAR).rgb8()
    for name, (x, y, w, h, text, hint) in M.ROOT_BUTTONS.items():
        out[M.hot(name)] = hot_crop(lit, (x, y, w, h)).rgb8()
    for name in ("OPTIONS", "SCORES"):
        x, y, w, h, text, hint = M.ROOT_BUTTONS[name]
        out[P + name.lower() + "_down.bmp"] = down.crop(x, y, w + 1, h + 1).rgb8()
    for i, fr in enumerate(selector_frames(thumbs, names)):
        out[P + "selector%04d.bmp" % i] = fr

    oidle = options_screen(base, False)
    olit = options_screen(base, True)
    out[P + "options.bmp"] = oidle.crop(*M.OPTIONS_ORIGIN, *M.OPTIONS_SIZE).rgb8()
    out[M.hot("back_options")] = hot_crop(olit, M.BACK_OPTIONS).rgb8()
    for name, (text, ly, sx, sy, sw, sh, hint) in M.SWITCHES.items():
        for s in (0, 1):
            c = options_panel_only(base, (sx, sy, sw, sh))
            toggle(c, (sx, sy, sw, sh), bool(s))
            out[P + "%s_%d.bmp" % (name.lower(), s)] = c.rgb8()
        row = (M.LEFT_X - 4, sy - 4, sx + sw - M.LEFT_X + 4 + M.GLOW, sh + 8)
        out[M.hot(name)] = with_hole(hot_crop(olit, row), (sx, sy, sw, sh))
    x, y, w, h = M.SLIDER
    for i in range(M.SLIDER_FRAMES):
        c = options_panel_only(base, (x, y, w, h))
        slider_frame(c, i / (M.SLIDER_FRAMES - 1))
        out[P + "volume%04d.bmp" % i] = c.rgb8()
    x, y, w, h = M.KNOB
    for i in range(M.KNOB_FRAMES):
        c = options_panel_only(base, (x, y, w, h))
        knob_frame(c, i / (M.KNOB_FRAMES - 1))
        out[P + "knob%04d.bmp" % i] = c.rgb8()
    c = options_panel_only(base, M.KNOB_BAR)
    music_bar(c, True)
    out[P + "musicbar.bmp"] = c.rgb8()
    for name, (text, fy, caption, hint) in M.FIELDS.items():
        rect = (M.FIELD_X, fy, M.FIELD_W, M.FIELD_H)
        c = oidle.crop(rect[0] - 6, rect[1] - 6, rect[2] + 12, rect[3] + 12)
        field_box(c, rect, 1)
        out[M.hot(name)] = c.rgb8()
    r = M.NAME_FIELD
    c = oidle.crop(r[0] - 6, r[1] - 6, r[2] + 12, r[3] + 12)
    field_box(c, r, 1)
    out[M.hot("player_name")] = c.rgb8()
    for key, rect, hint in M.option_rows():
        out[M.hot(key)] = olit_rows(oidle, base, rect, key)
    sidle = scores_screen(base, False)
    slit = scores_screen(base, True)
    out[P + "scores.bmp"] = sidle.crop(*M.SCORES_ORIGIN, *M.SCORES_SIZE).rgb8()
    out[M.hot("back_scores")] = hot_crop(slit, M.BACK_SCORES).rgb8()

    for i, fr in enumerate(splash_frames(base)):
        out[M.SPLASH[0] + "%04d" % i + M.SPLASH[1]] = fr
    for i, fr in enumerate(caret_frames()):
        out[M.CARET[0] + "%04d" % i + M.CARET[1]] = fr
    out["data\\cursors\\arrow.bmp"] = arrow_pointer()
    for i, fr in enumerate(spinner_pointer_frames()):
        out["data\\cursors\\wait%04d.bmp" % i] = fr
    return out


_panel_cache = {}


def options_panel_only(base, rect):
    """The options panel without its controls, under rect."""
    key = id(base)
    if key not in _panel_cache:
        c = base.copy()
        x, y, w, h = M.OPTIONS_PANEL
        panel(c, x, y, w, h, "OPTIONS")
        _panel_cache.clear()
        _panel_cache[key] = c
    return _panel_cache[key].crop(*rect)


def olit_rows(oidle, base, rect, key):
    """A row's label lit in gold over the idle screen."""
    c = oidle.crop(*rect)
    x, y, w, h = rect
    if key == "audiovolume_row":
        label(c, "EFFECTS VOLUME", M.LEFT_X, M.SLIDER_LABEL_Y, True)
    elif key == "cdvolume_row":
        label(c, "MUSIC VOLUME", M.LEFT_X, M.KNOB_LABEL_Y, True)
    elif key == "player_name_row":
        label(c, "PLAYER NAME", M.RIGHT_X, M.NAME_LABEL_Y, True)
    else:
        text, fy, caption, hint = M.FIELDS[key[:-4].upper()]
        label(c, text, M.RIGHT_X, fy + M.FIELD_H / 2, True)
    return c.rgb8()
