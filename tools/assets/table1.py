"""The second table, VOLCANO: a left orbit, a lava tube (the ramp: the ball
goes in at the right and comes out above the left inlane), and the crater,
a saucer behind a gate that the HOT targets open.

Rules: the targets H, O and T hit in turn open the crater gate for fifteen
seconds; the crater erupts for 15000. Every third trip through the lava tube
is a super ramp of 25000."""
import numpy as np

import art
from panel_art import Theme
from shapes import arc, capsule, circle
from tablekit import (BUMPER_RADIUS, Form, LEFT_WALL, MIRROR, SIZE, begin, end_sensors, feedback_links,
                      finish, flipper_forms, folder, guide_forms, lane_blocker, lane_wall, link, messages,
                      outer_wall, outlane_covers, playfield_of, round_top_outline, sling_forms, sling_lamps,
                      sounds)

NAME = "VOLCANO"
FOLDER = folder(1)
THEME = Theme(NAME, dark=(30, 6, 4), light=(96, 30, 14), accent=(255, 150, 70),
              glow=(1.0, 0.3, 0.05), ink=(255, 90, 20))
MESSAGES = {
    "t1 targets": "HIT H, O AND T\\nIN TURN TO OPEN\\nTHE CRATER",
    "t1 crater": "CRATER OPEN!\\nSHOOT IT NOW",
    "t1 eruption": "ERUPTION!\\n15000",
    "t1 super": "SUPER RAMP!\\n25000",
}
CLIPS = {
    "eruption": ("data\\clips\\eruption.avi", "ERUPTION", ((40, 6, 4), (255, 120, 30)), "rise"),
    "superramp": ("data\\clips\\superramp.avi", "SUPER RAMP", ((30, 10, 6), (255, 210, 80)), "swirl"),
}

BUMPERS = [(0.30, 0.34), (0.545, 0.36)]
TARGETS = [(0.375, 0.47), (0.465, 0.445), (0.555, 0.47)]
TARGET_RADIUS = 0.017
ORBIT_WALL_X = 0.205
ORBIT = (0.28, 0.55)
CRATER_X = 0.43
CRATER_HALF = 0.057  # centre to each side wall
CRATER_TOP, CRATER_BOTTOM = 0.15, 0.26
RAMP_X = (0.645, 0.725)  # the tube's mouth: left and right wall
RAMP_Y = (0.34, 0.56)  # its top and bottom
TUBE_EXIT = (0.2455, 0.62)  # above the left inlane
TITLE_Y = 0.63
CRATER_TIME = 15.0


outline = round_top_outline


def playfield_polygon():
    return playfield_of(outline())


def crater_shell():
    """The crater's walls and pointed roof; its mouth faces down."""
    x0, x1 = CRATER_X - CRATER_HALF, CRATER_X + CRATER_HALF
    return [(x0, CRATER_BOTTOM), (x0, CRATER_TOP + 0.04), (CRATER_X, CRATER_TOP),
            (x1, CRATER_TOP + 0.04), (x1, CRATER_BOTTOM)]


def ramp_shell():
    x0, x1 = RAMP_X
    top, bottom = RAMP_Y
    return [(x0, bottom), (x0, top), ((x0 + x1) / 2, top - 0.035), (x1, top), (x1, bottom - 0.01)]


