#!/usr/bin/env python3
"""Draws the program's icon and the main window's background picture.

Both are computed here, pixel by pixel, and written in the Windows formats
the resource compiler embeds: an .ico holding several sizes (32-bit images
with alpha, the 256-pixel one as PNG) and a 24-bit .bmp of 762 x 245 pixels.
Only the standard library is used, so the build needs nothing else and the
repository holds no binary of unknown origin.

usage: draw_images.py --icon OUT.ico --background OUT.bmp
"""
import argparse
import math
import pathlib
import struct
import sys
import zlib

BACKGROUND_SIZE = (762, 245)
ICON_SIZES = (16, 24, 32, 48, 64, 256)
# Samples per pixel side: small icons need more to keep their edges smooth.
SUPERSAMPLING = 4
SUPERSAMPLING_LARGE = 2


# --- Shapes: signed distances in a unit square (0..1, y downwards) ----------

def rounded_box(x, y, cx, cy, half_w, half_h, radius):
    qx = abs(x - cx) - half_w + radius
    qy = abs(y - cy) - half_h + radius
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def segment(x, y, ax, ay, bx, by, width):
    px, py = x - ax, y - ay
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - dx * t, py - dy * t) - width / 2


def triangle(x, y, a, b, c):
    """Negative inside the triangle a-b-c (distance only roughly outside)."""
    def edge(p, q):
        ex, ey = q[0] - p[0], q[1] - p[1]
        length = math.hypot(ex, ey)
        return ((x - p[0]) * ey - (y - p[1]) * ex) / length
    d = [edge(a, b), edge(b, c), edge(c, a)]
    if all(v <= 0 for v in d) or all(v >= 0 for v in d):
        return -min(abs(v) for v in d)
    return min(abs(v) for v in d)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def over(dst, src, alpha):
    """`src` (RGB) over `dst` (RGBA) with coverage `alpha`."""
    out_a = alpha + dst[3] * (1 - alpha)
    if out_a <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    rgb = tuple((src[i] * alpha + dst[i] * dst[3] * (1 - alpha)) / out_a for i in range(3))
    return rgb + (out_a,)


# --- The icon: a blue tile, the shortcut arrow, and a green cross -----------

TILE_TOP = (0.33, 0.58, 0.92)
TILE_BOTTOM = (0.11, 0.30, 0.65)
WHITE = (1.0, 1.0, 1.0)
GREEN = (0.16, 0.66, 0.33)
SHADOW = (0.05, 0.12, 0.30)


def icon_sample(x, y):
    """RGBA (0..1) of the icon at (x, y) in the unit square."""
    pixel = (0.0, 0.0, 0.0, 0.0)
    if rounded_box(x, y, 0.5, 0.5, 0.46, 0.46, 0.12) <= 0:
        pixel = over(pixel, mix(TILE_TOP, TILE_BOTTOM, y), 1.0)
        # The page a shortcut stands for, as a lighter sheet.
        if rounded_box(x, y, 0.42, 0.46, 0.22, 0.28, 0.03) <= 0:
            pixel = over(pixel, (0.93, 0.96, 1.0), 1.0)
            for row in (0.30, 0.38, 0.46, 0.54):
                if segment(x, y, 0.28, row, 0.56, row, 0.035) <= 0:
                    pixel = over(pixel, (0.62, 0.72, 0.88), 1.0)
        # The shortcut arrow in its box, lower left.
        if rounded_box(x, y, 0.27, 0.73, 0.15, 0.15, 0.03) <= 0:
            pixel = over(pixel, WHITE, 1.0)
            inner = rounded_box(x, y, 0.27, 0.73, 0.12, 0.12, 0.02) <= 0
            shaft = segment(x, y, 0.20, 0.81, 0.31, 0.70, 0.05) <= 0
            head = triangle(x, y, (0.35, 0.64), (0.35, 0.77), (0.22, 0.64)) <= 0
            if inner and (shaft or head):
                pixel = over(pixel, SHADOW, 1.0)
        # The cure: a green disc with a white cross, upper right.
        if circle(x, y, 0.71, 0.31, 0.20) <= 0:
            pixel = over(pixel, WHITE, 1.0)
        if circle(x, y, 0.71, 0.31, 0.17) <= 0:
            pixel = over(pixel, GREEN, 1.0)
            arm = 0.10
            if (segment(x, y, 0.71 - arm, 0.31, 0.71 + arm, 0.31, 0.065) <= 0 or
                    segment(x, y, 0.71, 0.31 - arm, 0.71, 0.31 + arm, 0.065) <= 0):
                pixel = over(pixel, WHITE, 1.0)
    return pixel


def render(size, sample):
    """Rows of RGBA bytes, top row first, averaged over a grid of samples."""
    rows = []
    n = SUPERSAMPLING if size <= 64 else SUPERSAMPLING_LARGE
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = sample((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3] > 0:
                rgb = [acc[i] / acc[3] for i in range(3)]
            else:
                rgb = [0.0, 0.0, 0.0]
            row += bytes(round(255 * min(1.0, max(0.0, v))) for v in rgb + [alpha])
        rows.append(bytes(row))
    return rows


def ico_bitmap(size, rows):
    """A 32-bit BITMAPINFOHEADER image with its AND mask, as an .ico holds it."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def icon_file():
    images = []
    for size in ICON_SIZES:
        rows = render(size, icon_sample)
        images.append((size, png(size, rows) if size >= 256 else ico_bitmap(size, rows)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dimension = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dimension, dimension, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


# --- The background: a quiet gradient with the controls' places marked -----

def background_file():
    width, height = BACKGROUND_SIZE
    top, bottom = (0.94, 0.96, 0.99), (0.80, 0.86, 0.95)
    panel_x = width - 148  # the buttons' column
    strip_y = height - 30  # the labels' row
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            colour = mix(top, bottom, y / (height - 1))
            if x >= panel_x - 4:
                colour = mix(colour, (0.70, 0.78, 0.91), 0.35)
            if y >= strip_y:
                colour = mix(colour, (0.62, 0.71, 0.87), 0.30)
            # Fine diagonal hatching in the button column, light enough to read over.
            if x >= panel_x - 4 and (x + y) % 6 == 0:
                colour = mix(colour, WHITE, 0.25)
            if x == panel_x - 5 or y == strip_y - 1:
                colour = mix(colour, (0.45, 0.55, 0.75), 0.6)
            r, g, b = (round(255 * v) for v in colour)
            row += bytes((b, g, r))
        row += bytes((-len(row)) % 4)  # rows are padded to four bytes
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))  # bottom-up
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def write_if_changed(path, data):
    path = pathlib.Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    if not path.exists() or path.read_bytes() != data:
        path.write_bytes(data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--icon", required=True)
    parser.add_argument("--background", required=True)
    args = parser.parse_args()
    write_if_changed(args.icon, icon_file())
    write_if_changed(args.background, background_file())
    return 0


if __name__ == "__main__":
    sys.exit(main())
