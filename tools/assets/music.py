"""The music: four synthesized loops, one for the menu and one per table.

Notes are made by adding harmonics (no filters that need a sample loop), and
every note, echo and drum is added into the loop circularly: what rings past
the end sounds again at the start, so the track loops without a seam."""
import functools

import numpy as np

RATE = 44100
TRACKS = (2, 3, 4, 5)  # the menu plays track 2, table n plays track n + 3
TEMPO = {2: (92, 16), 3: (124, 16), 4: (136, 16), 5: (100, 16)}  # beats a minute, bars

CHORDS = {
    "m": (0, 3, 7), "M": (0, 4, 7), "m7": (0, 3, 7, 10), "M7": (0, 4, 7, 11), "7": (0, 4, 7, 10),
    "m9": (0, 3, 7, 10, 14), "sus": (0, 5, 7), "5": (0, 7, 12),
}


def hz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def loop_samples(bpm, bars):
    """A loop's length: whole sixteenths, so the bars join without a gap."""
    return int(round(RATE * 60.0 / bpm / 4)) * 16 * bars


class Loop:
    def __init__(self, bpm, bars, seed):
        self.step = int(round(RATE * 60.0 / bpm / 4))  # a sixteenth, whole samples
        self.n = loop_samples(bpm, bars)
        self.bars = bars
        self.out = np.zeros((self.n, 2))
        self.rng = np.random.default_rng(seed)

    def add(self, sound, step, pan=0.0, gain=1.0, bus=None):
        """Adds a mono sound at a step (may be fractional), wrapping round."""
        bus = self.out if bus is None else bus
        start = int(round(step * self.step)) % self.n
        s = np.asarray(sound, dtype=np.float64) * gain
        if len(s) > self.n:  # longer than the loop: fold it onto itself
            s = np.pad(s, (0, -len(s) % self.n)).reshape(-1, self.n).sum(axis=0)
        end = start + len(s)
        k = min(len(s), self.n - start)
        for ch, g in ((0, np.sqrt(0.5 * (1 - pan))), (1, np.sqrt(0.5 * (1 + pan)))):
            bus[start: start + k, ch] += s[:k] * g
            if end > self.n:
                bus[: end - self.n, ch] += s[k:] * g

    def echo(self, bus, steps, feedback, taps):
        """The bus into the loop with ping-pong echoes every `steps`."""
        d = int(round(steps * self.step))
        self.out += bus
        for i in range(1, taps + 1):
            shifted = np.roll(bus, d * i, axis=0) * feedback ** i
            self.out += shifted[:, ::-1] if i % 2 else shifted


# ---------------------------------------------------------------------------
# Instruments

def envelope(n, attack, decay, sustain, hold, release):
    """ADSR in samples: attack, decay to sustain, hold until `hold`, release."""
    t = np.arange(n) / RATE
    env = np.where(t < attack, t / max(attack, 1e-6),
                   sustain + (1 - sustain) * np.exp(-(t - attack) / max(decay, 1e-6)))
    after = t > hold
    at_hold = np.interp(hold, t, env) if n else 0.0
    env = np.where(after, at_hold * np.exp(-(t - hold) / max(release, 1e-6)), env)
    return env


TABLE = 4096


@functools.lru_cache(maxsize=None)
def _wave_table(shape, top, freq_cutoff_ratio):
    """One period of a waveform from its harmonics 1..top, each softened by
    1 / (1 + (k / ratio)^2): a sample lookup per output sample afterwards."""
    k = np.arange(1, top + 1)
    if shape == "saw":
        a = 1.0 / k
    elif shape == "square":
        a = np.where(k % 2 == 1, 1.0 / k, 0.0)
    else:  # "soft"
        a = 1.0 / (k * k)
    a = a / (1.0 + (k / freq_cutoff_ratio) ** 2)
    x = np.arange(TABLE) / TABLE
    return (a[:, None] * np.sin(2 * np.pi * k[:, None] * x[None, :])).sum(axis=0)


