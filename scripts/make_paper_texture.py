#!/usr/bin/env python3
"""Writes Resources/Themes/Paper.png: a quiet paper texture for the paper theme.

Deterministic (fixed seed), standard library only. The texture stays within a
few levels of the theme's background colour so that text over it keeps its
contrast; it is stretched over the editor, so it has no lines to misalign.
"""
import random
import struct
import sys
import zlib

WIDTH, HEIGHT = 320, 240
BASE = (244, 236, 216)


def main(path):
    rng = random.Random(20261209)
    # Long, faint fibres: a few darker and lighter horizontal streaks.
    fibres = []
    for _ in range(90):
        fibres.append((rng.randrange(HEIGHT), rng.randrange(WIDTH), rng.randrange(20, 90), rng.choice((-5, -4, 3))))
    shade = [[0] * WIDTH for _ in range(HEIGHT)]
    for y, x0, length, level in fibres:
        for x in range(x0, min(WIDTH, x0 + length)):
            shade[y][x] += level
    rows = []
    for y in range(HEIGHT):
        row = bytearray([0])  # filter: none
        for x in range(WIDTH):
            # A soft vignette towards the edges, grain, and the fibres.
            dx = (x - WIDTH / 2) / (WIDTH / 2)
            dy = (y - HEIGHT / 2) / (HEIGHT / 2)
            vignette = -int(7 * (dx * dx + dy * dy))
            grain = rng.randint(-3, 3)
            delta = vignette + grain + shade[y][x]
            row += bytes(max(0, min(255, c + delta)) for c in BASE)
        rows.append(bytes(row))
    raw = b"".join(rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Resources/Themes/Paper.png")
