"""Checks of the data generator: same bytes every run, files the game can
read, and a layout in which the ball fits where it must go."""
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

import generate  # noqa: E402
import sounds  # noqa: E402
import table0 as T  # noqa: E402
from formats import bmp_bytes  # noqa: E402
from shapes import polyline_distance  # noqa: E402


def tree(root):
    files = {}
    for d, _, names in os.walk(root):
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

    def image(self, system_path):
        import io
        return np.asarray(Image.open(io.BytesIO(self.data(system_path))).convert("RGB"))

    def test_a_second_run_writes_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as other:
            generate.generate(other)
            again = tree(other)
        self.assertEqual(sorted(again), sorted(self.files))
        for name in self.files:
            self.assertEqual(again[name], self.files[name], name)

    def test_every_file_the_table_names_exists(self):
        text = self.data("data\\tables\\t0000.script").decode("cp1251")
        blocks = re.findall(r"\n(\w+) \{\r\n(.*?)\r\n\};;", text, re.S)
        self.assertGreater(len(blocks), 60)
        missing = []
        count = len(blocks)
        for block, body in blocks:
            keys = dict(re.findall(r'^ (\w+) = "?([^";]*)"?;', body, re.M))
            for k in ("filename", "dmap", "dmplus", "image", "shadow"):
                if keys.get(k) and os.path.join(*keys[k].split("\\")) not in self.files:
                    missing.append(keys[k])
            if "filestart" in keys and keys["filestart"]:
                frames = 2 if block == "Switch" else int(keys["filecount"])
                for i in range(frames):
                    name = "%s%04d%s" % (keys["filestart"], i, keys["fileend"])
                    if os.path.join(*name.split("\\")) not in self.files:
                        missing.append(name)
            for k in ("from", "next", "active_element", "timeout_next", "form"):
                if k in keys:
                    self.assertLess(int(keys[k]), count, (block, k))
            for to in re.findall(r"to = (-?\d+);", body):
                self.assertTrue(0 <= int(to) < count, body)
        # A link's targets stand before it, so the link is valid as soon as
        # it is read, whatever revalidation follows the load.
        for m in re.finditer(r"// (\d+) [^\r]*\r\nLink \{(.*?)\r\n\};;", text, re.S):
            for to in re.findall(r"to = (\d+);", m.group(2)):
                self.assertLess(int(to), int(m.group(1)))
        self.assertEqual(missing, [])

    def test_pictures_are_24_bit_and_fonts_are_16_by_16_grids(self):
        for name, data in self.files.items():
            if name.endswith(".bmp"):
                self.assertEqual(data[:2], b"BM", name)
                self.assertEqual(struct.unpack_from("<H", data, 28)[0], 24, name)
                self.assertEqual(struct.unpack_from("<I", data, 30)[0], 0, name)
                self.assertLessEqual(len(name), 55)
        for name in ("data\\fonts\\default.bmp", "data\\fonts\\msgfnt.bmp"):
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
        fonts_script = self.data("data\\fonts.script").decode("ascii")
        self.assertIn('fontname = "msgfnt"', fonts_script)

    def test_waves_cover_the_formats_the_loader_converts(self):
        seen = set()
        for name, (rate, bits, channels) in sounds.FORMATS.items():
            data = self.data("data\\sounds\\%s.wav" % name)
            self.assertEqual(data[:4], b"RIFF")
            self.assertEqual(struct.unpack_from("<I", data, 4)[0], len(data) - 8)
            tag, ch, r, bps, align, bits_read = struct.unpack_from("<HHIIHH", data, 20)
            self.assertEqual((tag, ch, r, bits_read), (1, channels, rate, bits))
            self.assertEqual((align, bps), (ch * bits // 8, rate * ch * bits // 8))
            size = struct.unpack_from("<I", data, 40)[0]
            self.assertEqual(data[36:40], b"data")
            self.assertGreater(size, 0)
            self.assertLessEqual(44 + size, len(data))
            seen.add((bits, channels))
        self.assertEqual(seen, {(8, 1), (8, 2), (16, 1), (16, 2)})

    def test_flipper_frames_show_the_bat_where_its_form_is(self):
        text = self.data("data\\tables\\t0000.script").decode("cp1251")
        for side in "lr":
            m = re.search(r'atX = ([\d.]+);\r\n atY = ([\d.]+);\r\n filestart = "[^"]*flip%s"' % side, text)
            left, top = int(float(m.group(1)) * T.SIZE), int(float(m.group(2)) * T.SIZE)
            for i in range(T.FLIPPER_FRAMES):
                outline = T.flipper_outline(-T.FLIPPER_SWING * i / (T.FLIPPER_FRAMES - 1), side == "r")
                tip, pivot = outline[0], T.FLIPPER_PIVOT if side == "l" else (T.mx(T.FLIPPER_PIVOT[0]), T.FLIPPER_PIVOT[1])
                mid = ((tip[0] + pivot[0]) / 2, (tip[1] + pivot[1]) / 2)
                img = self.image(T.FOLDER + "flip%s%04d.bmp" % (side, i))
                px, py = int(mid[0] * T.SIZE) - left, int(mid[1] * T.SIZE) - top
                self.assertTrue(img[py, px].any(), "frame %d of %s" % (i, side))
                # Raising turns the tip up.
                if i:
                    self.assertLess(tip[1], T.flipper_outline(0.0, side == "r")[0][1])


class Layout(unittest.TestCase):
    """The ball (diameter 0.04) must pass where the table means it to."""

    def setUp(self):
        self.forms = {f.name: f for f in T.forms()}
        self.d = 2 * T.BALL_RADIUS

    def gap(self, a, b):
        fa, fb = self.forms[a], self.forms[b]
        return polyline_distance(fa.points, fa.closed, fb.points, fb.closed)

    def test_lanes_are_wide_enough_for_the_ball(self):
        for a, b in (("outer wall", "guide L"), ("lane wall", "guide R"), ("guide L", "sling L"),
                     ("guide R", "sling R"), ("outer wall", "orbit wall"),
                     ("lane post 1", "lane post 2"), ("bumper 1", "bumper 3"), ("bumper 1", "bumper 2"),
                     ("orbit wall", "sling L")):
            self.assertGreater(self.gap(a, b), self.d * 1.1, (a, b))
        lane = T.LANE_OUTER - T.LANE_WALL[1]
        self.assertGreater(lane, self.d * 1.1)
        self.assertLess(lane, self.d * 1.6)

    def test_flippers_leave_a_drain_but_meet_their_guides(self):
        tips = self.gap("flipper form L", "flipper form R")
        self.assertGreater(tips, self.d)
        self.assertLess(tips, self.d * 1.5)
        self.assertLess(self.gap("flipper form L", "guide L"), self.d * 0.5)
        self.assertLess(self.gap("flipper form R", "guide R"), self.d * 0.5)

    def test_a_flipper_form_starts_at_its_tip(self):
        # The bat's strike test takes the first vertex as its direction.
        for name in ("flipper form L", "flipper form R"):
            f = self.forms[name]
            dist = [math.hypot(x - f.pivot[0], y - f.pivot[1]) for x, y in f.points]
            self.assertEqual(dist.index(max(dist)), 0)

    def test_the_launched_ball_clears_the_lane_top_before_the_exit_closes(self):
        sensor = self.forms["lane exit sensor"].points[0][0]
        blocker = self.forms["lane blocker"].points
        self.assertGreater(min(x for x, _ in blocker) - sensor, self.d)
        start = T.BALL_START
        self.assertLess(start[1] + T.BALL_RADIUS, T.PLUNGER_Y - T.PLUNGER_TRAVEL)


class Writers(unittest.TestCase):
    def test_bmp_rows_are_padded_and_stored_bottom_up(self):
        import io
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
