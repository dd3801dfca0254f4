"""data\\config.script: video mode, start-up pictures, the game screen beside
the table, the table list and the mouse pointers."""
import fonts
import menu as M

PATH = "data\\config.script"
TABLE_COUNT = 3
TABLE_FILES = ("data\\tables\\t", ".script")

# The game screen: windows in the side panel right of the table, whose
# picture each table draws (every table leaves x 560..800 free).
SCREEN_X, SCREEN_Y = 560, 0
PANEL_W = 240
SCREEN_FONT = fonts.FNT_FONTS["panel"][0]
SCREEN_FONT_HEIGHT = fonts.FNT_FONTS["panel"][4]
SCORE_Y = 112
PLAYER_Y = 184
BALL_Y = 232
VIDEO = (24, 303, 192, 144)  # x, y relative to the screen; clip size (media.CLIP_SIZE)
MESSAGE = (14, 470)
MESSAGE_LINES = 3
MESSAGE_WIDTH = PANEL_W - 2 * MESSAGE[0] - 4  # pixels a line may take

ARROW = "data\\cursors\\arrow.bmp"
WAIT = ("data\\cursors\\wait", ".bmp", 12)


def _keys(indent, keys):
    out = []
    for k, v in keys:
        if isinstance(v, str):
            out.append('%s%s = "%s";' % (indent, k, v))
        elif isinstance(v, float):
            out.append("%s%s = %.4f;" % (indent, k, v))
        else:
            out.append("%s%s = %d;" % (indent, k, v))
    return out


def _section(name, keys, blocks=()):
    out = [name + " {"] + _keys(" ", keys)
    for block, sub_keys, subs in blocks:
        out.append(" %s {" % block)
        out += _keys("  ", sub_keys)
        for sub, sk in subs:
            out.append("  %s {" % sub)
            out += _keys("   ", sk)
            out.append("  };")
        out.append(" };")
    out.append("};;")
    return out


def check_message(text):
    for line in text.split("\\n"):
        if fonts.text_width("panel", line) > MESSAGE_WIDTH:
            raise ValueError("message line too long for the panel: %r" % line)
    if text.count("\\n") >= MESSAGE_LINES:
        raise ValueError("too many lines: %r" % text)


def script_text(messages, clips):
    """messages: {name: text with \\n line breaks}; clips: {name: file}."""
    for text in messages.values():
        check_message(text)
    lines = []
    lines += _section("video", [("width", 800), ("height", 600), ("bpp", 16), ("refresh", 0),
                                ("fullscreen", 0), ("systemfont", "data\\fonts\\default.bmp")])
    sx, sy, sw, sh = M.SPLASH_RECT
    lines += _section("startup", [
        ("loading", M.LOADING), ("mainmenu", M.SCRIPT),
        ("splashstart", M.SPLASH[0]), ("splashend", M.SPLASH[1]), ("splashcount", M.SPLASH[2]),
        ("splashtime", 0.06), ("splash_x", sx), ("splash_y", sy)])
    # Nothing reads this section; it says what the sounds are made for.
    lines += _section("sound", [("rate", 22050), ("channels", 1), ("bits", 16)])
    vx, vy, vw, vh = VIDEO
    windows = [
        ("scoretext", [("x", PANEL_W // 2), ("y", SCORE_Y)], []),
        ("playertext", [("x", PANEL_W // 2), ("y", PLAYER_Y)], []),
        ("balltext", [("x", PANEL_W // 2), ("y", BALL_Y)], []),
        ("videowindow", [("x", vx), ("y", vy)],
         [("addvideo", [("name", n), ("filename", f)]) for n, f in sorted(clips.items())]),
        ("messagewindow", [("x", MESSAGE[0]), ("y", MESSAGE[1])],
         [("message", [("name", n), ("text", t)]) for n, t in sorted(messages.items())]),
    ]
    lines += _section("menu", [("font", SCREEN_FONT), ("atX", SCREEN_X), ("atY", SCREEN_Y)], windows)
    lines += _section("tables", [("tablecount", TABLE_COUNT), ("filestart", TABLE_FILES[0]),
                                 ("fileend", TABLE_FILES[1])])
    lines += _section("pointers", [], [
        ("simple", [("name", "ACTM"), ("dx", 0), ("dy", 0), ("picture", ARROW)], []),
        ("animated", [("name", "WAIT"), ("dx", -12), ("dy", -12), ("animFileStart", WAIT[0]),
                      ("animFileEnd", WAIT[1]), ("animFileCount", WAIT[2])], [])])
    return ("\r\n".join(lines) + "\r\n").encode("cp1251")
