#!/usr/bin/env python3
"""Writes res/kisses.ico (red lips) and res/kicker.ico (a kicking boot).

Each file holds twelve images: 48, 32, 16 px with a fixed 256-colour
palette, then 256, 128, 64, 48, 40, 32, 24, 20, 16 px in 32-bit colour with
alpha. The 256, 128, 64 and 40 px ones are PNGs; the rest are DIBs with an AND
mask that marks alpha below 128 as transparent. The 20, 24, 40 and 64 px
drawings serve 125, 150 and 200 % display scaling. Pass --preview to also write enlarged PNGs to
/tmp."""

import hashlib
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw  # noqa: E402

RES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
PALETTED = (48, 32, 16)
TRUECOLOUR = (256, 128, 64, 48, 40, 32, 24, 20, 16)
# Stored PNG-compressed to keep the executable small: these sizes serve only large icons
# at 125 % to 200 % scaling and large views, where Windows (since Vista) and Wine read PNG.
PNGSIZES = (256, 128, 64, 40)


# ---------------------------------------------------------------- lips

LIP_RED = draw.hexcol('#D0102A')
LIP_LIGHT = draw.hexcol('#EC3A4E')
LIP_DARK = draw.hexcol('#A00A20')
LIP_LINE = draw.hexcol('#5E0512')
LIP_GLOSS = draw.hexcol('#FFD6DC')
LIPS = {'red': LIP_RED, 'light': LIP_LIGHT, 'dark': LIP_DARK, 'line': LIP_LINE, 'edge': LIP_DARK}
# For a dark taskbar: brighter reds, and a pale rim that keeps the outline where the dark one
# would vanish.
LIPS_ON_DARK = {'red': draw.hexcol('#EE2A44'), 'light': draw.hexcol('#FF6476'), 'dark': draw.hexcol('#C81A34'),
                'line': LIP_LINE, 'edge': draw.hexcol('#FFB0BC')}


def lips_outline(s, x0=0.02, x1=0.98, top=0.20, bottom=0.80):
    """Upper lip, lower lip and parting line in pixels for an s-pixel square."""
    def p(x, y):
        return ((x0 + x * (x1 - x0)) * s, (top + y * (bottom - top)) * s)
    upper = draw.path(p(0.0, 0.50),
                      (p(0.10, 0.30), p(0.22, 0.02), p(0.34, 0.02)),
                      (p(0.42, 0.02), p(0.46, 0.13), p(0.5, 0.16)),
                      (p(0.54, 0.13), p(0.58, 0.02), p(0.66, 0.02)),
                      (p(0.78, 0.02), p(0.90, 0.30), p(1.0, 0.50)),
                      (p(0.80, 0.46), p(0.62, 0.40), p(0.5, 0.46)),
                      (p(0.38, 0.40), p(0.20, 0.46), p(0.0, 0.50)))
    parting = draw.path(p(0.0, 0.50),
                        (p(0.20, 0.50), p(0.38, 0.44), p(0.5, 0.50)),
                        (p(0.62, 0.44), p(0.80, 0.50), p(1.0, 0.50)))
    lower = draw.path(p(0.0, 0.50),
                      (p(0.20, 0.56), p(0.38, 0.52), p(0.5, 0.56)),
                      (p(0.62, 0.52), p(0.80, 0.56), p(1.0, 0.50)),
                      (p(0.88, 0.80), p(0.70, 1.0), p(0.5, 1.0)),
                      (p(0.30, 1.0), p(0.12, 0.80), p(0.0, 0.50)))
    return upper, lower, parting


def lips_outline_16():
    """Tray-size lips laid on the pixel grid: a deep bow and a straight parting
    on one pixel row, since finer curves blur into a blob at 16 px."""
    part, peak, dip, bot = 8.5, 2.2, 5.8, 14.0
    upper = draw.path((0.2, part),
                      ((1.6, 6.0), (3.2, peak), (5.2, peak)),
                      ((6.6, peak), (7.4, dip - 0.8), (8.0, dip)),
                      ((8.6, dip - 0.8), (9.4, peak), (10.8, peak)),
                      ((12.8, peak), (14.4, 6.0), (15.8, part)),
                      (0.2, part))
    lower = draw.path((0.2, part), (15.8, part),
                      ((14.2, 11.6), (11.6, bot), (8.0, bot)),
                      ((4.4, bot), (1.8, 11.6), (0.2, part)))
    return upper, lower, [(0.6, part), (15.4, part)]


