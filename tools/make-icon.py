#!/usr/bin/env python3
"""Writes src/6-app/quillmark.ico, Quillmark's application icon: a blue quill
over a cream sheet listing names, at 16x16, 32x32 and 48x48 pixels, 32-bit
with alpha (plus the 1-bit mask older Windows reads).

The picture is drawn on a 16-unit grid, so that the sheet and its lines fall
on whole pixels at every size; the quill's slanted edges are smoothed by
sampling each pixel 8 x 8 times.

Run from the repository's root after changing the picture:
    python3 tools/make-icon.py [OUTPUT]
"""
import struct
import sys

SIZES = (16, 32, 48)
SAMPLES = 8

SHEET_EDGE = (96, 100, 112)
SHEET = (252, 248, 234)
NAME_LINE = (104, 128, 170)
QUILL_DARK = (24, 58, 128)
QUILL = (46, 104, 196)
QUILL_LIGHT = (150, 196, 246)
NIB = (36, 36, 44)

# The name lines on the sheet: (row, first unit, last unit), in grid units.
NAME_LINES = [(3, 3, 9), (5, 3, 8), (7, 3, 10), (9, 3, 7), (11, 3, 9), (13, 3, 6)]

# The quill's axis, from the nib's point to the feather's tip.
NIB_POINT = (5.2, 15.0)
TIP = (15.4, 0.6)


def feather_half_width(t):
    """Half the feather's width (grid units) at fraction t along the axis."""
    if t < 0.26 or t > 1.0:
        return 0.0
    if t < 0.58:
        return 3.0 * (t - 0.26) / 0.32
    return 3.0 * (1.0 - t) / 0.42


def along_axis(x, y):
    """(fraction along the quill's axis, signed distance from it)."""
    ax, ay = NIB_POINT
    dx, dy = TIP[0] - ax, TIP[1] - ay
    length_sq = dx * dx + dy * dy
    t = ((x - ax) * dx + (y - ay) * dy) / length_sq
    side = ((x - ax) * dy - (y - ay) * dx) / length_sq ** 0.5
    return t, side


def in_rect(left, top, right, bottom):
    return lambda x, y: left <= x < right and top <= y < bottom


def in_feather(x, y):
    t, side = along_axis(x, y)
    # The side toward the sheet is narrower, as on a real flight feather.
    half = feather_half_width(t) * (0.75 if side > 0 else 1.0)
    return abs(side) < half


def in_feather_inner(x, y):
    t, side = along_axis(x, y)
    half = feather_half_width(t) * (0.75 if side > 0 else 1.0)
    return abs(side) < half - 0.55


def in_shaft(x, y):
    t, side = along_axis(x, y)
    return 0.12 <= t <= 0.97 and abs(side) < 0.32


def in_shaft_in_feather(x, y):
    t, side = along_axis(x, y)
    return 0.34 <= t <= 0.95 and abs(side) < 0.28


def in_nib(x, y):
    t, side = along_axis(x, y)
    return 0.0 <= t <= 0.14 and abs(side) < 0.55 * t / 0.14 + 0.05


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def paint(self, shape, colour, whole_pixels=False):
        """Composites `colour` over every pixel `shape` covers (grid units)."""
        unit = self.size / 16.0
        for py in range(self.size):
            for px in range(self.size):
                if whole_pixels:
                    cover = 1.0 if shape((px + 0.5) / unit, (py + 0.5) / unit) else 0.0
                else:
                    hits = 0
                    for sy in range(SAMPLES):
                        for sx in range(SAMPLES):
                            x = (px + (sx + 0.5) / SAMPLES) / unit
                            y = (py + (sy + 0.5) / SAMPLES) / unit
                            hits += shape(x, y)
                    cover = hits / (SAMPLES * SAMPLES)
                if cover == 0.0:
                    continue
                r, g, b, a = self.pixels[py][px]
                out_a = cover + a * (1.0 - cover)
                mix = [(c * cover + old * a * (1.0 - cover)) / out_a
                       for c, old in zip(colour, (r, g, b))]
                self.pixels[py][px] = (mix[0], mix[1], mix[2], out_a)


def draw(size):
    canvas = Canvas(size)
    edge = 1.0 / (size / 16.0)  # one pixel, in grid units
    canvas.paint(in_rect(1, 1, 12, 15), SHEET_EDGE, whole_pixels=True)
    canvas.paint(in_rect(1 + edge, 1 + edge, 12 - edge, 15 - edge), SHEET, whole_pixels=True)
    for row, first, last in NAME_LINES:
        thickness = max(edge, 0.5 if size > 16 else edge)
        canvas.paint(in_rect(first, row + 0.5, last, row + 0.5 + thickness), NAME_LINE,
                     whole_pixels=True)
    canvas.paint(in_shaft, QUILL_DARK)
    canvas.paint(in_feather, QUILL_DARK)
    canvas.paint(in_feather_inner, QUILL)
    canvas.paint(in_shaft_in_feather, QUILL_LIGHT)
    canvas.paint(in_nib, NIB)
    return canvas


def ico_image(canvas):
    """BITMAPINFOHEADER, BGRA rows bottom first, then the AND mask."""
    size = canvas.size
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(canvas.pixels):
        bits = 0
        for r, g, b, a in row:
            alpha = round(a * 255)
            colour += bytes((round(b), round(g), round(r), alpha))
            bits = (bits << 1) | (1 if alpha == 0 else 0)
        bits <<= mask_stride * 8 - size
        mask += bits.to_bytes(mask_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "src/6-app/quillmark.ico"
    images = [ico_image(draw(size)) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(output, "wb") as f:
        f.write(directory + b"".join(images))


if __name__ == "__main__":
    main()
