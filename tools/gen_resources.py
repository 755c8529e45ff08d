#!/usr/bin/env python3
"""Draws every picture of Lumivell-Velquor: the bitmaps and icons compiled into
the program, and the decoration pictures it reads from control\\IMG at run time.

    gen_resources.py --resources DIR     bitmaps (.bmp) and icons (.ico) for the .rc
    gen_resources.py --decorations DIR   the folders 背景, 竖栏 and 行线 under DIR

Standard library only; the output is the same on every run.
"""
import argparse
import math
import os
import random
import struct


# ---------------------------------------------------------------------------
# File writers

def _write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_bmp24(path, w, h, rows):
    """rows: h byte strings of w*3 bytes (R, G, B), top row first."""
    stride = (w * 3 + 3) & ~3
    pad = b"\0" * (stride - w * 3)
    body = bytearray()
    for row in reversed(rows):
        px = bytearray(row)
        px[0::3], px[2::3] = px[2::3], px[0::3]     # RGB -> BGR
        body += px + pad
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    _write(path, head + info + bytes(body))


def write_bmp8(path, w, h, palette, rows):
    """palette: 256 (r, g, b); rows: h byte strings of w indices, top row first."""
    stride = (w + 3) & ~3
    pad = b"\0" * (stride - w)
    body = b"".join(bytes(r) + pad for r in reversed(rows))
    pal = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(body), 2835, 2835, 256, 0)
    off = 14 + 40 + len(pal)
    head = struct.pack("<2sIHHI", b"BM", off + len(body), 0, 0, off)
    _write(path, head + info + pal + body)


def write_ico(path, images):
    """images: list of (size, rgba) with rgba top row first, straight alpha.
    Each image is stored as a 32-bit DIB with an AND mask (transparent where
    alpha < 128), which also serves image lists without an alpha channel."""
    blobs = []
    for size, rgba in images:
        xor = bytearray()
        mask = bytearray()
        mstride = ((size + 31) // 32) * 4
        for y in range(size - 1, -1, -1):
            line = rgba[y * size * 4:(y + 1) * size * 4]
            px = bytearray(line)
            px[0::4], px[2::4] = px[2::4], px[0::4]  # RGBA -> BGRA
            xor += px
            bits = bytearray(mstride)
            for x in range(size):
                if line[x * 4 + 3] < 128:
                    bits[x >> 3] |= 0x80 >> (x & 7)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append((size, info + bytes(xor) + bytes(mask)))
    head = struct.pack("<HHH", 0, 1, len(blobs))
    off = 6 + 16 * len(blobs)
    entries = b""
    for size, blob in blobs:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), off)
        off += len(blob)
    _write(path, head + entries + b"".join(b for _, b in blobs))


# ---------------------------------------------------------------------------
# A small anti-aliased rasteriser over signed distance shapes.
# A shape is (bbox, d) where d(x, y) is the signed distance (negative inside)
# in design units and bbox = (x0, y0, x1, y1) bounds the inside.

def circle(cx, cy, r):
    return ((cx - r, cy - r, cx + r, cy + r), lambda x, y: math.hypot(x - cx, y - cy) - r)


def ellipse(cx, cy, rx, ry, angle=0.0):
    ca, sa = math.cos(angle), math.sin(angle)
    m = min(rx, ry)
    e = max(rx, ry)

    def d(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * ca + dy * sa, -dx * sa + dy * ca
        return (math.hypot(u / rx, v / ry) - 1.0) * m
    return ((cx - e, cy - e, cx + e, cy + e), d)


def rrect(x0, y0, x1, y1, r=0.0):
    hx, hy = (x1 - x0) / 2, (y1 - y0) / 2
    cx, cy = x0 + hx, y0 + hy
    r = min(r, hx, hy)

    def d(x, y):
        qx = abs(x - cx) - hx + r
        qy = abs(y - cy) - hy + r
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return ((x0, y0, x1, y1), d)


def capsule(ax, ay, bx, by, r):
    vx, vy = bx - ax, by - ay
    ll = vx * vx + vy * vy or 1e-9

    def d(x, y):
        t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / ll))
        return math.hypot(x - ax - vx * t, y - ay - vy * t) - r
    return ((min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r), d)


def polyline(points, r):
    return union(*[capsule(*points[i], *points[i + 1], r) for i in range(len(points) - 1)])


def polygon(points):
    n = len(points)
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def d(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i - 1]
            bx, by = points[i]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            ll = ex * ex + ey * ey or 1e-9
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / ll))
            dd = (wx - ex * t) ** 2 + (wy - ey * t) ** 2
            if dd < best:
                best = dd
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        dist = math.sqrt(best)
        return -dist if inside else dist
    return ((min(xs), min(ys), max(xs), max(ys)), d)


def ring(cx, cy, r, width):
    return ((cx - r - width, cy - r - width, cx + r + width, cy + r + width),
            lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2)


def union(*shapes):
    bb = (min(s[0][0] for s in shapes), min(s[0][1] for s in shapes),
          max(s[0][2] for s in shapes), max(s[0][3] for s in shapes))
    fs = [s[1] for s in shapes]
    return (bb, lambda x, y: min(f(x, y) for f in fs))


def subtract(a, b):
    fa, fb = a[1], b[1]
    return (a[0], lambda x, y: max(fa(x, y), -fb(x, y)))


def intersect(a, b):
    fa, fb = a[1], b[1]
    bb = (max(a[0][0], b[0][0]), max(a[0][1], b[0][1]), min(a[0][2], b[0][2]), min(a[0][3], b[0][3]))
    return (bb, lambda x, y: max(fa(x, y), fb(x, y)))


def moved(shape, dx, dy):
    (x0, y0, x1, y1), f = shape
    return ((x0 + dx, y0 + dy, x1 + dx, y1 + dy), lambda x, y: f(x - dx, y - dy))


