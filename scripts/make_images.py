#!/usr/bin/env python3
"""Draws the images of the resource library and writes them into resources/images/.

    python3 scripts/make_images.py [output folder]

Writes, for each of the seven main-window buttons (start, stop, pause, open, settings,
help, exit), four 40x40 24-bit BMP files named after the button's caption plus
U (up), D (down), F (focused) and X (disabled); the program icon velmorax.ico
(16, 32 and 48 pixels, each in 32-bit colour with alpha and in 256 colours); and the
crosshair cursor crosscur.cur (32x32, black and white, hot spot in the centre).

Only the standard library is used. Shapes are drawn with 4x4 supersampling so that
edges are smooth; everything is computed, nothing is random, so the same files come
out every time.
"""

import math
import os
import struct
import sys

SAMPLES = 4  # supersampling grid per pixel, along each axis

BUTTON_SIZE = 40
FACE = (240, 240, 240)        # button face, the system's usual 3D face colour
HIGHLIGHT = (255, 255, 255)   # outer light edge
LIGHT = (227, 227, 227)       # inner light edge
SHADOW = (160, 160, 160)      # inner dark edge
DARK_SHADOW = (105, 105, 105) # outer dark edge
PRESSED_FACE = (228, 228, 228)


# ---------------------------------------------------------------------------
# A small RGBA canvas with anti-aliased fills

class Canvas:
    """Pixels as premultiplied (r, g, b, a) floats; r, g, b in 0..255, a in 0..1."""

    def __init__(self, width, height, color=None):
        self.width = width
        self.height = height
        fill = (0.0, 0.0, 0.0, 0.0) if color is None else (color[0], color[1], color[2], 1.0)
        self.pixels = [list(fill) for _ in range(width * height)]

    def blend(self, x, y, rgb, alpha):
        """Paints rgb with coverage alpha over pixel (x, y)."""
        if alpha <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        p = self.pixels[y * self.width + x]
        keep = 1.0 - alpha
        p[0] = rgb[0] * alpha + p[0] * keep
        p[1] = rgb[1] * alpha + p[1] * keep
        p[2] = rgb[2] * alpha + p[2] * keep
        p[3] = alpha + p[3] * keep

    def put(self, x, y, rgb):
        self.blend(x, y, rgb, 1.0)

    def fill(self, shape, paint, opacity=1.0):
        """Fills shape (a function of a point giving True inside) with paint (an RGB
        tuple or a function of a point giving one)."""
        step = 1.0 / SAMPLES
        offsets = [(i + 0.5) * step for i in range(SAMPLES)]
        total = SAMPLES * SAMPLES
        x0, y0, x1, y1 = getattr(shape, "box", (0, 0, self.width, self.height))
        x0, y0 = max(0, int(math.floor(x0)) - 1), max(0, int(math.floor(y0)) - 1)
        x1, y1 = min(self.width, int(math.ceil(x1)) + 1), min(self.height, int(math.ceil(y1)) + 1)
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if shape(px + ox, py + oy):
                            hits += 1
                if hits:
                    rgb = paint(px + 0.5, py + 0.5) if callable(paint) else paint
                    self.blend(px, py, rgb, opacity * hits / total)

    def draw(self, other, dx=0, dy=0):
        """Composites another canvas over this one, moved by whole pixels."""
        for y in range(other.height):
            for x in range(other.width):
                r, g, b, a = other.pixels[y * other.width + x]
                if a > 0:
                    self.blend(x + dx, y + dy, (r / a, g / a, b / a), a)

    def map(self, function):
        """A new canvas whose pixels are function(rgb, alpha) -> (rgb, alpha)."""
        result = Canvas(self.width, self.height)
        for i, (r, g, b, a) in enumerate(self.pixels):
            if a > 0:
                rgb, alpha = function((r / a, g / a, b / a), a)
                result.pixels[i] = [rgb[0] * alpha, rgb[1] * alpha, rgb[2] * alpha, alpha]
        return result

    def rgba(self, x, y):
        """Straight (not premultiplied) colour as bytes, and alpha as a byte."""
        r, g, b, a = self.pixels[y * self.width + x]
        if a <= 0:
            return (0, 0, 0, 0)
        return (clamp_byte(r / a), clamp_byte(g / a), clamp_byte(b / a), clamp_byte(a * 255))


def clamp_byte(value):
    return max(0, min(255, int(round(value))))


# ---------------------------------------------------------------------------
# Shapes: functions of (x, y) with an optional bounding box

