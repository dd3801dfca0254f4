"""The third table, ABYSS: a right orbit, the kraken's lock hole on the left,
three jellyfish bumpers and two pearl targets.

Rules: the right orbit lights the lock; a lit lock holds the ball a moment
and counts it (LOCK 1, 2, 3 under the hole); the third lock starts a
three-ball multiball, and for twenty seconds every bumper hit is a
jackpot of 1000."""
import numpy as np

import art
from panel_art import Theme
from shapes import capsule, circle
from tablekit import (BUMPER_RADIUS, Form, HOLE_RADIUS, LANE_WALL, SIZE, begin, end_sensors, feedback_links,
                      finish, flipper_forms, folder, guide_forms, lane_blocker, lane_wall, link, messages,
                      outer_wall, outlane_covers, playfield_of, round_top_outline, sling_forms, sling_lamps,
                      sounds)

NAME = "ABYSS"
FOLDER = folder(2)
THEME = Theme(NAME, dark=(2, 16, 30), light=(10, 60, 84), accent=(90, 230, 220),
              glow=(0.1, 0.8, 0.9), ink=(60, 200, 255))
MESSAGES = {
    "t2 orbit": "SHOOT THE RIGHT\\nORBIT TO LIGHT\\nTHE LOCK",
    "t2 lock": "LOCK IS LIT!\\nSHOOT THE KRAKEN",
    "t2 multiball": "MULTIBALL!\\nBUMPERS 1000",
}
CLIPS = {"kraken": ("data\\clips\\kraken.avi", "KRAKEN", ((2, 20, 40), (80, 255, 220)), "swirl")}

BUMPERS = [(0.385, 0.25), (0.555, 0.235), (0.47, 0.365)]
PEARLS = [(0.30, 0.55), (0.63, 0.55)]
PEARL_RADIUS = 0.017
HOLE = (0.25, 0.42)
ORBIT_WALL_X = 0.72
ORBIT = (0.33, 0.56)
TITLE_Y = 0.64
MULTIBALL_TIME = 20.0


outline = round_top_outline


def playfield_polygon():
    return playfield_of(outline())


def forms():
    f = flipper_forms() + sling_forms()
    for i, (x, y) in enumerate(BUMPERS):
        f.append(Form("bumper %d" % (i + 1), circle(x, y, BUMPER_RADIUS, 16), True,
                      "COLLISION_BOUNCE", 1.5, 0.0, "bumper", (x, y)))
    for i, (x, y) in enumerate(PEARLS):
        f.append(Form("pearl %d" % (i + 1), circle(x, y, PEARL_RADIUS, 12), True,
                      "COLLISION_BOUNCE", 1.1, 0.0, "target", (x, y)))
    f.append(lane_blocker())
    f.append(outer_wall(outline()))
    f.append(lane_wall())
    f.append(Form("orbit wall", capsule([(ORBIT_WALL_X, ORBIT[0]), (ORBIT_WALL_X, ORBIT[1])], 0.014),
                  True, "COLLISION_COMBINE", 0.3, 0.7, "wall"))
    f += guide_forms() + outlane_covers()
    f.append(Form("lock sensor", circle(HOLE[0], HOLE[1], HOLE_RADIUS, 8), True,
                  "COLLISION_NONE", 0.2, 0.8, "hole"))
    f.append(Form("orbit sensor", [(ORBIT_WALL_X + 0.007, 0.45), (LANE_WALL[0], 0.45)], False,
                  "COLLISION_NONE", 0.2, 0.8, "sensor"))
    return f + end_sensors()


GAPS = [("outer wall", "bumper 1"), ("bumper 1", "bumper 2"), ("bumper 1", "bumper 3"),
        ("bumper 2", "bumper 3"), ("orbit wall", "lane wall"), ("orbit wall", "pearl 2"),
        ("guide L", "sling L"), ("guide R", "sling R"), ("outer wall", "bumper 2")]


def lamp_spots():
    spots = {}
    for i, (x, y) in enumerate(BUMPERS):
        spots["bumper lamp %d" % (i + 1)] = (x, y, 0.026, (255, 110, 230))
    for i, (x, y) in enumerate(PEARLS):
        spots["pearl lamp %d" % (i + 1)] = (x, y, 0.011, (230, 255, 255))
    spots["orbit lamp"] = (0.755, 0.50, 0.013, (90, 255, 220))
    spots.update(sling_lamps((120, 255, 230)))
    return spots


