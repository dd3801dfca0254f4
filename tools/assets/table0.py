"""The default table: its layout (the one source of both the collision forms
and the drawn playfield) and its elements and rules."""
import numpy as np

import art
from panel_art import Theme
from shapes import arc, capsule, circle
from tablekit import (BOTTOM, BUMPER_RADIUS, Form, HOLE_RADIUS, LANE_OUTER, LANE_WALL, LEFT_WALL, MIRROR,
                      begin, end_sensors, feedback_links, finish, flipper_forms, folder, guide_forms,
                      lane_blocker, lane_wall, link, messages, mx, outer_wall, playfield_of, sling_forms,
                      sling_lamps, sounds)

NAME = "COSMOS"
THEME = Theme(NAME, dark=(8, 10, 40), light=(44, 40, 110), accent=(120, 190, 255),
              glow=(1.0, 0.45, 0.1), ink=(255, 150, 40))
# The game screen's messages and clips this table shows by name.
MESSAGES = {
    "t0 lanes": "ROLL THE LANES\\nLEFT TO RIGHT",
    "t0 hole": "LANES LIT!\\nSHOOT THE HOLE",
    "t0 multiball": "MULTIBALL!\\nKEEP THEM UP",
    "t0 gate": "ORBIT GATE OPEN\\nSHOOT LEFT ORBIT",
}
# name: (file, title, (dark, bright) colours, motion)
CLIPS = {"multiball": ("data\\clips\\multiball.avi", "MULTIBALL", ((16, 10, 60), (255, 170, 60)), "burst")}

FOLDER = folder(0)
BUMPERS = [(0.38, 0.32), (0.56, 0.32), (0.47, 0.45)]
LANE_POSTS = [0.40, 0.50, 0.60, 0.70]
LANE_Y = (0.13, 0.19)
HOLE = (0.27, 0.49)
ORBIT_WALL_X = 0.20
ORBIT = (0.27, 0.56)  # top and bottom of the orbit's inner wall
GATE = [(LEFT_WALL, 0.232), (0.205, 0.262)]
TITLE_Y = 0.63


def background(img, xx, yy, n):
    """A deep blue field, violet glow, rays from the title, and stars."""
    rng = np.random.default_rng(20261206)
    img[...] = np.stack([0.05 + 0.10 * yy, 0.07 + 0.05 * (1 - yy), 0.25 + 0.15 * (1 - yy)], axis=-1)
    art.glows(img, xx, yy, ((0.47, 0.34, 0.30, (0.35, 0.10, 0.45)), (0.47, 0.64, 0.22, (0.05, 0.25, 0.45))))
    ang = np.arctan2(yy - TITLE_Y, xx - MIRROR)
    rays = (np.sin(ang * 18.0) > 0.55).astype(np.float32) * np.exp(-np.hypot(xx - MIRROR, yy - TITLE_Y) * 3.0)
    stars = np.zeros((n, n), dtype=np.float32)
    for x, y, b in rng.random((260, 3)):
        i, j = int(y * n), int(x * n)
        stars[max(0, i - 1): i + 2, max(0, j - 1): j + 2] = 0.25 + 0.6 * b
    light = rays * 0.12 + art.blur(stars, 1.2) * 0.9
    img += light[..., None] * art.f32((0.9, 0.8, 1.3))


def decorate(img, n):
    art.title(img, n, "ZARNIK", "ROLL  \u2022  LIGHT  \u2022  MULTIBALL", TITLE_Y)


STYLE = art.Style(background, decorate)


def pictures(put, at):
    """This table's own sprites: the spinning stars, the banner, the gate."""
    for name, x in (("star L", 0.255), ("star R", mx(0.255))):
        left, top, frames = art.star_frames(x, TITLE_Y)
        at(name, left, top)
        if name == "star L":
            for i, f in enumerate(frames):
                put("star%04d.bmp" % i, f)
    left, top, frames = art.banner_frames()
    at("multiball banner", left, top)
    for i, f in enumerate(frames):
        put("mball%04d.bmp" % i, f)
    left, top, frames = art.gate_frames(GATE)
    at("gate", left, top)
    for i, f in enumerate(frames):
        put("gate%04d.bmp" % i, f)


def outline():
    """The outer wall, from the bottom of the left wall round the top and down
    the plunger lane, as the ball meets it."""
    pts = [(LEFT_WALL, BOTTOM), (LEFT_WALL, 0.24)]
    pts += arc(0.34, 0.24, 0.20, 180.0, 270.0, 10)[1:]
    pts += arc(0.62, 0.28, 0.24, 270.0, 360.0, 24)
    pts += [(LANE_OUTER, 0.99), (LANE_WALL[1], 0.99)]
    return pts


