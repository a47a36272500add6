"""Small anti-aliased rasteriser shared by the artwork generators.

Standard library only, so that any python3 reproduces the outputs byte for byte.
Coordinates are in pixels, y pointing down; pixel (i, j) covers [i, i+1) x [j, j+1).
A canvas holds premultiplied RGBA as floats in 0..1.
"""

import math
import struct
import zlib


def clamp01(v):
    return 0.0 if v < 0.0 else (1.0 if v > 1.0 else v)


def hexcol(s, a=1.0):
    s = s.lstrip('#')
    return (int(s[0:2], 16) / 255.0, int(s[2:4], 16) / 255.0, int(s[4:6], 16) / 255.0, a)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


# ---------------------------------------------------------------- geometry

def cubic(p0, p1, p2, p3, n=24):
    """Points of a cubic Bezier, excluding p0."""
    out = []
    for k in range(1, n + 1):
        t = k / n
        u = 1.0 - t
        a, b, c, d = u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t
        out.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                    a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return out


def path(start, *segs):
    """Polyline from a start point and segments: a point (line) or a
    3-tuple of points (cubic control1, control2, end)."""
    pts = [start]
    for s in segs:
        if isinstance(s[0], tuple):
            pts.extend(cubic(pts[-1], s[0], s[1], s[2]))
        else:
            pts.append(s)
    return pts


def spline(points, n=10, closed=False):
    """Catmull-Rom curve through the points."""
    pts = list(points)
    m = len(pts)
    out = []
    last = m if closed else m - 1
    for i in range(last):
        p0 = pts[(i - 1) % m] if (closed or i > 0) else pts[0]
        p1 = pts[i]
        p2 = pts[(i + 1) % m]
        p3 = pts[(i + 2) % m] if (closed or i + 2 < m) else p2
        for k in range(n):
            t = k / n
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * ((2 * p1[d]) + (-p0[d] + p2[d]) * t
                                    + (2 * p0[d] - 5 * p1[d] + 4 * p2[d] - p3[d]) * t2
                                    + (-p0[d] + 3 * p1[d] - 3 * p2[d] + p3[d]) * t3)
                             for d in (0, 1)))
    if not closed:
        out.append(pts[-1])
    return out


def arc(cx, cy, rx, ry, a0, a1, n=None):
    """Elliptical arc from angle a0 to a1 (degrees, counter-clockwise with y up)."""
    if n is None:
        n = max(4, int(abs(a1 - a0) / 10) + 1)
    out = []
    for k in range(n + 1):
        a = math.radians(a0 + (a1 - a0) * k / n)
        out.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return out


def ellipse(cx, cy, rx, ry, n=96):
    return [(cx + rx * math.cos(2 * math.pi * k / n), cy + ry * math.sin(2 * math.pi * k / n))
            for k in range(n)]


def affine(pts, sx=1.0, sy=1.0, tx=0.0, ty=0.0, rot=0.0, ox=0.0, oy=0.0):
    """Scale, then rotate (degrees, clockwise on screen) about (ox, oy) in scaled
    space, then move."""
    c, s = math.cos(math.radians(rot)), math.sin(math.radians(rot))
    out = []
    for x, y in pts:
        x, y = x * sx - ox, y * sy - oy
        out.append((x * c - y * s + ox + tx, x * s + y * c + oy + ty))
    return out


# ---------------------------------------------------------------- coverage masks

