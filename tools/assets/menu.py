"""The main menu: its screens' layout (the one source of both the script and
the pictures) and the menu script in the game's own text conventions."""
import math

import fonts

FOLDER = "data\\menu\\"
SCRIPT = FOLDER + "main.script"
LOADING = FOLDER + "loading.bmp"
SPLASH = (FOLDER + "splash", ".bmp", 16)  # consecutive archive entries
SPLASH_RECT = (290, 290, 220, 104)
HINT_FONT = "data\\fonts\\hint.fnt"
FIELD_FONT = "data\\fonts\\menufnt.bmp"
FIELD_FONT_SIZE = (12, 22)  # one glyph cell

SOUND_DOWN = FOLDER + "press.wav"
SOUND_UP = FOLDER + "select.wav"
SOUND_BACK = FOLDER + "back.wav"
SOUND_TURN = FOLDER + "turn.wav"

# The table selector: a four-sided drum with the three tables and the
# game's emblem on its faces. Each table is a quarter turn of 18 frames;
# going from the last table to the first turns through the emblem.
SELECTOR = (314, 150, 172, 216)  # frame rectangle
SELECTOR_FRAMES = 72
SELECTOR_FRAMETIME = 0.022

HINT_BAR = (40, 548, 720, 30)
HINT_AT = (58, 554)

# Title screen buttons: name -> (x, y, w, h, label, hint).
ROOT_BUTTONS = {
    "PREVGAME": (232, 221, 56, 74, "<", "Previous table"),
    "NEXTGAME": (512, 221, 56, 74, ">", "Next table"),
    "START": (290, 394, 220, 54, "START", "Play the table shown above"),
    "OPTIONS": (136, 466, 160, 42, "OPTIONS", "Display, sound, keys and player name"),
    "SCORES": (320, 466, 160, 42, "SCORES", "The best scores of every player"),
    "EXIT": (504, 466, 160, 42, "EXIT", "Leave the game"),
}

OPTIONS_PANEL = (80, 134, 640, 400)
SCORES_PANEL = (180, 128, 440, 258)
SCORES_AT = (213, 167)  # where the game draws the scores table
BACK_OPTIONS = (584, 490, 120, 36)  # bottom right: the knob's row reaches the middle
BACK_SCORES = (340, 332, 120, 36)

# Options, left column: display switches and the two volumes.
LEFT_X = 104
SWITCHES = {
    # name: (label, label y, toggle x, y, w, h, hint)
    "FULLSCREEN": ("FULL SCREEN", 230, 306, 214, 92, 32, "Play in a window or on the whole screen"),
    "TRUECOLOR": ("TRUE COLOUR", 272, 306, 256, 92, 32, "32-bit colour; takes effect in full screen only"),
    "SHARPSCALE": ("SHARP SCALING", 314, 306, 298, 92, 32,
                   "On: whole-pixel steps, unfiltered; off: smooth scaling to the window"),
}
SLIDER_LABEL_Y = 352
SLIDER = (104, 366, 294, 30)  # frame rectangle
SLIDER_TRACK = (118, 380)  # the value runs from 0 at x 118 to 1 at x 380
SLIDER_FRAMES = 21
KNOB_LABEL_Y = 420
KNOB = (104, 432, 84, 84)  # frame rectangle
KNOB_FRAMES = 32
KNOB_START = math.radians(135.0)  # value 0 points down and to the left
KNOB_SWEEP = math.radians(270.0)  # clockwise to value 1
KNOB_BAR = (204, 467, 194, 14)  # revealed from the left as the value grows

# Options, right column: key capture fields and the player name.
RIGHT_X = 424
# The hints also name the pad's fixed bindings (platform/gamepad).
FIELDS = {
    # name: (label, y, caption, hint)
    "LEFTHANDLE_CONTROL": ("LEFT FLIPPER", 218, "LSHIFT",
                           "Click, then press the key for the left flipper. Pad: left shoulder or trigger"),
    "RIGHTHANDLE_CONTROL": ("RIGHT FLIPPER", 258, "RSHIFT",
                            "Click, then press the key for the right flipper. Pad: right shoulder or trigger"),
    "LAUNCH_CONTROL": ("LAUNCH", 298, "SPACE", "Click, then press the key that pulls the plunger. Pad: hold A"),
    "TILT_CONTROL": ("NUDGE", 338, "T", "Click, then press the key that nudges the table. Pad: push the left stick"),
}
FIELD_X, FIELD_W, FIELD_H = 558, 146, 32
NAME_LABEL_Y = 394
NAME_FIELD = (424, 408, 280, 36)
CARET = (FOLDER + "caret", ".bmp", 8)