def forms():
    """Every collision form, in the order the ball tests them."""
    f = flipper_forms() + sling_forms()
    for i, (x, y) in enumerate(BUMPERS):
        f.append(Form("bumper %d" % (i + 1), circle(x, y, BUMPER_RADIUS, 16), True,
                      "COLLISION_BOUNCE", 1.5, 0.0, "bumper", (x, y)))
    f.append(Form("gate", GATE, False, "COLLISION_COMBINE", 0.3, 0.7, "gate"))
    f.append(lane_blocker())
    f.append(outer_wall(outline()))
    f.append(lane_wall())
    f.append(Form("orbit wall", capsule([(ORBIT_WALL_X, ORBIT[0]), (ORBIT_WALL_X, ORBIT[1])], 0.014),
                  True, "COLLISION_COMBINE", 0.3, 0.7, "wall"))
    f += guide_forms()
    for i, x in enumerate(LANE_POSTS):
        f.append(Form("lane post %d" % (i + 1), capsule([(x, LANE_Y[0]), (x, LANE_Y[1])], 0.014), True,
                      "COLLISION_COMBINE", 0.4, 0.6, "post"))
    # Sensors: the ball passes through and the form raises its event.
    for i in range(3):
        x0, x1 = LANE_POSTS[i] + 0.007, LANE_POSTS[i + 1] - 0.007
        f.append(Form("lane sensor %d" % (i + 1), [(x0, 0.165), (x1, 0.165)], False,
                      "COLLISION_NONE", 0.2, 0.8, "sensor"))
    f.append(Form("hole sensor", circle(HOLE[0], HOLE[1], HOLE_RADIUS, 8), True,
                  "COLLISION_NONE", 0.2, 0.8, "hole"))
    f.append(Form("orbit sensor", [(LEFT_WALL, 0.40), (ORBIT_WALL_X - 0.007, 0.40)], False,
                  "COLLISION_NONE", 0.2, 0.8, "sensor"))
    return f + end_sensors()


# Pairs of forms the ball must pass between, for the layout checks.
GAPS = [("outer wall", "guide L"), ("lane wall", "guide R"), ("guide L", "sling L"),
        ("guide R", "sling R"), ("outer wall", "orbit wall"), ("lane post 1", "lane post 2"),
        ("bumper 1", "bumper 3"), ("bumper 1", "bumper 2"), ("orbit wall", "sling L")]


def playfield_polygon():
    """The area the ball may be in: the outline closed along the bottom."""
    return playfield_of(outline())


def lamp_spots():
    """Lamps drawn unlit in the playfield and lit by their own pictures:
    name -> (centre x, centre y, radius, colour)."""
    spots = {}
    for i in range(3):
        x = (LANE_POSTS[i] + LANE_POSTS[i + 1]) / 2
        spots["lane lamp %d" % (i + 1)] = (x, 0.225, 0.016, (255, 214, 64))
    for i, (x, y) in enumerate(BUMPERS):
        spots["bumper lamp %d" % (i + 1)] = (x, y, 0.026, (255, 90, 60))
    spots["orbit lamp"] = (0.17, 0.50, 0.014, (80, 220, 255))
    spots.update(sling_lamps())
    for i, x in enumerate((0.36, 0.465, 0.57)):
        spots["bonus lamp %d" % (i + 1)] = (x, 0.56, 0.013, (120, 255, 120))
    return spots


def arrow_spots():
    """Arrow inserts that blink while their shot is the next goal: name -> (x, y, angle)."""
    spots = {}
    for i in range(3):
        x = (LANE_POSTS[i] + LANE_POSTS[i + 1]) / 2
        spots["lane arrow %d" % (i + 1)] = (x, 0.262, -90.0, "arrowup")
    spots["hole arrow"] = (HOLE[0] + 0.04, HOLE[1] + 0.04, -135.0, "arrowhole")
    return spots


