"""What every table shares: the screen rectangle, the lower playfield (flippers,
slingshots, inlane guides, the plunger lane and the drain), the ball, the
game's three messages, the sounds and the side panel, and the link helper.
Each table module adds its upper playfield and its rules."""
import math

from script import ElementList, Ref
from shapes import arc, capsule

SIZE = 560  # pixels across the table: square table units
RECT = (0, 20, SIZE, 20 + SIZE)  # left, top, right, bottom on an 800 x 600 screen
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
SLING = [(0.27, 0.665), (0.27, 0.765), (0.318, 0.797)]
GUIDE = [(0.215, 0.66), (0.215, 0.80)]
BUMPER_RADIUS = 0.042
HOLE_RADIUS = 0.014
SOUNDS = ("bumper", "slingshot", "flipper", "launch", "lamp", "drain", "multiball")


def mx(x):
    return 2 * MIRROR - x


def mirror(points):
    return [(mx(x), y) for x, y in points][::-1]


def folder(number):
    return "data\\tables\\t%04d\\" % number


class Form:
    """One collision form and how it is drawn."""

    def __init__(self, name, points, closed, c_type, kb, ks, style, pivot=None):
        self.name, self.points, self.closed = name, points, closed
        self.c_type, self.kb, self.ks, self.style = c_type, kb, ks, style
        self.pivot = pivot


def flipper_outline(angle, right):
    """The bat at rest rotated by angle; the tip comes first (the flipper's
    strike test takes the first vertex as the bat's direction)."""
    from shapes import rotate
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


def flipper_forms():
    return [Form("flipper form L", flipper_outline(0.0, False), True,
                 "COLLISION_COMBINE", 0.25, 0.75, "flipper", FLIPPER_PIVOT),
            Form("flipper form R", flipper_outline(0.0, True), True,
                 "COLLISION_COMBINE", 0.25, 0.75, "flipper", (mx(FLIPPER_PIVOT[0]), FLIPPER_PIVOT[1])),
            Form("plunger form", [(LANE_WALL[1], PLUNGER_Y), (LANE_OUTER, PLUNGER_Y)], False,
                 "COLLISION_STOP", 0.0, 0.0, "plunger", ((LANE_WALL[1] + LANE_OUTER) / 2, PLUNGER_Y))]


def sling_forms():
    """Slingshots: the kicking face is its own bouncy form, tested before the body."""
    f = []
    for side, pts in (("L", SLING), ("R", [(mx(x), y) for x, y in SLING])):
        face = [pts[0], pts[2]]
        f.append(Form("sling face " + side, face, False, "COLLISION_BOUNCE", 1.45, 0.0, "sling face"))
        f.append(Form("sling " + side, pts, True, "COLLISION_COMBINE", 0.35, 0.65, "sling"))
    return f


def lane_blocker():
    return Form("lane blocker", [(LANE_WALL[0], LANE_TOP - 0.005), (LANE_OUTER, LANE_TOP - 0.05)],
                False, "COLLISION_COMBINE", 0.3, 0.7, "blocker")


def lane_wall():
    return Form("lane wall", capsule([(sum(LANE_WALL) / 2, LANE_TOP), (sum(LANE_WALL) / 2, BOTTOM)],
                                     LANE_WALL[1] - LANE_WALL[0]), True,
                "COLLISION_COMBINE", 0.2, 0.8, "wall")


def guide_forms():
    guide = GUIDE + [guide_end()]
    return [Form("guide L", capsule(guide, GUIDE_WIDTH), True, "COLLISION_COMBINE", 0.3, 0.7, "wall"),
            Form("guide R", capsule([(mx(x), y) for x, y in guide], GUIDE_WIDTH), True,
                 "COLLISION_COMBINE", 0.3, 0.7, "wall")]


def outlane_covers():
    """Slopes from the side walls onto the inlane guides: a ball coming down
    a side wall (from an orbit, or round the top after the launch) rolls
    into the inlane instead of straight down the outlane."""
    cover = [(LEFT_WALL, 0.595), (GUIDE[0][0], 0.645)]
    return [Form("cover L", capsule(cover, GUIDE_WIDTH), True, "COLLISION_COMBINE", 0.3, 0.7, "wall"),
            Form("cover R", capsule([(mx(x), y) for x, y in cover], GUIDE_WIDTH), True,
                 "COLLISION_COMBINE", 0.3, 0.7, "wall")]


def end_sensors(exit_x=0.74):
    return [Form("lane exit sensor", [(exit_x, 0.03), (exit_x, 0.24)], False,
                 "COLLISION_NONE", 0.2, 0.8, "none"),
            Form("drain sensor", [(LEFT_WALL, 1.03), (LANE_WALL[0], 1.03)], False,
                 "COLLISION_NONE", 0.2, 0.8, "none")]


def round_top_outline():
    """The outer wall of a table with a rounded top: up the left side, over
    the top and down to the launch lane."""
    pts = [(LEFT_WALL, BOTTOM), (LEFT_WALL, 0.24)]
    pts += arc(0.34, 0.24, 0.20, 180.0, 270.0, 10)[1:]
    pts += arc(0.62, 0.28, 0.24, 270.0, 360.0, 24)
    pts += [(LANE_OUTER, 0.99), (LANE_WALL[1], 0.99)]
    return pts