class Control:
    """One menu control block: its class, common keys, own keys, children."""

    def __init__(self, cls, name="", hint="", x=0, y=0, cascade=0, keys=(), children=(), sounds=None):
        self.cls, self.name, self.hint, self.x, self.y, self.cascade = cls, name, hint, x, y, cascade
        self.keys = list(keys)
        self.children = list(children)
        self.sounds = sounds

    def text(self, indent=""):
        inner = indent + "\t"
        out = ["%s%s {" % (indent, self.cls),
               '%sname = "%s";' % (inner, self.name), '%shint = "%s";' % (inner, self.hint),
               "%sx = %d;" % (inner, self.x), "%sy = %d;" % (inner, self.y),
               "%scascade = %d;" % (inner, self.cascade)]
        for k, v in self.keys:
            if isinstance(v, str):
                out.append('%s%s = "%s";' % (inner, k, v))
            elif isinstance(v, float):
                out.append("%s%s = %f;" % (inner, k, v))
            else:
                out.append("%s%s = %d;" % (inner, k, v))
        if self.sounds is not None:
            up, down = self.sounds
            out += ["%sSoundPack {" % inner, '%s\tup = "%s";' % (inner, up),
                    '%s\tdown = "%s";' % (inner, down), "%s};" % inner]
        for c in self.children:
            out += c.text(inner)
        out.append("%s};" % indent)
        return out

    def walk(self):
        yield self
        for c in self.children:
            yield from c.walk()


def picture(filename, x, y, name=""):
    return Control("MenuPicture", name=name, x=x, y=y,
                   keys=[("filename", filename), ("transparent", 1), ("sysmem", 1), ("temp", 0)])


def button(name, rect, children, hint="", sounds=(SOUND_UP, SOUND_DOWN), cls="MenuButton", keys=()):
    x, y, w, h = rect
    return Control(cls, name=name, hint=hint, sounds=sounds, children=children,
                   keys=list(keys) + [("tx", x), ("ty", y), ("tw", w), ("th", h)])


def hint_line():
    """The line that shows the hint of the control under the pointer, and its bar."""
    return [Control("MenuEditControl", name="HINT", keys=[
        ("tx", HINT_BAR[0]), ("ty", HINT_BAR[1]), ("tw", HINT_BAR[2]), ("th", HINT_BAR[3]),
        ("cx", HINT_AT[0]), ("cy", HINT_AT[1]), ("editable", 0), ("Caption", ""),
        ("font", HINT_FONT)]),
        picture(FOLDER + "hintbar.bmp", HINT_BAR[0], HINT_BAR[1])]