def mirrored_x(shape, width):
    (x0, y0, x1, y1), f = shape
    return ((width - x1, y0, width - x0, y1), lambda x, y: f(width - x, y))


def hexrgb(s, a=1.0):
    s = s.lstrip("#")
    return (int(s[0:2], 16) / 255, int(s[2:4], 16) / 255, int(s[4:6], 16) / 255, a)


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def vgrad(top, bottom, y0, y1):
    """Colour function: top colour at y0 to bottom colour at y1 (design units)."""
    span = (y1 - y0) or 1
    memo = {}

    def f(x, y):
        c = memo.get(y)
        if c is None:
            c = memo[y] = mix(top, bottom, max(0.0, min(1.0, (y - y0) / span)))
        return c
    return f


class Canvas:
    """RGBA picture in premultiplied floats; `unit` pixels per design unit."""

    def __init__(self, w, h, unit=1.0, fill=(0, 0, 0, 0)):
        self.w, self.h, self.unit = w, h, unit
        r, g, b, a = fill
        self.px = [r * a, g * a, b * a, a] * (w * h)

    _cache = {}

    def coverage(self, shape):
        """[(pixel index, x, y, coverage)] of the pixels the shape touches."""
        (x0, y0, x1, y1), f = shape
        u = self.unit
        ix0 = max(0, int(math.floor(x0 * u)) - 1)
        iy0 = max(0, int(math.floor(y0 * u)) - 1)
        ix1 = min(self.w, int(math.ceil(x1 * u)) + 1)
        iy1 = min(self.h, int(math.ceil(y1 * u)) + 1)
        out = []
        for j in range(iy0, iy1):
            y = (j + 0.5) / u
            for i in range(ix0, ix1):
                x = (i + 0.5) / u
                cov = 0.5 - f(x, y) * u
                if cov > 0:
                    out.append((j * self.w + i, x, y, min(cov, 1.0)))
        return out

    def paint(self, shape, color, key=None):
        """Paints a shape; shapes painted again and again (the icon tile) pass
        a key so that their coverage is computed once per picture size."""
        if key is None:
            cover = self.coverage(shape)
        else:
            ck = (key, self.w, self.h, self.unit)
            cover = Canvas._cache.get(ck)
            if cover is None:
                cover = Canvas._cache[ck] = self.coverage(shape)
        flat = not callable(color)
        if flat:
            cr, cg, cb, ca = color
        px = self.px
        for idx, x, y, cov in cover:
            if not flat:
                cr, cg, cb, ca = color(x, y)
            a = ca * cov
            k = idx * 4
            inv = 1 - a
            px[k] = cr * a + px[k] * inv
            px[k + 1] = cg * a + px[k + 1] * inv
            px[k + 2] = cb * a + px[k + 2] * inv
            px[k + 3] = a + px[k + 3] * inv

    def rgba(self):
        out = bytearray(self.w * self.h * 4)
        px = self.px
        for k in range(0, len(px), 4):
            a = px[k + 3]
            if a > 0.0005:
                out[k] = min(255, int(px[k] / a * 255 + 0.5))
                out[k + 1] = min(255, int(px[k + 1] / a * 255 + 0.5))
                out[k + 2] = min(255, int(px[k + 2] / a * 255 + 0.5))
                out[k + 3] = min(255, int(a * 255 + 0.5))
        return bytes(out)

    def rgb_rows(self, back=(1, 1, 1)):
        """Opaque rows (R, G, B) over a background colour."""
        rows = []
        px = self.px
        for j in range(self.h):
            row = bytearray(self.w * 3)
            for i in range(self.w):
                k = (j * self.w + i) * 4
                inv = 1 - px[k + 3]
                row[i * 3] = min(255, int((px[k] + back[0] * inv) * 255 + 0.5))
                row[i * 3 + 1] = min(255, int((px[k + 1] + back[1] * inv) * 255 + 0.5))
                row[i * 3 + 2] = min(255, int((px[k + 2] + back[2] * inv) * 255 + 0.5))
            rows.append(bytes(row))
        return rows


# ---------------------------------------------------------------------------
# Icons: a rounded tile with a white pictogram, drawn at 48, 32 and 16 pixels.

WHITE = (1.0, 1.0, 1.0, 1.0)
ICON_SIZES = (48, 32, 16)


def render_icon(parts):
    """parts: list of (shape, colour[, cache key]) in a 48-unit design square."""
    images = []
    for size in ICON_SIZES:
        c = Canvas(size, size, unit=size / 48.0)
        for part in parts:
            c.paint(*part)
        images.append((size, c.rgba()))
    return images


def tile(top, bottom, glyph, extra=()):
    """A coloured tile carrying white glyph shapes (with a soft shadow) and
    then extra coloured shapes [(shape, colour)]."""
    t, b = hexrgb(top), hexrgb(bottom)
    edge = mix(b, (0, 0, 0, 1), 0.35)
    body = rrect(3, 3, 45, 45, 9)
    parts = [
        (rrect(3.6, 4.6, 45.6, 46.2, 9), (0, 0, 0, 0.25), "tile-shadow"),
        (body, vgrad(t, b, 3, 45), "tile-body"),
        (subtract(body, rrect(4.3, 4.3, 43.7, 43.7, 7.7)), edge, "tile-edge"),
        (rrect(5.5, 5.5, 42.5, 22, 6.5), (1, 1, 1, 0.14), "tile-gloss"),
    ]
    if glyph:
        parts.append((moved(union(*glyph), 0.8, 1.2), (0, 0, 0, 0.28)))
        parts += [(g, WHITE) for g in glyph]
    return parts + list(extra)


def badge_plus(cx, cy, color):
    return [(circle(cx, cy, 7.5), WHITE),
            (circle(cx, cy, 6.2), hexrgb(color)),
            (capsule(cx - 3.4, cy, cx + 3.4, cy, 1.25), WHITE),
            (capsule(cx, cy - 3.4, cx, cy + 3.4, 1.25), WHITE)]