def forms():
    f = flipper_forms() + sling_forms()
    for i, (x, y) in enumerate(BUMPERS):
        f.append(Form("bumper %d" % (i + 1), circle(x, y, BUMPER_RADIUS, 16), True,
                      "COLLISION_BOUNCE", 1.5, 0.0, "bumper", (x, y)))
    for i, (x, y) in enumerate(TARGETS):
        f.append(Form("target %d" % (i + 1), circle(x, y, TARGET_RADIUS, 12), True,
                      "COLLISION_BOUNCE", 1.1, 0.0, "target", (x, y)))
    x0, x1 = CRATER_X - CRATER_HALF, CRATER_X + CRATER_HALF
    f.append(Form("crater gate", [(x0, CRATER_BOTTOM + 0.006), (x1, CRATER_BOTTOM + 0.006)], False,
                  "COLLISION_COMBINE", 0.3, 0.7, "gate"))
    f.append(lane_blocker())
    f.append(outer_wall(outline()))
    f.append(lane_wall())
    f.append(Form("orbit wall", capsule([(ORBIT_WALL_X, ORBIT[0]), (ORBIT_WALL_X, ORBIT[1])], 0.014),
                  True, "COLLISION_COMBINE", 0.3, 0.7, "wall"))
    f.append(Form("crater shell", capsule(crater_shell(), 0.014), True, "COLLISION_COMBINE", 0.3, 0.7, "wall"))
    f.append(Form("ramp shell", capsule(ramp_shell(), 0.014), True, "COLLISION_COMBINE", 0.3, 0.7, "wall"))
    f += guide_forms() + outlane_covers()
    f.append(Form("orbit sensor", [(LEFT_WALL, 0.40), (ORBIT_WALL_X - 0.007, 0.40)], False,
                  "COLLISION_NONE", 0.2, 0.8, "sensor"))
    f.append(Form("crater sensor", [(x0 + 0.012, CRATER_BOTTOM - 0.03), (x1 - 0.012, CRATER_BOTTOM - 0.03)],
                  False, "COLLISION_NONE", 0.2, 0.8, "none"))
    f.append(Form("ramp sensor", [(RAMP_X[0] + 0.008, RAMP_Y[0] + 0.04), (RAMP_X[1] - 0.008, RAMP_Y[0] + 0.04)],
                  False, "COLLISION_NONE", 0.2, 0.8, "none"))
    return f + end_sensors()


# Pairs of forms the ball must pass between, for the layout checks.
GAPS = [("outer wall", "orbit wall"), ("orbit wall", "bumper 1"), ("bumper 1", "crater shell"),
        ("crater shell", "bumper 2"), ("bumper 2", "ramp shell"), ("ramp shell", "lane wall"),
        ("target 1", "target 2"), ("target 2", "target 3"), ("crater shell", "outer wall"),
        ("guide L", "sling L"), ("guide R", "sling R")]


def lamp_spots():
    spots = {}
    for i, (x, y) in enumerate(BUMPERS):
        spots["bumper lamp %d" % (i + 1)] = (x, y, 0.026, (255, 150, 40))
    for i, (x, y) in enumerate(TARGETS):
        spots["target lamp %d" % (i + 1)] = (x, y, 0.011, (255, 230, 120))
    spots["orbit lamp"] = (0.17, 0.50, 0.014, (255, 200, 60))
    for i, (x, y) in enumerate(tube_path()[1:-1:2]):
        spots["tube lamp %d" % (i + 1)] = (x, y, 0.010, (255, 170, 50))
    spots.update(sling_lamps((255, 140, 60)))
    return spots


def arrow_spots():
    spots = {"crater arrow": (CRATER_X, CRATER_BOTTOM + 0.06, -90.0, "arrowup"),
             "ramp arrow": (sum(RAMP_X) / 2, RAMP_Y[1] + 0.05, -90.0, "arrowup"),
             "orbit arrow": (0.172, 0.585, -90.0, "arrowup")}
    for i, (x, y) in enumerate(TARGETS):
        spots["target arrow %d" % (i + 1)] = (x, y + 0.075, -90.0, "arrowup")
    return spots


def heat_spots():
    """The letters H, O and T, under their targets."""
    return [(x, y + 0.043) for x, y in TARGETS]


def tube_spots():
    """Lamps 1 to 3 inside the tube's mouth, from the bottom up."""
    x = sum(RAMP_X) / 2
    return [(x, RAMP_Y[1] - 0.035 - 0.045 * i) for i in range(3)]


def tube_path():
    """Where the lava tube runs under the field: from the mouth's top, over
    the crater, down the left side to its exit above the inlane."""
    pts = [(sum(RAMP_X) / 2, RAMP_Y[0] - 0.05)]
    pts += arc(0.43, 0.33, 0.245, -40.0, -140.0, 8)[1:]
    pts += [(0.17, 0.42), (0.20, 0.53), TUBE_EXIT]
    return pts


# ---------------------------------------------------------------------------
# The look

