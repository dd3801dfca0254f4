#!/usr/bin/python3
"""Writes the game's data tree: the configuration, the menus, the tables with
their pictures, the ball, the fonts, the input bindings and the sounds.

usage: generate.py OUTDIR   (writes OUTDIR/data/... and OUTDIR/t0000.outline)

The same sources give the same bytes: nothing depends on the clock, the
machine or the order of a directory listing."""
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import art  # noqa: E402
import config  # noqa: E402
import fonts  # noqa: E402
import media  # noqa: E402
import menu  # noqa: E402
import menu_art  # noqa: E402
import panel_art  # noqa: E402
import sounds  # noqa: E402
import table0  # noqa: E402
import table1  # noqa: E402
import table2  # noqa: E402
import tablekit as K  # noqa: E402
from formats import bmp_bytes, wav_bytes  # noqa: E402
from script import blocks_text  # noqa: E402

TABLES = [table0, table1, table2]


class Output:
    def __init__(self, root):
        self.root = root
        self.files = {}

    def put(self, system_path, data):
        """system_path is the game's own name for the file, with backslashes."""
        if system_path in self.files:
            raise KeyError("written twice: " + system_path)
        if len(system_path) > 55:
            raise ValueError("name too long for the archive: " + system_path)
        self.files[system_path] = data

    def write(self):
        for name in sorted(self.files):
            if hasattr(self.files[name], "result"):  # encoded beside the rest
                self.files[name] = self.files[name].result()
            path = os.path.join(self.root, *name.split("\\"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            old = None
            if os.path.exists(path):
                with open(path, "rb") as f:
                    old = f.read()
            if old != self.files[name]:
                with open(path, "wb") as f:
                    f.write(self.files[name])
        # Files of an earlier generation would be packed too, and a stray name
        # among numbered frames breaks an animation read from the archive.
        # The game's own files (settings, scores) stay.
        keep = {os.path.join(self.root, *n.split("\\")) for n in self.files}
        keep |= {os.path.join(self.root, "data", n) for n in ("settings", "scores")}
        for d, _, names in os.walk(os.path.join(self.root, "data")):
            for n in names:
                if os.path.join(d, n) not in keep:
                    os.remove(os.path.join(d, n))


def table_pictures(out, T, number):
    """Draws every picture of table module T; returns their positions in
    table units by name, as the script places them, and the playfield."""
    places = {}

    def at(name, left, top):
        # Half a pixel in, so the position survives the script's four decimals.
        places[name] = ((left + 0.5) / K.SIZE, (top + 0.5) / K.SIZE)

    def put(name, rgb):
        out.put(T.FOLDER + name, bmp_bytes(rgb))

    field = art.playfield(T)
    put("playfield.bmp", field)
    for side in "LR":
        left, top, frames = art.flipper_frames(side == "R")
        at("flipper " + side, left, top)
        for i, f in enumerate(frames):
            put("flip%s%04d.bmp" % (side.lower(), i), f)
    left, top, frames = art.plunger_frames()
    at("plunger", left, top)
    for i, f in enumerate(frames):
        put("plunger%04d.bmp" % i, f)
    for name, (x, y, r, colour) in sorted(T.lamp_spots().items()):
        key = name.replace(" ", "")
        if name.startswith("bonus"):  # a Switch: off and on frames
            for i, on in enumerate((False, True)):
                left, top, pic = art.lamp_picture(x, y, r, colour, on)
                put("%s_%04d.bmp" % (key, i), pic)
        else:
            left, top, pic = art.lamp_picture(x, y, r, colour, True)
            put(key + ".bmp", pic)
        at(name, left, top)
    written = set()
    for name, (x, y, angle, key) in sorted(T.arrow_spots().items()):
        left, top, frames = art.arrow_frames(x, y, angle)
        at(name, left, top)
        if key not in written:
            # Arrows of one kind share their frames, so they must share their shape.
            written.add(key)
            for i, f in enumerate(frames):
                put("%s%04d.bmp" % (key, i), f)
    T.pictures(put, at)
    side_pictures(out, T, number)
    return places, field


def side_pictures(out, table, number):
    """The game screen's panel and the strips above and below the table."""
    width = K.RECT[2] - K.RECT[0]
    out.put(table.FOLDER + "panel.bmp", bmp_bytes(panel_art.side_panel(table.THEME, number)))
    out.put(table.FOLDER + "striptop.bmp", bmp_bytes(panel_art.strip(table.THEME, width, K.RECT[1], True)))
    out.put(table.FOLDER + "stripbottom.bmp",
            bmp_bytes(panel_art.strip(table.THEME, width, 600 - K.RECT[3], False)))


def menus(out, playfields):
    for name, pic in sorted(menu_art.pictures(playfields, [t.NAME for t in TABLES]).items()):
        out.put(name, bmp_bytes(pic))
    out.put(menu.SCRIPT, menu.script_text())
    for name, (rate, bits, channels) in sorted(sounds.MENU.items()):
        out.put(menu.FOLDER + name + ".wav", wav_bytes(sounds.synth(name), rate, bits, channels))
    messages, clips = {}, {}
    for t in TABLES:
        messages.update(t.MESSAGES)
        clips.update({name: spec[0] for name, spec in t.CLIPS.items()})
    out.put(config.PATH, config.script_text(messages, clips))


def films(out):
    """The start-up films, the game screen's clips and the music."""
    out.put("data\\logo\\logo.avi", media.logo_film())
    out.put("data\\logo\\wlogo.avi", media.wlogo_film())
    made = set()
    for t in TABLES:
        for name, (path, title, colours, motion) in sorted(t.CLIPS.items()):
            if path not in made:
                made.add(path)
                out.put(path, media.clip(title, colours, motion))
    for path, data in sorted(media.music_tracks().items()):
        out.put(path, data)


def generate(root):
    out = Output(root)
    playfields = []
    for number, T in enumerate(TABLES):
        places, field = table_pictures(out, T, number)
        playfields.append(field)
        left, top, right, bottom = K.RECT
        script = T.elements(places).text([
            ("ScreenRect", [("left", left), ("right", right), ("top", top), ("bottom", bottom)]),
            ("TableSettings", [("ball_count", 3)])])
        out.put("data\\tables\\t%04d.script" % number, script)

    for name, pic in art.ball_pictures(K.BALL_RADIUS * K.SIZE).items():
        out.put("data\\balls\\%s.bmp" % name, bmp_bytes(pic))

    font_blocks = []
    for name, (path, *spec) in sorted(fonts.FONTS.items()):
        out.put(path, bmp_bytes(fonts.grid_font(*spec)))
        font_blocks.append(("font", [("fontname", name), ("filename", path)]))
    for name, (path, picture, *spec) in sorted(fonts.FNT_FONTS.items()):
        data, pic, _ = fonts.fnt_font(*spec, picture)
        out.put(path, data)
        out.put(path[: path.rindex("\\") + 1] + picture, bmp_bytes(pic))
    path, *spec = fonts.SYSTEM_FONT
    out.put(path, bmp_bytes(fonts.grid_font(*spec, outline=False)))
    font_blocks.append(("font", [("fontname", "default"), ("filename", path)]))
    out.put("data\\fonts.script", blocks_text(font_blocks))

    bindings = [("LEFTHANDLE", "LSHIFT"), ("RIGHTHANDLE", "RSHIFT"), ("SPRING", "SPACE"),
                ("EXIT", "ESCAPE"), ("TILT", "T")]
    text = "input {\r\n" + "".join(
        ' control {\r\n  name = "%s";\r\n  device = "SYSTEM_KEYBOARD";\r\n  devicecode = "%s";\r\n };;\r\n'
        % b for b in bindings) + "};;\r\n"
    out.put("data\\input.script", text.encode("ascii"))

    for name, (rate, bits, channels) in sorted(sounds.FORMATS.items()):
        out.put("data\\sounds\\%s.wav" % name, wav_bytes(sounds.synth(name), rate, bits, channels))
    films(out)
    menus(out, playfields)
    out.write()

    # The outer walls for the tables' checks, outside the packed data.
    for number, T in enumerate(TABLES):
        with open(os.path.join(root, "t%04d.outline" % number), "w") as f:
            for x, y in T.playfield_polygon():
                f.write("%.6f %.6f\n" % (x, y))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.stderr.write("usage: generate.py OUTDIR\n")
        sys.exit(2)
    generate(sys.argv[1])