def shape(box):
    def wrap(function):
        function.box = box
        return function
    return wrap


def circle(cx, cy, r):
    @shape((cx - r, cy - r, cx + r, cy + r))
    def inside(x, y):
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def ellipse(cx, cy, rx, ry):
    @shape((cx - rx, cy - ry, cx + rx, cy + ry))
    def inside(x, y):
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0
    return inside


def rounded_rect(x0, y0, x1, y1, r):
    @shape((x0, y0, x1, y1))
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rect_shape(x0, y0, x1, y1):
    return rounded_rect(x0, y0, x1, y1, 0.0)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    @shape((min(xs), min(ys), max(xs), max(ys)))
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def widened(inner):
    """The shape widened by about one pixel, for a dark rim."""
    @shape(tuple(v + d for v, d in zip(inner.box, (-1.2, -1.2, 1.2, 1.2))))
    def inside(x, y):
        for dx, dy in ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1),
                       (0.7, 0.7), (-0.7, 0.7), (0.7, -0.7), (-0.7, -0.7)):
            if inner(x + dx, y + dy):
                return True
        return False
    return inside


def stroke(points, width):
    """A polyline drawn with round ends and joins."""
    half = width / 2.0
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    segments = list(zip(points, points[1:]))

    @shape((min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half))
    def inside(x, y):
        for (ax, ay), (bx, by) in segments:
            dx, dy = bx - ax, by - ay
            length = dx * dx + dy * dy
            t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
            if (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half:
                return True
        return False
    return inside


def arc_points(cx, cy, r, start_degrees, end_degrees, count=24):
    """Points along a circle; angles in degrees, 0 = right, 90 = down (screen axes)."""
    points = []
    for i in range(count + 1):
        angle = math.radians(start_degrees + (end_degrees - start_degrees) * i / count)
        points.append((cx + r * math.cos(angle), cy + r * math.sin(angle)))
    return points


def minus(a, b):
    @shape(a.box)
    def inside(x, y):
        return a(x, y) and not b(x, y)
    return inside


# ---------------------------------------------------------------------------
# Paints

def mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def vertical(y0, c0, y1, c1):
    return lambda x, y: mix(c0, c1, (y - y0) / (y1 - y0))


def radial(cx, cy, r, c0, c1):
    return lambda x, y: mix(c0, c1, math.hypot(x - cx, y - cy) / r)


# ---------------------------------------------------------------------------
# Button glyphs, drawn on a transparent 40x40 canvas centred on (20, 20)

def glyph_start(c):
    c.fill(circle(20, 20, 10.5), (120, 12, 12))
    c.fill(circle(20, 20, 9.6), radial(17, 16, 13, (255, 120, 105), (196, 22, 22)))
    c.fill(ellipse(17.5, 15.5, 4.5, 2.8), (255, 255, 255), opacity=0.45)


def dark_fill(c, inside, y0, y1):
    c.fill(inside, vertical(y0, (96, 100, 112), y1, (38, 40, 48)))


def glyph_stop(c):
    c.fill(rounded_rect(11.5, 11.5, 28.5, 28.5, 2.6), (24, 25, 30))
    dark_fill(c, rounded_rect(12.5, 12.5, 27.5, 27.5, 1.8), 12.5, 27.5)


def glyph_pause(c):
    for x in (12.0, 22.0):
        c.fill(rounded_rect(x - 0.5, 11.5, x + 6.5, 28.5, 2.0), (24, 25, 30))
        dark_fill(c, rounded_rect(x + 0.5, 12.5, x + 5.5, 27.5, 1.3), 12.5, 27.5)


def glyph_open(c):
    outline = (150, 98, 16)
    back = polygon([(8, 12), (15, 12), (17, 14), (31, 14), (31, 30), (8, 30)])
    c.fill(back, outline)
    c.fill(polygon([(9, 13), (14.6, 13), (16.6, 15), (30, 15), (30, 29), (9, 29)]),
           vertical(13, (236, 190, 82), 29, (214, 158, 46)))
    # a sheet of paper sticking out of the folder
    c.fill(rounded_rect(11.5, 16.5, 27.5, 26, 0.5), (140, 140, 140))
    c.fill(rounded_rect(12.3, 17.3, 26.7, 26, 0.3), (252, 252, 252))
    front = polygon([(11.5, 19), (34, 19), (30.5, 30), (8, 30)])
    c.fill(front, outline)
    c.fill(polygon([(12.3, 20), (32.6, 20), (29.7, 29), (9.4, 29)]),
           vertical(20, (255, 222, 120), 29, (240, 184, 64)))


def gear(cx, cy, outer, root, hole, teeth):
    @shape((cx - outer, cy - outer, cx + outer, cy + outer))
    def inside(x, y):
        r = math.hypot(x - cx, y - cy)
        if r < hole or r > outer:
            return False
        if r <= root:
            return True
        angle = math.atan2(y - cy, x - cx) * teeth / (2 * math.pi)
        distance = abs(angle - round(angle))  # 0 at a tooth's middle, 0.5 between teeth
        # tooth sides slant: wide at the root, narrow at the tip
        limit = 0.30 - 0.10 * (r - root) / (outer - root)
        return distance <= limit
    return inside


def glyph_settings(c):
    c.fill(gear(20, 20, 11.2, 8.2, 3.1, 8), (40, 52, 70))
    c.fill(gear(20, 20, 10.3, 7.4, 3.9, 8), radial(16, 15, 16, (168, 182, 204), (82, 98, 124)))
    c.fill(minus(circle(20, 20, 5.6), circle(20, 20, 3.9)), (60, 74, 98), opacity=0.55)


def glyph_help(c):
    c.fill(circle(20, 20, 11.0), (20, 62, 150))
    c.fill(circle(20, 20, 10.1), radial(16.5, 15, 15, (120, 176, 246), (34, 94, 200)))
    hook = arc_points(20, 16.4, 3.7, 195, 395, 28)
    hook += [(20.6, 21.0), (20.0, 22.3), (20.0, 23.2)]
    c.fill(stroke(hook, 2.8), (255, 255, 255))
    c.fill(circle(20.0, 27.0, 1.75), (255, 255, 255))


def glyph_exit(c):
    # door frame and an opened door, with an arrow leaving through it
    c.fill(rounded_rect(8.0, 8.5, 23.0, 31.5, 0.8), (70, 50, 36))
    c.fill(rect_shape(9.5, 10.0, 21.5, 31.5), (44, 36, 30))
    door = polygon([(9.5, 10.0), (16.5, 12.0), (16.5, 33.5), (9.5, 31.5)])
    c.fill(door, (98, 62, 34))
    c.fill(polygon([(10.3, 11.2), (15.7, 12.8), (15.7, 32.2), (10.3, 30.6)]),
           vertical(11, (196, 132, 74), 32, (150, 94, 48)))
    c.fill(circle(14.3, 22.4, 0.95), (250, 220, 120))
    arrow = polygon([(17, 17.8), (24.5, 17.8), (24.5, 13.5), (32.5, 20.5),
                     (24.5, 27.5), (24.5, 23.2), (17, 23.2)])
    c.fill(widened(arrow), (20, 100, 36))
    c.fill(arrow, vertical(13.5, (104, 210, 110), 27.5, (36, 150, 58)))


GLYPHS = [
    ("start", glyph_start),
    ("stop", glyph_stop),
    ("pause", glyph_pause),
    ("open", glyph_open),
    ("settings", glyph_settings),
    ("help", glyph_help),
    ("exit", glyph_exit),
]


# ---------------------------------------------------------------------------
# Button faces

def frame(c, top_left_outer, top_left_inner, bottom_right_outer, bottom_right_inner):
    n = c.width - 1
    for i in range(c.width):
        c.put(i, 0, top_left_outer)
        c.put(0, i, top_left_outer)
    for i in range(1, c.width - 1):
        c.put(i, 1, top_left_inner)
        c.put(1, i, top_left_inner)
    for i in range(c.width):
        c.put(i, n, bottom_right_outer)
        c.put(n, i, bottom_right_outer)
    for i in range(1, c.width - 1):
        c.put(i, n - 1, bottom_right_inner)
        c.put(n - 1, i, bottom_right_inner)


def focus_ring(c, inset):
    """The system's dotted focus rectangle: every other pixel."""
    last = c.width - 1 - inset
    for i in range(inset, last + 1):
        for x, y in ((i, inset), (i, last), (inset, i), (last, i)):
            if (x + y) % 2 == 0:
                c.put(x, y, (0, 0, 0))


def greyed(rgb, alpha):
    """Disabled look: the glyph in light greys, details kept."""
    luminance = 0.30 * rgb[0] + 0.59 * rgb[1] + 0.11 * rgb[2]
    grey = 150 + luminance * 0.36
    return (grey, grey, grey), alpha


def button_images(glyph):
    size = BUTTON_SIZE
    up = Canvas(size, size, FACE)
    frame(up, HIGHLIGHT, LIGHT, DARK_SHADOW, SHADOW)
    up.draw(glyph)

    down = Canvas(size, size, PRESSED_FACE)
    frame(down, DARK_SHADOW, SHADOW, HIGHLIGHT, LIGHT)
    down.draw(glyph, 1, 1)

    focused = Canvas(size, size, FACE)
    frame(focused, HIGHLIGHT, LIGHT, DARK_SHADOW, SHADOW)
    focused.draw(glyph)
    focus_ring(focused, 4)

    disabled = Canvas(size, size, FACE)
    frame(disabled, HIGHLIGHT, LIGHT, DARK_SHADOW, SHADOW)
    grey = glyph.map(greyed)
    disabled.draw(grey.map(lambda rgb, a: ((255, 255, 255), a * 0.9)), 1, 1)
    disabled.draw(grey)
    return {"u": up, "d": down, "f": focused, "x": disabled}


# ---------------------------------------------------------------------------
# Program icon: a strip of film with a red record dot

def draw_icon(size):
    c = Canvas(size, size)
    k = size / 48.0
    hole = max(1.0, round(4 * k))
    strip_top, strip_bottom = round(5 * k), size - round(5 * k)
    side = 1.5 * k if size > 16 else 0  # the smallest icon uses its full width
    c.fill(rounded_rect(side, strip_top, size - side, strip_bottom, max(1.0, 4 * k)), (20, 22, 28))
    c.fill(rounded_rect(side + 1, strip_top + 1, size - side - 1, strip_bottom - 1, max(0.5, 3 * k)),
           vertical(strip_top, (78, 84, 96), strip_bottom, (36, 38, 46)))
    # sprocket holes along both edges, snapped to whole pixels and mirrored so that
    # both halves match
    count = 6
    margin = round(4 * k) + 1 if size > 16 else 2
    gap = (size - 2 * margin - count * hole) / (count - 1)
    band = round(2.5 * k) if size > 16 else 0
    for i in range(count // 2):
        left = round(margin + i * (hole + gap))
        for x in (left, size - hole - left):
            for y in (strip_top + 1 + band, strip_bottom - 1 - band - hole):
                c.fill(rounded_rect(x, y, x + hole, y + hole, 0.35 * hole), (222, 226, 234))
    # the picture area and the record dot
    top = strip_top + 2 + band + hole
    bottom = strip_bottom - 2 - band - hole
    c.fill(rect_shape(round(4 * k), top, size - round(4 * k), bottom),
           vertical(top, (132, 182, 236), bottom, (58, 104, 182)))
    cx = cy = size / 2.0
    r = 7.2 * k if size > 16 else 2.7
    c.fill(circle(cx, cy, r + max(0.8, 1.3 * k)), (255, 255, 255))
    c.fill(circle(cx, cy, r), radial(cx - r * 0.35, cy - r * 0.45, r * 1.5, (255, 118, 100), (200, 20, 20)))
    if size > 16:
        c.fill(ellipse(cx - r * 0.3, cy - r * 0.45, r * 0.45, r * 0.28), (255, 255, 255), opacity=0.5)
    return c


# ---------------------------------------------------------------------------
# Crosshair cursor: a one-pixel black cross with a white rim and a dot on the hot spot

CURSOR_SIZE = 32
HOT_SPOT = (15, 15)


def cursor_pixels():
    """A dict (x, y) -> 0 for black, 1 for white; missing = transparent."""
    hx, hy = HOT_SPOT
    black = {(hx, hy)}
    for d in range(4, 15):
        black |= {(hx - d, hy), (hx + d, hy), (hx, hy - d), (hx, hy + d)}
    pixels = {}
    for x, y in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                pixels[(x + dx, y + dy)] = 1
    for p in black:
        pixels[p] = 0
    return pixels


# ---------------------------------------------------------------------------
# File writers

def bitmap_info(width, height, bits, image_size, colors=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colors, 0)


def write_bmp(path, canvas):
    row = (canvas.width * 3 + 3) & ~3
    data = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        line = bytearray()
        for x in range(canvas.width):
            r, g, b, _ = canvas.rgba(x, y)
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = bitmap_info(canvas.width, canvas.height, 24, len(data))
    offset = 14 + len(header)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset))
        f.write(header)
        f.write(data)