def icon_new_folder():
    folder = union(rrect(9, 17, 37, 37, 2.5), rrect(9, 13, 21, 20, 2.5))
    return tile("#F5B942", "#D9890A", [folder],
                [(rrect(11, 21, 35, 23, 1), hexrgb("#F0C66A"))] + badge_plus(35, 34, "#3E9E4A"))


def icon_new_article():
    page = polygon([(13, 8), (29, 8), (36, 15), (36, 40), (13, 40)])
    lines = [(capsule(17.5, y, 31.5, y, 1.2), hexrgb("#2C6CB0")) for y in (20, 25, 30)]
    fold = (polygon([(29, 8), (29, 15), (36, 15)]), hexrgb("#BFD4EA"))
    return tile("#4F96DE", "#2A66A8", [page], [fold] + lines + badge_plus(35, 35, "#E0862B"))


def icon_code():
    g = [polyline([(19, 15), (10, 24), (19, 33)], 2.3),
         polyline([(29, 15), (38, 24), (29, 33)], 2.3),
         capsule(26.5, 12, 21.5, 36, 2.0)]
    return tile("#56606E", "#2E353F", g)


def icon_save():
    body = rrect(10, 10, 38, 38, 3.5)
    return tile("#6171D1", "#3A479C", [body], [
        (rrect(16, 10, 32, 20, 1.2), hexrgb("#3A479C")),
        (rrect(27, 12, 30, 18, 0.6), WHITE),
        (rrect(15, 25, 33, 36, 1.5), hexrgb("#E4E9F7")),
        (capsule(18, 29, 30, 29, 0.9), hexrgb("#8E99D6")),
        (capsule(18, 32.5, 27, 32.5, 0.9), hexrgb("#8E99D6")),
    ])


def icon_mark():
    pen = polygon([(30, 9), (39, 18), (22, 35), (13, 26)])
    tip = polygon([(13, 26), (22, 35), (14, 37), (11, 34)])
    return tile("#DB4F93", "#A8286A", [pen, tip], [
        (polygon([(30, 9), (39, 18), (35.5, 21.5), (26.5, 12.5)]), hexrgb("#F6C1DA")),
        (capsule(10, 40, 31, 40, 2.3), hexrgb("#FFE14D")),
    ])


def icon_colors():
    pal = subtract(circle(24, 24, 15), circle(31, 31, 4.2))
    dots = [(circle(17, 19, 3.1), hexrgb("#E5483A")), (circle(24.5, 14.5, 3.1), hexrgb("#F2C230")),
            (circle(32, 18.5, 3.1), hexrgb("#3E9E4A")), (circle(16.5, 27.5, 3.1), hexrgb("#3677C8"))]
    return tile("#2DB5A5", "#15806F", [pal], dots)


def icon_vertical_bars():
    bars = [rrect(11, 9, 17, 39, 2.5), rrect(31, 9, 37, 39, 2.5),
            capsule(20.5, 18, 26.5, 18, 1.3), polygon([(25, 14.5), (29.5, 18), (25, 21.5)]),
            capsule(27.5, 30, 21.5, 30, 1.3), polygon([(23, 26.5), (18.5, 30), (23, 33.5)])]
    return tile("#BE8450", "#8A5124", bars)


def icon_horizontal_lines():
    g = [capsule(11, 15, 37, 15, 2.2), capsule(11, 33, 37, 33, 2.2),
         capsule(11, 24, 19, 24, 2.2), capsule(29, 24, 37, 24, 2.2),
         polygon([(24, 19.5), (28.5, 24), (24, 28.5), (19.5, 24)])]
    return tile("#6FC35C", "#3F8C35", g)


def _picture(x0, y0, sky):
    frame = rrect(x0, y0, x0 + 23, y0 + 21, 2.2)
    inner = (rrect(x0 + 2.5, y0 + 2.5, x0 + 20.5, y0 + 18.5, 0.8), hexrgb(sky))
    hills = (polygon([(x0 + 2.5, y0 + 18.5), (x0 + 9, y0 + 9), (x0 + 14, y0 + 14.5),
                      (x0 + 17, y0 + 11.5), (x0 + 20.5, y0 + 16), (x0 + 20.5, y0 + 18.5)]),
             mix(hexrgb(sky), (0, 0, 0, 1), 0.45))
    sun = (circle(x0 + 15.5, y0 + 7, 2.4), hexrgb("#FFD84A"))
    return frame, [inner, hills, sun]


def icon_next_background():
    frame, inside = _picture(8, 13, "#8ED1FF")
    arrow = polygon([(33.5, 17), (41.5, 24), (33.5, 31)])
    return tile("#3FA3EE", "#1C73B8", [frame, arrow], inside)


def icon_prev_background():
    frame, inside = _picture(17, 13, "#C6BDF5")
    arrow = polygon([(14.5, 17), (6.5, 24), (14.5, 31)])
    return tile("#8C7BE6", "#5A47B5", [frame, arrow], inside)


def icon_full_screen():
    r = 2.2
    g = [polyline([(11, 20), (11, 11), (20, 11)], r), polyline([(28, 11), (37, 11), (37, 20)], r),
         polyline([(11, 28), (11, 37), (20, 37)], r), polyline([(28, 37), (37, 37), (37, 28)], r),
         rrect(18, 18, 30, 30, 1.5)]
    return tile("#657284", "#394352", g)


def icon_prev_page():
    g = [polyline([(27, 11), (14, 24), (27, 37)], 3.2), polyline([(36, 16), (28, 24), (36, 32)], 2.0)]
    return tile("#F28E42", "#C45F16", g)


def icon_next_page():
    g = [polyline([(21, 11), (34, 24), (21, 37)], 3.2), polyline([(12, 16), (20, 24), (12, 32)], 2.0)]
    return tile("#F28E42", "#C45F16", g)


