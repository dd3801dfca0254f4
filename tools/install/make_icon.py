"""The game's desktop icon: a ball above two flippers on a night-blue tile.

make_icon.py OUT.png [SIZE]  -- drawn at four times the size and reduced, so
the edges are smooth; the same size gives the same bytes.
"""
import sys

from PIL import Image, ImageDraw


def draw(size):
    k = 4
    s = size * k
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, s - 1, s - 1), radius=s // 6, fill=(18, 28, 74, 255))
    d.rounded_rectangle((s // 16, s // 16, s - s // 16, s - s // 16), radius=s // 8,
                        outline=(90, 140, 255, 255), width=s // 40)
    # The flippers: two tapered bars meeting below the middle.
    y = s * 0.78
    for side in (-1, 1):
        pivot = (s / 2 + side * s * 0.30, y - s * 0.08)
        tip = (s / 2 + side * s * 0.06, y + s * 0.02)
        r0, r1 = s * 0.055, s * 0.025
        d.polygon([(pivot[0], pivot[1] - r0), (tip[0], tip[1] - r1),
                   (tip[0], tip[1] + r1), (pivot[0], pivot[1] + r0)], fill=(240, 200, 60, 255))
        d.ellipse((pivot[0] - r0, pivot[1] - r0, pivot[0] + r0, pivot[1] + r0),
                  fill=(240, 200, 60, 255))
        d.ellipse((tip[0] - r1, tip[1] - r1, tip[0] + r1, tip[1] + r1), fill=(240, 200, 60, 255))
    # The ball, shaded by rings towards its highlight.
    cx, cy, r = s * 0.5, s * 0.40, s * 0.20
    for i in range(24, 0, -1):
        f = i / 24
        c = int(120 + 135 * (1 - f))
        ox, oy = -r * 0.35 * (1 - f), -r * 0.35 * (1 - f)
        d.ellipse((cx + ox - r * f, cy + oy - r * f, cx + ox + r * f, cy + oy + r * f),
                  fill=(c, c, min(255, c + 20), 255))
    return img.resize((size, size), Image.LANCZOS)


def main():
    out = sys.argv[1]
    size = int(sys.argv[2]) if len(sys.argv) > 2 else 256
    draw(size).save(out, optimize=False)


if __name__ == "__main__":
    main()
