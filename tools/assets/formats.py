"""Byte-exact writers for the file formats the game reads: 24-bit BMP and PCM WAV."""
import struct

import numpy as np


def bmp_bytes(rgb):
    """A 24-bit bottom-up BMP of an (h, w, 3) uint8 array."""
    rgb = np.ascontiguousarray(rgb, dtype=np.uint8)
    h, w, _ = rgb.shape
    stride = (w * 3 + 3) & ~3
    rows = np.zeros((h, stride), dtype=np.uint8)
    rows[:, : w * 3] = rgb[::-1, :, ::-1].reshape(h, w * 3)  # bottom-up, B G R
    pixels = rows.tobytes()
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def wav_bytes(samples, rate, bits, channels):
    """PCM WAV from float samples in [-1, 1], shape (n,) or (n, channels)."""
    s = np.asarray(samples, dtype=np.float64).reshape(-1, channels)
    s = np.clip(s, -1.0, 1.0)
    if bits == 8:
        data = np.round(s * 127.0 + 128.0).astype(np.uint8).tobytes()
    else:
        data = np.round(s * 32767.0).astype("<i2").tobytes()
    align = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        body += b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body


def visible(rgb, mask):
    """Pixels under mask that came out pure black become near-black, so a
    colour-keyed blit still shows them; pixels outside become black."""
    out = np.where(mask[..., None], rgb, 0).astype(np.uint8)
    black = mask & (out.max(axis=2) == 0)
    out[black] = 1
    return out