def icon_settings():
    teeth = [capsule(24 + 9 * math.cos(a), 24 + 9 * math.sin(a),
                     24 + 14.5 * math.cos(a), 24 + 14.5 * math.sin(a), 3.0)
             for a in (k * math.pi / 4 for k in range(8))]
    gear = subtract(union(circle(24, 24, 11), *teeth), circle(24, 24, 4.6))
    return tile("#8296AA", "#526476", [gear])


def icon_packs():
    left = polygon([(8, 14), (23, 17.5), (23, 39), (8, 35.5)])
    right = polygon([(25, 17.5), (40, 14), (40, 35.5), (25, 39)])
    lines = [(capsule(11.5, y, 20, y + 2, 0.9), hexrgb("#E6B8B2")) for y in (20, 24.5, 29)]
    badge = [(circle(36, 35, 8), WHITE), (circle(36, 35, 6.6), hexrgb("#2F9E55")),
             (capsule(36, 30.5, 36, 37, 1.3), WHITE), (polygon([(32, 35), (40, 35), (36, 39.5)]), WHITE)]
    return tile("#C94535", "#8F2A20", [left, right], lines + badge)


def icon_exit():
    arc = subtract(ring(24, 26, 11, 3.6), polygon([(24, 26), (15, 4), (33, 4)]))
    return tile("#E85A43", "#B2301D", [arc, capsule(24, 10, 24, 25, 2.0)])


def icon_main():
    gold = hexrgb("#E8B64A")
    cream = hexrgb("#FBF1D6")
    return tile("#34429A", "#1A225C", [], [
        (polygon([(6, 15), (23, 18.5), (23, 40), (6, 36.5)]), gold),
        (polygon([(25, 18.5), (42, 15), (42, 36.5), (25, 40)]), gold),
        (polygon([(8, 14), (23, 17), (23, 37.5), (8, 34.5)]), cream),
        (polygon([(25, 17), (40, 14), (40, 34.5), (25, 37.5)]), cream),
        *[(capsule(11, y, 20, y + 1.8, 0.8), hexrgb("#B89766")) for y in (21, 25, 29)],
        *[(capsule(28, y + 1.8, 37, y, 0.8), hexrgb("#B89766")) for y in (21, 25, 29)],
        (polygon([(31, 15.8), (35, 15), (35, 27), (33, 25), (31, 27)]), hexrgb("#D23B30")),
    ])


def icon_document():
    page = polygon([(9, 4), (31, 4), (40, 13), (40, 44), (9, 44)])
    return [
        (moved(page, 1, 1.5), (0, 0, 0, 0.25)),
        (page, hexrgb("#FFFFFF")),
        (subtract(page, polygon([(10.3, 5.3), (30.5, 5.3), (38.7, 13.5), (38.7, 42.7), (10.3, 42.7)])),
         hexrgb("#7D8796")),
        (polygon([(31, 4), (31, 13), (40, 13)]), hexrgb("#D5DCE6")),
        *[(capsule(14, y, 34, y, 1.0), hexrgb("#5B6CC9")) for y in (18, 23, 28)],
        (capsule(14, 33, 25, 33, 1.0), hexrgb("#5B6CC9")),
        (rrect(27, 31, 36, 40, 1.2), hexrgb("#C8372D")),
        (rrect(29, 33, 34, 38, 0.5), hexrgb("#F3C7C2")),
    ]


ICONS = {
    "main.ico": icon_main,
    "document.ico": icon_document,
    "tb_new_folder.ico": icon_new_folder,
    "tb_new_article.ico": icon_new_article,
    "tb_code.ico": icon_code,
    "tb_save.ico": icon_save,
    "tb_mark.ico": icon_mark,
    "tb_colors.ico": icon_colors,
    "tb_vertical_bars.ico": icon_vertical_bars,
    "tb_horizontal_lines.ico": icon_horizontal_lines,
    "tb_next_background.ico": icon_next_background,
    "tb_prev_background.ico": icon_prev_background,
    "tb_full_screen.ico": icon_full_screen,
    "tb_prev_page.ico": icon_prev_page,
    "tb_next_page.ico": icon_next_page,
    "tb_settings.ico": icon_settings,
    "tb_packs.ico": icon_packs,
    "tb_exit.ico": icon_exit,
}


# ---------------------------------------------------------------------------
# Bitmaps compiled into the program

def rgb8(c):
    return bytes(int(v * 255 + 0.5) for v in c[:3])


def pixel_art(art, colors):
    """Rows of characters, each a key of colors ((r, g, b) bytes)."""
    return [b"".join(colors[ch] for ch in line) for line in art]


FOLDER_MASK = bytes((0x55, 0x00, 0x55))     # the tree's transparent colour 0x550055
FOLDER_COLORS = {".": FOLDER_MASK, "d": bytes((0x8A, 0x5A, 0x0A)), "y": bytes((0xF4, 0xC2, 0x42)),
                 "l": bytes((0xFB, 0xE0, 0x8A)), "s": bytes((0xD9, 0x9A, 0x1C))}
FOLDER_CLOSED = [
    "...........",
    ".dddd......",
    "dllllddddd.",
    "dlllllllld.",
    "ddddddddddd",
    "dyyyyyyyyyd",
    "dyyyyyyyyyd",
    "dyyyyyyyyyd",
    "dsssssssssd",
    "ddddddddddd",
    "...........",
]
FOLDER_OPEN = [
    "...........",
    ".dddd......",
    "dllllddddd.",
    "dlllllllld.",
    "dllddddddddd"[:11],
    "dldyyyyyyyd",
    "ddyyyyyyyyd",
    "ddyyyyyyyd.",
    "dyyyyyyyyd.",
    "dddddddddd.",
    "...........",
]


