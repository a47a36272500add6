#!/usr/bin/env python3
"""Writes res/wizard.bmp: the installer's welcome and finish picture, 164 x 314
pixels (the Modern UI's size), 24-bit, bottom-up rows. The splash's two discs
stood on end, lips in the pink one and the boot in the blue one, on a soft
gradient. Pass --preview to also write a PNG to /tmp."""

import hashlib
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw  # noqa: E402
import makeicons  # noqa: E402
import makesplash as splash  # noqa: E402

W, H = 164, 314
R = 60.0
C1 = (82.0, 132.0)   # pink disc
C2 = (82.0, 226.0)   # blue disc
EMBLEM = 48
OUT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'wizard.bmp'))

TOP = draw.hexcol('#FFF4F7')
BOTTOM = draw.hexcol('#EEF4FD')


def render():
    cv = draw.Canvas(W, H)
    cv.paint([1.0] * (W * H), lambda x, y: draw.mix(TOP, BOTTOM, y / H))

    d1 = draw.disc(W, H, C1[0], C1[1], R)
    d2 = draw.disc(W, H, C2[0], C2[1], R)
    shadow = draw.blur(draw.shift(draw.union(d1, d2), W, H, 3, 4), W, H, 3.0)
    cv.paint(shadow, draw.hexcol('#1E1430', 0.30))

    cv.paint(d1, splash.shaded(C1, splash.PINK, splash.PINK_DEEP, R))
    cv.paint(d2, splash.shaded(C2, splash.BLUE, splash.BLUE_DEEP, R))
    lens = (C1[0], (C1[1] + C2[1]) / 2)
    cv.paint(draw.mul(d1, d2), splash.shaded(lens, splash.LILAC, splash.LILAC_DEEP, R))
    for c in (C1, C2):
        rim = draw.ellipse(c[0], c[1], R - 0.8, R - 0.8, 200)
        cv.paint(draw.stroke(W, H, [rim + [rim[0]]], 1.0), draw.hexcol('#FFFFFF', 0.55))

    # Emblems in the outer parts of the discs, clear of the lens.
    cv.blit(makeicons.draw_lips(EMBLEM), int(C1[0]) - EMBLEM // 2, 112 - EMBLEM // 2)
    cv.blit(makeicons.draw_boot(EMBLEM), int(C2[0]) - EMBLEM // 2, 248 - EMBLEM // 2)

    for text, baseline, size, weight, width, ink in (('vexolind', 46.0, 15.0, 0.5, 3.8, splash.INK),
                                                     ('kisses & kicks', 300.0, 7.0, 0.0, 1.3, splash.INK2)):
        tw = draw.text_width(text, size, weight)
        cv.paint(draw.stroke(W, H, draw.text_lines(text, (W - tw) / 2, baseline, size, weight), width), ink)
    return cv


def bmp(cv):
    rows = bytearray()
    for y in range(H - 1, -1, -1):
        for x in range(W):
            r, g, b, _ = cv.px[y * W + x]
            rows += bytes(int(round(draw.clamp01(v) * 255)) for v in (b, g, r))
    assert len(rows) == W * H * 3   # 164 * 3 is a multiple of 4: no row padding
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info)) + info + bytes(rows)


def main():
    cv = render()
    assert all(abs(p[3] - 1.0) < 1e-9 for p in cv.px), 'the picture must be opaque'
    data = bmp(cv)
    with open(OUT, 'wb') as f:
        f.write(data)
    print(OUT, hashlib.sha256(data).hexdigest())
    if '--preview' in sys.argv:
        rows = [[tuple(int(round(draw.clamp01(v) * 255)) for v in cv.px[y * W + x][:3]) for x in range(W)]
                for y in range(H)]
        draw.png('/tmp/wizard.png', W, H, rows)
        draw.png('/tmp/wizard_x2.png', 2 * W, 2 * H,
                 [[p for p in row for _ in range(2)] for row in rows for _ in range(2)])


if __name__ == '__main__':
    main()
