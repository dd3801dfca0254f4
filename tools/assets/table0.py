"""The default table: its layout (the one source of both the collision forms
and the drawn playfield) and its elements and rules."""
import math

from panel_art import Theme
from script import ElementList, Ref
from shapes import arc, capsule, circle, rotate

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

SIZE = 560  # pixels across the table: square table units
RECT = (0, 20, SIZE, 20 + SIZE)  # left, top, right, bottom on an 800 x 600 screen
FOLDER = "data\\tables\\t0000\\"
BALL_RADIUS = 0.02

LEFT_WALL = 0.14
LANE_WALL = (0.79, 0.805)  # the wall between the plunger lane and the playfield
LANE_OUTER = 0.86
LANE_TOP = 0.30
PLUNGER_Y = 0.925
PLUNGER_TRAVEL = 0.03
BALL_START = (0.8325, 0.86)
BOTTOM = 1.25  # walls run past the picture so a drained ball falls out cleanly
MIRROR = (LEFT_WALL + LANE_WALL[0]) / 2  # flippers, guides and slings are symmetric about it
FLIPPER_PIVOT = (0.335, 0.885)
FLIPPER_LENGTH = 0.105
FLIPPER_REST = math.radians(28.0)  # below the horizontal
FLIPPER_SWING = math.radians(58.0)
FLIPPER_RADII = (0.021, 0.010)  # at the pivot and at the tip
FLIPPER_FRAMES = 8
GUIDE_WIDTH = 0.014
PLUNGER_FRAMES = 6
BUMPERS = [(0.38, 0.32), (0.56, 0.32), (0.47, 0.45)]
BUMPER_RADIUS = 0.042
LANE_POSTS = [0.40, 0.50, 0.60, 0.70]
LANE_Y = (0.13, 0.19)
HOLE = (0.27, 0.49)
HOLE_RADIUS = 0.014
ORBIT_WALL_X = 0.20
ORBIT = (0.27, 0.56)  # top and bottom of the orbit's inner wall
GATE = [(LEFT_WALL, 0.232), (0.205, 0.262)]
TITLE_Y = 0.63


def mx(x):
    return 2 * MIRROR - x


def mirror(points):
    return [(mx(x), y) for x, y in points][::-1]


class Form:
    """One collision form and how it is drawn."""

    def __init__(self, name, points, closed, c_type, kb, ks, style, pivot=None):
        self.name, self.points, self.closed = name, points, closed
        self.c_type, self.kb, self.ks, self.style = c_type, kb, ks, style
        self.pivot = pivot


def outline():
    """The outer wall, from the bottom of the left wall round the top and down
    the plunger lane, as the ball meets it."""
    pts = [(LEFT_WALL, BOTTOM), (LEFT_WALL, 0.24)]
    pts += arc(0.34, 0.24, 0.20, 180.0, 270.0, 10)[1:]
    pts += arc(0.62, 0.28, 0.24, 270.0, 360.0, 24)
    pts += [(LANE_OUTER, 0.99), (LANE_WALL[1], 0.99)]
    return pts


def flipper_outline(angle, right):
    """The bat at rest rotated by angle; the tip comes first (the flipper's
    strike test takes the first vertex as the bat's direction)."""
    px, py = FLIPPER_PIVOT
    r0, r1 = FLIPPER_RADII
    tip = (px + FLIPPER_LENGTH, py)
    pts = [(tip[0] + r1, py)]
    pts += arc(tip[0], py, r1, 0.0, 90.0, 3)[1:]
    pts += arc(px, py, r0, 90.0, 270.0, 8)
    pts += arc(tip[0], py, r1, 270.0, 360.0, 3)[:-1]
    pts = rotate(pts, px, py, FLIPPER_REST + angle)
    if right:
        pts = [(mx(x), y) for x, y in pts]
    return pts


def guide_end():
    """Where an inlane guide meets its bat: its top surface runs onto the bat's
    top edge just past the pivot, so a ball rolls from one onto the other
    instead of resting in a dip between the guide's end and the pivot."""
    px, py = FLIPPER_PIVOT
    up = (math.sin(FLIPPER_REST), -math.cos(FLIPPER_REST))
    along = (math.cos(FLIPPER_REST), math.sin(FLIPPER_REST))
    k = FLIPPER_RADII[0] - GUIDE_WIDTH / 2
    return (px + k * up[0] + 0.01 * along[0], py + k * up[1] + 0.01 * along[1])


