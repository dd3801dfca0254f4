"""The game screen's side panel and the strips above and below the table,
drawn in each table's colours; the game writes score, player, ball number,
clips and messages into the boxes (config.py places them)."""
import numpy as np

import config as C
from ui import BOLD, COND, SANS, Canvas, f32, ring


class Theme:
    def __init__(self, name, dark, light, accent, glow, ink):
        self.name = name  # shown at the top of the panel
        self.dark, self.light = dark, light  # the panel's gradient
        self.accent = accent  # edges and labels
        self.glow = glow  # halo of the title, 0..1
        self.ink = ink  # the title's colour


def _box(c, x, y, w, h, theme, r=8):
    m = c.rrect_mask(x, y, w, h, r)
    c.paint(m, (4, 4, 12), 0.85)
    c.paint(ring(m, c.rrect_mask(x + 1.5, y + 1.5, w - 3, h - 3, r - 1)), theme.accent, 0.9)


def side_panel(theme, number):
    ox, oy = C.SCREEN_X, C.SCREEN_Y
    c = Canvas(C.PANEL_W, 600, ox, oy)
    yy = np.arange(600, dtype=np.float32)[:, None, None] / 600.0
    c.a[...] = f32(theme.light) * (1 - yy) + f32(theme.dark) * yy
    # Brushed metal: fine horizontal streaks.
    streaks = np.random.default_rng(number).random((600, 1)).astype(np.float32)
    c.a *= (0.92 + 0.08 * streaks)[..., None]
    edge = c.rrect_mask(ox, oy, 4, 600, 0)
    c.paint(edge, (10, 10, 16))
    c.paint(c.rrect_mask(ox + 4, oy, 2, 600, 0), theme.accent, 0.6)
    cx = ox + C.PANEL_W / 2
    t = c.text_mask(theme.name, cx, oy + 32, BOLD, 30, spacing=2)
    c.glow(t, theme.glow, 6, 1.0)
    c.paint(t, c.vgradient(t, (255, 255, 255), theme.ink))
    n = c.text_mask("TABLE %d" % (number + 1), cx, oy + 60, COND, 12, spacing=4)
    c.paint(n, theme.accent)

    def label(text, y):
        m = c.text_mask(text, cx, oy + y, COND, 13, spacing=3)
        c.paint(m, theme.accent)

    fh = C.SCREEN_FONT_HEIGHT
    label("SCORE", 92)
    _box(c, ox + 14, oy + C.SCORE_Y - 6, C.PANEL_W - 28, fh + 12, theme)
    label("PLAYER", 166)
    _box(c, ox + 14, oy + C.PLAYER_Y - 6, C.PANEL_W - 28, fh + 12, theme)
    _box(c, ox + 50, oy + C.BALL_Y - 6, C.PANEL_W - 100, fh + 12, theme)
    vx, vy, vw, vh = C.VIDEO
    _box(c, ox + vx - 6, oy + vy - 6, vw + 12, vh + 12, theme, 10)
    # The idle screen of the clip window: scan lines and the table's initial.
    screen = c.rrect_mask(ox + vx, oy + vy, vw, vh, 4)
    ys, _ = c.box_coords(screen)
    lines = 0.75 + 0.25 * (np.floor(ys) % 3 == 0)
    c.paint(screen, c.vgradient(screen, theme.dark, (6, 6, 14)) * lines[..., None])
    mark = c.text_mask(theme.name[0], ox + vx + vw / 2, oy + vy + vh / 2, BOLD, 90)
    c.paint(mark, theme.accent, 0.18)
    mx, my = C.MESSAGE
    _box(c, ox + mx - 6, oy + my - 6, C.PANEL_W - 2 * (mx - 6), C.MESSAGE_LINES * fh + 12, theme)
    for i, line in enumerate(("ESC   menu and options", "ENTER  new game after the last ball")):
        m = c.text_mask(line, ox + 16, oy + 562 + 16 * i, SANS, 10, anchor="lm")
        c.paint(m, theme.accent, 0.85)
    return c.rgb8()


def strip(theme, width, height, top):
    """A bar of the cabinet above or below the table."""
    c = Canvas(width, height)
    yy = np.arange(height, dtype=np.float32)[:, None, None] / max(1, height - 1)
    k = yy if top else 1 - yy
    c.a[...] = f32(theme.dark) * k + f32(theme.light) * (1 - k) * 0.7
    edge = c.rrect_mask(0, height - 2 if top else 0, width, 2, 0)
    c.paint(edge, theme.accent, 0.6)
    return c.rgb8()