def fill(w, h, polys, ss=16):
    """Coverage of closed polygons under the nonzero rule: ss sample rows a pixel,
    exact horizontal coverage within each sample row."""
    edges = []
    for poly in polys:
        n = len(poly)
        for i in range(n):
            x0, y0 = poly[i]
            x1, y1 = poly[(i + 1) % n]
            if y0 == y1:
                continue
            d = 1
            if y0 > y1:
                x0, y0, x1, y1, d = x1, y1, x0, y0, -1
            edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), d))
    cov = [0.0] * (w * h)
    if not edges:
        return cov
    ymin = max(0, int(math.floor(min(e[0] for e in edges))))
    ymax = min(h, int(math.ceil(max(e[1] for e in edges))) + 1)
    wt = 1.0 / ss
    for j in range(ymin, ymax):
        row = j * w
        for k in range(ss):
            sy = j + (k + 0.5) * wt
            xs = [(x0 + (sy - y0) * dx, d) for (y0, y1, x0, dx, d) in edges if y0 <= sy < y1]
            if not xs:
                continue
            xs.sort()
            wind = 0
            for idx in range(len(xs) - 1):
                wind += xs[idx][1]
                if wind == 0:
                    continue
                xa, xb = xs[idx][0], xs[idx + 1][0]
                if xa < 0.0:
                    xa = 0.0
                if xb > w:
                    xb = float(w)
                if xb <= xa:
                    continue
                ia, ib = int(xa), int(xb)
                if ia == ib:
                    cov[row + ia] += (xb - xa) * wt
                    continue
                cov[row + ia] += (ia + 1 - xa) * wt
                for i in range(row + ia + 1, row + ib):
                    cov[i] += wt
                if ib < w:
                    cov[row + ib] += (xb - ib) * wt
    return [c if c < 1.0 else 1.0 for c in cov]


def stroke(w, h, lines, width):
    """Coverage of round-capped, round-joined strokes along polylines,
    anti-aliased from the distance to the nearest segment."""
    hw = width / 2.0
    big = 1e9
    dist = [big] * (w * h)
    reach = hw + 1.0
    for line in lines:
        if len(line) == 1:
            line = [line[0], line[0]]
        for (ax, ay), (bx, by) in zip(line, line[1:]):
            x0 = max(0, int(math.floor(min(ax, bx) - reach)))
            x1 = min(w - 1, int(math.ceil(max(ax, bx) + reach)))
            y0 = max(0, int(math.floor(min(ay, by) - reach)))
            y1 = min(h - 1, int(math.ceil(max(ay, by) + reach)))
            vx, vy = bx - ax, by - ay
            ll = vx * vx + vy * vy
            for j in range(y0, y1 + 1):
                py = j + 0.5
                row = j * w
                for i in range(x0, x1 + 1):
                    px = i + 0.5
                    if ll > 0.0:
                        t = ((px - ax) * vx + (py - ay) * vy) / ll
                        t = 0.0 if t < 0.0 else (1.0 if t > 1.0 else t)
                    else:
                        t = 0.0
                    dx, dy = px - ax - t * vx, py - ay - t * vy
                    d = dx * dx + dy * dy
                    if d < dist[row + i]:
                        dist[row + i] = d
    out = [0.0] * (w * h)
    for i, d in enumerate(dist):
        if d < big:
            c = hw + 0.5 - math.sqrt(d)
            out[i] = 0.0 if c <= 0.0 else (1.0 if c >= 1.0 else c)
    return out


def disc(w, h, cx, cy, r):
    """Coverage of a circle from the distance to its rim."""
    out = [0.0] * (w * h)
    for j in range(max(0, int(cy - r - 2)), min(h, int(cy + r + 3))):
        dy = j + 0.5 - cy
        row = j * w
        for i in range(max(0, int(cx - r - 2)), min(w, int(cx + r + 3))):
            dx = i + 0.5 - cx
            c = r + 0.5 - math.sqrt(dx * dx + dy * dy)
            out[row + i] = 0.0 if c <= 0.0 else (1.0 if c >= 1.0 else c)
    return out


def mul(a, b):
    return [x * y for x, y in zip(a, b)]


def union(a, b):
    return [x + y - x * y for x, y in zip(a, b)]


def shift(mask, w, h, dx, dy):
    out = [0.0] * (w * h)
    for j in range(h):
        sj = j - dy
        if 0 <= sj < h:
            for i in range(w):
                si = i - dx
                if 0 <= si < w:
                    out[j * w + i] = mask[sj * w + si]
    return out


