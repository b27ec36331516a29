#!/usr/bin/env python3
"""Draws Chronolist's stopwatch icon in every form the program ships.

Writes into OUTPUT_DIR:
  app_icon.ico          for the Windows resource script: 32x32 in 16 colours,
                        16x16 in 16 colours and 32x32 in 256 colours, then
                        48x48 and 24x24 in 256 colours for the large and small
                        icons of 150 % displays; classic DIB images with a
                        1-bpp AND mask, so every Windows version reads it;

One stopwatch, two renderings. At 16 and 32 pixels it is drawn pixel by pixel
with geometry fitted to each grid (the .ico's images; the PNGs take their
256-colour shading). From 24 pixels up it is the same shapes as vectors:
circles, rectangles and round-capped bars, filled flat or with linear
gradients, rasterised here with analytic anti-aliasing and written out as the
SVG.

The shapes are in icon_shapes.py, the file formats in icon_files.py.
Standard library only; run at build time. The output is deterministic: same
script, same bytes.
"""

import argparse
import math
import os
import sys

from icon_files import dib, dib32, ico, palette_of, png, write
from icon_shapes import Bar, Circle, Gradient, Rect, colour_at, hex_colour, num, segment_distance

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


def render(rows, colour):
    """Each pixel's colour(role, light), None where transparent."""
    return [[None if role is None else colour(role, light) for role, light in row]
            for row in rows]


def indices16(rows):
    """The 16-colour rendering: palette indices, None where transparent."""
    def colour(role, light):
        if role == "metal":
            return SILVER if light > -0.25 else GRAY
        return {"outline": BLACK, "rim": GRAY, "face": WHITE, "hub": BLACK,
                "hand": BLACK, "second": RED, "tick": BLACK}[role]
    return render(rows, colour)


def shade(base, light, depth):
    # Quantised so the whole image fits a 256-entry palette with room to spare.
    k = round(light * depth / 4.0) * 4.0
    return tuple(max(0, min(255, int(c + k))) for c in base)


def rgb256(rows):
    """The 256-colour rendering: brushed-steel case, lightly shaded face."""
    def colour(role, light):
        if role == "outline":
            return (24, 28, 36)
        if role == "metal":
            return shade((168, 176, 188), light, 72)
        if role == "rim":
            return shade((96, 102, 112), light, 32)
        if role == "face":
            return shade((238, 240, 244), light, 20)
        if role == "second":
            return (208, 24, 24)
        return (32, 36, 44)  # hub, hand, tick
    return render(rows, colour)


# ---------------------------------------------------------------------------
# The vector rendering, from 24 pixels up. Coordinates are those of the 32-pixel
# grid above, so both renderings share the stopwatch's proportions.

PNG_SIZES = (16, 24, 32, 48, 64, 128, 256)
PIXEL_SIZES = (16, 32)  # drawn pixel by pixel, as in the .ico
UNITS = 32.0
CENTRE = GEOMETRY[32]["centre"]
BODY = GEOMETRY[32]["body"]
FACE = GEOMETRY[32]["face"]
INK = (32, 36, 44)
OUTLINE = (24, 28, 36)
SECOND_RED = (208, 24, 24)


def lit_gradient(name, base, depth):
    """Along the light, through the body's centre: the colour that shade()
    gives at light +1 (top left) to the one at light -1."""
    cx, cy = CENTRE
    return Gradient(name, base, depth, (cx + LIGHT[0] * BODY, cy + LIGHT[1] * BODY),
                    (cx - LIGHT[0] * BODY, cy - LIGHT[1] * BODY))


METAL = lit_gradient("metal", (168, 176, 188), 72)
RIM = lit_gradient("rim", (96, 102, 112), 32)
FACE_FILL = lit_gradient("face", (238, 240, 244), 20)


def vector_shapes(pixels_per_unit=None):
    """The stopwatch as shapes, back to front. With pixels_per_unit (a raster
    size) the outline keeps at least one pixel; without (the SVG) it is drawn
    for large sizes, hour marks and all."""
    cx, cy = CENTRE
    outline = 0.75 if pixels_per_unit is None else max(0.75, 1.0 / pixels_per_unit)
    # No stroke thinner than a pixel: it would only grey the face.
    thinnest = 0.0 if pixels_per_unit is None else 0.5 / pixels_per_unit

    def bar(a, b, half, fill):
        return Bar(a, b, max(half, thinnest), fill)
    detailed = pixels_per_unit is None or pixels_per_unit >= 2.0

    def at(degrees, radius):
        dx, dy = direction(degrees)
        return cx + dx * radius, cy + dy * radius

    cap = (12.0, 0.0, 20.0, 3.4)
    stem = (14.0, 2.0, 18.0, 7.5)
    shapes = [
        Circle(CENTRE, BODY, OUTLINE),
        Rect(*cap, 1.0, OUTLINE),
        Rect(*stem, 0.0, OUTLINE),
        Circle(CENTRE, BODY - outline, METAL),
        Rect(cap[0] + outline, cap[1] + outline, cap[2] - outline, cap[3] - outline,
             max(0.0, 1.0 - outline), METAL),
        Rect(stem[0] + outline, cap[3] - outline, stem[2] - outline, stem[3] + 1.0, 0.0, METAL),
        Circle(CENTRE, FACE + 1.0, RIM),
        Circle(CENTRE, FACE, FACE_FILL),
    ]
    for hour in range(0, 12):
        if hour % 3 == 0:
            shapes.append(bar(at(hour * 30, FACE - 2.05), at(hour * 30, FACE - 0.95), 0.55, INK))
        elif detailed:
            shapes.append(bar(at(hour * 30, FACE - 1.55), at(hour * 30, FACE - 0.95), 0.3, INK))
    hand_len, hand_half = GEOMETRY[32]["hand"]
    second_len, second_half, tail_len = GEOMETRY[32]["second"]
    if detailed:
        second_half = 0.4
    shapes += [
        bar(at(SECOND_ANGLE + 180, tail_len * FACE), at(SECOND_ANGLE, second_len * FACE),
            second_half, SECOND_RED),
        bar(CENTRE, at(HAND_ANGLE, hand_len * FACE), hand_half, INK),
        Circle(CENTRE, GEOMETRY[32]["hub"] + 0.75, INK),
    ]
    if detailed:
        shapes.append(Circle(CENTRE, 0.6, SECOND_RED))
    return shapes