def arrow_spots():
    return {"orbit arrow": (0.755, 0.60, -90.0, "arrowup"),
            "lock arrow": (HOLE[0] + 0.045, HOLE[1] + 0.045, -135.0, "arrowhole")}


def lock_spots():
    """LOCK lamps 1 to 3 in an arc under the hole."""
    return [(HOLE[0] - 0.04 + 0.04 * i, HOLE[1] + 0.075 + (0.012 if i != 1 else 0.0)) for i in range(3)]


# ---------------------------------------------------------------------------
# The look

def background(img, xx, yy, n):
    """Deep water: darker below, light rippling down from above."""
    img[...] = np.stack([0.01 + 0.02 * (1 - yy), 0.10 + 0.14 * (1 - yy), 0.16 + 0.16 * (1 - yy)], -1)
    waves = (np.sin(xx * 31 + np.sin(yy * 17) * 2.1) + np.sin(yy * 23 - xx * 13 + np.sin(xx * 11) * 1.7)
             + np.sin((xx + yy) * 19 + np.sin(xx * 7)))
    caustics = np.clip(1.0 - np.abs(waves) * 1.6, 0, 1) ** 2 * np.clip(1.1 - yy, 0, 1)
    img += art.blur(caustics, 1.5)[..., None] * art.f32((0.25, 0.75, 0.8)) * 0.35
    art.glows(img, xx, yy, ((0.47, 0.30, 0.28, (0.05, 0.25, 0.35)), (HOLE[0], HOLE[1], 0.12, (0.3, 0.05, 0.3))))
    rng = np.random.default_rng(2002)
    bubbles = np.zeros((n, n), np.float32)
    for x, y, r in rng.random((70, 3)):
        cx, cy, rr = int(x * n), int(y * n), 2 + int(r * 9)
        y0, y1, x0, x1 = max(0, cy - rr - 1), min(n, cy + rr + 2), max(0, cx - rr - 1), min(n, cx + rr + 2)
        d = np.hypot(np.arange(y0, y1)[:, None] - cy, np.arange(x0, x1)[None, :] - cx)
        bubbles[y0:y1, x0:x1] += np.clip(1 - np.abs(d - rr) / 1.5, 0, 1)
    img += bubbles[..., None] * art.f32((0.5, 0.9, 1.0)) * 0.35
    # Kelp along the lower sides.
    for base_x, phase in ((0.17, 0.0), (0.20, 1.3), (0.74, 2.1), (0.77, 0.6)):
        stalk = np.exp(-((xx - base_x - 0.015 * np.sin(yy * 25 + phase)) / 0.008) ** 2) * np.clip((yy - 0.55) * 3, 0, 1)
        img[...] = img * (1 - stalk[..., None] * 0.6) + stalk[..., None] * art.f32((0.05, 0.25, 0.12)) * 0.6


def decorate(img, n):
    sc = float(n)
    # The kraken round its hole: a dark maw with curling arms.
    hx, hy = HOLE
    w = art.Window(img, hx, hy, 0.12)
    r = np.hypot(w.xx - hx, w.yy - hy)
    w.paint(art.f32((0.25, 0.05, 0.25)), np.clip(1.0 - r / 0.085, 0, 1) ** 1.5 * 0.9)
    for k in range(6):
        a0 = k * np.pi / 3 + 0.3
        pts = [(hx + (0.03 + 0.012 * j) * np.cos(a0 + 0.25 * j), hy + (0.03 + 0.012 * j) * np.sin(a0 + 0.25 * j))
               for j in range(6)]
        m = w.mask([capsule(pts, 0.012)])
        w.paint(art.shaded((0.55, 0.15, 0.45), art.bevel(m, 3), m, 0.4), m * 0.9)
    # The orbit's water lane, lighter.
    w = art.Window(img, 0.755, 0.45, 0.15)
    m = w.mask([[(ORBIT_WALL_X, 0.30), (LANE_WALL[0], 0.30), (LANE_WALL[0], 0.62), (ORBIT_WALL_X, 0.62)]])
    w.paint(art.f32((0.1, 0.5, 0.55)), m * 0.35)
    art.title(img, n, "ABYSS", "ORBIT  \u2022  LOCK  \u2022  MULTIBALL", TITLE_Y,
              ((0.1, 0.7, 0.9), lambda t: np.clip(np.stack([0.55 - 2.0 * t, np.ones_like(t), 0.95 + 0 * t], -1), 0, 1)))
    del sc


