#!/usr/bin/env python3
"""Draws Chronolist's stopwatch icon and writes res/app_icon.ico.

The .ico is committed; this script is how it was made. It holds, in this order:
32x32 in 16 colours, 16x16 in 16 colours and 32x32 in 256 colours, then 48x48
and 24x24 in 256 colours for the 150 % displays' large and small icons, as
classic DIB images with a 1-bpp AND mask, so every Windows version and our own
decoder read it. Run with no arguments to rewrite the icon; --preview DIR also writes
magnified PNGs of each image to look at.

Standard library only. The output is deterministic: same script, same bytes.
"""

import argparse
import math
import os
import struct
import zlib

# The standard Windows 16-colour palette, in its usual order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, SILVER, GRAY, RED, WHITE = 0, 1, 7, 8, 9, 15

# Per-size geometry, in pixels; pixel (x, y) is sampled at its centre.
# The body's centre lies on pixel corners so the disc and the hub are symmetric.
GEOMETRY = {
    32: dict(centre=(16.0, 19.0), body=13.4, face=11.0, cap=(12, 20, 0, 3), stem=(14, 18, 3, 7),
             ticks=True, hand=(0.62, 0.80), second=(0.92, 0.55, 0.28),
             hub=1.0),
    16: dict(centre=(8.0, 9.0), body=6.9, face=5.0, cap=(6, 10, 0, 2), stem=(7, 9, 2, 3),
             ticks=False, hand=(0.80, 0.45), second=(0.98, 0.45, 0.0), hub=0.0),
    48: dict(centre=(24.0, 28.5), body=20.1, face=16.5, cap=(18, 30, 0, 4), stem=(21, 27, 4, 10),
             ticks=True, hand=(0.62, 1.2), second=(0.92, 0.8, 0.28), hub=1.5),
    24: dict(centre=(12.0, 14.0), body=10.1, face=8.2, cap=(9, 15, 0, 2), stem=(11, 13, 2, 5),
             ticks=False, hand=(0.62, 0.7), second=(0.92, 0.5, 0.28), hub=0.75),
}

LIGHT = (-math.sqrt(0.5), -math.sqrt(0.5))  # light falls from the top left
HAND_ANGLE = -60.0  # degrees clockwise from twelve o'clock
SECOND_ANGLE = 65.0