def rasterise(shapes, size):
    """Straight-alpha RGBA rows. Each shape covers a pixel by how far the
    pixel's centre lies inside its edge (a one-pixel ramp), composited over
    the shapes before it."""
    scale = size / UNITS
    # The body's centre on a pixel corner, as in the pixel drawings: the disc
    # and the hub come out symmetric.
    shift_x = (round(CENTRE[0] * scale) - CENTRE[0] * scale) / scale
    shift_y = (round(CENTRE[1] * scale) - CENTRE[1] * scale) / scale
    buffer = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]  # premultiplied
    for shape in shapes:
        x0, y0, x1, y1 = shape.bounds()
        for py in range(max(0, int((y0 + shift_y) * scale) - 1),
                        min(size, int((y1 + shift_y) * scale) + 2)):
            y = (py + 0.5) / scale - shift_y
            for px in range(max(0, int((x0 + shift_x) * scale) - 1),
                            min(size, int((x1 + shift_x) * scale) + 2)):
                x = (px + 0.5) / scale - shift_x
                coverage = 0.5 - shape.distance(x, y) * scale
                if coverage <= 0.0:
                    continue
                coverage = min(1.0, coverage)
                r, g, b = colour_at(shape.fill, x, y)
                pixel = buffer[py * size + px]
                keep = 1.0 - coverage
                pixel[0] = r * coverage + pixel[0] * keep
                pixel[1] = g * coverage + pixel[1] * keep
                pixel[2] = b * coverage + pixel[2] * keep
                pixel[3] = coverage + pixel[3] * keep
    rows = []
    for py in range(size):
        row = []
        for r, g, b, a in buffer[py * size:(py + 1) * size]:
            if a <= 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(a * 255)))
        rows.append(row)
    return rows


def svg_document(shapes):
    gradients = []
    for shape in shapes:
        if isinstance(shape.fill, Gradient) and shape.fill not in gradients:
            gradients.append(shape.fill)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 32 32">', "<defs>"]
    for gradient in gradients:
        (x0, y0), (x1, y1) = gradient.start, gradient.end
        lit, dark = gradient.stops
        lines.append(f'<linearGradient id="{gradient.name}" gradientUnits="userSpaceOnUse" '
                     f'x1="{num(x0)}" y1="{num(y0)}" x2="{num(x1)}" y2="{num(y1)}">'
                     f'<stop offset="0" stop-color="{hex_colour(lit)}"/>'
                     f'<stop offset="1" stop-color="{hex_colour(dark)}"/></linearGradient>')
    lines.append("</defs>")
    lines += [shape.svg() for shape in shapes]
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def pixel_rgba(size):
    """The pixel drawing in its 256-colour shading, as RGBA rows."""
    return [[(0, 0, 0, 0) if c is None else c + (255,) for c in row] for row in rgb256(draw(size))]


def rgba(size):
    """The image of `size` pixels as the PNGs hold it: the pixel drawing where
    there is one, else the vector drawing rasterised for that size."""
    if size in PIXEL_SIZES:
        return pixel_rgba(size)
    return rasterise(vector_shapes(size / UNITS), size)


def app_icon_ico():
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

    return ico([
        (32, 16, 4, dib(big16, VGA16, 4)),
        (16, 16, 4, dib(small16, VGA16, 4)),
        (32, 0, 8, dib(big256_indices, palette, 8)),
        (48, 0, 8, dib(large256_indices, large_palette, 8)),
        (24, 0, 8, dib(medium256_indices, medium_palette, 8)),
        # With alpha, for 200 % screens and Explorer's large views; Windows
        # reads the 256 px image only as a PNG.
        (64, 0, 32, dib32(rgba(64))),
        (256, 0, 32, png(rgba(256))),
    ])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output_dir")
    args = parser.parse_args()
    os.makedirs(args.output_dir, exist_ok=True)

    def out(name):
        return os.path.join(args.output_dir, name)

    write(out("app_icon.ico"), app_icon_ico())
    for size in PNG_SIZES:
        write(out(f"chronolist-{size}.png"), png(rgba(size)))
    write(out("chronolist.svg"), svg_document(vector_shapes()).encode())
    return 0


if __name__ == "__main__":
    sys.exit(main())
