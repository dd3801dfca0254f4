"""Films, clips and music: frames and samples made here, encoded by the ffmpeg
command (MPEG-4 part 2 in AVI, Vorbis in Ogg). Both encoders run single
threaded with bit-exact output, so the same sources give the same bytes."""
import concurrent.futures
import math
import os
import subprocess
import tempfile

import numpy as np

import music
from ui import BOLD, COND, Canvas, f32

BITEXACT = ["-fflags", "+bitexact", "-flags", "+bitexact", "-threads", "1"]


# Encoding runs beside the drawing of the next frames and the synthesis of
# the next track; callers get futures of the encoded bytes.
_pool = concurrent.futures.ThreadPoolExecutor(max_workers=2)


def _ffmpeg(args, data, suffix):
    return _pool.submit(_run_ffmpeg, args, data, suffix)


def _run_ffmpeg(args, data, suffix):
    """Runs ffmpeg with raw input on stdin and returns the file it wrote (AVI
    needs a seekable output for its header and index)."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "out" + suffix)
        cmd = ["ffmpeg", "-v", "error", "-y"] + args + BITEXACT + [path]
        try:
            p = subprocess.run(cmd, input=data, capture_output=True)
        except FileNotFoundError:
            raise SystemExit("the ffmpeg command is needed to encode the game's films and music")
        if p.returncode != 0:
            raise SystemExit("ffmpeg failed: " + p.stderr.decode(errors="replace"))
        with open(path, "rb") as f:
            return f.read()


def avi(frames, fps, quality=4):
    """frames: a list of (h, w, 3) uint8 arrays of one size; a future of the file."""
    h, w, _ = frames[0].shape
    raw = b"".join(np.ascontiguousarray(f, np.uint8).tobytes() for f in frames)
    return _ffmpeg(["-f", "rawvideo", "-pix_fmt", "rgb24", "-s", "%dx%d" % (w, h), "-r", str(fps),
                    "-i", "-", "-c:v", "mpeg4", "-q:v", str(quality), "-pix_fmt", "yuv420p",
                    "-g", "30", "-f", "avi"], raw, ".avi")


def ogg(samples, rate, quality=3):
    """samples: (n, 2) floats in [-1, 1]; a future of the file."""
    pcm = np.round(np.clip(samples, -1, 1) * 32767).astype("<i2").tobytes()
    return _ffmpeg(["-f", "s16le", "-ar", str(rate), "-ac", "2", "-i", "-",
                    "-c:a", "libvorbis", "-q:a", str(quality), "-f", "ogg"], pcm, ".ogg")


# ---------------------------------------------------------------------------
# Films

def _ease(t):
    t = min(1.0, max(0.0, t))
    return t * t * (3 - 2 * t)


def _starfield(w, h, seed):
    c = Canvas(w, h)
    yy = np.arange(h, dtype=np.float32)[:, None] / h
    c.a[...] = (f32((4, 6, 22)) * (1 - yy[..., None]) + f32((26, 8, 44)) * yy[..., None])
    rng = np.random.default_rng(seed)
    for x, y, b in rng.random((160, 3)):
        c.a[int(y * h), int(x * w)] += 0.3 + 0.6 * b
    return c


def logo_film():
    """The studio card: a ball streaks in and the name lights up behind it."""
    w, h, fps, n = 512, 384, 25, 75
    base = _starfield(w, h, 3)
    name = base.copy()
    m = name.text_mask("ZARNIK", w / 2, h / 2 - 10, BOLD, 92, spacing=4)
    lit = base.copy()
    lit.glow(m, (1.0, 0.45, 0.1), 14, 1.6)
    lit.paint(m, lit.vgradient(m, (255, 248, 200), (255, 120, 20), h / 2 - 42, h / 2 + 22))
    sub = lit.text_mask("FLIPPER  TABLES", w / 2, h / 2 + 56, COND, 18, spacing=5)
    xs = np.arange(w, dtype=np.float32)[None, :, None]
    frames = []
    for f in range(n):
        t = f / fps
        c = base.copy()
        # The letters appear where the ball has passed.
        front = -60 + (w + 120) * _ease((t - 0.3) / 1.2)
        reveal = np.clip((front - xs) / 50.0, 0, 1)
        c.a += (lit.a - base.a) * reveal
        if t > 1.6:
            s = c.copy()
            s.paint(sub, (170, 225, 255))
            k = _ease((t - 1.6) / 0.5)
            c.a = c.a * (1 - k) + s.a * k
        # The ball: a bright point with a tail along its path.
        if 0.2 < t < 1.7:
            for j in range(12):
                tj = t - j * 0.012
                bx = -60 + (w + 120) * _ease((tj - 0.3) / 1.2)
                by = h / 2 - 10 + 60 * math.sin(bx / w * math.pi * 2) * 0.5
                d = c.ellipse_mask(bx, by, 9 - j * 0.6)
                c.paint(d, (255, 240, 210), 1.0 if j == 0 else 0.25)
        fade = min(_ease(t / 0.3), _ease((n / fps - t) / 0.5))
        frames.append(np.clip(c.a * fade * 255, 0, 255).astype(np.uint8))
    return avi(frames, fps)


def wlogo_film():
    """The title card: the emblem turns and the three tables are named."""
    w, h, fps, n = 512, 384, 25, 62
    base = _starfield(w, h, 5)
    frames = []
    for f in range(n):
        t = f / fps
        c = base.copy()
        k = abs(math.cos(min(1.0, t / 1.2) * math.pi * 2))  # the emblem turns twice
        zm = c.text_mask("Z", w / 2, h / 2 - 40, BOLD, 150)
        (bx0, by0, bx1, by1), mm = zm
        cx = (bx0 + bx1) / 2
        cols = np.arange(bx0, bx1, dtype=np.float32)
        # Squeeze the emblem about its centre to turn it.
        src = np.clip(cx + (cols - cx) / max(k, 0.05), bx0, bx1 - 1).astype(int) - bx0
        squeezed = mm[:, src] * (np.abs(cols - cx) <= (bx1 - bx0) / 2 * k)[None, :]
        zm = ((bx0, by0, bx1, by1), squeezed)
        c.glow(zm, (1.0, 0.45, 0.1), 10, 1.2)
        c.paint(zm, c.vgradient(zm, (255, 248, 200), (255, 120, 20)))
        for i, text in enumerate(("COSMOS", "VOLCANO", "ABYSS")):
            a = _ease((t - 0.8 - 0.25 * i) / 0.4)
            if a > 0:
                m = c.text_mask(text, w / 2 + (i - 1) * 150, h - 90, BOLD, 24, spacing=2)
                c.paint(m, (255, 200, 80), a)
        fade = min(_ease(t / 0.3), _ease((n / fps - t) / 0.4))
        frames.append(np.clip(c.a * fade * 255, 0, 255).astype(np.uint8))
    return avi(frames, fps)


CLIP_SIZE = (192, 144)  # whole blocks of 32 pixels: the decoder writes rows in such blocks
CLIP_FPS = 15


def clip(title, colours, kind, seconds=2.0):
    """A short clip for the game screen: a burst of the table's colours
    behind a title that pulses in. kind picks the motion: "burst", "rise",
    "swirl"."""
    w, h = CLIP_SIZE
    n = int(seconds * CLIP_FPS)
    rng = np.random.default_rng(len(title) * 7 + len(kind))
    parts = rng.random((40, 4))
    frames = []
    dark, bright = colours
    for f in range(n):
        t = f / CLIP_FPS
        c = Canvas(w, h)
        yy = np.arange(h, dtype=np.float32)[:, None, None] / h
        c.a[...] = f32(dark) * (0.6 + 0.4 * yy)
        _scene(c, kind, t, dark, bright)
        for px, py, sp, sz in parts:
            if kind == "burst":
                a = px * 2 * math.pi
                r = (t * (60 + 120 * sp)) % 130
                x, y = w / 2 + r * math.cos(a), h / 2 + r * math.sin(a)
            elif kind == "rise":
                x = px * w + 6 * math.sin(t * 4 + py * 9)
                y = h - ((py * h + t * (40 + 80 * sp)) % (h + 20)) + 10
            else:
                a = px * 2 * math.pi + t * (1.5 + sp)
                r = 20 + py * 70
                x, y = w / 2 + r * math.cos(a), h / 2 + r * math.sin(a) * 0.7
            d = c.ellipse_mask(x, y, 1.5 + 3.5 * sz)
            c.glow(d, f32(bright) * 0.6, 3, 0.7)
            c.paint(d, bright, 0.9)
        size = 30 if len(title) <= 6 else 24 if len(title) <= 9 else 20
        pop = 1.0 + 0.12 * max(0.0, 1 - t / 0.3) * math.cos(t * 30)
        m = c.text_mask(title, w / 2, h / 2, BOLD, int(size * pop), spacing=1)
        c.glow(m, f32(bright), 5, 1.2 * (0.8 + 0.2 * math.sin(t * 12)))
        c.paint(m, c.vgradient(m, (255, 255, 255), bright))
        fade = min(1.0, (seconds - t) / 0.3)
        frames.append(np.clip(c.a * fade * 255, 0, 255).astype(np.uint8))
    return avi(frames, CLIP_FPS)


def _scene(c, kind, t, dark, bright):
    """What each kind of clip shows behind its sparks: three glass balls
    flying apart, a volcano erupting, or arms turning round a deep maw."""
    w, h = c.w, c.h
    if kind == "burst":
        for i in range(3):
            a = -math.pi / 2 + (i - 1) * 0.9
            r = 10 + 70 * _ease(t / 1.2)
            x, y = w / 2 + r * math.cos(a), h * 0.62 + r * math.sin(a) * 0.8
            ball = c.ellipse_mask(x, y, 13)
            c.paint(ball, c.vgradient(ball, (235, 240, 255), (70, 80, 120), y - 13, y + 13))
            c.paint(c.ellipse_mask(x - 4, y - 5, 4), (255, 255, 255), 0.9)
    elif kind == "rise":
        cone = c.polygon_mask([(w * 0.15, h), (w * 0.42, h * 0.62), (w * 0.58, h * 0.62), (w * 0.85, h)])
        c.paint(cone, c.vgradient(cone, (60, 20, 12), (20, 8, 6)))
        lava = c.polygon_mask([(w * 0.42, h * 0.62), (w * 0.58, h * 0.62), (w * 0.53, h * 0.80), (w * 0.47, h * 0.85)])
        c.glow(lava, f32(bright), 6, 0.9 + 0.3 * math.sin(t * 9))
        c.paint(lava, bright)
    else:
        maw = c.ellipse_mask(w / 2, h / 2, 22)
        c.glow(maw, f32(bright) * 0.5, 8, 0.6)
        c.paint(maw, (4, 2, 10))
        for k in range(6):
            a0 = k * math.pi / 3 + t * 1.2
            pts = [(w / 2 + (24 + 9 * j) * math.cos(a0 + 0.28 * j), h / 2 + (24 + 9 * j) * math.sin(a0 + 0.28 * j) * 0.8)
                   for j in range(8)]
            arm = c.line_mask(pts, 7)
            c.paint(arm, f32(dark) * 0.5 + f32(bright) * 0.5)


def music_tracks():
    """{file: future bytes} of the menu's and the tables' music."""
    return {"data\\music\\track%02d.ogg" % n: ogg(music.render(n), music.RATE) for n in music.TRACKS}
