#!/usr/bin/env python3
"""Draws the six status-light bitmaps of the main window (24-bit BMP, 20 x 20 pixels).

Each light is a round lamp with a dark rim and a small highlight, on the colour of the panel the
lights sit on. Run from the repository root: python3 scripts/make-lights.py
"""
import math
import struct
import sys
from pathlib import Path

SIZE = 20
SUPERSAMPLE = 4
PANEL = (16, 40, 72)  # the main window's control panel, behind the lights
RIM = (24, 24, 24)

LIGHTS = {
    "s-grn-on.bmp": (40, 230, 60),
    "s-grn-off.bmp": (20, 70, 28),
    "s-red-on.bmp": (245, 40, 30),
    "s-red-off.bmp": (80, 22, 20),
    "s-yel-on.bmp": (255, 220, 30),
    "s-yel-off.bmp": (85, 75, 20),
}


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def lamp_colour(x, y, lit, on):
    """Colour of the lamp at (x, y), relative to the centre, radius 1."""
    r = math.hypot(x, y)
    if r > 1.0:
        return None
    if r > 0.82:
        return RIM
    # Brighter towards the upper left, darker towards the rim.
    shade = 1.0 - 0.35 * r
    colour = tuple(min(255.0, c * shade) for c in lit)
    hx, hy = x + 0.3, y + 0.35
    highlight = max(0.0, 1.0 - math.hypot(hx, hy) / 0.35)
    return mix(colour, (255, 255, 255), highlight * (0.85 if on else 0.35))


def draw(lit, on):
    pixels = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = ((px + (sx + 0.5) / SUPERSAMPLE) / SIZE) * 2 - 1
                    y = ((py + (sy + 0.5) / SUPERSAMPLE) / SIZE) * 2 - 1
                    c = lamp_colour(x * 1.05, y * 1.05, lit, on) or PANEL
                    for i in range(3):
                        acc[i] += c[i]
            n = SUPERSAMPLE * SUPERSAMPLE
            row.append(tuple(int(round(v / n)) for v in acc))
        pixels.append(row)
    return pixels


def bmp(pixels):
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up rows
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "resources"
    out.mkdir(parents=True, exist_ok=True)
    for name, colour in LIGHTS.items():
        (out / name).write_bytes(bmp(draw(colour, name.endswith("-on.bmp"))))
        print(out / name)


if __name__ == "__main__":
    main()