def direction(degrees):
    rad = math.radians(degrees)
    return math.sin(rad), -math.cos(rad)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def draw(size):
    """Returns rows of (role, light) per pixel; role None is transparent."""
    g = GEOMETRY[size]
    cx, cy = g["centre"]

    def in_rect(x, y, rect):
        x0, x1, y0, y1 = rect
        return x0 <= x < x1 and y0 <= y < y1

    def in_silhouette(x, y):
        if not (0 <= x < size and 0 <= y < size):
            return False
        px, py = x + 0.5, y + 0.5
        return (math.hypot(px - cx, py - cy) <= g["body"] or in_rect(px, py, g["cap"])
                or in_rect(px, py, g["stem"]))

    hand_len, hand_half = g["hand"]
    second_len, second_half, tail_len = g["second"]
    hx, hy = direction(HAND_ANGLE)
    sx, sy = direction(SECOND_ANGLE)
    face = g["face"]

    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if not in_silhouette(x, y):
                row.append((None, 0.0))
                continue
            px, py = x + 0.5, y + 0.5
            r = math.hypot(px - cx, py - cy)
            light = ((px - cx) * LIGHT[0] + (py - cy) * LIGHT[1]) / g["body"]
            edge = any(not in_silhouette(x + dx, y + dy)
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                role = "outline"
            elif r > face + 1.0 or in_rect(px, py, g["cap"]) or in_rect(px, py, g["stem"]):
                role = "metal"
            elif r > face:
                role = "rim"
            else:
                role = "face"
            if role == "face":
                if r <= g["hub"] + 0.75 and g["hub"] > 0:
                    role = "hub"
                elif segment_distance(px, py, cx, cy, cx + hx * hand_len * face,
                                      cy + hy * hand_len * face) <= hand_half:
                    role = "hand"
                elif segment_distance(px, py, cx - sx * tail_len * face, cy - sy * tail_len * face,
                                      cx + sx * second_len * face,
                                      cy + sy * second_len * face) <= second_half:
                    role = "second"
                elif g["ticks"] and is_tick(px - cx, py - cy, face, size / 32):
                    role = "tick"
            row.append((role, light))
        rows.append(row)
    return rows


def is_tick(dx, dy, face, scale):
    # Only the quarters: at 32 pixels the other hours read as noise.
    r = math.hypot(dx, dy)
    return face - 2.6 * scale <= r <= face and min(abs(dx), abs(dy)) <= 0.55 * scale


def indices16(rows):
    """The 16-colour rendering: palette indices, None where transparent."""
    out = []
    for row in rows:
        line = []
        for role, light in row:
            if role is None:
                line.append(None)
            elif role == "metal":
                line.append(SILVER if light > -0.25 else GRAY)
            else:
                line.append({"outline": BLACK, "rim": GRAY, "face": WHITE, "hub": BLACK,
                             "hand": BLACK, "second": RED, "tick": BLACK}[role])
        out.append(line)
    return out


def shade(base, light, depth):
    # Quantised so the whole image fits a 256-entry palette with room to spare.
    k = round(light * depth / 4.0) * 4.0
    return tuple(max(0, min(255, int(c + k))) for c in base)


def rgb256(rows):
    """The 256-colour rendering: brushed-steel case, lightly shaded face."""
    out = []
    for row in rows:
        line = []
        for role, light in row:
            if role is None:
                line.append(None)
            elif role == "outline":
                line.append((24, 28, 36))
            elif role == "metal":
                line.append(shade((168, 176, 188), light, 72))
            elif role == "rim":
                line.append(shade((96, 102, 112), light, 32))
            elif role == "face":
                line.append(shade((238, 240, 244), light, 20))
            elif role == "second":
                line.append((208, 24, 24))
            else:  # hub, hand, tick
                line.append((32, 36, 44))
        out.append(line)
    return out


def palette_of(pixels):
    # Black comes first: transparent pixels use index 0, and Windows XORs their
    # colour onto whatever lies behind the icon, so it must be black.
    colours = sorted({c for row in pixels for c in row if c is not None} - {(0, 0, 0)})
    colours = [(0, 0, 0)] + colours
    if len(colours) > 256:
        raise SystemExit(f"{len(colours)} colours do not fit an 8-bpp palette")
    return colours + [(0, 0, 0)] * (256 - len(colours))


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def dib(indices, palette, bits):
    """A BITMAPINFOHEADER image: palette, XOR bitmap and AND mask, rows bottom-up."""
    size = len(indices)
    xor_rows, and_rows = [], []
    for row in reversed(indices):
        if bits == 4:
            nibbles = [0 if i is None else i for i in row]
            xor = bytes((nibbles[k] << 4) | nibbles[k + 1] for k in range(0, size, 2))
        else:
            xor = bytes(0 if i is None else i for i in row)
        mask = 0
        for i in row:
            mask = (mask << 1) | (1 if i is None else 0)
        and_bits = mask.to_bytes((size + 7) // 8, "big")
        xor_rows.append(pad4(xor))
        and_rows.append(pad4(and_bits))
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(pixels), 0, 0, 0, 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + pixels


def ico(images):
    """images: (size, colour count byte, bit count, DIB bytes)."""
    offset = 6 + 16 * len(images)
    directory, blobs = [], []
    for size, colours, bits, data in images:
        directory.append(struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                                     len(data), offset))
        blobs.append(data)
        offset += len(data)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(directory) + b"".join(blobs)


def preview_png(path, rgba_rows, zoom=8):
    raw = bytearray()
    for row in rgba_rows:
        line = bytearray()
        for pixel in row:
            line += bytes(pixel) * zoom
        for _ in range(zoom):
            raw += b"\0" + line
    width, height = len(rgba_rows[0]) * zoom, len(rgba_rows) * zoom

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-o", "--output", default=os.path.join(here, "..", "app_icon.ico"))
    parser.add_argument("--preview", metavar="DIR", help="also write magnified PNGs here")
    args = parser.parse_args()

    big, small = draw(32), draw(16)
    big16, small16 = indices16(big), indices16(small)
    big256 = rgb256(big)
    palette = palette_of(big256)
    big256_indices = [[None if c is None else palette.index(c) for c in row] for row in big256]

    def shaded(size):
        pixels = rgb256(draw(size))
        colours = palette_of(pixels)
        return pixels, [[None if c is None else colours.index(c) for c in row] for row in pixels], colours

    large256, large256_indices, large_palette = shaded(48)
    medium256, medium256_indices, medium_palette = shaded(24)

    data = ico([
        (32, 16, 4, dib(big16, VGA16, 4)),
        (16, 16, 4, dib(small16, VGA16, 4)),
        (32, 0, 8, dib(big256_indices, palette, 8)),
        (48, 0, 8, dib(large256_indices, large_palette, 8)),
        (24, 0, 8, dib(medium256_indices, medium_palette, 8)),
    ])
    with open(args.output, "wb") as f:
        f.write(data)
    print(f"wrote {os.path.normpath(args.output)} ({len(data)} bytes, "
          f"{len(set(c for row in big256 for c in row if c))} colours in the 256-colour image)")

    if args.preview:
        os.makedirs(args.preview, exist_ok=True)

        def rgba(rows, lookup):
            return [[(0, 0, 0, 0) if c is None else lookup(c) + (255,) for c in row] for row in rows]

        preview_png(os.path.join(args.preview, "32x32-4bpp.png"), rgba(big16, lambda i: VGA16[i]))
        preview_png(os.path.join(args.preview, "16x16-4bpp.png"), rgba(small16, lambda i: VGA16[i]))
        preview_png(os.path.join(args.preview, "32x32-8bpp.png"), rgba(big256, lambda c: c))
        preview_png(os.path.join(args.preview, "48x48-8bpp.png"), rgba(large256, lambda c: c))
        preview_png(os.path.join(args.preview, "24x24-8bpp.png"), rgba(medium256, lambda c: c))


if __name__ == "__main__":
    main()
