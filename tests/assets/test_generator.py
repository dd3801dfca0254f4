"""Checks of the data generator: same bytes every run, files that exist where
the tables name them, flipper frames drawn over their forms, the table drum,
and music that loops to the sample."""
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
import generate  # noqa: E402
import menu  # noqa: E402
import menu_art  # noqa: E402
import music  # noqa: E402
import tablekit as K  # noqa: E402
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

    def test_a_flipper_form_starts_at_its_tip(self):
        # The bat's strike test takes the first vertex as its direction.
        for f in K.flipper_forms()[:2]:
            dist = [math.hypot(x - f.pivot[0], y - f.pivot[1]) for x, y in f.points]
            self.assertEqual(dist.index(max(dist)), 0)


if __name__ == "__main__":
    unittest.main(verbosity=1)
