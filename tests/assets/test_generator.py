"""Checks of the data generator: same bytes every run, the table drum's faces
and music that loops to the sample. The tables themselves are checked where
they are played (their load log, shots, flips and rules)."""
import io
import os
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


if __name__ == "__main__":
    unittest.main(verbosity=1)