def blur(mask, w, h, sigma):
    """Separable Gaussian blur, zero outside the image."""
    r = int(math.ceil(sigma * 3))
    ker = [math.exp(-(k * k) / (2 * sigma * sigma)) for k in range(-r, r + 1)]
    s = sum(ker)
    ker = [k / s for k in ker]
    tmp = [0.0] * (w * h)
    for j in range(h):
        row = j * w
        for i in range(w):
            acc = 0.0
            for k in range(-r, r + 1):
                ii = i + k
                if 0 <= ii < w:
                    acc += mask[row + ii] * ker[k + r]
            tmp[row + i] = acc
    out = [0.0] * (w * h)
    for j in range(h):
        for i in range(w):
            acc = 0.0
            for k in range(-r, r + 1):
                jj = j + k
                if 0 <= jj < h:
                    acc += tmp[jj * w + i] * ker[k + r]
            out[j * w + i] = acc
    return out


# ---------------------------------------------------------------- canvas

class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def paint(self, cov, colour):
        """Composite a colour (r, g, b, a straight alpha, or a function of the
        pixel centre returning one) over the canvas through a coverage mask."""
        fn = colour if callable(colour) else None
        w = self.w
        for idx, c in enumerate(cov):
            if c <= 0.0:
                continue
            if fn:
                r, g, b, a = fn(idx % w + 0.5, idx // w + 0.5)
            else:
                r, g, b, a = colour
            a *= c
            p = self.px[idx]
            k = 1.0 - a
            p[0] = r * a + p[0] * k
            p[1] = g * a + p[1] * k
            p[2] = b * a + p[2] * k
            p[3] = a + p[3] * k

    def blit(self, other, ox, oy):
        """Composite another canvas over this one with its top left at (ox, oy)."""
        for j in range(other.h):
            y = oy + j
            if not 0 <= y < self.h:
                continue
            for i in range(other.w):
                x = ox + i
                if not 0 <= x < self.w:
                    continue
                s = other.px[j * other.w + i]
                a = s[3]
                if a <= 0.0:
                    continue
                p = self.px[y * self.w + x]
                k = 1.0 - a
                for c in range(3):
                    p[c] = s[c] + p[c] * k
                p[3] = a + p[3] * k

    def bgra_premultiplied(self):
        out = bytearray()
        for r, g, b, a in self.px:
            a8 = int(round(clamp01(a) * 255))
            out += bytes((min(int(round(clamp01(b) * 255)), a8),
                          min(int(round(clamp01(g) * 255)), a8),
                          min(int(round(clamp01(r) * 255)), a8), a8))
        return bytes(out)

    def rgba_straight(self):
        """List of 8-bit (r, g, b, a) with colour divided back out of alpha."""
        out = []
        for r, g, b, a in self.px:
            a8 = int(round(clamp01(a) * 255))
            if a8 == 0:
                out.append((0, 0, 0, 0))
                continue
            out.append((int(round(clamp01(r / a) * 255)), int(round(clamp01(g / a) * 255)),
                        int(round(clamp01(b / a) * 255)), a8))
        return out


# ---------------------------------------------------------------- previews

def png_bytes(w, h, rows, alpha=False):
    """An 8-bit PNG of rows of (r, g, b), or (r, g, b, a) with alpha."""
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px[:4] if alpha else px[:3])

    def chunk(tag, data):
        c = struct.pack('>I', len(data)) + tag + data
        return c + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)

    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6 if alpha else 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))


def png(path_, w, h, rgb_rows):
    """Write an 8-bit RGB PNG from a list of rows of (r, g, b)."""
    with open(path_, 'wb') as f:
        f.write(png_bytes(w, h, rgb_rows))


def over(rgba, bg):
    r, g, b, a = rgba
    k = a / 255.0
    return (int(round(r * k + bg[0] * (1 - k))), int(round(g * k + bg[1] * (1 - k))),
            int(round(b * k + bg[2] * (1 - k))))


# ---------------------------------------------------------------- stroke font
#
# Lower-case geometric sans with a few extras. Units: baseline at 0, x-height 5,
# ascender 8, descender -3, y up. Each glyph: (advance, list of polylines).