def draw_lips(s, c=LIPS):
    cv = draw.Canvas(s, s)
    if s <= 16:
        upper, lower, parting = lips_outline_16()
        edge, line = 0.8, 1.0
    elif s < 32:
        # Half a pixel down puts the parting line on one pixel row instead of across two.
        upper, lower, parting = lips_outline(s, top=0.20 + 0.5 / s, bottom=0.80 + 0.5 / s)
        edge, line = 1.0, 1.2
    else:
        upper, lower, parting = lips_outline(s)
        edge, line = max(1.0, s * 0.03), max(1.3, s * 0.035)
    top, bottom = 0.2 * s, 0.8 * s

    def shade(x, y):
        t = draw.clamp01((y - top) / (bottom - top))
        # The lower lip catches the light; the corners fall into shadow.
        side = abs(x / s - 0.5) * 2
        col = draw.mix(c['red'], c['light'], max(0.0, 1 - abs(t - 0.72) * 4) * 0.6)
        return draw.mix(col, c['dark'], draw.clamp01(side - 0.55) * 1.4)

    cv.paint(draw.fill(s, s, [upper, lower]), shade)
    if s >= 32:
        gloss = draw.fill(s, s, [draw.ellipse(0.36 * s, 0.69 * s, 0.11 * s, 0.035 * s, 40)])
        cv.paint(gloss, LIP_GLOSS[:3] + (0.75,))
        gloss2 = draw.fill(s, s, [draw.ellipse(0.64 * s, 0.31 * s, 0.06 * s, 0.022 * s, 32)])
        cv.paint(gloss2, LIP_GLOSS[:3] + (0.55,))
    cv.paint(draw.stroke(s, s, [upper + [upper[0]], lower + [lower[0]]], edge), c['edge'])
    cv.paint(draw.stroke(s, s, [parting], line), c['line'])
    return cv


# ---------------------------------------------------------------- boot

LEATHER = draw.hexcol('#4E3626')
LEATHER_LIGHT = draw.hexcol('#7A5A40')
LEATHER_DARK = draw.hexcol('#2C1E15')
SOLE = draw.hexcol('#2A2420')
WELT = draw.hexcol('#C9A56E')
LACE = draw.hexcol('#E8DCC4')
MOTION = draw.hexcol('#9A9AA6')
BOOT = {'leather': LEATHER, 'leatherlight': LEATHER_LIGHT, 'leatherdark': LEATHER_DARK, 'sole': SOLE,
        'welt': WELT, 'lace': LACE, 'motion': MOTION, 'halo': None}
# For a dark taskbar: tan leather and a pale sole and rim, so the boot stands out from black.
BOOT_ON_DARK = {'leather': draw.hexcol('#B0825A'), 'leatherlight': draw.hexcol('#DCB488'),
                'leatherdark': draw.hexcol('#7A5638'), 'sole': draw.hexcol('#D8CCB8'), 'welt': WELT,
                'lace': LACE, 'motion': draw.hexcol('#D0D0DC'), 'halo': draw.hexcol('#F4ECE0', 0.9)}


def boot_shapes(s, tilt):
    """Boot parts in pixels for an s-pixel square, toe to the right, turned
    toe up by -tilt degrees."""
    def t(pts):
        return draw.affine(pts, s, s, 0.0, 0.0, tilt, 0.55 * s, 0.6 * s)
    parts = {}
    parts['upper'] = t(draw.path((0.28, 0.07), (0.58, 0.07),
                                 ((0.58, 0.22), (0.58, 0.34), (0.60, 0.44)),
                                 ((0.66, 0.50), (0.76, 0.52), (0.86, 0.54)),
                                 ((0.95, 0.56), (0.99, 0.62), (0.99, 0.70)),
                                 (0.99, 0.76), (0.23, 0.76),
                                 ((0.22, 0.66), (0.26, 0.58), (0.27, 0.46)),
                                 ((0.28, 0.34), (0.28, 0.20), (0.28, 0.07))))
    # A thick lug sole with a separate heel block.
    parts['sole'] = t(draw.path((0.21, 0.74), (0.99, 0.74),
                                ((1.02, 0.76), (1.02, 0.86), (0.97, 0.89)),
                                (0.56, 0.89), (0.52, 0.86), (0.40, 0.86), (0.38, 0.91),
                                (0.22, 0.91), ((0.20, 0.86), (0.20, 0.80), (0.21, 0.74))))
    parts['welt'] = t([(0.22, 0.765), (0.985, 0.765)])
    parts['collar'] = t([(0.275, 0.07), (0.585, 0.07), (0.585, 0.14), (0.275, 0.14)])
    parts['loop'] = t(draw.path((0.27, 0.12), ((0.22, 0.10), (0.22, 0.02), (0.30, 0.02)),
                                (0.33, 0.07)))
    parts['toecap'] = t(draw.path((0.83, 0.53), ((0.79, 0.60), (0.79, 0.70), (0.83, 0.76))))
    parts['laces'] = [t([(0.50, y), (0.60, y + 0.03)]) for y in (0.19, 0.26, 0.33, 0.40)]
    parts['motion'] = [t([(x0, y), (x0 - 0.17, y)])
                       for x0, y in ((0.17, 0.34), (0.15, 0.50), (0.17, 0.66))]
    return parts


