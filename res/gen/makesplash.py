#!/usr/bin/env python3
"""Writes res/splash.bin: 335 x 235 pixels, rows top to bottom, premultiplied
BGRA. Pass --preview to also write PNGs to /tmp."""

import hashlib
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw  # noqa: E402
import makeicons  # noqa: E402

W, H = 335, 235
SHOWN = 229          # the program shows only the top rows; the rest stays clear
R = 100.0
C1 = (104.0, 106.0)  # pink disc
C2 = (221.0, 106.0)  # blue disc
# Points the program's tests rely on: in the soft shadow, so partly transparent.
SOFT = ((323, 106), (104, 208))
OUT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'splash.bin'))
EMBLEM = 50

PINK = draw.hexcol('#FBD3DD')
PINK_DEEP = draw.hexcol('#F3AFC2')
BLUE = draw.hexcol('#CFE2F8')
BLUE_DEEP = draw.hexcol('#A9C8EE')
LILAC = draw.hexcol('#E2D2F1')
LILAC_DEEP = draw.hexcol('#C9B3E6')
INK = draw.hexcol('#2B2040')
INK2 = draw.hexcol('#4A3C60')
INK3 = draw.hexcol('#76698C')


def shaded(centre, light, deep, r=R):
    """Soft radial shading, lighter towards the upper left like a lit dome."""
    cx, cy = centre
    lx, ly = cx - 0.35 * r, cy - 0.4 * r

    def fn(x, y):
        d = math.hypot(x - lx, y - ly) / (1.45 * r)
        t = draw.clamp01(d) ** 1.6
        return draw.mix(light, deep, t)
    return fn


def render():
    cv = draw.Canvas(W, H)
    d1 = draw.disc(W, H, C1[0], C1[1], R)
    d2 = draw.disc(W, H, C2[0], C2[1], R)
    both = draw.mul(d1, d2)
    anyd = draw.union(d1, d2)

    shadow = draw.blur(draw.shift(anyd, W, H, 4, 5), W, H, 3.2)
    cv.paint(shadow, draw.hexcol('#1E1430', 0.42))

    cv.paint(d1, shaded(C1, PINK, PINK_DEEP))
    cv.paint(d2, shaded(C2, BLUE, BLUE_DEEP))
    lens_c = ((C1[0] + C2[0]) / 2, C1[1])
    cv.paint(both, shaded(lens_c, LILAC, LILAC_DEEP))

    # Thin rims keep the two discs distinct where they cross.
    rim1 = draw.stroke(W, H, [draw.ellipse(C1[0], C1[1], R - 0.8, R - 0.8, 240) +
                              [(C1[0] + R - 0.8, C1[1])]], 1.1)
    rim2 = draw.stroke(W, H, [draw.ellipse(C2[0], C2[1], R - 0.8, R - 0.8, 240) +
                              [(C2[0] + R - 0.8, C2[1])]], 1.1)
    cv.paint(rim1, draw.hexcol('#FFFFFF', 0.55))
    cv.paint(rim2, draw.hexcol('#FFFFFF', 0.55))

    # Emblems sit in the outer parts of each disc, away from the centres.
    cv.blit(makeicons.draw_lips(EMBLEM), 56 - EMBLEM // 2, 108 - EMBLEM // 2)
    cv.blit(makeicons.draw_boot(EMBLEM), 278 - EMBLEM // 2, 108 - EMBLEM // 2)

    title = 'vexolind'
    size = 26.0
    weight = 0.5
    tw = draw.text_width(title, size, weight)
    cv.paint(draw.stroke(W, H, draw.text_lines(title, (W - tw) / 2, 80.0, size, weight), 6.0), INK)

    sub = 'kisses & kicks for your desktop'
    size2 = 8.6
    tw2 = draw.text_width(sub, size2)
    cv.paint(draw.stroke(W, H, draw.text_lines(sub, (W - tw2) / 2, 146.0, size2), 1.45), INK2)

    hint = 'click to close'
    size3 = 6.4
    tw3 = draw.text_width(hint, size3)
    cv.paint(draw.stroke(W, H, draw.text_lines(hint, (W - tw3) / 2, 176.0, size3), 1.1), INK3)

    # Rows past the shown area must be fully transparent.
    for idx in range(SHOWN * W, W * H):
        cv.px[idx] = [0.0, 0.0, 0.0, 0.0]
    return cv


def check(data):
    assert len(data) == 314900, len(data)
    partial = 0
    for i in range(0, len(data), 4):
        b, g, r, a = data[i:i + 4]
        assert b <= a and g <= a and r <= a, i
        if 0 < a < 255:
            partial += 1
    assert not any(data[SHOWN * W * 4:]), 'hidden rows not clear'
    for x, y in ((0, 0), (W - 1, 0), (0, SHOWN - 1), (W - 1, SHOWN - 1)):
        assert data[(y * W + x) * 4 + 3] == 0, (x, y)
    for x, y in (C1, C2):
        assert data[(int(y) * W + int(x)) * 4 + 3] == 255, (x, y)
    for x, y in SOFT:
        assert 0 < data[(y * W + x) * 4 + 3] < 255, (x, y)
    assert partial > 1000, partial


def preview(data):
    for name, bg in (('green', (0, 255, 0)), ('white', (255, 255, 255)), ('navy', (20, 30, 70))):
        rows = []
        for y in range(H):
            row = []
            for x in range(W):
                b, g, r, a = data[(y * W + x) * 4:(y * W + x) * 4 + 4]
                k = 1 - a / 255.0
                row.append((int(round(r + bg[0] * k)), int(round(g + bg[1] * k)),
                            int(round(b + bg[2] * k))))
            rows.append(row)
        draw.png('/tmp/splash_%s.png' % name, W, H, rows)
        big = [[p for p in row for _ in range(2)] for row in rows for _ in range(2)]
        draw.png('/tmp/splash_%s_x2.png' % name, 2 * W, 2 * H, big)


def main():
    data = render().bgra_premultiplied()
    check(data)
    with open(OUT, 'wb') as f:
        f.write(data)
    print(OUT, hashlib.sha256(data).hexdigest())
    if '--preview' in sys.argv:
        preview(data)


if __name__ == '__main__':
    main()