def mask_rows(width, height, transparent):
    """1-bit AND mask, bottom-up, rows padded to 32 bits; transparent(x, y) sets the bit."""
    row = ((width + 31) // 32) * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray(row)
        for x in range(width):
            if transparent(x, y):
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return data


def icon_image_32bit(canvas):
    w, h = canvas.width, canvas.height
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = canvas.rgba(x, y)
            pixels += bytes((b, g, r, a))
    mask = mask_rows(w, h, lambda x, y: canvas.rgba(x, y)[3] < 128)
    return bitmap_info(w, h * 2, 32, len(pixels) + len(mask)) + pixels + mask


def build_palette(colors, limit=256):
    """Picks up to limit colours: all of them when few, else the most frequent cells of a
    5-bit-per-channel grid, averaged. Ties are broken by colour value, so the choice is
    repeatable."""
    unique = sorted(set(colors))
    if len(unique) <= limit:
        return unique
    cells = {}
    for c in colors:
        key = (c[0] >> 3, c[1] >> 3, c[2] >> 3)
        cells.setdefault(key, []).append(c)
    chosen = sorted(cells.items(), key=lambda item: (-len(item[1]), item[0]))[:limit]
    palette = []
    for _, members in chosen:
        n = len(members)
        palette.append(tuple(int(round(sum(m[i] for m in members) / n)) for i in range(3)))
    return sorted(set(palette))


def icon_image_8bit(canvas):
    """A 256-colour version for displays without true colour; half-covered edge pixels
    are made opaque or transparent by their coverage."""
    w, h = canvas.width, canvas.height
    opaque = [(x, y) for y in range(h) for x in range(w) if canvas.rgba(x, y)[3] >= 128]
    colors = [canvas.rgba(x, y)[:3] for x, y in opaque]
    palette = build_palette(colors)
    nearest = {}

    def index(c):
        if c not in nearest:
            nearest[c] = min(range(len(palette)),
                             key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))
        return nearest[c]

    solid = set(opaque)
    row = (w + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray(row)
        for x in range(w):
            if (x, y) in solid:
                line[x] = index(canvas.rgba(x, y)[:3])
        pixels += line
    table = bytearray()
    for i in range(256):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    mask = mask_rows(w, h, lambda x, y: (x, y) not in solid)
    return bitmap_info(w, h * 2, 8, len(pixels) + len(mask), 256) + table + pixels + mask


def write_icon_file(path, kind, entries):
    """entries: (width, height, colour count byte, field1, field2, data). For icons the
    two fields are planes and bits per pixel, for cursors the hot spot."""
    header = struct.pack("<HHH", 0, kind, len(entries))
    offset = len(header) + 16 * len(entries)
    directory = bytearray()
    body = bytearray()
    for width, height, colors, field1, field2, data in entries:
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, colors, 0,
                                 field1, field2, len(data), offset + len(body))
        body += data
    with open(path, "wb") as f:
        f.write(header + directory + body)