def elements(pictures):
    """The element list. pictures maps an art name to its (left, top) in
    table units, as the art module placed it."""
    e = begin(pictures, forms(), FOLDER)

    messages(e, ["Welcome to Zarnik!", "Roll the top lanes from left to right",
                 "Lanes lit: shoot the hole for MULTIBALL", "Open the gate: hit the bumpers",
                 "Shoot the left orbit when the gate is open"])

    # Sprites: arrows that blink while they are the goal, the multiball
    # banner, and the spinning stars beside the title.
    for name, spot in sorted(arrow_spots().items()):
        left, top = pictures[name]
        e.add(name, "StaticSprite", [
            ("atX", left), ("atY", top), ("filestart", FOLDER + spot[3]),
            ("fileend", ".bmp"), ("filecount", 4), ("frametime", 0.09), ("reverse", 0),
            ("likecounter", 0), ("playalways", 0), ("playbackalso", 0), ("loopcount", 1)])
    for name in ("star L", "star R"):
        left, top = pictures[name]
        e.add(name, "StaticSprite", [
            ("atX", left), ("atY", top), ("filestart", FOLDER + "star"), ("fileend", ".bmp"),
            ("filecount", 8), ("frametime", 0.08), ("reverse", int(name.endswith("R"))),
            ("likecounter", 0), ("playalways", 1), ("playbackalso", 0), ("loopcount", 1)])
    left, top = pictures["multiball banner"]
    e.add("multiball banner", "StaticSprite", [
        ("atX", left), ("atY", top), ("filestart", FOLDER + "mball"), ("fileend", ".bmp"),
        ("filecount", 6), ("frametime", 0.07), ("reverse", 0), ("likecounter", 0),
        ("playalways", 0), ("playbackalso", 1), ("loopcount", 1)])

    # Lamps.
    for name in sorted(lamp_spots()):
        left, top = pictures[name]
        if name.startswith("bonus"):
            e.add(name, "Switch", [("atX", left), ("atY", top),
                                   ("filestart", FOLDER + name.replace(" ", "") + "_"),
                                   ("fileend", ".bmp")])
        else:
            e.add(name, "TSwitch", [("atX", left), ("atY", top),
                                    ("filename", FOLDER + name.replace(" ", "") + ".bmp")])
    left, top = pictures["gate"]
    e.add("gate locker", "Locker", [
        ("atX", left), ("atY", top), ("maxtime", 8.0), ("filestart", FOLDER + "gate"),
        ("fileend", ".bmp"), ("filecount", 6), ("frametime", 0.04), ("keycontrol", 0)])
    e.add("kickout", "Teleporter", [
        ("atX", HOLE[0] + 0.03), ("atY", HOLE[1] - 0.01), ("speedX", 0.85), ("speedY", 0.25),
        ("speedValue", 0.75), ("timeToRelease", 1.2)])
    e.add("multiball generator", "BallGenerator", [
        ("atX", 0.70), ("atY", 0.09), ("speedX", -0.9), ("speedY", 0.1), ("speedValue", 0.6)])
    sounds(e)
    e.add("placeholder", "Dummy", [])
    links(e)
    finish(e, FOLDER)
    return e


def links(e):
    # Plain scoring and feedback.
    for i in range(3):
        link(e, "bumper %d hit" % (i + 1), "bumper %d" % (i + 1),
             ["bumper lamp %d" % (i + 1), "sound bumper"], scores=100, time_to_sleep=0.05)
    feedback_links(e)
    for i in range(3):
        link(e, "lane %d pass" % (i + 1), "lane sensor %d" % (i + 1),
             ["lane lamp %d" % (i + 1), "sound lamp"], scores=500, time_to_sleep=0.5)

    # The gate: every fourth hit of the lower bumper opens the orbit gate;
    # the gate's form gives way while the picture shows it open. The locker
    # raises its event inside the opener's step, so the link that watches it
    # stands before the opener: links step from the last to the first.
    link(e, "gate passage", "gate locker", ["gate"], ee_cando=1, ee_invert=1, ee_time=8.2,
         time_to_sleep=0.0)
    link(e, "gate opener", "bumper 3", ["gate locker"], skip_events=4, time_to_sleep=0.05,
         can_activate_menu=1, menu_name="t0 gate")
    link(e, "orbit shot", "orbit sensor", ["orbit lamp", "sound lamp"], scores=2500,
         time_to_sleep=1.0)

    # Multiball, and the lamp frenzy that goes with it. Listed before the
    # goal chain that starts them, so every target a link names stands
    # before it in the list.
    link(e, "bonus frenzy", "placeholder",
         ["bonus lamp 1", "bonus lamp 2", "bonus lamp 3", "star L", "star R"],
         can_set_tres_mode=1, tres_mode_act_count=1, tres_time=12.0, time_to_sleep=0.0)
    link(e, "multiball news", "placeholder", [], can_activate_menu=1, menu_name="t0 multiball",
         time_to_sleep=0.0)
    link(e, "multiball start", "placeholder",
         ["multiball generator", "sound multiball", "multiball banner", "bonus frenzy", "multiball news"],
         scores=10000, time_to_sleep=0.0, can_activate_menu=1, menu_name="multiball")

    # The goal: roll the three lanes from left to right, then the hole
    # starts multiball. The current link's arrow blinks.
    # Becoming current shows the goal beside the table.
    lanes = dict(can_actmenu_whencurrent=1, menu_name="t0 lanes")
    link(e, "goal lane 1", "lane sensor 1", [], next="goal lane 2", active_element="lane arrow 1",
         initially_current=1, change_count=1, big_scores=1000, time_to_sleep=0.5, **lanes)
    link(e, "goal lane 2", "lane sensor 2", [], next="goal lane 3", active_element="lane arrow 2",
         change_count=1, big_scores=2000, time_to_sleep=0.5, **lanes)
    link(e, "goal lane 3", "lane sensor 3", [], next="goal hole", active_element="lane arrow 3",
         change_count=1, big_scores=3000, time_to_sleep=0.5, **lanes)
    link(e, "goal hole", "hole sensor", ["kickout", "sound lamp", ("multiball start", 1)],
         next="goal lane 1", active_element="hole arrow", change_count=1,
         scores=1000, big_scores=5000, time_to_sleep=2.0, can_actmenu_whencurrent=1, menu_name="t0 hole")