def draw_boot(s, c=BOOT):
    cv = draw.Canvas(s, s)
    # Less tilt at tray size keeps the sole edge crisp.
    sh = boot_shapes(s, -10.0 if s <= 16 else -16.0)

    def shade(x, y):
        # Light from the upper left across the leather.
        t = draw.clamp01((x / s - 0.25) * 0.6 + (y / s - 0.1) * 1.1)
        if t < 0.5:
            return draw.mix(c['leatherlight'], c['leather'], t * 2)
        return draw.mix(c['leather'], c['leatherdark'], (t - 0.5) * 2)

    cv.paint(draw.stroke(s, s, sh['motion'], max(1.0, s * 0.05)), c['motion'])
    if c['halo']:
        rim = [sh['upper'] + [sh['upper'][0]], sh['sole'] + [sh['sole'][0]]]
        cv.paint(draw.stroke(s, s, rim, max(1.6, s * 0.06)), c['halo'])
    cv.paint(draw.stroke(s, s, [sh['loop']], max(0.9, s * 0.03)), c['leatherdark'])
    cv.paint(draw.fill(s, s, [sh['sole']]), c['sole'])
    cv.paint(draw.fill(s, s, [sh['upper']]), shade)
    cv.paint(draw.fill(s, s, [sh['collar']]), c['leatherdark'])
    if s >= 32:
        cv.paint(draw.stroke(s, s, [sh['toecap']], max(1.0, s * 0.025)), c['leatherdark'])
        cv.paint(draw.stroke(s, s, sh['laces'], max(1.0, s * 0.03)), c['lace'])
    else:
        cv.paint(draw.stroke(s, s, sh['laces'][1:3], 0.9), c['lace'])
    cv.paint(draw.stroke(s, s, [sh['welt']], max(1.0, s * 0.03)), c['welt'])
    return cv


# ---------------------------------------------------------------- ICO writing

def palette():
    """Fixed palette: a 6x6x6 cube (index 0 black), in-between greys, then ramps
    through the art's own tones so shading does not band into foreign hues."""
    pal = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    pal += [(v, v, v) for v in (34, 85, 119, 170, 238)]

    def ramp(stops, n):
        out = []
        for k in range(n):
            t = k / (n - 1) * (len(stops) - 1)
            i = min(int(t), len(stops) - 2)
            c = draw.mix(stops[i], stops[i + 1], t - i)
            out.append(tuple(int(round(v * 255)) for v in c[:3]))
        return out
    pal += ramp([LIP_LINE, LIP_DARK, LIP_RED, LIP_LIGHT, LIP_GLOSS], 13)
    pal += ramp([SOLE, LEATHER_DARK, LEATHER, LEATHER_LIGHT], 10)
    pal += ramp([LEATHER, WELT, LACE], 5)[1:]
    pal += ramp([SOLE, WELT], 5)[1:-1]
    pal += ramp([LEATHER_LIGHT, LACE], 4)[1:-1]
    pal += ramp([LEATHER_DARK, WELT], 4)[1:-1]
    pal += [tuple(int(round(v * 255)) for v in MOTION[:3])]
    assert len(pal) == 256
    return pal


PALETTE = palette()