def background(img, xx, yy, n):
    """Dark basalt with glowing cracks, hotter towards the crater."""
    rng = np.random.default_rng(1001)
    rock = 0.06 + 0.03 * art.blur(rng.random((n, n)).astype(np.float32), 2.0)
    img[...] = np.stack([rock * 1.3, rock * 0.9, rock * 0.8], -1)
    cracks = np.zeros((n, n), np.float32)
    for scale, weight in ((9, 1.0), (18, 0.6)):
        field = rng.random((scale, scale)).astype(np.float32)
        from PIL import Image
        up = np.asarray(Image.fromarray((field * 255).astype(np.uint8)).resize((n, n), Image.BICUBIC),
                        np.float32) / 255.0
        cracks += weight * np.clip(1.0 - np.abs(up - 0.5) * 40.0, 0, 1)
    heat = np.exp(-((xx - CRATER_X) ** 2 + (yy - 0.25) ** 2) / 0.12) * 0.8 + 0.25
    glow = art.blur(np.clip(cracks, 0, 1), 3.0)
    img += (np.clip(cracks, 0, 1) * heat)[..., None] * art.f32((1.0, 0.45, 0.08))
    img += (glow * heat * 1.2)[..., None] * art.f32((0.8, 0.15, 0.02))
    art.glows(img, xx, yy, ((CRATER_X, 0.22, 0.16, (0.6, 0.12, 0.0)), (MIRROR, 0.66, 0.2, (0.35, 0.08, 0.0))))


def decorate(img, n):
    sc = float(n)
    # The lava tube, glowing under the rock.
    path = tube_path()
    w = art.Window(img, 0.43, 0.40, 0.34)
    tube = w.mask([capsule(path, 0.05)])
    core = w.mask([capsule(path, 0.022)])
    w.paint(art.f32((0.35, 0.06, 0.0)), art.blur(tube, 0.01 * n) * 0.8)
    w.paint(art.f32((1.0, 0.42, 0.05)), core * 0.55)
    # The tube's exit: a dark mouth above the inlane.
    ex, ey = TUBE_EXIT
    w = art.Window(img, ex, ey, 0.04)
    r = np.hypot(w.xx - ex, w.yy - ey)
    w.paint(art.f32((0.05, 0.01, 0.0)), np.clip((0.026 - r) * sc / 1.5, 0, 1))
    w.paint(art.f32((1.0, 0.5, 0.1)), np.clip(1 - np.abs(r - 0.026) * sc / 3.0, 0, 1))
    # The crater's floor, hot.
    w = art.Window(img, CRATER_X, 0.21, 0.07)
    m = w.mask([[(CRATER_X - CRATER_HALF, CRATER_BOTTOM), (CRATER_X - CRATER_HALF, CRATER_TOP + 0.04),
                 (CRATER_X, CRATER_TOP), (CRATER_X + CRATER_HALF, CRATER_TOP + 0.04),
                 (CRATER_X + CRATER_HALF, CRATER_BOTTOM)]])
    r = np.hypot(w.xx - CRATER_X, w.yy - 0.215)
    w.paint(art.f32((1.0, 0.55, 0.1)) * np.clip(1.2 - r * 18, 0.2, 1)[..., None], m * 0.9)
    # The tube's mouth, dark inside.
    w = art.Window(img, sum(RAMP_X) / 2, 0.45, 0.12)
    m = w.mask([[(RAMP_X[0], RAMP_Y[1]), (RAMP_X[0], RAMP_Y[0]), (sum(RAMP_X) / 2, RAMP_Y[0] - 0.035),
                 (RAMP_X[1], RAMP_Y[0]), (RAMP_X[1], RAMP_Y[1])]])
    k = np.clip((w.yy - RAMP_Y[0]) / (RAMP_Y[1] - RAMP_Y[0]), 0, 1)
    w.paint(art.f32((0.9, 0.3, 0.05)) * (1 - k)[..., None] + art.f32((0.08, 0.02, 0.0)) * k[..., None], m * 0.9)
    art.title(img, n, "VOLCANO", "HOT  \u2022  CRATER  \u2022  LAVA TUBE", TITLE_Y,
              ((1.0, 0.3, 0.05), lambda t: np.clip(np.stack([np.ones_like(t), 0.75 - 3.0 * t, 0.2 - 2.0 * t], -1), 0, 1)))


STYLE = art.Style(background, decorate, wood=(0.10, 0.08, 0.08), cabinet=(0.25, 0.22, 0.22),
                  wall=(0.55, 0.50, 0.48), sling=(0.30, 0.27, 0.26), sling_face=(1.0, 0.45, 0.05),
                  bumper_skirt=(0.95, 0.35, 0.05), bumper_cap=(0.35, 0.05, 0.02), star=(1.0, 0.75, 0.2),
                  ring=(1.0, 0.45, 0.1), stripe=(1.0, 0.5, 0.15), grain=25.0)