def forms():
    """Every collision form, in the order the ball tests them."""
    f = []
    f.append(Form("flipper form L", flipper_outline(0.0, False), True,
                  "COLLISION_COMBINE", 0.25, 0.75, "flipper", FLIPPER_PIVOT))
    f.append(Form("flipper form R", flipper_outline(0.0, True), True,
                  "COLLISION_COMBINE", 0.25, 0.75, "flipper", (mx(FLIPPER_PIVOT[0]), FLIPPER_PIVOT[1])))
    f.append(Form("plunger form", [(LANE_WALL[1], PLUNGER_Y), (LANE_OUTER, PLUNGER_Y)], False,
                  "COLLISION_STOP", 0.0, 0.0, "plunger", ((LANE_WALL[1] + LANE_OUTER) / 2, PLUNGER_Y)))
    # Slingshots: the kicking face is its own bouncy form, tested before the body.
    sling = [(0.27, 0.665), (0.27, 0.765), (0.318, 0.797)]
    for side, pts in (("L", sling), ("R", [(mx(x), y) for x, y in sling])):
        face = [pts[0], pts[2]]
        f.append(Form("sling face " + side, face, False, "COLLISION_BOUNCE", 1.45, 0.0, "sling face"))
        f.append(Form("sling " + side, pts, True, "COLLISION_COMBINE", 0.35, 0.65, "sling"))
    for i, (x, y) in enumerate(BUMPERS):
        f.append(Form("bumper %d" % (i + 1), circle(x, y, BUMPER_RADIUS, 16), True,
                      "COLLISION_BOUNCE", 1.5, 0.0, "bumper", (x, y)))
    f.append(Form("gate", GATE, False, "COLLISION_COMBINE", 0.3, 0.7, "gate"))
    f.append(Form("lane blocker", [(LANE_WALL[0], LANE_TOP - 0.005), (LANE_OUTER, LANE_TOP - 0.05)],
                  False, "COLLISION_COMBINE", 0.3, 0.7, "blocker"))
    f.append(Form("outer wall", outline(), False, "COLLISION_COMBINE", 0.25, 0.75, "outline"))
    f.append(Form("lane wall", capsule([(sum(LANE_WALL) / 2, LANE_TOP), (sum(LANE_WALL) / 2, BOTTOM)],
                                       LANE_WALL[1] - LANE_WALL[0]), True,
                  "COLLISION_COMBINE", 0.2, 0.8, "wall"))
    f.append(Form("orbit wall", capsule([(ORBIT_WALL_X, ORBIT[0]), (ORBIT_WALL_X, ORBIT[1])], 0.014),
                  True, "COLLISION_COMBINE", 0.3, 0.7, "wall"))
    guide = [(0.215, 0.66), (0.215, 0.80), guide_end()]
    f.append(Form("guide L", capsule(guide, GUIDE_WIDTH), True, "COLLISION_COMBINE", 0.3, 0.7, "wall"))
    f.append(Form("guide R", capsule([(mx(x), y) for x, y in guide], GUIDE_WIDTH), True,
                  "COLLISION_COMBINE", 0.3, 0.7, "wall"))
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
    f.append(Form("lane exit sensor", [(0.74, 0.03), (0.74, 0.24)], False,
                  "COLLISION_NONE", 0.2, 0.8, "none"))
    f.append(Form("drain sensor", [(LEFT_WALL, 1.03), (LANE_WALL[0], 1.03)], False,
                  "COLLISION_NONE", 0.2, 0.8, "none"))
    return f


def playfield_polygon():
    """The area the ball may be in: the outline closed along the bottom."""
    return outline() + [(LANE_WALL[1], BOTTOM)]


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
    spots["sling lamp L"] = (0.289, 0.745, 0.010, (255, 120, 220))
    spots["sling lamp R"] = (mx(0.289), 0.745, 0.010, (255, 120, 220))
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


def px(v):
    return int(v * SIZE)