def splitter_bitmap(direction):
    """Two frames side by side, normal then hover: 16 x 50 for left/right
    arrows (a bar between columns), 100 x 8 for up/down (between rows)."""
    vertical = direction in ("left", "right")
    fw, fh = (8, 50) if vertical else (50, 8)
    c = Canvas(fw * 2, fh)
    faces = [(hexrgb("#E9EEF3"), hexrgb("#C3CDD8"), hexrgb("#4B5B6C")),
             (hexrgb("#FFE9B8"), hexrgb("#F5B44A"), hexrgb("#7A3F00"))]
    for n, (light, dark, arrow) in enumerate(faces):
        ox = n * fw
        if vertical:
            grad = lambda x, y, ox=ox, l=light, d=dark: mix(l, d, abs((x - ox) - fw / 2) / (fw / 2))
        else:
            grad = lambda x, y, l=light, d=dark: mix(l, d, abs(y - fh / 2) / (fh / 2))
        c.paint(rrect(ox, 0, ox + fw, fh, 0), grad)
        c.paint(subtract(rrect(ox, 0, ox + fw, fh), rrect(ox + 1, 1, ox + fw - 1, fh - 1)), mix(dark, arrow, 0.4))
        for k in (-1, 0, 1):
            if vertical:
                cy = fh / 2 + k * 8
                cx = ox + fw / 2
                pts = [(cx - 2, cy), (cx + 2, cy - 3.2), (cx + 2, cy + 3.2)]
                if direction == "right":
                    pts = [(2 * cx - px, py) for px, py in pts]
            else:
                cx = ox + fw / 2 + k * 9
                cy = fh / 2
                pts = [(cx, cy - 2), (cx - 3.2, cy + 2), (cx + 3.2, cy + 2)]
                if direction == "down":
                    pts = [(px, 2 * cy - py) for px, py in pts]
            c.paint(polygon(pts), arrow)
    return fw * 2, fh, c.rgb_rows()


BUTTON_FACES = {
    # name: (top, bottom, border, inner accent or None)
    "button_normal.bmp": ("#F7FAFC", "#D3DEE8", "#8EA3B6", None),
    "button_disabled.bmp": ("#F0F0F0", "#DADADA", "#B4B4B4", None),
    "button_pressed.bmp": ("#B4C7D9", "#E2EAF2", "#5B7A95", None),
    "button_focused.bmp": ("#F7FAFC", "#D3DEE8", "#3A74B8", "#7FA9DB"),
    "button_hover.bmp": ("#FFF8E8", "#FFD98E", "#C98A2A", None),
}


def button_face(top, bottom, border, accent):
    w, h = 73, 19
    c = Canvas(w, h)
    c.paint(rrect(0, 0, w, h), vgrad(hexrgb(top), hexrgb(bottom), 0, h))
    c.paint(rrect(1, 1, w - 1, 7.5), (1, 1, 1, 0.35))
    c.paint(subtract(rrect(0, 0, w, h), rrect(1, 1, w - 1, h - 1)), hexrgb(border))
    if accent:
        c.paint(subtract(rrect(1, 1, w - 1, h - 1), rrect(2, 2, w - 2, h - 2)), hexrgb(accent))
    return w, h, c.rgb_rows()


def band_background():
    """Tiled behind the toolbar: a warm paper gradient with a faint grain."""
    w, h = 128, 128
    rng = random.Random(189)
    top, bottom = hexrgb("#FBF7EE"), hexrgb("#E4DAC6")
    rows = []
    for y in range(h):
        t = min(1.0, y / 96.0)
        base = mix(top, bottom, t * t * (3 - 2 * t))
        row = bytearray()
        for x in range(w):
            n = (rng.random() - 0.5) * 0.022
            row += bytes(max(0, min(255, int((v + n) * 255 + 0.5))) for v in base[:3])
        rows.append(bytes(row))
    return w, h, rows


def hsl(h, s, l):
    def f(n):
        k = (n + h * 12) % 12
        a = s * min(l, 1 - l)
        return l - a * max(-1, min(k - 3, 9 - k, 1))
    return (f(0), f(8), f(4), 1.0)


