"""Short synthesized sound effects, in several wave formats on purpose: the
game converts each one from its own format."""
import numpy as np

# name: (rate, bits, channels)
FORMATS = {
    "bumper": (22050, 16, 1),
    "slingshot": (11025, 8, 1),
    "flipper": (22050, 16, 2),
    "launch": (22050, 8, 2),
    "lamp": (44100, 16, 1),
    "drain": (22050, 16, 1),
    "multiball": (44100, 16, 2),
}

# The menus' button sounds, in data\menu\: name -> (rate, bits, channels).
MENU = {
    "press": (22050, 16, 1),
    "select": (22050, 16, 1),
    "back": (22050, 16, 1),
    "turn": (22050, 16, 2),
}


def _t(rate, seconds):
    return np.arange(int(rate * seconds)) / rate


def _env(t, attack, decay):
    return np.minimum(1.0, t / attack) * np.exp(-t / decay)


def _noise(n, seed):
    return np.random.default_rng(seed).uniform(-1.0, 1.0, n)


def _blip(rate, notes, length, decay):
    """Short sine notes one after another: [(frequency, start seconds)]."""
    t = _t(rate, length)
    s = np.zeros(len(t))
    for f, start in notes:
        ts = t - start
        on = ts >= 0
        env = np.where(on, _env(np.maximum(ts, 1e-6), 0.003, decay), 0.0)
        s += (np.sin(2 * np.pi * f * ts) + 0.25 * np.sin(4 * np.pi * f * ts)) * env
    return s * 0.45


def synth(name):
    rate, _, channels = FORMATS[name] if name in FORMATS else MENU[name]
    if name == "press":
        t = _t(rate, 0.05)
        s = (np.sin(2 * np.pi * 1800.0 * t) * 0.4 + _noise(len(t), 11) * 0.3) * _env(t, 0.0005, 0.008)
    elif name == "select":
        s = _blip(rate, [(880.0, 0.0), (1318.5, 0.06)], 0.3, 0.07)
    elif name == "back":
        s = _blip(rate, [(1046.5, 0.0), (659.25, 0.06)], 0.3, 0.07)
    elif name == "turn":
        t = _t(rate, 0.45)
        n = np.convolve(_noise(len(t), 12), np.ones(25) / 25, mode="same") * 3.0
        sweep = np.sin(2 * np.pi * np.cumsum(300.0 + 900.0 * t / 0.45) / rate) * 0.15
        w = (n + sweep) * np.sin(np.pi * np.clip(t / 0.45, 0, 1)) ** 2
        pan = t / 0.45
        s = np.stack([w * (1.1 - pan), w * (0.1 + pan)], -1) * 0.8
    elif name == "bumper":
        t = _t(rate, 0.22)
        f = 180.0 + 420.0 * np.exp(-t / 0.03)
        s = np.sin(2 * np.pi * np.cumsum(f) / rate) * _env(t, 0.002, 0.06)
        s += 0.35 * _noise(len(t), 1) * _env(t, 0.001, 0.01)
    elif name == "slingshot":
        t = _t(rate, 0.15)
        s = np.sign(np.sin(2 * np.pi * 260.0 * t)) * 0.5 * _env(t, 0.001, 0.03)
        s += 0.5 * _noise(len(t), 2) * _env(t, 0.001, 0.015)
    elif name == "flipper":
        t = _t(rate, 0.12)
        thump = np.sin(2 * np.pi * 90.0 * t) * _env(t, 0.001, 0.03)
        click = _noise(len(t), 3) * _env(t, 0.0005, 0.006)
        s = np.stack([thump * 0.8 + click * 0.5, thump * 0.8 + click * 0.3], -1)
    elif name == "launch":
        t = _t(rate, 0.45)
        n = _noise(len(t), 4)
        # A rising whoosh: noise smoothed less and less as it goes.
        k = np.convolve(n, np.ones(9) / 9, mode="same")
        w = (k * (1 - t / 0.45) + n * (t / 0.45) * 0.3) * _env(t, 0.05, 0.2) * 1.8
        s = np.stack([w, np.roll(w, 40)], -1)
    elif name == "lamp":
        t = _t(rate, 0.18)
        s = (np.sin(2 * np.pi * 1320.0 * t) + 0.5 * np.sin(2 * np.pi * 1980.0 * t)) * _env(t, 0.002, 0.05) * 0.5
    elif name == "drain":
        t = _t(rate, 0.9)
        f = 300.0 * np.exp(-t / 0.5) + 60.0
        s = np.sin(2 * np.pi * np.cumsum(f) / rate) * _env(t, 0.01, 0.4) * 0.7
    elif name == "multiball":
        t = _t(rate, 1.2)
        notes = [523.25, 659.25, 783.99, 1046.5]
        left = np.zeros(len(t))
        right = np.zeros(len(t))
        for i, f in enumerate(notes):
            ts = t - i * 0.12
            on = ts >= 0
            tone = np.where(on, np.sin(2 * np.pi * f * ts) * _env(np.maximum(ts, 1e-6), 0.005, 0.35), 0.0)
            left += tone * (0.8 if i % 2 == 0 else 0.4)
            right += tone * (0.4 if i % 2 == 0 else 0.8)
        s = np.stack([left, right], -1) * 0.45
    else:
        raise KeyError(name)
    s = np.asarray(s, dtype=np.float64)
    if channels == 1 and s.ndim == 2:
        s = s.mean(axis=1)
    return np.clip(s, -0.98, 0.98)