def counter_frames(spots, labels, colour):
    """Frames of letter lamps at spots (table units), lit up to the frame's
    number; returns (left, top, frames)."""
    r = 0.017
    box = art.box_for([[(x - r, y - r), (x + r, y + r)] for x, y in spots], 1)
    left, top, w, h = box
    shape = (h * art.SS, w * art.SS)
    sc = SIZE * art.SS
    fnt = art.font("DejaVuSans-Bold.ttf", int(0.022 * sc))
    frames = []
    for lit in range(len(labels)):
        rgb = np.zeros(shape + (3,), np.float32)
        alpha = np.zeros(shape, np.float32)
        for i, ((x, y), ch) in enumerate(zip(spots, labels)):
            cx, cy = (x - left / SIZE) * sc, (y - top / SIZE) * sc
            disc = art.poly_mask(shape, [circle(x, y, r, 20)], sc, (left / SIZE, top / SIZE))
            m = art.text_mask(shape, ch, fnt, (cx, cy))
            on = i < lit
            rgb = art.over(rgb, art.shaded(colour if on else (0.3, 0.08, 0.03), art.bevel(disc, 3), disc,
                                           0.6 if on else 0.2), disc)
            rgb = art.over(rgb, art.f32((1.0, 1.0, 0.85)) if on else art.f32((0.75, 0.45, 0.3)), m)
            alpha = np.maximum(alpha, disc)
        frames.append(art.sprite(rgb, alpha))
    return left, top, frames


def pictures(put, at):
    x0, x1 = CRATER_X - CRATER_HALF, CRATER_X + CRATER_HALF
    y = CRATER_BOTTOM + 0.006
    polys = []
    for i in range(6):
        k = i / 5.0  # the bar sinks into the floor from both ends
        polys.append(capsule([(x0 + k * 0.05, y), (x1 - k * 0.05, y)], 0.012 * (1 - k) + 0.002))
    box = art.box_for(polys)
    at("crater locker", box[0], box[1])
    for i, p in enumerate(polys):
        put("gate%04d.bmp" % i, art.render_polys([p], box, (1.0, 0.45 + 0.1 * i, 0.1), 2, 0.7))
    left, top, frames = art.banner_frames("ERUPTION", 0.43, (1.0, 0.2, 0.0))
    at("eruption banner", left, top)
    for i, f in enumerate(frames):
        put("erupt%04d.bmp" % i, f)
    for name, start, spots, labels in (("heat meter", "heat", heat_spots(), "HOT"),
                                       ("tube meter", "tube", tube_spots(), "123")):
        left, top, frames = counter_frames(spots, labels, (1.0, 0.55, 0.08))
        at(name, left, top)
        for i, f in enumerate(frames):
            put("%s%04d.bmp" % (start, i), f)


# ---------------------------------------------------------------------------
# Elements and rules