def nearest(rgb, cache):
    hit = cache.get(rgb)
    if hit is None:
        r, g, b = rgb
        best, hit = None, 0
        for i, (pr, pg, pb) in enumerate(PALETTE):
            d = 3 * (r - pr) ** 2 + 4 * (g - pg) ** 2 + 2 * (b - pb) ** 2
            if best is None or d < best:
                best, hit = d, i
        cache[rgb] = hit
    return hit


def and_mask(s, pixels):
    """1 marks a transparent pixel: alpha below half."""
    stride = ((s + 31) // 32) * 4
    out = bytearray()
    for y in range(s - 1, -1, -1):
        row = bytearray(stride)
        for x in range(s):
            if pixels[y * s + x][3] < 128:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def quantise(pixels):
    """Palette indices, and the pixels as the 256-colour image shows them."""
    cache = {}
    idx, shown = [], []
    for r, g, b, a in pixels:
        i = nearest((r, g, b), cache) if a >= 128 else 0
        idx.append(i)
        shown.append(PALETTE[i] + (255,) if a >= 128 else (0, 0, 0, 0))
    return idx, shown


def pngimage(s, pixels):
    return draw.png_bytes(s, s, [pixels[y * s:(y + 1) * s] for y in range(s)], alpha=True)


def dib(s, pixels, bits):
    if bits == 32 and s in PNGSIZES:
        return pngimage(s, pixels)
    xor = bytearray()
    if bits == 8:
        idx, _ = quantise(pixels)
        stride = ((s * 8 + 31) // 32) * 4
        for y in range(s - 1, -1, -1):
            row = bytearray(stride)
            row[:s] = bytes(idx[y * s:(y + 1) * s])
            xor += row
        pal = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    else:
        for y in range(s - 1, -1, -1):
            for x in range(s):
                r, g, b, a = pixels[y * s + x]
                xor += bytes((b, g, r, a))
        pal = b''
    mask = and_mask(s, pixels)
    header = struct.pack('<IiiHHIIiiII', 40, s, 2 * s, 1, bits, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    return header + pal + bytes(xor) + mask


def ico(images):
    """images: list of (size, bits, rgba pixels)."""
    blobs = [dib(s, px, bits) for s, bits, px in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (s, bits, _), blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


def build(painter):
    art = {s: painter(s).rgba_straight() for s in sorted(set(PALETTED + TRUECOLOUR))}
    images = [(s, 8, art[s]) for s in PALETTED] + [(s, 32, art[s]) for s in TRUECOLOUR]
    return ico(images), images


def preview(name, images):
    """One strip per background: every image enlarged to 128 px (the 256 px one
    as it is), then 1:1 copies."""
    shown = [(s, quantise(px)[1] if bits == 8 else px) for s, bits, px in images]
    big = max(s * max(1, 128 // s) for s, _ in shown)
    h = big + 16
    for bgname, bg in (('grey', (214, 214, 214)), ('navy', (16, 32, 72)), ('black', (12, 12, 12))):
        w = 8 + sum(s * max(1, 128 // s) + 8 for s, _ in shown) + sum(s + 8 for s, _ in shown)
        rows = [[bg] * w for _ in range(h)]
        x = 8
        for s, px in shown:
            k = max(1, 128 // s)
            for y in range(s * k):
                for xx in range(s * k):
                    rows[8 + y][x + xx] = draw.over(px[(y // k) * s + xx // k], bg)
            x += s * k + 8
        for s, px in shown:
            for y in range(s):
                for xx in range(s):
                    rows[8 + y][x + xx] = draw.over(px[y * s + xx], bg)
            x += s + 8
        draw.png('/tmp/%s_%s.png' % (name, bgname), w, h, rows)


def write(name, data):
    path = os.path.join(RES, name)
    with open(path, 'wb') as f:
        f.write(data)
    print(path, hashlib.sha256(data).hexdigest())


def main():
    for name, painter in (('kisses', draw_lips), ('kicker', draw_boot),
                          ('kisses-dark', lambda s: draw_lips(s, LIPS_ON_DARK)),
                          ('kicker-dark', lambda s: draw_boot(s, BOOT_ON_DARK))):
        data, images = build(painter)
        write(name + '.ico', data)
        if '--preview' in sys.argv:
            preview(name, images)
    # The toasts' app icon: Windows reads it from an image file beside the program.
    write('vexolind.png', pngimage(256, draw_lips(256).rgba_straight()))


if __name__ == '__main__':
    main()
