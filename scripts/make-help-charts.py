#!/usr/bin/env python3
"""Draws the four example charts of the alert settings window's help panels.

Each chart plots synthetic daily prices with the indicator its panel explains, computed the way
the program computes it. Only the standard library is used and the output is byte-for-byte
reproducible: run it again after changing a chart and commit the bitmaps it writes.

    scripts/make-help-charts.py [output folder]      (default: resources/)
"""
import math
import os
import struct
import sys

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GRID = (225, 225, 225)
AXIS = (110, 110, 110)
PRICE = (40, 40, 40)
BLUE = (0, 70, 230)
RED = (220, 30, 30)
GREEN = (0, 150, 40)
ORANGE = (255, 192, 128)
SHADE = (245, 245, 252)

# A 5 x 7 font for the few labels the charts carry.
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "%": ["11001", "11010", "00010", "00100", "01000", "01011", "10011"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    "+": ["00000", "00100", "00100", "11111", "00100", "00100", "00000"],
    " ": ["00000"] * 7,
}


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[WHITE] * width for _ in range(height)]

    def dot(self, x, y, colour):
        x, y = int(round(x)), int(round(y))
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(int(y0), int(y1) + 1):
            for x in range(int(x0), int(x1) + 1):
                self.dot(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.line(x0, y0, x1, y0, colour)
        self.line(x0, y1, x1, y1, colour)
        self.line(x0, y0, x0, y1, colour)
        self.line(x1, y0, x1, y1, colour)

    def line(self, x0, y0, x1, y1, colour, width=1, dash=0):
        x0, y0, x1, y1 = (int(round(v)) for v in (x0, y0, x1, y1))
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        step = 0
        while True:
            if not dash or (step // dash) % 2 == 0:
                for o in range(width):
                    if dx >= -dy:
                        self.dot(x0, y0 + o, colour)
                    else:
                        self.dot(x0 + o, y0, colour)
            if x0 == x1 and y0 == y1:
                break
            step += 1
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polyline(self, points, colour, width=1):
        for (xa, ya), (xb, yb) in zip(points, points[1:]):
            self.line(xa, ya, xb, yb, colour, width)

    def text(self, x, y, label, colour):
        for ch in label:
            glyph = FONT[ch]
            for row, bits in enumerate(glyph):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        self.dot(x + col, y + row, colour)
            x += 6

    def arrow(self, x, y, up, colour):
        """A small filled triangle with its tip at (x, y)."""
        for row in range(6):
            yy = y + row if up else y - row
            self.line(x - row // 1.5, yy, x + row // 1.5, yy, colour)

    def save(self, path):
        row_size = (self.width * 3 + 3) & ~3
        image = bytearray()
        for y in range(self.height - 1, -1, -1):
            row = bytearray()
            for r, g, b in self.pixels[y]:
                row += bytes((b, g, r))
            row += b"\0" * (row_size - len(row))
            image += row
        header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
        with open(path, "wb") as out:
            out.write(header + info + image)


class Noise:
    """A small linear congruential generator, so the prices never depend on a library."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1103515245 + 12345) % 2**31
        return self.state / 2**31 - 0.5


def bars(closes, seed, spread=0.9):
    """Daily high, low and close around a series of closes (oldest first)."""
    noise = Noise(seed)
    out = []
    for c in closes:
        up = abs(noise.next()) * spread + 0.2
        down = abs(noise.next()) * spread + 0.2
        out.append((c + up, c - down, c))
    return out


def walk(days, seed, trend, wobble=0.8, start=50.0):
    noise = Noise(seed)
    closes, price = [], start
    for d in range(days):
        price += trend(d) + noise.next() * wobble
        closes.append(price)
    return closes


def sma(values, period):
    return [None if i + 1 < period else sum(values[i + 1 - period:i + 1]) / period for i in range(len(values))]


class Scale:
    """Maps day numbers and values into a plotting box."""

    def __init__(self, box, days, low, high):
        self.x0, self.y0, self.x1, self.y1 = box
        self.days, self.low, self.high = days, low, high

    def x(self, day):
        return self.x0 + (self.x1 - self.x0) * day / (self.days - 1)

    def y(self, value):
        return self.y1 - (self.y1 - self.y0) * (value - self.low) / (self.high - self.low)

    def points(self, values):
        return [(self.x(d), self.y(v)) for d, v in enumerate(values) if v is not None]


def grid(canvas, box, rows):
    x0, y0, x1, y1 = box
    for i in range(1, rows):
        y = y0 + (y1 - y0) * i / rows
        canvas.line(x0, y, x1, y, GRID)
    canvas.frame(x0, y0, x1, y1, AXIS)


def padded_range(*series):
    values = [v for s in series for v in s if v is not None]
    low, high = min(values), max(values)
    pad = (high - low) * 0.08
    return low - pad, high + pad


def moving_average_chart(path):
    days = 70
    closes = walk(days, 7, lambda d: 0.45 * math.sin(d / 9.5 + 0.6), wobble=0.9)
    fast, slow = sma(closes, 5), sma(closes, 15)
    c = Canvas(230, 121)
    box = (4, 14, 225, 116)
    grid(c, box, 4)
    low, high = padded_range(closes, slow)
    s = Scale(box, days - 14, low, high)
    shown = lambda series: series[14:]
    c.polyline(s.points(shown(closes)), PRICE)
    c.polyline(s.points(shown(slow)), RED, 2)
    c.polyline(s.points(shown(fast)), BLUE, 2)
    for d in range(15, days):
        above_now, above_before = fast[d] > slow[d], fast[d - 1] > slow[d - 1]
        if above_now != above_before:
            x, y = s.x(d - 14), s.y(slow[d])
            if above_now:
                c.arrow(x, y + 5, True, GREEN)
            else:
                c.arrow(x, y - 5, False, RED)
    c.text(4, 3, "FAST MA", BLUE)
    c.text(52, 3, "SLOW MA", RED)
    c.text(100, 3, "PRICE", PRICE)
    c.save(path)


def breakout_chart(path):
    days = 40
    closes = walk(days, 11, lambda d: 0.0 if d < 30 else 0.9, wobble=1.0)
    hlc = bars(closes, 3, spread=1.6)
    c = Canvas(230, 121)
    box = (4, 14, 225, 116)
    grid(c, box, 4)
    low, high = padded_range([b[0] for b in hlc], [b[1] for b in hlc])
    s = Scale(box, days, low, high)
    breakout = next(d for d in range(15, days) if hlc[d][0] > max(b[0] for b in hlc[d - 15:d]))
    for d, (h, l, cl) in enumerate(hlc):
        colour = GREEN if d == breakout else PRICE
        x = s.x(d)
        c.line(x, s.y(h), x, s.y(l), colour, 2 if d == breakout else 1)
        c.line(x, s.y(cl), x + 2, s.y(cl), colour)
    top = max(b[0] for b in hlc[breakout - 15:breakout])
    c.rect(s.x(breakout - 15), s.y(top) + 1, s.x(breakout - 1), box[3] - 1, SHADE)
    for d, (h, l, cl) in enumerate(hlc[breakout - 15:breakout], start=breakout - 15):
        x = s.x(d)
        c.line(x, s.y(h), x, s.y(l), PRICE)
        c.line(x, s.y(cl), x + 2, s.y(cl), PRICE)
    c.line(s.x(breakout - 15), s.y(top), s.x(days - 1), s.y(top), RED, 1, 3)
    c.arrow(s.x(breakout), s.y(hlc[breakout][1]) + 3, True, GREEN)
    c.text(4, 3, "15 DAY HIGH", RED)
    c.text(88, 3, "BREAKOUT", GREEN)
    c.save(path)


def rate_of_change_chart(path):
    days = 110
    closes = walk(days, 5, lambda d: 0.35 if d < 62 else -0.4, wobble=0.7, start=40.0)
    span = 21
    roc = [None if d < span - 1 else 100.0 * (closes[d] - closes[d - span + 1]) / closes[d - span + 1]
           for d in range(days)]
    first = span - 1 + 10
    c = Canvas(165, 157)
    top, bottom = (4, 12, 160, 84), (4, 98, 160, 152)
    grid(c, top, 3)
    grid(c, bottom, 2)
    shown_closes, shown_roc = closes[first:], roc[first:]
    n = len(shown_closes)
    s = Scale(top, n, *padded_range(shown_closes))
    c.polyline(s.points(shown_closes), PRICE)
    limit = max(abs(v) for v in shown_roc) * 1.1
    r = Scale(bottom, n, -limit, limit)
    c.line(bottom[0], r.y(0), bottom[2], r.y(0), AXIS)
    for d in range(n - 1):
        colour = GREEN if shown_roc[d] >= 0 and shown_roc[d + 1] >= 0 else RED
        c.line(r.x(d), r.y(shown_roc[d]), r.x(d + 1), r.y(shown_roc[d + 1]), colour, 2)
    c.text(4, 2, "PRICE", PRICE)
    c.text(4, 88, "ROC", BLUE)
    c.text(bottom[0] + 3, int(r.y(0)) - 9, "0", AXIS)
    c.save(path)


def stochastic_chart(path):
    days = 120
    closes = walk(days, 21, lambda d: 0.55 * math.sin(d / 6.0), wobble=0.6, start=30.0)
    hlc = bars(closes, 9, spread=0.7)
    window = 15
    fast_k = [None] * days
    for d in range(window - 1, days):
        lows = [b[1] for b in hlc[d - window + 1:d + 1]]
        highs = [b[0] for b in hlc[d - window + 1:d + 1]]
        fast_k[d] = 100.0 * (hlc[d][2] - min(lows)) / (max(highs) - min(lows))
    slow_k = [None if d < window + 1 else sum(fast_k[d - 2:d + 1]) / 3 for d in range(days)]
    slow_d = [None if d < window + 3 else sum(slow_k[d - 2:d + 1]) / 3 for d in range(days)]
    first = window + 3 + 40
    c = Canvas(192, 167)
    osc, price = (4, 12, 173, 82), (4, 96, 173, 162)
    c.frame(*osc, AXIS)
    o = Scale(osc, days - first, 0, 100)
    for level in (80, 20):
        c.line(osc[0], o.y(level), osc[2], o.y(level), AXIS, 1, 2)
    sk, sd = slow_k[first:], slow_d[first:]
    c.polyline(o.points(sd), RED)
    c.polyline(o.points(sk), BLUE, 2)
    closes_shown = [b[2] for b in hlc[first:]]
    grid(c, price, 3)
    p = Scale(price, len(closes_shown), *padded_range(closes_shown))
    c.polyline(p.points(closes_shown), PRICE)
    for d in range(1, len(sk)):
        if sk[d] > 80 and sk[d] < sd[d] and sk[d - 1] >= sd[d - 1]:
            c.arrow(p.x(d), p.y(closes_shown[d]) - 4, False, RED)
        if sk[d] < 20 and sk[d] > sd[d] and sk[d - 1] <= sd[d - 1]:
            c.arrow(p.x(d), p.y(closes_shown[d]) + 4, True, GREEN)
    c.text(4, 2, "%K", BLUE)
    c.text(22, 2, "%D", RED)
    c.text(osc[2] + 4, int(o.y(80)) - 3, "80", AXIS)
    c.text(osc[2] + 4, int(o.y(20)) - 3, "20", AXIS)
    c.text(4, 86, "PRICE", PRICE)
    c.save(path)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources")
    os.makedirs(folder, exist_ok=True)
    moving_average_chart(os.path.join(folder, "chartMA.bmp"))
    breakout_chart(os.path.join(folder, "chartHHLL.bmp"))
    rate_of_change_chart(os.path.join(folder, "chartROC.bmp"))
    stochastic_chart(os.path.join(folder, "chartStoch.bmp"))


if __name__ == "__main__":
    main()