def field(name, rect, caption, highlight, cls):
    x, y, w, h = rect
    fw, fh = FIELD_FONT_SIZE
    return Control(cls, name=name, children=[picture(highlight, x - 6, y - 6)], keys=[
        ("tx", x), ("ty", y), ("tw", w), ("th", h), ("cx", x + 10), ("cy", y + (h - fh) // 2),
        ("editable", 1), ("Caption", caption), ("font", FIELD_FONT),
        ("CFStart", CARET[0]), ("CFEnd", CARET[1]), ("CFCount", CARET[2]), ("CFFrTime", 0.0625)])


def hot(name):
    """File of a control's highlight picture."""
    return FOLDER + name.lower() + "_hot.bmp"


def glow_origin(rect, margin):
    return rect[0] - margin, rect[1] - margin


GLOW = 16  # pixels of a button's halo around its rectangle


def option_rows():
    """(picture key, rectangle, hint) of the rows whose label lights under
    the pointer: label and control together."""
    rows = [("audiovolume_row", (LEFT_X - 4, SLIDER_LABEL_Y - 12, SLIDER[0] + SLIDER[2] - LEFT_X + 8,
                                 SLIDER[1] + SLIDER[3] - SLIDER_LABEL_Y + 14),
             "Drag along the bar to set the volume of the table's sounds"),
            ("cdvolume_row", (LEFT_X - 4, KNOB_LABEL_Y - 12, KNOB_BAR[0] + KNOB_BAR[2] - LEFT_X + 8,
                              KNOB[1] + KNOB[3] - KNOB_LABEL_Y + 14),
             "Turn the knob to set the music volume")]
    for name, (label, y, caption, hint) in FIELDS.items():
        rows.append((name.lower() + "_row", (RIGHT_X - 4, y - 2, FIELD_X + FIELD_W - RIGHT_X + 8, FIELD_H + 4), hint))
    x, y, w, h = NAME_FIELD
    rows.append(("player_name_row", (RIGHT_X - 4, NAME_LABEL_Y - 12, x + w - RIGHT_X + 8, y + h - NAME_LABEL_Y + 14),
                 "Click and type your name, or press Enter (pad: A) and pick letters with up and down"))
    return rows


def options_menu():
    kids = [button("DEACTIVATEMENU", BACK_OPTIONS, [picture(hot("back_options"), *glow_origin(BACK_OPTIONS, GLOW))],
                   hint="Back to the title screen (pad: B)", sounds=(SOUND_BACK, SOUND_DOWN))]
    for name, (label, ly, x, y, w, h, hint) in SWITCHES.items():
        states = [picture(FOLDER + "%s_%d.bmp" % (name.lower(), s), x, y) for s in (0, 1)]
        # The whole row toggles: label and switch.
        row = (LEFT_X - 4, y - 4, x + w - LEFT_X + 4 + GLOW, h + 8)
        toggle = button("", row, [picture(hot(name), *glow_origin(row, GLOW))],
                        hint=hint, cls="MenuSwitchButton", keys=[("affected", -1), ("add", 1)])
        kids.append(Control("MenuSwitch", name=name, children=states + [toggle], keys=[
            ("tx", x), ("ty", y), ("tw", w), ("th", h), ("statecount", 2)]))
    x, y, w, h = SLIDER
    t0, t1 = SLIDER_TRACK
    kids.append(Control("MenuSlider", name="AUDIOVOLUME", x=x, y=y, keys=[
        ("tx", t0), ("ty", y), ("tw", t1 - t0), ("th", h),
        ("filestart", FOLDER + "volume"), ("fileend", ".bmp"), ("filecount", SLIDER_FRAMES)]))
    x, y, w, h = KNOB
    cx, cy = x + w / 2.0, y + h / 2.0
    px = cx + 40.0 * math.cos(KNOB_START)
    pz = cy + 40.0 * math.sin(KNOB_START)
    bx, by, bw, bh = KNOB_BAR
    kids.append(Control("MenuRoundSlider", name="CDVOLUME", x=x, y=y, keys=[
        ("tx", x), ("ty", y), ("tw", w), ("th", h),
        ("filestart", FOLDER + "knob"), ("fileend", ".bmp"), ("filecount", KNOB_FRAMES),
        ("picx", bx - x), ("picy", by - y), ("cx", cx), ("cz", cy), ("px", px), ("pz", pz),
        ("maxangle", KNOB_SWEEP), ("picname", FOLDER + "musicbar.bmp")]))
    for name, (label, y, caption, hint) in FIELDS.items():
        kids.append(field(name, (FIELD_X, y, FIELD_W, FIELD_H), caption, hot(name), "MenuGetControl"))
    kids.append(field("PLAYER_NAME", NAME_FIELD, "Player", hot("player_name"), "MenuEditControl"))
    # Sliders and text fields have no hint of their own: an unnamed button
    # under each row shows the row's hint and lights its label.
    for key, rect, hint in option_rows():
        kids.append(button("", rect, [picture(hot(key), rect[0], rect[1])], hint=hint, sounds=None))
    kids += hint_line()
    kids.append(picture(FOLDER + "options.bmp", *OPTIONS_ORIGIN))
    return Control("MenuWrapper", name="OPTIONSMENU", children=kids)


def scores_menu():
    return Control("MenuWrapper", name="SCORES_TABLE", children=[
        button("DEACTIVATEMENU", BACK_SCORES, [picture(hot("back_scores"), *glow_origin(BACK_SCORES, GLOW))],
               hint="Back to the title screen", sounds=(SOUND_BACK, SOUND_DOWN)),
        *hint_line(),
        picture(FOLDER + "scores.bmp", *SCORES_ORIGIN)])


def root_menu():
    kids = []
    for name, (x, y, w, h, label, hint) in ROOT_BUTTONS.items():
        rect = (x, y, w, h)
        hl = picture(hot(name), *glow_origin(rect, GLOW))
        sounds = (SOUND_TURN, SOUND_DOWN) if name.endswith("GAME") else (SOUND_UP, SOUND_DOWN)
        if name == "OPTIONS":
            kids.append(button("", rect, [hl, options_menu(), picture(FOLDER + "options_down.bmp", x, y)],
                               hint=hint, sounds=sounds))
        elif name == "SCORES":
            kids.append(button("", rect, [hl, scores_menu(), picture(FOLDER + "scores_down.bmp", x, y)],
                               hint=hint, sounds=sounds))
        else:
            kids.append(button(name, rect, [hl], hint=hint, sounds=sounds))
    # The title screen's hint line is found before the submenus' own ones:
    # lookups by name go from the last child to the first.
    kids += hint_line()
    x, y, w, h = SELECTOR
    kids.append(Control("MenuAnimation", name="GAMESELECTOR", x=x, y=y, keys=[
        ("filestart", FOLDER + "selector"), ("fileend", ".bmp"), ("filecount", SELECTOR_FRAMES),
        ("startfile", 0), ("frametime", SELECTOR_FRAMETIME), ("playnow", 0), ("temp", 1)]))
    kids.append(picture(FOLDER + "title.bmp", *TITLE_ORIGIN))
    return Control("MenuWrapper", name="MAINMENU", children=kids)


TITLE_ORIGIN = (120, 128)  # the title screen's panel picture
TITLE_SIZE = (560, 392)
OPTIONS_ORIGIN = (70, 124)
OPTIONS_SIZE = (660, 420)
SCORES_ORIGIN = (170, 118)
SCORES_SIZE = (460, 278)


def script_text():
    root = root_menu()
    room = HINT_BAR[0] + HINT_BAR[2] - HINT_AT[0] - 8
    for c in root.walk():
        if fonts.text_width("hint", c.hint) > room:
            raise ValueError("hint too long for the hint bar: %r" % c.hint)
    lines = root.text()
    return ("\r\n".join(lines) + "\r\n").encode("cp1251")