def playfield_of(outline_points):
    """The playfield's polygon: the outline closed along the bottom."""
    return outline_points + [(LANE_WALL[1], BOTTOM)]


def outer_wall(points):
    return Form("outer wall", points, False, "COLLISION_COMBINE", 0.25, 0.75, "outline")


def outline_ends():
    """The outline's fixed ends: up the left wall, down the plunger lane."""
    return [(LEFT_WALL, BOTTOM)], [(LANE_OUTER, 0.99), (LANE_WALL[1], 0.99)]


def sling_lamps(colour=(255, 120, 220)):
    return {"sling lamp L": (0.289, 0.745, 0.010, colour),
            "sling lamp R": (mx(0.289), 0.745, 0.010, colour)}


# ---------------------------------------------------------------------------
# Elements

def begin(pictures, forms, folder_):
    """The list up to the messages: the ball, every form, flippers, plunger."""
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
    for f in forms:
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
            ("atX", left), ("atY", top), ("filestart", folder_ + "flip" + side.lower()),
            ("fileend", ".bmp"), ("filecount", FLIPPER_FRAMES), ("fspeed", 22.0), ("bspeed", 12.0),
            ("maxangle", -sign * FLIPPER_SWING), ("length", FLIPPER_LENGTH), ("control", control),
            ("form", Ref("flipper form " + side))])
    left, top = pictures["plunger"]
    e.add("plunger", "Spring", [
        ("atX", left), ("atY", top), ("filestart", folder_ + "plunger"), ("fileend", ".bmp"),
        ("filecount", PLUNGER_FRAMES), ("fspeed", 1.2), ("bspeed", 9.0),
        ("maxangle", PLUNGER_TRAVEL), ("kmax", 0.86), ("control", 3), ("form", Ref("plunger form"))])
    return e


def messages(e, welcome_lines, at_y=0.575):
    """The three strings the table itself drives."""
    e.add("welcome", "TravelingString", [
        ("name", "welcome"), ("message", welcome_lines[0]), ("font", "msgfnt"),
        ("center", 0), ("swiched", 1), ("active", 1), ("type", 2),
        ("tspeedX", 0.32), ("tspeedY", 0.0), ("atX", 1.0), ("atY", at_y)],
        [("SimpleMessage", [("string", s)]) for s in welcome_lines])
    e.add("nextball", "TravelingString", [
        ("name", "nextball"), ("message", "Ball 01 from 03"), ("font", "msgfnt"),
        ("center", 0), ("swiched", 1), ("active", 0), ("type", 2),
        ("tspeedX", 0.4), ("tspeedY", 0.0), ("atX", 1.0), ("atY", at_y)])
    e.add("gameover", "TravelingString", [
        ("name", "gameover"), ("message", "GAME OVER"), ("font", "bigfnt"),
        ("center", 0), ("swiched", 0), ("active", 0), ("type", 2),
        ("tspeedX", 0.3), ("tspeedY", 0.0), ("atX", 1.0), ("atY", 0.5)],
        [("SimpleMessage", [("string", "GAME OVER")])])


def sounds(e):
    for s in SOUNDS:
        e.add("sound " + s, "SoundObj", [("filename", "data\\sounds\\%s.wav" % s)])


def finish(e, folder_):
    """The game screen's panel and the cabinet above and below the table,
    drawn over the playfield's edges so a nudge doesn't uncover them; then
    the playfield, drawn first."""
    for name, x, y in (("panel", 1.0, -RECT[1] / SIZE), ("strip top", 0.0, -RECT[1] / SIZE),
                       ("strip bottom", 0.0, 1.0)):
        e.add(name, "StaticPicture", [("filename", folder_ + name.replace(" ", "") + ".bmp"),
                                      ("atX", x), ("atY", y), ("noTilt", 1)])
    e.add("playfield", "StaticPicture", [
        ("filename", folder_ + "playfield.bmp"), ("atX", 0.0), ("atY", 0.0), ("noTilt", 0)])


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


def feedback_links(e):
    """Sounds of the flippers, the plunger, the slingshots and the drain, and
    the plunger lane's one-way exit: passing the exit closes the lane top, a
    ball back on the plunger opens it."""
    for side in "LR":
        link(e, "sling %s hit" % side, "sling face " + side, ["sling lamp " + side, "sound slingshot"],
             scores=50, time_to_sleep=0.05)
        link(e, "flipper %s sound" % side, "flipper " + side, ["sound flipper"], time_to_sleep=0.0)
    link(e, "launch sound", "plunger", ["sound launch"], time_to_sleep=0.0)
    link(e, "drain sound", "drain sensor", ["sound drain"], time_to_sleep=1.0)
    link(e, "lane exit closes", "lane exit sensor", ["lane blocker"],
         ee_cando=1, ee_atstart=1, ee_time=100000.0, time_to_sleep=0.0)
    link(e, "plunger opens lane", "plunger form", ["lane blocker"],
         ee_cando=1, ee_invert=1, ee_time=100000.0, time_to_sleep=0.0)