def additive(freq, seconds, shape, cutoff, phase=0, detune=0.0):
    """A band-limited waveform, softened above the cutoff frequency."""
    n = int(seconds * RATE)
    f = freq * 2.0 ** (detune / 1200.0)
    top = int(max(1, min(40, min(16000.0, cutoff * 4) // f)))
    table = _wave_table(shape, top, round(cutoff / f, 3))
    pos = ((np.arange(n) * (f / RATE) + phase * 0.137) % 1.0) * TABLE
    i = pos.astype(np.int64)
    frac = pos - i
    return table[i] * (1 - frac) + table[(i + 1) % TABLE] * frac


@functools.lru_cache(maxsize=None)
def pad(note, seconds, cutoff=1400.0):
    s = sum(additive(hz(note), seconds + 0.8, "saw", cutoff, i, d) for i, d in enumerate((-8, 0, 7)))
    return s * envelope(len(s), 0.35, 0.6, 0.7, seconds, 0.5) * 0.18


@functools.lru_cache(maxsize=None)
def bass(note, seconds, cutoff=500.0):
    s = additive(hz(note), seconds + 0.15, "saw", cutoff) * 0.6
    s += np.sin(2 * np.pi * hz(note) * np.arange(len(s)) / RATE) * 0.5
    return s * envelope(len(s), 0.004, 0.12, 0.6, seconds, 0.05)


@functools.lru_cache(maxsize=None)
def sub(note, seconds):
    t = np.arange(int((seconds + 0.3) * RATE)) / RATE
    s = np.sin(2 * np.pi * hz(note) * t) + 0.15 * np.sin(4 * np.pi * hz(note) * t)
    return s * envelope(len(s), 0.02, 0.5, 0.8, seconds, 0.2) * 0.7


@functools.lru_cache(maxsize=None)
def pluck(note, seconds=0.35, cutoff=2600.0, shape="square"):
    s = additive(hz(note), seconds, shape, cutoff)
    return s * envelope(len(s), 0.003, seconds * 0.35, 0.0, seconds, 0.05) * 0.35


@functools.lru_cache(maxsize=None)
def lead(note, seconds, cutoff=3000.0):
    t = np.arange(int((seconds + 0.2) * RATE)) / RATE
    vib = 1.0 + 0.004 * np.sin(2 * np.pi * 5.5 * t) * np.clip(t / 0.3, 0, 1)
    f = hz(note)
    s = np.zeros(len(t))
    phase = 2 * np.pi * f * np.cumsum(vib) / RATE
    for k in range(1, 14):
        a = (1.0 / k if k % 2 else 0.45 / k) / (1.0 + (k * f / cutoff) ** 2)
        s += a * np.sin(k * phase)
    return s * envelope(len(s), 0.02, 0.3, 0.6, seconds, 0.12) * 0.22


def noise(rng, n):
    return rng.uniform(-1.0, 1.0, n)


def smooth(x, width):
    return np.convolve(x, np.ones(width) / width, mode="same")


def kick(rng, punch=1.0):
    t = np.arange(int(0.35 * RATE)) / RATE
    f = 45.0 + 110.0 * np.exp(-t / 0.03) * punch
    s = np.sin(2 * np.pi * np.cumsum(f) / RATE) * np.exp(-t / 0.16)
    s[:60] += noise(rng, 60) * 0.3 * np.linspace(1, 0, 60)
    return s * 0.9


def snare(rng, tone=190.0, length=0.18):
    t = np.arange(int(length * RATE)) / RATE
    n = noise(rng, len(t))
    body = n - smooth(n, 6)
    s = body * np.exp(-t / (length * 0.35)) * 0.5 + np.sin(2 * np.pi * tone * t) * np.exp(-t / 0.05) * 0.4
    return s


def hat(rng, length=0.05):
    t = np.arange(int(length * RATE)) / RATE
    n = noise(rng, len(t))
    return (n - smooth(n, 3)) * np.exp(-t / (length * 0.3)) * 0.22


def tom(rng, note):
    t = np.arange(int(0.4 * RATE)) / RATE
    f = hz(note) * (1 + 0.5 * np.exp(-t / 0.04))
    return np.sin(2 * np.pi * np.cumsum(f) / RATE) * np.exp(-t / 0.18) * 0.6


# ---------------------------------------------------------------------------
# Songs

def _chord_tones(root, kind, octave_base):
    return [octave_base + root + i for i in CHORDS[kind]]


def _drums(loop, pattern, sound, gain=1.0, pan=0.0, swing=0.0):
    """pattern: 16 characters per bar, 'x' a hit, '-' a soft one; repeated."""
    for bar in range(loop.bars):
        p = pattern[bar % len(pattern)] if isinstance(pattern, list) else pattern
        for i, ch in enumerate(p):
            if ch in "x-":
                st = bar * 16 + i + (swing if i % 2 else 0.0)
                loop.add(sound(), st, pan, gain * (1.0 if ch == "x" else 0.5))


def render(track):
    return {2: _menu, 3: _cosmos, 4: _volcano, 5: _abyss}[track]()


def _finish(loop):
    """Levels every track alike, leaving room for the table's sounds: an
    RMS of 0.18 and peaks rounded off below full scale."""
    out = loop.out * (0.18 / np.sqrt((loop.out ** 2).mean()))
    return np.tanh(out * 1.1) / 1.1


def _menu():
    """Slow and wide: pads, a soft arpeggio with echoes, a light beat later."""
    loop = Loop(*TEMPO[2], 2)
    prog = [(9, "m"), (5, "M"), (0, "M"), (7, "M"), (9, "m"), (5, "M"), (0, "M"), (4, "M")]
    arp = np.zeros_like(loop.out)
    for bar in range(loop.bars):
        root, kind = prog[bar % 8]
        for note in _chord_tones(root, kind, 48):
            loop.add(pad(note, 16 * loop.step / RATE), bar * 16, pan=(note % 5 - 2) * 0.2)
        loop.add(bass(root + 33, 7 * loop.step / RATE, 380.0), bar * 16, gain=0.8)
        loop.add(bass(root + 33, 7 * loop.step / RATE, 380.0), bar * 16 + 8, gain=0.6)
        tones = _chord_tones(root, kind, 60) + [root + 72]
        for i in range(8):
            loop.add(pluck(tones[[0, 1, 2, 3, 2, 1, 2, 3][i]], 0.4, 2000.0), bar * 16 + 2 * i,
                     pan=0.4 if i % 2 else -0.4, gain=0.45, bus=arp)
    loop.echo(arp, 3, 0.4, 4)
    rng = loop.rng
    beat = ["x.......x.......", "x.......x.....x."]
    _drums(_Bars(loop, 8, 16), beat, lambda: kick(rng, 0.6), 0.5)
    _drums(_Bars(loop, 8, 16), "..-...-...-...-.", lambda: hat(rng, 0.04), 0.7, 0.3)
    _drums(_Bars(loop, 8, 16), "........x.......", lambda: snare(rng, 220.0, 0.25), 0.35, -0.1)
    melody = [(76, 0, 6), (74, 6, 2), (72, 8, 8), (71, 16, 6), (72, 22, 2), (74, 24, 8),
              (76, 32, 6), (79, 38, 2), (81, 40, 8), (79, 48, 4), (76, 52, 4), (76, 56, 8)]
    for note, start, length in melody:
        loop.add(lead(note, length * loop.step / RATE, 2200.0), 128 + start, 0.1, 0.55)
    return _finish(loop)


class _Bars:
    """A loop seen from bar `first` to bar `last`: patterns start there."""

    def __init__(self, loop, first, last):
        self.loop, self.first, self.bars = loop, first, last - first

    def add(self, sound, step, pan=0.0, gain=1.0, bus=None):
        self.loop.add(sound, step + self.first * 16, pan, gain, bus)


def _cosmos():
    """Driving: eighth-note bass, sixteenth arpeggios, four on the floor."""
    loop = Loop(*TEMPO[3], 3)
    rng = loop.rng
    prog = [(4, "m"), (0, "M"), (7, "M"), (2, "M")]
    arp = np.zeros_like(loop.out)
    for bar in range(loop.bars):
        root, kind = prog[bar % 4]
        for note in _chord_tones(root, kind, 52):
            loop.add(pad(note, 16 * loop.step / RATE, 1800.0), bar * 16, (note % 3 - 1) * 0.3, 0.7)
        for i in range(8):
            loop.add(bass(root + 28 + (12 if i % 4 == 3 else 0), 1.6 * loop.step / RATE, 700.0),
                     bar * 16 + 2 * i, gain=0.75)
        tones = _chord_tones(root, kind, 64)
        order = [0, 1, 2, 1, 2, 0, 1, 2, 0, 2, 1, 2, 0, 1, 2, 1]
        for i in range(16):
            up = 12 if (bar % 2 and i >= 8) else 0
            loop.add(pluck(tones[order[i] % len(tones)] + up, 0.22, 3200.0), bar * 16 + i,
                     pan=0.5 if i % 2 else -0.5, gain=0.35, bus=arp)
    loop.echo(arp, 3, 0.3, 3)
    _drums(loop, "x...x...x...x...", lambda: kick(rng), 0.9)
    _drums(loop, "....x.......x...", lambda: snare(rng), 0.6, 0.05)
    _drums(loop, "-.x.-.x.-.x.-.xx", lambda: hat(rng), 0.8, 0.35)
    melody = [(76, 0, 4), (79, 4, 4), (83, 8, 6), (81, 14, 2), (79, 16, 8), (76, 24, 4), (74, 28, 4),
              (76, 32, 4), (79, 36, 4), (83, 40, 4), (86, 44, 4), (83, 48, 12), (81, 60, 4)]
    for first in (64, 192):
        for note, start, length in melody:
            loop.add(lead(note, length * loop.step / RATE), first + start, -0.1, 0.6)
    return _finish(loop)


def _volcano():
    """Heavy and fast: galloping bass, toms, a dark minor second."""
    loop = Loop(*TEMPO[4], 4)
    rng = loop.rng
    prog = [(2, "m"), (3, "M"), (2, "m"), (0, "M")]
    for bar in range(loop.bars):
        root, kind = prog[bar % 4]
        for note in _chord_tones(root, "5", 50):
            loop.add(pad(note, 16 * loop.step / RATE, 900.0), bar * 16, (note % 3 - 1) * 0.4, 0.8)
        for i, ch in enumerate("x.xxx.xxx.xxx.xx"):
            if ch == "x":
                loop.add(bass(root + 26, 0.9 * loop.step / RATE, 900.0), bar * 16 + i, gain=0.7)
        if bar % 2:
            for i, ch in enumerate("x..x..x.x..x..x."):
                if ch == "x":
                    loop.add(pluck(root + 62 + (1 if i % 3 == 0 else 0), 0.18, 2400.0, "saw"),
                             bar * 16 + i, 0.3, 0.35)
    _drums(loop, "x..x..x.x..x..x.", lambda: kick(rng, 1.2), 0.95)
    _drums(loop, "....x.......x...", lambda: snare(rng, 170.0), 0.7)
    _drums(loop, "x.x.x.x.x.x.x.x.", lambda: hat(rng, 0.03), 0.6, -0.3)
    for bar in (3, 7, 11, 15):
        for i, note in enumerate((50, 50, 45, 45, 41, 41, 38, 38)):
            loop.add(tom(rng, note), bar * 16 + 8 + i, (i - 4) * 0.15, 0.6)
    melody = [(74, 0, 6), (75, 6, 2), (74, 8, 4), (72, 12, 4), (70, 16, 8), (69, 24, 8)]
    for first in (64, 96, 192, 224):
        for note, start, length in melody:
            loop.add(lead(note, length * loop.step / RATE, 2400.0), first + start, 0.0, 0.5)
    return _finish(loop)


def _abyss():
    """Deep and slow: sub bass, long echoes, a slow swung beat."""
    loop = Loop(*TEMPO[5], 5)
    rng = loop.rng
    prog = [(0, "m9"), (8, "M7"), (5, "m7"), (7, "7")]
    plucks = np.zeros_like(loop.out)
    for bar in range(loop.bars):
        root, kind = prog[bar % 4]
        for note in _chord_tones(root, kind, 48):
            loop.add(pad(note, 16 * loop.step / RATE, 900.0), bar * 16, (note % 5 - 2) * 0.25, 0.8)
        loop.add(sub(root + 24 if root < 5 else root + 12, 14 * loop.step / RATE), bar * 16, gain=0.9)
        tones = _chord_tones(root, kind, 60)
        for i, st in enumerate((0, 3, 6, 10, 12)):
            loop.add(pluck(tones[(i * 2) % len(tones)] + 12, 0.5, 1800.0, "soft"), bar * 16 + st,
                     pan=(-0.6, 0.6)[i % 2], gain=0.8, bus=plucks)
    loop.echo(plucks, 6, 0.45, 5)
    _drums(loop, "x.........x.....", lambda: kick(rng, 0.7), 0.7)
    _drums(loop, "........-.......", lambda: snare(rng, 300.0, 0.1), 0.4, 0.2)
    _drums(loop, "-.-.-.-.-.-.-.-.", lambda: hat(rng, 0.06), 0.5, -0.4, swing=0.3)
    return _finish(loop)