STYLE = art.Style(background, decorate, wood=(0.03, 0.10, 0.12), cabinet=(0.12, 0.25, 0.30),
                  wall=(0.62, 0.78, 0.80), sling=(0.85, 0.95, 0.95), sling_face=(0.15, 0.85, 0.75),
                  bumper_skirt=(0.80, 0.25, 0.75), bumper_cap=(0.35, 0.05, 0.40), star=(0.95, 0.85, 1.0),
                  ring=(0.9, 0.4, 1.0), stripe=(0.3, 0.9, 0.8), grain=14.0)


def pictures(put, at):
    left, top, frames = art.banner_frames("MULTIBALL", 0.52, (0.1, 0.5, 0.9))
    at("multiball banner", left, top)
    for i, f in enumerate(frames):
        put("mball%04d.bmp" % i, f)
    r = 0.016
    spots = lock_spots()
    box = art.box_for([[(x - r, y - r), (x + r, y + r)] for x, y in spots], 1)
    bl, bt, bw, bh = box
    sc = SIZE * art.SS
    shape = (bh * art.SS, bw * art.SS)
    fnt = art.font("DejaVuSans-Bold.ttf", int(0.02 * sc))
    for lit in range(3):
        rgb = np.zeros(shape + (3,), np.float32)
        alpha = np.zeros(shape, np.float32)
        for i, (x, y) in enumerate(spots):
            disc = art.poly_mask(shape, [circle(x, y, r, 20)], sc, (bl / SIZE, bt / SIZE))
            on = i < lit
            rgb = art.over(rgb, art.shaded((0.3, 1.0, 0.85) if on else (0.05, 0.25, 0.3), art.bevel(disc, 3),
                                           disc, 0.6 if on else 0.2), disc)
            m = art.text_mask(shape, str(i + 1), fnt, ((x - bl / SIZE) * sc, (y - bt / SIZE) * sc))
            rgb = art.over(rgb, art.f32((0.05, 0.2, 0.2)) if on else art.f32((0.4, 0.7, 0.75)), m)
            alpha = np.maximum(alpha, disc)
        put("lock%04d.bmp" % lit, art.sprite(rgb, alpha))
    at("lock gauge", bl, bt)


# ---------------------------------------------------------------------------
# Elements and rules

def elements(pictures):
    e = begin(pictures, forms(), FOLDER)
    messages(e, ["Welcome to the ABYSS!", "The right orbit lights the lock",
                 "Three locks start MULTIBALL", "During multiball every bumper is a jackpot"])
    for name, spot in sorted(arrow_spots().items()):
        left, top = pictures[name]
        e.add(name, "StaticSprite", [
            ("atX", left), ("atY", top), ("filestart", FOLDER + spot[3]), ("fileend", ".bmp"),
            ("filecount", 4), ("frametime", 0.09), ("reverse", 0), ("likecounter", 0),
            ("playalways", 0), ("playbackalso", 0), ("loopcount", 1)])
    left, top = pictures["multiball banner"]
    e.add("multiball banner", "StaticSprite", [
        ("atX", left), ("atY", top), ("filestart", FOLDER + "mball"), ("fileend", ".bmp"),
        ("filecount", 6), ("frametime", 0.07), ("reverse", 0), ("likecounter", 0),
        ("playalways", 0), ("playbackalso", 1), ("loopcount", 1)])
    left, top = pictures["lock gauge"]
    e.add("lock gauge", "StaticSprite", [
        ("atX", left), ("atY", top), ("filestart", FOLDER + "lock"), ("fileend", ".bmp"),
        ("filecount", 3), ("frametime", 0.1), ("reverse", 0), ("likecounter", 1),
        ("playalways", 0), ("playbackalso", 0), ("loopcount", 1)])
    for name in sorted(lamp_spots()):
        left, top = pictures[name]
        e.add(name, "TSwitch", [("atX", left), ("atY", top),
                                ("filename", FOLDER + name.replace(" ", "") + ".bmp")])
    e.add("kickout", "Teleporter", [
        ("atX", HOLE[0] + 0.035), ("atY", HOLE[1] - 0.01), ("speedX", 0.85), ("speedY", 0.2),
        ("speedValue", 0.75), ("timeToRelease", 1.2)])
    e.add("multiball generator 1", "BallGenerator", [
        ("atX", HOLE[0] + 0.035), ("atY", HOLE[1] - 0.01), ("speedX", 0.6), ("speedY", -0.5),
        ("speedValue", 0.8)])
    e.add("multiball generator 2", "BallGenerator", [
        ("atX", 0.60), ("atY", 0.09), ("speedX", -0.9), ("speedY", 0.1), ("speedValue", 0.6)])
    sounds(e)
    e.add("placeholder", "Dummy", [])
    links(e)
    finish(e, FOLDER)
    return e


