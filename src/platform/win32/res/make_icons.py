#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files beside this script.

The drawings are plain geometry (rounded rectangles, circles, thick strokes) rendered with
supersampling at every size, so each size is drawn for itself rather than scaled down, and the
result is the same on every run. Standard library only.

    python3 make_icons.py            # writes Corvanthelix.ico, connected.ico, notconnected.ico
    python3 make_icons.py --preview out.png   # also a sheet of every image, for a look
"""
import math
import struct
import sys
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
TRAY_SIZES = [16, 20, 24, 32, 40, 48, 64]
APP_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]

BLUE = (47, 111, 214)
BLUE_EDGE = (22, 64, 140)
GREY = (138, 143, 153)
GREY_EDGE = (80, 84, 92)
WHITE = (255, 255, 255)
GREEN = (34, 160, 70)
RED = (214, 50, 50)
ORANGE = (235, 135, 20)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def stroke(points, width):
    half = width / 2

    def dist(px, py, ax, ay, bx, by):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - ax - t * dx, py - ay - t * dy)

    segments = list(zip(points, points[1:]))
    return lambda x, y: any(dist(x, y, *a, *b) <= half for a, b in segments)


def card(size, face, edge):
    """A card with its magnetic stripe; the edge stays at least one pixel wide."""
    e = max(1.0 / size, 0.035)
    return [
        (rounded_rect(0.04, 0.16, 0.96, 0.80, 0.11), edge),
        (rounded_rect(0.04 + e, 0.16 + e, 0.96 - e, 0.80 - e, 0.11 - e), face),
        (lambda x, y: 0.04 + e <= x <= 0.96 - e and 0.29 <= y <= 0.41, WHITE),
    ]


def badge(size, colour, mark):
    ring = max(1.2 / size, 0.045)
    w = max(1.6 / size, 0.10)
    cx, cy, r = 0.70, 0.69, 0.26
    shapes = [(circle(cx, cy, r + ring), WHITE), (circle(cx, cy, r), colour)]
    if mark == "check":
        shapes.append((stroke([(0.58, 0.69), (0.66, 0.78), (0.82, 0.60)], w), WHITE))
    elif mark == "cross":
        shapes.append((stroke([(0.615, 0.605), (0.785, 0.775)], w), WHITE))
        shapes.append((stroke([(0.785, 0.605), (0.615, 0.775)], w), WHITE))
    elif mark == "arrow":
        shapes.append((stroke([(0.58, 0.69), (0.82, 0.69)], w), WHITE))
        shapes.append((stroke([(0.72, 0.59), (0.82, 0.69), (0.72, 0.79)], w), WHITE))
    return shapes


def connected(size):
    return card(size, BLUE, BLUE_EDGE) + badge(size, GREEN, "check")


def not_connected(size):
    return card(size, GREY, GREY_EDGE) + badge(size, RED, "cross")


def application(size):
    return card(size, BLUE, BLUE_EDGE) + badge(size, ORANGE, "arrow")


def render(drawing, size):
    """RGBA rows, top row first; each pixel averages an n-by-n grid of samples."""
    shapes = drawing(size)
    n = 8 if size <= 64 else 4
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / size
                    colour = None
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            a = acc[3]
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / a), round(acc[1] / a), round(acc[2] / a),
                            round(255 * a / (n * n))))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def ico(drawing, sizes):
    images = [png(render(drawing, s)) if s >= 256 else dib(render(drawing, s)) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def preview(path):
    """One sheet: each drawing at every tray size, on a light and on a dark strip."""
    drawings = [connected, not_connected, application]
    sizes = TRAY_SIZES
    width = sum(sizes) + 8 * (len(sizes) + 1)
    band = max(sizes) + 16
    height = band * len(drawings) * 2
    sheet = [[(240, 240, 240, 255)] * width for _ in range(height)]
    for i, drawing in enumerate(drawings):
        for shade, bg in enumerate([(240, 240, 240), (32, 32, 40)]):
            top = (i * 2 + shade) * band
            for y in range(top, top + band):
                sheet[y] = [bg + (255,)] * width
            x = 8
            for s in sizes:
                rows = render(drawing, s)
                for yy, row in enumerate(rows):
                    for xx, (r, g, b, a) in enumerate(row):
                        f = a / 255
                        sheet[top + 8 + yy][x + xx] = (round(r * f + bg[0] * (1 - f)),
                                                      round(g * f + bg[1] * (1 - f)),
                                                      round(b * f + bg[2] * (1 - f)), 255)
                x += s + 8
    Path(path).write_bytes(png_rect(sheet))


def png_rect(rows):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    (HERE / "connected.ico").write_bytes(ico(connected, TRAY_SIZES))
    (HERE / "notconnected.ico").write_bytes(ico(not_connected, TRAY_SIZES))
    (HERE / "Corvanthelix.ico").write_bytes(ico(application, APP_SIZES))
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview(sys.argv[2])


if __name__ == "__main__":
    main()