def write_icon(path, sizes):
    entries = []
    for size in sizes:
        canvas = draw_icon(size)
        entries.append((size, size, 0, 1, 32, icon_image_32bit(canvas)))
        entries.append((size, size, 0, 1, 8, icon_image_8bit(canvas)))
    write_icon_file(path, 1, entries)


def write_cursor(path):
    size = CURSOR_SIZE
    pixels = cursor_pixels()
    colors = struct.pack("<BBBB", 0, 0, 0, 0) + struct.pack("<BBBB", 255, 255, 255, 0)
    color_bits = mask_rows(size, size, lambda x, y: pixels.get((x, y)) == 1)
    and_bits = mask_rows(size, size, lambda x, y: (x, y) not in pixels)
    data = bitmap_info(size, size * 2, 1, len(color_bits) + len(and_bits), 2) + colors + color_bits + and_bits
    write_icon_file(path, 2, [(size, size, 2, HOT_SPOT[0], HOT_SPOT[1], data)])


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "images")
    os.makedirs(out, exist_ok=True)
    for name, draw in GLYPHS:
        glyph = Canvas(BUTTON_SIZE, BUTTON_SIZE)
        draw(glyph)
        for suffix, canvas in button_images(glyph).items():
            write_bmp(os.path.join(out, name + suffix + ".bmp"), canvas)
    write_icon(os.path.join(out, "velmorax.ico"), (48, 32, 16))
    write_cursor(os.path.join(out, "crosscur.cur"))


if __name__ == "__main__":
    main()
