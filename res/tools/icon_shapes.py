"""The shapes of the icon's vector rendering: circles, rounded rectangles and
round-capped bars, filled flat or with a linear gradient. Each gives its
signed distance, for the rasteriser's anti-aliasing, and its SVG element."""

import math


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


class Gradient:
    """A linear gradient from `start` to `end`: base + depth (lit) to
    base - depth (dark)."""

    def __init__(self, name, base, depth, start, end):
        self.name = name
        lit = tuple(max(0, min(255, round(c + depth))) for c in base)
        dark = tuple(max(0, min(255, round(c - depth))) for c in base)
        self.stops = (lit, dark)
        self.start, self.end = start, end

    def at(self, x, y):
        (x0, y0), (x1, y1) = self.start, self.end
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        a, b = self.stops
        return tuple(a[k] + (b[k] - a[k]) * t for k in range(3))


def colour_at(fill, x, y):
    return fill.at(x, y) if isinstance(fill, Gradient) else fill


class Circle:
    def __init__(self, centre, radius, fill):
        self.centre, self.radius, self.fill = centre, radius, fill

    def bounds(self):
        (cx, cy), r = self.centre, self.radius
        return cx - r, cy - r, cx + r, cy + r

    def distance(self, x, y):
        return math.hypot(x - self.centre[0], y - self.centre[1]) - self.radius

    def svg(self):
        return (f'<circle cx="{num(self.centre[0])}" cy="{num(self.centre[1])}" '
                f'r="{num(self.radius)}" fill="{paint(self.fill)}"/>')


class Rect:
    def __init__(self, x0, y0, x1, y1, corner, fill):
        self.box, self.corner, self.fill = (x0, y0, x1, y1), corner, fill

    def bounds(self):
        return self.box

    def distance(self, x, y):
        x0, y0, x1, y1 = self.box
        r = self.corner
        qx = abs(x - (x0 + x1) / 2) - ((x1 - x0) / 2 - r)
        qy = abs(y - (y0 + y1) / 2) - ((y1 - y0) / 2 - r)
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r

    def svg(self):
        x0, y0, x1, y1 = self.box
        return (f'<rect x="{num(x0)}" y="{num(y0)}" width="{num(x1 - x0)}" '
                f'height="{num(y1 - y0)}" rx="{num(self.corner)}" fill="{paint(self.fill)}"/>')


class Bar:
    """A straight stroke with round ends: the hands and the hour marks."""

    def __init__(self, a, b, half_width, fill):
        self.a, self.b, self.half, self.fill = a, b, half_width, fill

    def bounds(self):
        (ax, ay), (bx, by), h = self.a, self.b, self.half
        return min(ax, bx) - h, min(ay, by) - h, max(ax, bx) + h, max(ay, by) + h

    def distance(self, x, y):
        return segment_distance(x, y, *self.a, *self.b) - self.half

    def svg(self):
        (ax, ay), (bx, by) = self.a, self.b
        return (f'<line x1="{num(ax)}" y1="{num(ay)}" x2="{num(bx)}" y2="{num(by)}" '
                f'stroke="{paint(self.fill)}" stroke-width="{num(2 * self.half)}" '
                f'stroke-linecap="round"/>')


def num(value):
    return f"{value:.3f}".rstrip("0").rstrip(".")


def hex_colour(rgb):
    return "#%02x%02x%02x" % tuple(round(c) for c in rgb)


def paint(fill):
    return f"url(#{fill.name})" if isinstance(fill, Gradient) else hex_colour(fill)