def elements(pictures):
    e = begin(pictures, forms(), FOLDER)
    messages(e, ["Welcome to the VOLCANO!", "Hit the HOT targets to open the crater",
                 "Every third trip through the lava tube is a SUPER RAMP",
                 "Shoot the crater while it is open: ERUPTION"])
    for name, spot in sorted(arrow_spots().items()):
        left, top = pictures[name]
        e.add(name, "StaticSprite", [
            ("atX", left), ("atY", top), ("filestart", FOLDER + spot[3]), ("fileend", ".bmp"),
            ("filecount", 4), ("frametime", 0.09), ("reverse", 0), ("likecounter", 0),
            ("playalways", int(name in ("ramp arrow", "orbit arrow"))), ("playbackalso", 0), ("loopcount", 1)])
    left, top = pictures["eruption banner"]
    e.add("eruption banner", "StaticSprite", [
        ("atX", left), ("atY", top), ("filestart", FOLDER + "erupt"), ("fileend", ".bmp"),
        ("filecount", 6), ("frametime", 0.07), ("reverse", 0), ("likecounter", 0),
        ("playalways", 0), ("playbackalso", 1), ("loopcount", 2)])
    for name, start in (("heat meter", "heat"), ("tube meter", "tube")):
        left, top = pictures[name]
        e.add(name, "StaticSprite", [
            ("atX", left), ("atY", top), ("filestart", FOLDER + start), ("fileend", ".bmp"),
            ("filecount", 3), ("frametime", 0.1), ("reverse", 0), ("likecounter", 1),
            ("playalways", 0), ("playbackalso", 0), ("loopcount", 1)])
    for name in sorted(lamp_spots()):
        left, top = pictures[name]
        e.add(name, "TSwitch", [("atX", left), ("atY", top),
                                ("filename", FOLDER + name.replace(" ", "") + ".bmp")])
    left, top = pictures["crater locker"]
    e.add("crater locker", "Locker", [
        ("atX", left), ("atY", top), ("maxtime", CRATER_TIME), ("filestart", FOLDER + "gate"),
        ("fileend", ".bmp"), ("filecount", 6), ("frametime", 0.05), ("keycontrol", 0)])
    e.add("crater kickout", "Teleporter", [
        ("atX", CRATER_X), ("atY", CRATER_BOTTOM + 0.05), ("speedX", 0.35), ("speedY", 1.0),
        ("speedValue", 0.55), ("timeToRelease", 1.5)])
    e.add("tube exit", "Teleporter", [
        ("atX", TUBE_EXIT[0]), ("atY", TUBE_EXIT[1]), ("speedX", 0.0), ("speedY", 1.0),
        ("speedValue", 0.35), ("timeToRelease", 0.9)])
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
    link(e, "orbit shot", "orbit sensor", ["orbit lamp", "sound lamp"], scores=1500, time_to_sleep=1.0)
    for i in range(len(TARGETS)):
        link(e, "target %d hit" % (i + 1), "target %d" % (i + 1),
             ["target lamp %d" % (i + 1), "sound lamp"], scores=250, time_to_sleep=0.3)

    # The crater. A link that watches another link's or the locker's event
    # stands before the link whose step raises it: links step from the last
    # to the first. Sprites are never watched: their events from the light
    # show after loading would still be up at the first frame of play.
    link(e, "crater passage", "crater locker", ["crater gate"], ee_cando=1, ee_invert=1,
         ee_time=CRATER_TIME + 0.2, time_to_sleep=0.0)
    link(e, "eruption news", "placeholder", [], can_activate_menu=1, menu_name="t1 eruption",
         time_to_sleep=0.0)
    link(e, "eruption", "crater sensor", ["crater kickout", "sound multiball", "eruption banner",
                                          "eruption news"],
         scores=15000, time_to_sleep=0.0, can_activate_menu=1, menu_name="eruption")
    link(e, "crater open", "placeholder", ["crater locker", "sound launch"], scores=1000, time_to_sleep=0.0)
    # The goal: H, O and T in turn (the arrow under the next one blinks),
    # then the crater while it is open.
    heat = dict(change_count=1, time_to_sleep=0.3, can_actmenu_whencurrent=1, menu_name="t1 targets")
    link(e, "goal crater", "crater sensor", [], next="goal target 1", active_element="crater arrow",
         change_count=1, time_to_sleep=0.0, change_current_timeout=CRATER_TIME,
         timeout_next="goal target 1", can_actmenu_whencurrent=1, menu_name="t1 crater")
    link(e, "goal target 3", "target 3", [("heat meter", 1), ("crater open", 1)], next="goal crater",
         active_element="target arrow 3", big_scores=1000, **heat)
    link(e, "goal target 2", "target 2", [("heat meter", 1)], next="goal target 3",
         active_element="target arrow 2", big_scores=500, **heat)
    link(e, "goal target 1", "target 1", [("heat meter", 1)], next="goal target 2",
         active_element="target arrow 1", big_scores=500, initially_current=1, **heat)

    # The lava tube: in at the mouth, out above the left inlane; every third
    # trip (one event of the sensor each: the ball is taken at once) is a
    # super ramp.
    link(e, "super news", "placeholder", [], can_activate_menu=1, menu_name="t1 super", time_to_sleep=0.0)
    link(e, "super ramp", "ramp sensor", ["super news", "sound multiball"], scores=25000, skip_events=3,
         time_to_sleep=0.0, can_activate_menu=1, menu_name="superramp")
    tube_lamps = ["tube lamp %d" % (i + 1) for i in range(len(tube_path()[1:-1:2]))]
    link(e, "tube ride", "ramp sensor", ["tube exit", "sound launch", "tube meter"] + tube_lamps,
         scores=2000, time_to_sleep=0.0)