def elements(pictures):
    """The element list. pictures maps an art name to its (left, top) in
    table units, as the art module placed it."""
    e = ElementList()
    bx, by = BALL_START
    e.add("ball", "MainBall", [
        ("name", "Glass Ball"), ("atX", bx), ("atY", by),
        ("startup_position_x", bx), ("startup_position_y", by),
        ("startup_speed_x", 0.0), ("startup_speed_y", 0.0),
        ("radius", BALL_RADIUS), ("opacity", 0.5),
        ("dmap", "data\\balls\\dmap.bmp"), ("dmplus", "data\\balls\\dmplus.bmp"),
        ("image", "data\\balls\\image.bmp"), ("shadow", "data\\balls\\shadow.bmp"),
        ("shX", 2), ("shY", 3), ("refX", 0), ("refY", -6), ("temp", 0)])
    for f in forms():
        pivot = f.pivot or (sum(p[0] for p in f.points) / len(f.points),
                            sum(p[1] for p in f.points) / len(f.points))
        e.add(f.name, "CollisionForm",
              [("atX", pivot[0]), ("atY", pivot[1]), ("k_bounce", f.kb), ("k_slide", f.ks),
               ("f_type", "CLOSED" if f.closed else "OPENED"), ("c_type", f.c_type)],
              [("Line", [("toX", x), ("toY", y)]) for x, y in f.points])
    for side, control, sign in (("L", 2, 1.0), ("R", 1, -1.0)):
        left, top = pictures["flipper " + side]
        # LEFTHANDLE turns its form with +1, RIGHTHANDLE with -1: the signs
        # of maxangle make both bats swing up.
        e.add("flipper " + side, "Handle", [
            ("atX", left), ("atY", top), ("filestart", FOLDER + "flip" + side.lower()),
            ("fileend", ".bmp"), ("filecount", FLIPPER_FRAMES), ("fspeed", 22.0), ("bspeed", 12.0),
            ("maxangle", -sign * FLIPPER_SWING), ("length", FLIPPER_LENGTH), ("control", control),
            ("form", Ref("flipper form " + side))])
    left, top = pictures["plunger"]
    e.add("plunger", "Spring", [
        ("atX", left), ("atY", top), ("filestart", FOLDER + "plunger"), ("fileend", ".bmp"),
        ("filecount", PLUNGER_FRAMES), ("fspeed", 1.2), ("bspeed", 9.0),
        ("maxangle", PLUNGER_TRAVEL), ("kmax", 0.86), ("control", 3), ("form", Ref("plunger form"))])

    # Messages. The three named strings are driven by the table itself.
    e.add("welcome", "TravelingString", [
        ("name", "welcome"), ("message", "Welcome to Zarnik!"), ("font", "msgfnt"),
        ("center", 0), ("swiched", 1), ("active", 1), ("type", 2),
        ("tspeedX", 0.32), ("tspeedY", 0.0), ("atX", 1.0), ("atY", 0.575)],
        [("SimpleMessage", [("string", s)]) for s in (
            "Welcome to Zarnik!", "Roll the top lanes from left to right",
            "Lanes lit: shoot the hole for MULTIBALL", "Open the gate: hit the bumpers",
            "Shoot the left orbit when the gate is open")])
    e.add("nextball", "TravelingString", [
        ("name", "nextball"), ("message", "Ball 01 from 03"), ("font", "msgfnt"),
        ("center", 0), ("swiched", 1), ("active", 0), ("type", 2),
        ("tspeedX", 0.4), ("tspeedY", 0.0), ("atX", 1.0), ("atY", 0.575)])
    e.add("gameover", "TravelingString", [
        ("name", "gameover"), ("message", "GAME OVER"), ("font", "bigfnt"),
        ("center", 0), ("swiched", 0), ("active", 0), ("type", 2),
        ("tspeedX", 0.3), ("tspeedY", 0.0), ("atX", 1.0), ("atY", 0.5)],
        [("SimpleMessage", [("string", "GAME OVER")])])

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
    for s in ("bumper", "slingshot", "flipper", "launch", "lamp", "drain", "multiball"):
        e.add("sound " + s, "SoundObj", [("filename", "data\\sounds\\%s.wav" % s)])
    e.add("placeholder", "Dummy", [])
    links(e)
    # The game screen's panel and the cabinet above and below the table,
    # drawn over the playfield's edges so a nudge doesn't uncover them.
    for name, x, y in (("panel", 1.0, -RECT[1] / SIZE), ("strip top", 0.0, -RECT[1] / SIZE),
                       ("strip bottom", 0.0, 1.0)):
        e.add(name, "StaticPicture", [("filename", FOLDER + name.replace(" ", "") + ".bmp"),
                                      ("atX", x), ("atY", y), ("noTilt", 1)])
    e.add("playfield", "StaticPicture", [
        ("filename", FOLDER + "playfield.bmp"), ("atX", 0.0), ("atY", 0.0), ("noTilt", 0)])
    return e


def link(e, name, source, targets=(), **keys):
    """A rule link; targets are element names, or (name, current_only)."""
    fields = [("from", Ref(source))]
    for k in ("next", "active_element", "timeout_next"):
        if k in keys:
            keys[k] = Ref(keys[k])
    fields += sorted(keys.items())
    subs = []
    for t in targets:
        name_t, only = (t, 0) if isinstance(t, str) else t
        subs.append(("To", [("current_only", only), ("to", Ref(name_t))]))
    e.add(name, "Link", fields, subs)


def links(e):
    # Plain scoring and feedback.
    for i in range(3):
        link(e, "bumper %d hit" % (i + 1), "bumper %d" % (i + 1),
             ["bumper lamp %d" % (i + 1), "sound bumper"], scores=100, time_to_sleep=0.05)
    for side in "LR":
        link(e, "sling %s hit" % side, "sling face " + side, ["sling lamp " + side, "sound slingshot"],
             scores=50, time_to_sleep=0.05)
        link(e, "flipper %s sound" % side, "flipper " + side, ["sound flipper"], time_to_sleep=0.0)
    link(e, "launch sound", "plunger", ["sound launch"], time_to_sleep=0.0)
    link(e, "drain sound", "drain sensor", ["sound drain"], time_to_sleep=1.0)
    for i in range(3):
        link(e, "lane %d pass" % (i + 1), "lane sensor %d" % (i + 1),
             ["lane lamp %d" % (i + 1), "sound lamp"], scores=500, time_to_sleep=0.5)

    # The plunger lane's one-way exit: passing the exit closes the lane top,
    # a ball back on the plunger opens it.
    link(e, "lane exit closes", "lane exit sensor", ["lane blocker"],
         ee_cando=1, ee_atstart=1, ee_time=100000.0, time_to_sleep=0.0)
    link(e, "plunger opens lane", "plunger form", ["lane blocker"],
         ee_cando=1, ee_invert=1, ee_time=100000.0, time_to_sleep=0.0)

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
