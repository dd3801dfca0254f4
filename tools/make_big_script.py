#!/usr/bin/python3
"""Writes a large table-like script for timing tokmill.

    tools/make_big_script.py OUT [--mb 20] [--words 300000] [--seed 1]

Element blocks with the usual keys, quoted names and file names drawn from
`--words` distinct made-up words (each used at least once while the size
allows), comments, tabs and numbers. The same arguments give the same bytes.
"""
import argparse
import random

SYLLABLES = [a + b for a in "bcdfghklmnprstvz" for b in "aeiou"] + ["_", "x", "qu"]
KEYS = ["atX", "atY", "toX", "toY", "k_bounce", "k_slide", "filestart", "fileend",
        "filecount", "frametime", "maxtime", "scores", "from", "next", "name", "type"]


def make_words(count, rng):
    words, seen = [], set()
    while len(words) < count:
        w = "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(2, 6)))
        if w not in seen:
            seen.add(w)
            words.append(w)
    return words


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--mb", type=float, default=20.0)
    ap.add_argument("--words", type=int, default=300000)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    rng = random.Random(args.seed)
    words = make_words(args.words, rng)
    limit = int(args.mb * 1024 * 1024)
    parts, size, nxt, block = [], 0, 0, 0

    def word():
        nonlocal nxt
        if nxt < len(words):
            nxt += 1
            return words[nxt - 1]
        return words[rng.randrange(len(words))]

    while size < limit:
        lines = ["// block %d\r\n" % block, "CollisionForm {\r\n"]
        block += 1
        lines.append(' name = "%s";\r\n' % word())
        for _ in range(rng.randint(2, 6)):
            key = rng.choice(KEYS)
            kind = rng.randrange(4)
            if kind == 0:
                lines.append(" %s = %.4f;\r\n" % (key, rng.random()))
            elif kind == 1:
                lines.append("\t%s = %d;\r\n" % (key, rng.randrange(-500, 5000)))
            elif kind == 2:
                lines.append(' %s = "data\\%s.bmp";\r\n' % (key, word()))
            else:
                lines.append(" %s = %s;\r\n" % (key, word()))
        lines.append(" Line { atX = %.4f; atY = %.4f; toX = 0.7500; toY = 0.2500; };\r\n"
                     % (rng.random(), rng.random()))
        lines.append("};;\r\n")
        chunk = "".join(lines)
        parts.append(chunk)
        size += len(chunk)
    with open(args.out, "w", newline="") as f:
        f.write("".join(parts))


if __name__ == "__main__":
    main()
