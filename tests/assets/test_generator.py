"""Checks of the data generator: same bytes every run, files the game can
read, tables in which the ball fits where it must go, a menu whose controls
find their hint lines, and music that loops to the sample."""
import io
import math
import os
import re
import struct
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
ASSETS = os.environ.get("ZARNIK_ASSETS") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "assets")
sys.path.insert(0, ASSETS)

import numpy as np  # noqa: E402
from PIL import Image  # noqa: E402

import config  # noqa: E402
import fonts  # noqa: E402
import generate  # noqa: E402
import menu  # noqa: E402
import menu_art  # noqa: E402
import music  # noqa: E402
import tablekit as K  # noqa: E402
from formats import bmp_bytes  # noqa: E402
from shapes import polyline_distance  # noqa: E402


def tree(root):
    files = {}
    for d, _, names in os.walk(os.path.join(root, "data")):
        for n in names:
            p = os.path.join(d, n)
            with open(p, "rb") as f:
                files[os.path.relpath(p, root)] = f.read()
    return files


class Generated(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        generate.generate(cls.tmp.name)
        cls.files = tree(cls.tmp.name)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def data(self, system_path):
        return self.files[os.path.join(*system_path.split("\\"))]

    def has(self, system_path):
        return os.path.join(*system_path.split("\\")) in self.files

    def image(self, system_path):
        return np.asarray(Image.open(io.BytesIO(self.data(system_path))).convert("RGB"))

    def test_a_second_run_writes_the_same_bytes(self):
        # The build's own run, when there is one, is the second run.
        build = os.environ.get("ZARNIK_BUILD")
        if build and os.path.isdir(os.path.join(build, "data")):
            again = tree(build)
            again = {k: v for k, v in again.items() if k not in ("data/settings", "data/scores")}
        else:
            with tempfile.TemporaryDirectory() as other:
                generate.generate(other)
                again = tree(other)
        self.assertEqual(sorted(again), sorted(self.files))
        for name in self.files:
            self.assertEqual(again[name], self.files[name], name)

    def test_every_file_each_table_names_exists_and_links_point_back(self):
        names_shown = set()
        for number in range(len(generate.TABLES)):
            text = self.data("data\\tables\\t%04d.script" % number).decode("cp1251")
            blocks = re.findall(r"\n(\w+) \{\r\n(.*?)\r\n\};;", text, re.S)
            self.assertGreater(len(blocks), 60)
            missing = []
            count = len(blocks)
            for block, body in blocks:
                keys = dict(re.findall(r'^ (\w+) = "?([^";]*)"?;', body, re.M))
                for k in ("filename", "dmap", "dmplus", "image", "shadow"):
                    if keys.get(k) and not self.has(keys[k]):
                        missing.append(keys[k])
                if keys.get("filestart"):
                    frames = 2 if block == "Switch" else int(keys["filecount"])
                    for i in range(frames):
                        name = "%s%04d%s" % (keys["filestart"], i, keys["fileend"])
                        if not self.has(name):
                            missing.append(name)
                for k in ("from", "next", "active_element", "timeout_next", "form"):
                    if k in keys:
                        self.assertLess(int(keys[k]), count, (number, block, k))
                for to in re.findall(r"to = (-?\d+);", body):
                    self.assertTrue(0 <= int(to) < count, body)
                if keys.get("menu_name"):
                    names_shown.add(keys["menu_name"])
            # A link's targets stand before it, so the link is valid as soon as
            # it is read, whatever revalidation follows the load.
            for m in re.finditer(r"// (\d+) [^\r]*\r\nLink \{(.*?)\r\n\};;", text, re.S):
                for to in re.findall(r"to = (\d+);", m.group(2)):
                    self.assertLess(int(to), int(m.group(1)))
            self.assertEqual(missing, [], number)
        # Every name a link shows is a message or a clip of the game screen.
        cfg = self.data(config.PATH).decode("cp1251")
        screen = set(re.findall(r'name = "([^"]*)";', cfg.split("menu {")[1].split("};;")[0]))
        self.assertEqual(names_shown - screen, set())

    def test_pictures_are_24_bit_and_fonts_are_16_by_16_grids(self):
        for name, data in self.files.items():
            if name.endswith(".bmp"):
                self.assertEqual(data[:2], b"BM", name)
                self.assertEqual(struct.unpack_from("<H", data, 28)[0], 24, name)
                self.assertEqual(struct.unpack_from("<I", data, 30)[0], 0, name)
            self.assertLessEqual(len(name), 55)
        for name in ("data\\fonts\\default.bmp", "data\\fonts\\msgfnt.bmp", menu.FIELD_FONT):
            img = self.image(name)
            h, w, _ = img.shape
            self.assertEqual((h % 16, w % 16), (0, 0))
            ch, cw = h // 16, w // 16

            def cell(code):
                return img[(code // 16) * ch:(code // 16 + 1) * ch, (code % 16) * cw:(code % 16 + 1) * cw]
            self.assertTrue(cell(0xB9).any(), "numero sign")  # drawn by the ball counter
            self.assertTrue(cell(0xC0).any(), "Cyrillic capital A")
            self.assertTrue(cell(ord("A")).any())
            self.assertFalse(cell(ord(" ")).any(), "a blank must be transparent")
            # Nothing on a cell's first row or column: glyphs don't run into their neighbours.
            self.assertFalse(img[::ch].any() or img[:, ::cw].any())
        # Proportional fonts: a picture name and 256 rectangles; glyph 0 starts
        # at the top and its bottom is the line height.
        for path, picture, face, size, height, top, bottom in fonts.FNT_FONTS.values():
            data = self.data(path)
            self.assertEqual(len(data), 32 + 256 * 16)
            name = data[:32].split(b"\0")[0].decode("ascii")
            img = self.image(path[: path.rindex("\\") + 1] + name)
            rects = [struct.unpack_from("<iiii", data, 32 + 16 * c) for c in range(256)]
            self.assertEqual((rects[0][1], rects[0][3]), (0, height))
            for code in (ord("A"), ord("7"), 0xB9, 0xC0):
                l, t, r, b = rects[code]
                self.assertEqual(b - t, height)
                self.assertTrue(img[t:b, l:r].any(), (path, code))
            l, t, r, b = rects[ord(" ")]
            self.assertGreater(r - l, 0)
            self.assertFalse(img[t:b, l:r].any(), "a blank must be transparent")
        fonts_script = self.data("data\\fonts.script").decode("ascii")
        self.assertIn('fontname = "msgfnt"', fonts_script)

    def test_flipper_frames_show_the_bat_where_its_form_is(self):
        for number, T in enumerate(generate.TABLES):
            text = self.data("data\\tables\\t%04d.script" % number).decode("cp1251")
            for side in "lr":
                m = re.search(r'atX = ([\d.]+);\r\n atY = ([\d.]+);\r\n filestart = "[^"]*flip%s"' % side, text)
                left, top = int(float(m.group(1)) * K.SIZE), int(float(m.group(2)) * K.SIZE)
                pivot = K.FLIPPER_PIVOT if side == "l" else (K.mx(K.FLIPPER_PIVOT[0]), K.FLIPPER_PIVOT[1])
                for i in range(K.FLIPPER_FRAMES):
                    tip = K.flipper_outline(-K.FLIPPER_SWING * i / (K.FLIPPER_FRAMES - 1), side == "r")[0]
                    mid = ((tip[0] + pivot[0]) / 2, (tip[1] + pivot[1]) / 2)
                    img = self.image(T.FOLDER + "flip%s%04d.bmp" % (side, i))
                    px, py = int(mid[0] * K.SIZE) - left, int(mid[1] * K.SIZE) - top
                    self.assertTrue(img[py, px].any(), "table %d frame %d of %s" % (number, i, side))
                    if i:  # raising turns the tip up
                        self.assertLess(tip[1], K.flipper_outline(0.0, side == "r")[0][1])

    def test_each_table_rests_on_its_selector_frame(self):
        """NEXTGAME plays the drum 72 / (count + 1) frames, 144 / (count + 1)
        from the last table; PREVGAME the same backwards. Wherever the
        arrows stop, the face shown is the selected table's."""
        count = len(generate.TABLES)
        self.assertEqual(config.TABLE_COUNT, count)
        frames = menu.SELECTOR_FRAMES
        thumbs = [self.image(T.FOLDER + "playfield.bmp") for T in generate.TABLES]
        faces = [np.asarray(f, np.float32) for f in menu_art.selector_faces(thumbs, [T.NAME for T in generate.TABLES])]
        fh, fw, _ = faces[0].shape
        x, y, w, h = menu.SELECTOR

        def shown(frame):
            img = self.image(menu.FOLDER + "selector%04d.bmp" % frame).astype(np.float32)
            crop = img[(h - fh) // 2:(h - fh) // 2 + fh, (w - fw) // 2:(w - fw) // 2 + fw]
            errors = [np.abs(crop - f).mean() for f in faces]
            self.assertLess(min(errors), 6.0, frame)
            return int(np.argmin(errors))

        index, frame = 0, 0
        self.assertEqual(shown(frame), 0)
        for press in range(2 * count + 1):
            forward = press < count + 1
            edge = index == (count - 1 if forward else 0)
            step = (144 if edge else 72) // (count + 1)
            frame = (frame + (step if forward else -step)) % frames
            index = (index + (1 if forward else -1)) % count
            self.assertEqual(shown(frame), index, (press, frame))

    def test_music_loops_are_whole_bars_to_the_sample(self):
        """The encoder neither pads nor trims: the last Ogg page's granule
        position is the loop's length, so the track joins its start."""
        for n in music.TRACKS:
            data = self.data("data\\music\\track%02d.ogg" % n)
            self.assertEqual(data[:4], b"OggS")
            self.assertIn(b"\x01vorbis", data[:200])
            rate, = struct.unpack_from("<I", data, data.index(b"\x01vorbis") + 12)
            channels = data[data.index(b"\x01vorbis") + 11]
            self.assertEqual((rate, channels), (music.RATE, 2))
            last = data.rindex(b"OggS")
            granule, = struct.unpack_from("<q", data, last + 6)
            self.assertEqual(granule, music.loop_samples(*music.TEMPO[n]), n)
            self.assertLess(len(data), 600 * 1024)


class Menu(unittest.TestCase):
    def setUp(self):
        self.root = menu.root_menu()
        self.parents = {}
        for c in self.root.walk():
            for k in c.children:
                self.parents[id(k)] = c

    @staticmethod
    def find(node, name):
        """The game's lookup: the control itself, then its children from the
        last to the first, each with its whole subtree."""
        if node.name == name:
            return node
        for c in reversed(node.children):
            found = Menu.find(c, name)
            if found:
                return found
        return None

    def test_every_hint_reaches_the_hint_line_of_its_own_screen(self):
        checked = 0
        for c in self.root.walk():
            if not c.hint or c.cls not in ("MenuButton", "MenuSwitchButton"):
                continue
            group = self.parents[id(c)]
            if c.cls == "MenuSwitchButton":
                group = self.parents[id(group)]
            line = self.find(group, "HINT")
            self.assertIsNotNone(line, c.hint)
            self.assertIs(self.parents[id(line)], group, c.hint)
            self.assertLessEqual(fonts.text_width("hint", c.hint), menu.HINT_BAR[2] - 2 * (menu.HINT_AT[0] - menu.HINT_BAR[0]))
            checked += 1
        self.assertGreater(checked, 15)

    def test_controls_lie_on_the_screen_and_active_ones_do_not_overlap(self):
        def rect(c):
            k = dict(c.keys)
            return k["tx"], k["ty"], k["tw"], k["th"]
        for group in self.root.walk():
            active = []
            for c in group.children:
                keys = dict(c.keys)
                if "tx" not in keys:
                    continue
                x, y, w, h = rect(c)
                self.assertTrue(0 <= x and 0 <= y and x + w <= 800 and y + h <= 600, c.name)
                if c.sounds or c.name:  # it does something when clicked
                    active.append((c.name or c.hint, (x, y, w, h)))
            for i, (a, (ax, ay, aw, ah)) in enumerate(active):
                for b, (bx, by, bw, bh) in active[i + 1:]:
                    overlap = ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah
                    self.assertFalse(overlap, (a, b))

    def test_the_script_names_what_the_program_acts_on(self):
        names = {c.name for c in self.root.walk()}
        for n in ("START", "EXIT", "DEACTIVATEMENU", "FULLSCREEN", "TRUECOLOR", "AUDIOVOLUME", "NEXTGAME",
                  "PREVGAME", "GAMESELECTOR", "CDVOLUME", "LEFTHANDLE_CONTROL", "RIGHTHANDLE_CONTROL",
                  "LAUNCH_CONTROL", "TILT_CONTROL", "PLAYER_NAME", "HINT", "SCORES_TABLE"):
            self.assertIn(n, names)
        # A back button closes its screen: its grandparent is the button that opened it.
        for c in self.root.walk():
            if c.name == "DEACTIVATEMENU":
                opener = self.parents[id(self.parents[id(c)])]
                self.assertEqual(opener.cls, "MenuButton")
                self.assertIs(self.parents[id(opener)], self.root)

class Layout(unittest.TestCase):
    """The ball (diameter 0.04) must pass where each table means it to."""
    d = 2 * K.BALL_RADIUS

    def test_forms_are_joined_or_leave_room_for_the_ball(self):
        """A gap narrower than the ball but not closed is where a ball wedges."""
        for T in generate.TABLES:
            solid = [f for f in T.forms() if f.c_type != "COLLISION_NONE"]
            forms = {f.name: f for f in solid}
            for i, a in enumerate(solid):
                for b in solid[i + 1:]:
                    gap = polyline_distance(a.points, a.closed, b.points, b.closed)
                    self.assertFalse(0.1 * self.d < gap < 1.1 * self.d, (T.NAME, a.name, b.name, gap))
            for a, b in T.GAPS:
                fa, fb = forms[a], forms[b]
                self.assertGreater(polyline_distance(fa.points, fa.closed, fb.points, fb.closed), self.d * 1.1,
                                   (T.NAME, a, b))

    def test_the_plunger_lane_fits_one_ball(self):
        lane = K.LANE_OUTER - K.LANE_WALL[1]
        self.assertGreater(lane, self.d * 1.1)
        self.assertLess(lane, self.d * 1.6)

    def test_flippers_leave_a_drain_but_meet_their_guides(self):
        forms = {f.name: f for f in K.flipper_forms() + K.guide_forms()}

        def gap(a, b):
            return polyline_distance(forms[a].points, True, forms[b].points, True)
        self.assertGreater(gap("flipper form L", "flipper form R"), self.d)
        self.assertLess(gap("flipper form L", "flipper form R"), self.d * 1.5)
        self.assertLess(gap("flipper form L", "guide L"), self.d * 0.5)
        self.assertLess(gap("flipper form R", "guide R"), self.d * 0.5)

    def test_a_flipper_form_starts_at_its_tip(self):
        # The bat's strike test takes the first vertex as its direction.
        for f in K.flipper_forms()[:2]:
            dist = [math.hypot(x - f.pivot[0], y - f.pivot[1]) for x, y in f.points]
            self.assertEqual(dist.index(max(dist)), 0)

    def test_the_launched_ball_clears_the_lane_top_before_the_exit_closes(self):
        sensor = K.end_sensors()[0].points[0][0]
        blocker = K.lane_blocker().points
        self.assertGreater(min(x for x, _ in blocker) - sensor, self.d)
        self.assertLess(K.BALL_START[1] + K.BALL_RADIUS, K.PLUNGER_Y - K.PLUNGER_TRAVEL)


class Writers(unittest.TestCase):
    def test_bmp_rows_are_padded_and_stored_bottom_up(self):
        rgb = np.zeros((2, 3, 3), dtype=np.uint8)
        rgb[0, 0] = (255, 0, 0)
        rgb[1, 2] = (0, 0, 255)
        data = bmp_bytes(rgb)
        self.assertEqual(len(data), 54 + 2 * 12)
        back = np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))
        self.assertTrue((back == rgb).all())
        self.assertEqual(data[54 + 12: 54 + 15], b"\0\0\xff")  # top row last, blue first


if __name__ == "__main__":
    unittest.main(verbosity=1)