def _glyphs():
    g = {}
    o = ellipse(2.45, 2.5, 2.45, 2.5, 48)
    o.append(o[0])
    g['o'] = (4.9, [o])
    g['c'] = (4.5, [arc(2.45, 2.5, 2.45, 2.5, 48, 312)])
    g['e'] = (4.9, [[(0.05, 2.55), (4.9, 2.55)] + arc(2.45, 2.5, 2.45, 2.5, 0, 318)[1:]])
    g['d'] = (4.9, [o, [(4.9, 8.0), (4.9, 0.0)]])
    g['p'] = (4.9, [o, [(0.0, 5.0), (0.0, -3.0)]])
    g['n'] = (4.5, [[(0.0, 5.0), (0.0, 0.0)],
                    [(0.0, 2.9)] + arc(2.25, 2.9, 2.25, 2.1, 180, 0)[1:] + [(4.5, 0.0)]])
    g['u'] = (4.5, [[(4.5, 5.0), (4.5, 0.0)],
                    [(0.0, 5.0)] + arc(2.25, 2.1, 2.25, 2.1, 180, 360) + [(4.5, 2.6)]])
    g['r'] = (3.0, [[(0.0, 5.0), (0.0, 0.0)], arc(3.0, 2.3, 3.0, 2.7, 180, 95)])
    g['i'] = (0.0, [[(0.0, 5.0), (0.0, 0.0)], [(0.0, 7.2)]])
    g['l'] = (0.0, [[(0.0, 8.0), (0.0, 0.0)]])
    g['t'] = (3.0, [[(0.9, 7.0), (0.9, 1.3)] + arc(2.6, 1.3, 1.7, 1.3, 180, 280)[1:],
                    [(-0.2, 5.0), (3.0, 5.0)]])
    g['f'] = (3.0, [arc(2.6, 6.4, 1.7, 1.6, 30, 180) + [(0.9, 0.0)], [(-0.3, 5.0), (3.0, 5.0)]])
    g['k'] = (4.0, [[(0.0, 8.0), (0.0, 0.0)], [(4.0, 5.0), (0.0, 1.6)], [(1.5, 2.8), (4.1, 0.0)]])
    g['v'] = (4.8, [[(0.0, 5.0), (2.4, 0.0), (4.8, 5.0)]])
    g['x'] = (4.6, [[(0.0, 5.0), (4.6, 0.0)], [(0.0, 0.0), (4.6, 5.0)]])
    g['y'] = (4.8, [[(0.0, 5.0), (2.4, 0.0)], [(4.8, 5.0), (2.0, -2.2), (1.4, -2.8), (0.6, -3.0)]])
    g['s'] = (4.0, [spline([(3.85, 4.15), (2.1, 5.0), (0.3, 3.85), (1.9, 2.55),
                            (3.95, 1.25), (2.0, 0.0), (0.05, 0.8)], 8)])
    g['&'] = (5.6, [spline([(5.6, 0.0), (1.9, 4.6), (1.25, 6.3), (2.35, 7.7), (3.45, 6.55),
                            (2.8, 5.2), (0.8, 3.6), (0.2, 1.65), (1.7, 0.0), (3.5, 0.3),
                            (5.0, 2.6)], 8)])
    g[' '] = (2.2, [])
    return g


GLYPHS = _glyphs()
SPACING = 1.7


def text_width(s, size, weight=0.0):
    """Width in pixels for x-height `size`; weight in font units widens each gap."""
    k = size / 5.0
    adv = 0.0
    for i, ch in enumerate(s):
        adv += GLYPHS[ch][0]
        if i + 1 < len(s) and ch != ' ' and s[i + 1] != ' ':
            adv += SPACING + weight
        elif i + 1 < len(s):
            adv += SPACING * 0.5
    return adv * k


def text_lines(s, x, baseline, size, weight=0.0):
    """Polylines in pixels of string s with its left edge at x."""
    k = size / 5.0
    out = []
    pen = 0.0
    for i, ch in enumerate(s):
        adv, lines = GLYPHS[ch]
        for line in lines:
            out.append([(x + (pen + u) * k, baseline - v * k) for u, v in line])
        pen += adv
        if i + 1 < len(s) and ch != ' ' and s[i + 1] != ' ':
            pen += SPACING + weight
        elif i + 1 < len(s):
            pen += SPACING * 0.5
    return out