def mark_texture(style):
    """Pattern brush of an annotation style: rich colours under white text.
    24 x 24, seamless when tiled."""
    n = 24
    if style == 0:
        base, accent = hsl(0.6, 0.08, 0.38), hsl(0.6, 0.08, 0.50)
    else:
        hue = ((style - 1) * 0.382) % 1.0
        base, accent = hsl(hue, 0.55, 0.30), hsl((hue + 0.04) % 1.0, 0.60, 0.43)
    kind = (style - 1) % 8 if style else 2
    tau = 2 * math.pi
    rows = []
    for y in range(n):
        row = bytearray()
        for x in range(n):
            if kind == 0:      # diagonal stripes
                t = 0.5 + 0.5 * math.cos(tau * (x + y) / 8)
            elif kind == 1:    # dots
                t = max(0.0, 1 - math.hypot((x % 8) - 3.5, (y % 8) - 3.5) / 2.6)
            elif kind == 2:    # crosshatch
                t = max(0.5 + 0.5 * math.cos(tau * (x + y) / 12), 0.5 + 0.5 * math.cos(tau * (x - y) / 12)) ** 3
            elif kind == 3:    # waves
                t = 0.5 + 0.5 * math.cos(tau * (y / 8 + 0.25 * math.sin(tau * x / 24)))
            elif kind == 4:    # checks
                t = 0.85 if ((x // 6) + (y // 6)) % 2 else 0.1
            elif kind == 5:    # bricks
                off = 6 if (y // 6) % 2 else 0
                t = 0.1 if (y % 6 == 0 or (x + off) % 12 == 0) else 0.75
            elif kind == 6:    # rings
                t = 0.5 + 0.5 * math.cos(tau * math.hypot((x % 12) - 5.5, (y % 12) - 5.5) / 6)
            else:              # zigzag
                t = 0.5 + 0.5 * math.cos(tau * (y + abs((x % 12) - 6)) / 6)
            row += rgb8(mix(base, accent, t))
        rows.append(bytes(row))
    return n, n, rows


# Resource id of each annotation style's texture; style 0 stands for "any other".
MARK_TEXTURE_IDS = {1: 264, 2: 263, 3: 262, 4: 261, 5: 260, 6: 258, 7: 257, 8: 265, 9: 266, 10: 267,
                    11: 268, 12: 269, 13: 270, 14: 271, 15: 272, 16: 273, 17: 274, 18: 275, 19: 276,
                    20: 277, 0: 278}


def _art(art):
    return 11, 11, pixel_art(art, FOLDER_COLORS)


def resource_bitmaps():
    """(file name, function, arguments) of every bitmap of the resource script."""
    bitmaps = [("folder_closed.bmp", _art, (FOLDER_CLOSED,)), ("folder_open.bmp", _art, (FOLDER_OPEN,))]
    bitmaps += [("split_%s.bmp" % d, splitter_bitmap, (d,)) for d in ("left", "right", "up", "down")]
    bitmaps += [(name, button_face, face) for name, face in BUTTON_FACES.items()]
    bitmaps.append(("rebar_background.bmp", band_background, ()))
    bitmaps += [("mark_%02d.bmp" % s if s else "mark_other.bmp", mark_texture, (s,)) for s in MARK_TEXTURE_IDS]
    return bitmaps


# ---------------------------------------------------------------------------
# Decoration pictures read at run time from control\IMG.
# Strips and rules sit on white: the painters key out every light pixel
# (grey 200 or 220 to white), so only the ornament shows.

def smooth_grid(rng, w, h, passes=2):
    g = [[rng.random() for _ in range(w)] for _ in range(h)]
    for _ in range(passes):
        g = [[(g[j][i] * 4 + g[j][(i + 1) % w] + g[j][i - 1] + g[(j + 1) % h][i] + g[j - 1][i]) / 8
              for i in range(w)] for j in range(h)]
    return g


def paper(seed, light, dark, mottle=1.0, edge=0.0, fibres=220):
    """A 1024 x 768 paper surface as 8-bit palette rows.

    Palette entry L runs from the dark to the light paper colour. Each row
    combines a cloudy mottle (16 steps, interpolated from two coarse random
    grids) and a fine grain (16 steps) into one byte m * 16 + n, which a
    table turns into the level; so the work per pixel stays inside bytes
    operations and only every second pixel of a row is interpolated."""
    W, H, CELL = 1024, 768, 8
    rng = random.Random(seed)
    lw, lh = W // CELL + 2, H // CELL + 2
    fine = smooth_grid(rng, lw, lh)
    coarse = smooth_grid(rng, lw // 8 + 2, lh // 8 + 2, passes=1)

    def coarse_at(i, j):
        x, y = i / 8, j / 8
        k, l = int(x), int(y)
        u, v = x - k, y - l
        a, b = coarse[l], coarse[l + 1]
        return (a[k] * (1 - u) + a[k + 1] * u) * (1 - v) + (b[k] * (1 - u) + b[k + 1] * u) * v

    def vignette(t):
        return min(1.0, (t / 0.12) ** 0.6) if t > 0 else 0.0
    grid = [[((fine[j][i] - 0.5) * 2.2 + (coarse_at(i, j) - 0.5) * 3.0 + 0.5
              + (vignette(min(i, lw - 2 - i) / lw) * vignette(min(j, lh - 2 - j) / lh) - 1) * edge) * 15
             for i in range(lw)] for j in range(lh)]
    palette = [tuple(int(d + (l - d) * k / 255 + 0.5) for d, l in zip(dark, light)) for k in range(256)]
    grain = bytes(min(15, max(0, int(7.5 + (rng.random() + rng.random() + rng.random() - 1.5) * 6)))
                  for _ in range(256))
    offset = 200 - 24 * mottle
    level = bytes(max(0, min(255, int(offset + (c >> 4) * 3.2 * mottle + ((c & 15) - 7.5) * 1.1)))
                  for c in range(256))
    half = W // 2
    src_i = [s * 2 / CELL for s in range(half)]
    idx = [int(x) for x in src_i]
    frac = [x - k for x, k in zip(src_i, idx)]
    rows = []
    for y in range(H):
        fy = y / CELL
        j = int(fy)
        t = fy - j
        a, b = grid[j], grid[j + 1]
        r = [p + (q - p) * t for p, q in zip(a, b)]
        q = bytes(max(0, min(15, int(r[k] + (r[k + 1] - r[k]) * f + 0.5))) for k, f in zip(idx, frac))
        mot = bytearray(W)
        mot[0::2] = q
        mot[1::2] = q
        noise = rng.randbytes(W).translate(grain)
        combined = ((int.from_bytes(mot, "big") << 4) + int.from_bytes(noise, "big")).to_bytes(W, "big")
        rows.append(bytearray(combined.translate(level)))
    # fibres: short curved strands a little darker or lighter than the sheet
    for _ in range(fibres):
        x, y = rng.uniform(0, W), rng.uniform(0, H)
        ang = rng.uniform(0, math.pi)
        bend = rng.uniform(-0.04, 0.04)
        delta = rng.choice((-14, -10, -8, 6))
        for _ in range(rng.randint(12, 70)):
            xi, yi = int(x), int(y)
            if 0 <= xi < W and 0 <= yi < H:
                row = rows[yi]
                row[xi] = max(0, min(255, row[xi] + delta))
            x += math.cos(ang)
            y += math.sin(ang)
            ang += bend
    return W, H, palette, [bytes(r) for r in rows]


BACKGROUNDS = {
    # set folder: [(seed, light, dark, mottle, edge)]
    "宣纸": [(11, (250, 245, 232), (214, 200, 170), 1.0, 0.0),
             (12, (247, 240, 222), (200, 182, 148), 1.2, 0.55)],
    "青笺": [(21, (238, 245, 236), (196, 214, 192), 1.0, 0.0),
             (22, (238, 242, 247), (190, 202, 218), 0.9, 0.45)],
}


# Meander ("回") unit, 7 x 7 cells: the open column on the right joins the
# unit below into one chain when units are stacked.
MEANDER = [
    "#######",
    "#.....#",
    "#.###.#",
    "#.#.#.#",
    "#.#...#",
    "#.#####",
    "#......",
]


def meander_bar(color, variant):
    """Left side bar, 48 x 480: outer rules and a chain of meander units."""
    W, H, CELL = 48, 480, 4
    ink = rgb8(color)
    paper_ = b"\xff\xff\xff"
    rows = [bytearray(paper_ * W) for _ in range(H)]

    def put(x, y, c=ink):
        if 0 <= x < W and 0 <= y < H:
            rows[y][x * 3:x * 3 + 3] = c
    for y in range(H):
        for x in range(2, 6):
            put(x, y)
        put(8, y)
        put(44, y)
        if variant == 1:
            put(41, y)
    for y0 in range(8, H - 8, 28):
        for cy, line in enumerate(MEANDER):
            for cx, ch in enumerate(line):
                if ch == "#":
                    for dy in range(CELL):
                        for dx in range(CELL):
                            put(13 + cx * CELL + dx, y0 + cy * CELL + dy)
        if variant == 2:
            for dy in range(-1, 2):
                for dx in range(-1, 2):
                    put(26 + dx, y0 + 26 + dy, bytes(int(v * 0.6 + 255 * 0.4) for v in ink))
    for x in range(2, 45):
        for y in (0, 1, H - 2, H - 1):
            put(x, y)
    return W, H, [bytes(r) for r in rows]


def bamboo_bar(stalk, leaf, seed):
    """Left side bar, 48 x 480: a bamboo stalk with nodes and a few leaves."""
    W, H = 48, 480
    rng = random.Random(seed)
    c = Canvas(W, H)
    light = mix(stalk, (1, 1, 1, 1), 0.35)
    dark = mix(stalk, (0, 0, 0, 1), 0.35)
    c.paint(rrect(9, 0, 23, H, 0), lambda x, y: mix(light, dark, abs(x - 13.5) / 9.5))
    nodes = list(range(60, H, 104))
    for ny in nodes:
        c.paint(rrect(8, ny - 2, 24, ny + 1.5, 1.5), dark)
        c.paint(rrect(9.5, ny + 1.5, 22.5, ny + 3, 0.5), mix(light, (1, 1, 1, 1), 0.3))
        for k in range(rng.randint(1, 2)):
            ang = rng.uniform(-0.9, -0.25) if k == 0 else rng.uniform(0.2, 0.7)
            length = rng.uniform(15, 21)
            cx = 24 + math.cos(ang) * length / 2 + 1
            cy = ny + math.sin(ang) * length / 2
            c.paint(ellipse(cx, cy, length / 2, 3.2, ang), leaf)
            c.paint(capsule(24, ny, 24 + math.cos(ang) * length * 0.8, ny + math.sin(ang) * length * 0.8, 0.35),
                    mix(leaf, (0, 0, 0, 1), 0.3))
    return W, H, c.rgb_rows()


def vine_bar(stem, bloom, seed):
    """Side bar for both sides, 48 x 480: a winding vine with leaves and blossoms."""
    W, H = 48, 480
    rng = random.Random(seed)
    c = Canvas(W, H)
    pts = [(24 + 10 * math.sin(y / 40.0), y) for y in range(-4, H + 8, 4)]
    for i in range(len(pts) - 1):
        c.paint(capsule(*pts[i], *pts[i + 1], 1.4), stem)
    leaf = mix(stem, (1, 1, 1, 1), 0.25)
    for k, y in enumerate(range(20, H - 10, 40)):
        x = 24 + 10 * math.sin(y / 40.0)
        side = 1 if k % 2 else -1
        ang = side * 0.5 + (0 if side > 0 else math.pi)
        c.paint(ellipse(x + math.cos(ang) * 7, y + math.sin(ang) * 7, 6.5, 2.8, ang), leaf)
        fy = y + 20
        fx = 24 + 10 * math.sin(fy / 40.0) - side * 8
        for p in range(5):
            a = p * 2 * math.pi / 5 + rng.uniform(0, 0.3)
            c.paint(circle(fx + math.cos(a) * 3.2, fy + math.sin(a) * 3.2, 2.6), bloom)
        c.paint(circle(fx, fy, 1.8), hexrgb("#E8B030"))
    return W, H, c.rgb_rows()


VERTICAL_SETS = {
    # set folder: (pictures as (function, arguments), has "L" and "R" sub-folders)
    "回纹": ([(meander_bar, (hexrgb("#A23B2C"), 0)), (meander_bar, (hexrgb("#2F4F7F"), 1)),
              (meander_bar, (hexrgb("#2E5E4E"), 2))], True),
    "竹节": ([(bamboo_bar, (hexrgb("#4E8F3A"), hexrgb("#3F7A2E"), 31)),
              (bamboo_bar, (hexrgb("#9AA63A"), hexrgb("#6E8A2A"), 32)),
              (bamboo_bar, (hexrgb("#4A5866"), hexrgb("#34404C"), 33))], True),
    "藤蔓": ([(vine_bar, (hexrgb("#4E6B2F"), hexrgb("#8E5BB5"), 41)),
              (vine_bar, (hexrgb("#2F6B64"), hexrgb("#D0605A"), 42)),
              (vine_bar, (hexrgb("#6B4A2F"), hexrgb("#C98A2E"), 43))], False),
}


def ink_rule(seed):
    """640 x 32: a dry-brush ink stroke, thick in the middle, tapered ends."""
    W, H = 640, 32
    rng = random.Random(seed)
    streak = [rng.random() for _ in range(H * 4)]
    rows = []
    for y in range(H):
        row = bytearray()
        for x in range(W):
            t = x / (W - 1)
            half = 1.0 + 5.5 * math.sin(math.pi * t) ** 0.7
            cy = 16 + 2.2 * math.sin(x / 53.0) + 1.2 * math.sin(x / 17.0)
            d = abs(y - cy) - half
            cov = max(0.0, min(1.0, 0.5 - d))
            s = streak[int((y - cy + half) * 4 / max(half, 1) * 4) % len(streak)]
            if s < 0.18 and 0.08 < t < 0.92:
                cov *= 0.35
            v = int(255 - cov * (255 - 52))
            row += bytes((v, v, min(255, v + 6)))
        rows.append(bytes(row))
    return W, H, rows


def double_rule(color):
    W, H = 640, 32
    c = Canvas(W, H)
    c.paint(rrect(4, 11, W - 4, 16, 1), color)
    c.paint(rrect(4, 19, W - 4, 20.2, 0), color)
    for x in range(40, W, 80):
        c.paint(polygon([(x, 8), (x + 6, 13.5), (x, 19), (x - 6, 13.5)]), color)
    return W, H, c.rgb_rows()


def bead_rule(color):
    W, H = 640, 32
    c = Canvas(W, H)
    c.paint(rrect(2, 15.2, W - 2, 16.8, 0.8), color)
    for x in range(8, W, 16):
        c.paint(circle(x, 16, 3.4 if (x // 16) % 2 else 2.2), color)
    return W, H, c.rgb_rows()


def meander_rule(color):
    """640 x 32: the meander chain turned on its side between two rules."""
    W, H, CELL = 640, 32, 3
    ink = rgb8(color)
    rows = [bytearray(b"\xff" * W * 3) for _ in range(H)]
    for x in range(W):
        for y in (1, 2, 29, 30):
            rows[y][x * 3:x * 3 + 3] = ink
    for x0 in range(0, W, 7 * CELL):
        for cy, line in enumerate(MEANDER):
            for cx, ch in enumerate(line):
                if ch == "#":
                    for d1 in range(CELL):
                        for d2 in range(CELL):
                            x, y = x0 + cy * CELL + d1, 5 + cx * CELL + d2
                            if x < W:
                                rows[y][x * 3:x * 3 + 3] = ink
    return W, H, [bytes(r) for r in rows]


def wave_rule(color):
    """640 x 32: rolling sea waves."""
    W, H = 640, 32
    c = Canvas(W, H)
    for x in range(0, W + 32, 32):
        c.paint(subtract(ring(x, 26, 12, 2.2), rrect(x - 16, 26, x + 16, 40)), color)
        c.paint(subtract(ring(x + 16, 26, 6, 1.6), rrect(x, 26, x + 32, 40)), color)
    c.paint(rrect(0, 27.5, W, 29.5, 0), color)
    return W, H, c.rgb_rows()


LINE_SETS = {
    "墨韵": [(ink_rule, (51,)), (double_rule, (hexrgb("#5A3A22"),)), (bead_rule, (hexrgb("#2F3F7F"),))],
    "回纹": [(meander_rule, (hexrgb("#A23B2C"),)), (meander_rule, (hexrgb("#2F4F7F"),)),
             (wave_rule, (hexrgb("#2F6FA0"),))],
}


# ---------------------------------------------------------------------------
# Jobs: every output file is one job, so the pool can spread them over cores.

def mirror_rows(w, rows):
    out = []
    for r in rows:
        px = [r[i:i + 3] for i in range(0, w * 3, 3)]
        out.append(b"".join(reversed(px)))
    return out


def run_job(job):
    path, kind, func, args = job
    if kind == "ico":
        write_ico(path, render_icon(func(*args)))
    elif kind == "bmp8":
        w, h, palette, rows = func(*args)
        write_bmp8(path, w, h, palette, rows)
    elif kind == "side":        # left picture in L, its mirror image in R
        w, h, rows = func(*args)
        folder, name = os.path.split(path)
        write_bmp24(os.path.join(folder, "L", name), w, h, rows)
        write_bmp24(os.path.join(folder, "R", name), w, h, mirror_rows(w, rows))
    else:
        w, h, rows = func(*args)
        write_bmp24(path, w, h, rows)
    return path


def resource_jobs(out):
    jobs = [(os.path.join(out, name), "ico", func, ()) for name, func in ICONS.items()]
    jobs += [(os.path.join(out, name), "bmp", func, args) for name, func, args in resource_bitmaps()]
    return jobs


def decoration_jobs(out):
    jobs = []
    for folder, pictures in BACKGROUNDS.items():
        for n, args in enumerate(pictures, 1):
            jobs.append((os.path.join(out, "背景", folder, "%02d.bmp" % n), "bmp8", paper, args))
    for folder, (pictures, sides) in VERTICAL_SETS.items():
        for n, (func, args) in enumerate(pictures, 1):
            jobs.append((os.path.join(out, "竖栏", folder, "%02d.bmp" % n), "side" if sides else "bmp", func, args))
    for folder, pictures in LINE_SETS.items():
        for n, (func, args) in enumerate(pictures, 1):
            jobs.append((os.path.join(out, "行线", folder, "%02d.bmp" % n), "bmp", func, args))
    return jobs


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--resources", metavar="DIR", help="write the bitmaps and icons of the resource script")
    ap.add_argument("--decorations", metavar="DIR", help="write the decoration folders (control\\IMG)")
    ap.add_argument("--stamp", metavar="FILE", help="touch this file when done")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    opts = ap.parse_args()
    jobs = []
    if opts.resources:
        jobs += resource_jobs(opts.resources)
    if opts.decorations:
        jobs += decoration_jobs(opts.decorations)
    if not jobs:
        ap.error("nothing to do: give --resources and/or --decorations")
    # the slowest jobs first, so the pool finishes together
    jobs.sort(key=lambda j: {"bmp8": 0, "ico": 1}.get(j[1], 2))
    if opts.jobs > 1:
        import multiprocessing
        with multiprocessing.Pool(min(opts.jobs, 8)) as pool:
            for _ in pool.imap_unordered(run_job, jobs):
                pass
    else:
        for job in jobs:
            run_job(job)
    if opts.stamp:
        _write(opts.stamp, b"")


if __name__ == "__main__":
    main()