def links(e):
    feedback_links(e)
    for i in range(len(BUMPERS)):
        link(e, "bumper %d hit" % (i + 1), "bumper %d" % (i + 1),
             ["bumper lamp %d" % (i + 1), "sound bumper"], scores=100, time_to_sleep=0.05)
    for i in range(len(PEARLS)):
        link(e, "pearl %d hit" % (i + 1), "pearl %d" % (i + 1), ["pearl lamp %d" % (i + 1), "sound lamp"],
             scores=500, time_to_sleep=0.3)
    link(e, "orbit shot", "orbit sensor", ["orbit lamp", "sound lamp"], scores=2000, time_to_sleep=1.0)
    link(e, "lock kickout", "lock sensor", ["kickout"], scores=500, time_to_sleep=2.0)

    # The jackpot: links that score 900 more per bumper hit, switched off
    # at the start and on for twenty seconds by each multiball.
    jackpots = []
    for i in range(len(BUMPERS)):
        jackpots.append("bumper %d jackpot" % (i + 1))
        link(e, jackpots[-1], "bumper %d" % (i + 1), [], scores=900, time_to_sleep=0.05)
    link(e, "jackpot switch", "placeholder", jackpots, ee_cando=1, ee_atstart=1, ee_time=MULTIBALL_TIME,
         time_to_sleep=0.0)
    link(e, "multiball news", "placeholder", [], can_activate_menu=1, menu_name="t2 multiball",
         time_to_sleep=0.0)
    link(e, "multiball start", "placeholder",
         ["multiball generator 1", "multiball generator 2", "sound multiball", "multiball banner",
          "jackpot switch", "multiball news"],
         scores=10000, time_to_sleep=0.0, can_activate_menu=1, menu_name="kraken")
    # The goal, round and round: orbit, lock, orbit, lock, orbit, lock and
    # multiball. Neighbours in the chain watch different sensors, so the
    # token moves once per shot.
    orbit = dict(change_count=1, time_to_sleep=1.0, active_element="orbit arrow", big_scores=1000,
                 can_actmenu_whencurrent=1, menu_name="t2 orbit")
    lock = dict(change_count=1, time_to_sleep=2.0, active_element="lock arrow", big_scores=5000,
                can_actmenu_whencurrent=1, menu_name="t2 lock")
    link(e, "goal lock 3", "lock sensor", [("lock gauge", 1), ("multiball start", 1)], next="goal orbit 1", **lock)
    link(e, "goal orbit 3", "orbit sensor", [], next="goal lock 3", **orbit)
    link(e, "goal lock 2", "lock sensor", [("lock gauge", 1), ("sound lamp", 1)], next="goal orbit 3", **lock)
    link(e, "goal orbit 2", "orbit sensor", [], next="goal lock 2", **orbit)
    link(e, "goal lock 1", "lock sensor", [("lock gauge", 1), ("sound lamp", 1)], next="goal orbit 2", **lock)
    link(e, "goal orbit 1", "orbit sensor", [], next="goal lock 1", initially_current=1, **orbit)
